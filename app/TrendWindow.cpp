#include "TrendWindow.h"

#include "Breakdown.h"
#include "BreakdownPage.h"
#include "Dialogs.h"
#include "GroupTexts.h"
#include "HeatTable.h"
#include "NumberFormat.h"
#include "ProfileTable.h"
#include "SaveNames.h"
#include "ShownText.h"
#include "TChart.h"
#include "TJPEGImage.h"
#include "TrendOutput.h"
#include "TrendPage.h"
#include "TurnedHeader.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kNameColumnWidth = 140;
constexpr int kCountColumnWidth = 44;
constexpr int kValueColumnWidth = 60;
constexpr int kRowHeight = 38;
constexpr int kWindowWidth = 1000;
constexpr int kChartHeight = 400;
constexpr int kLeastChartHeight = 260;
constexpr int kMostTableHeight = 400;
// The table's heading takes at most this share of the window's height.
constexpr int kHeadingShare = 5;
// What the turned heading adds to the length of a title.
constexpr int kTurnedTitlePad = 24;
// The window leaves this share of the screen's height to its frame and the desktop.
constexpr double kScreenShare = 0.9;
// Names longer than the column shows are cut before they are laid out.
constexpr qsizetype kShownName = 200;

} // namespace

// ---- the model

TrendModel::TrendModel(std::shared_ptr<const Trend> trend, QObject *parent)
    : QAbstractTableModel(parent), trend_(std::move(trend))
{
}

int TrendModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(trend_->waves.size());
}

int TrendModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kFirstValueColumn + (showScales_ ? kTrendColumns : kSummaryCount);
}

QVariant TrendModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const std::size_t row = std::size_t(index.row());
    const TrendWave &wave = trend_->waves[row];
    const TrendWave *before = row > 0 ? &trend_->waves[row - 1] : nullptr;
    const TrendChange *change = row > 0 ? &trend_->changes[row - 1] : nullptr;
    const int column = index.column();
    const int value = column - kFirstValueColumn;
    const bool marked = change && value >= 0 && change->significant[std::size_t(value)];
    switch (role) {
    case Qt::DisplayRole:
        if (column == kNameColumn)
            return shownBeginning(wave.name, kShownName);
        if (column == kCountColumn)
            return wave.count;
        // The value over its change, as the page shows them.
        return before ? trendValueText(wave.value(value)) + QLatin1Char('\n') +
                            trendChangeText(*before, wave, value)
                      : trendValueText(wave.value(value));
    case Qt::BackgroundRole:
        if (change && value >= 0)
            return heatColour(change->difference[std::size_t(value)]);
        return {};
    case kSignificantRole:
        return marked;
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::FontRole:
        if (marked) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::TextAlignmentRole:
        return column == kNameColumn ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                     : QVariant(Qt::AlignCenter);
    case Qt::ToolTipRole:
        if (column == kNameColumn)
            return shownBeginning(wave.name);
        if (value >= 0 && change) {
            QString tip =
                QStringLiteral("%1: %2 % (%3: %4 %), изменение %5, p = %6")
                    .arg(breakdownColumnTitle(value), formatOneDecimal(wave.value(value)).trimmed(),
                         shownBeginning(before->name, kShownName),
                         formatOneDecimal(before->value(value)).trimmed(),
                         trendChangeText(*before, wave, value),
                         change->p[std::size_t(value)]
                             ? QLocale().toString(*change->p[std::size_t(value)], 'g', 2)
                             : QStringLiteral("—"));
            if (marked)
                tip += QStringLiteral("\nИзменение значимо");
            return tip;
        }
        return value >= 0 ? breakdownColumnTitle(value) : QVariant();
    default:
        return {};
    }
}

QVariant TrendModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    const QVariant title =
        heatHeaderData(section, role, QStringLiteral("Волна"), QStringLiteral("Файлов в волне"));
    if (role == Qt::DisplayRole && section >= kFirstValueColumn && titleWidth_ > 0)
        return QFontMetrics(titleFont_).elidedText(title.toString(), Qt::ElideRight, titleWidth_);
    return title;
}

void TrendModel::setTitleWidth(const QFont &font, int width)
{
    if (font == titleFont_ && width == titleWidth_)
        return;
    titleFont_ = font;
    titleWidth_ = width;
    emit headerDataChanged(Qt::Horizontal, kFirstValueColumn, columnCount() - 1);
}

void TrendModel::setShowScales(bool show)
{
    if (show == showScales_)
        return;
    beginResetModel();
    showScales_ = show;
    endResetModel();
}

// ---- the window

TrendWindow::TrendWindow(std::shared_ptr<const Trend> trend, Dialogs &dialogs, OpenWave open,
                         const QString &programFolder, QWidget *parent)
    : QWidget(parent, Qt::Window), trend_(std::move(trend)), dialogs_(dialogs),
      open_(std::move(open)), programFolder_(programFolder)
{
    setAttribute(Qt::WA_DeleteOnClose);
    const Trend &t = *trend_;
    setWindowTitle(QStringLiteral("Динамика: %1").arg(shownBeginning(t.folder, kShownName)));

    auto *layout = new QVBoxLayout(this);
    addHeatTitle(*layout,
                 QStringLiteral("Папка «%1»: волн %2")
                     .arg(shownBeginning(t.folder, kShownName))
                     .arg(t.waves.size()),
                 this);
    QStringList notes;
    if (const QString withheld = trendWithheldNote(t); !withheld.isEmpty())
        notes << withheld;
    notes << trendMarksNote(t.disclosure);
    laNotes = addHeatNotes(*layout, notes.join(QLatin1Char('\n')), this);

    auto *bar = new QHBoxLayout;
    cbSummary = new QCheckBox(QStringLiteral("12 итоговых показателей на графике"), this);
    cbScales = new QCheckBox(QStringLiteral("24 шкалы в таблице"), this);
    bar->addWidget(cbSummary);
    bar->addWidget(cbScales);
    bar->addStretch();
    btSavePicture = new QPushButton(QStringLiteral("График (JPEG)…"), this);
    btSavePdf = new QPushButton(QStringLiteral("Страница (PDF)…"), this);
    btSaveCsv = new QPushButton(QStringLiteral("Таблица (CSV)…"), this);
    for (QPushButton *button : {btSavePicture, btSavePdf, btSaveCsv})
        bar->addWidget(button);
    layout->addLayout(bar);

    // The chart over the table, the extra height of a larger window shared between them.
    spTrend = new QSplitter(Qt::Vertical, this);
    spTrend->setChildrenCollapsible(false);
    chTrend = new TChart(spTrend);
    chTrend->setObjectName(QStringLiteral("chTrend"));
    chTrend->setMinimumHeight(kLeastChartHeight);
    chTrend->installEventFilter(this);
    spTrend->addWidget(chTrend);

    model = new TrendModel(trend_, this);
    tvWaves = new QTableView(spTrend);
    tvWaves->setObjectName(QStringLiteral("tvWaves"));
    setUpHeatTable(*tvWaves, new TurnedHeader(TrendModel::kCountColumn, tvWaves), model,
                   kRowHeight);
    const auto sizeColumns = [this] {
        sizeHeatColumns(*tvWaves, kNameColumnWidth, kCountColumnWidth, kValueColumnWidth);
    };
    sizeColumns();
    spTrend->addWidget(tvWaves);
    spTrend->setStretchFactor(0, 1);
    spTrend->setStretchFactor(1, 1);
    layout->addWidget(spTrend, 1);
    auto *hint = new QLabel(QStringLiteral("В ячейке — значение волны и под ним изменение от "
                                           "прошлой волны; цвет — изменение: красный ниже, "
                                           "зелёный выше, в полную силу от 20 пунктов. Щелчок "
                                           "по показателю в легенде или по его столбцу выделяет "
                                           "его линию на графике. Двойной щелчок по волне в "
                                           "таблице или на графике открывает её в главном окне "
                                           "в сравнении с прошлой волной."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    connect(tvWaves, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { openWave(index.row()); });
    const auto chooseColumn = [this](int section) {
        if (section >= TrendModel::kFirstValueColumn)
            chooseValue(section - TrendModel::kFirstValueColumn);
    };
    connect(tvWaves, &QTableView::clicked, this,
            [chooseColumn](const QModelIndex &index) { chooseColumn(index.column()); });
    connect(tvWaves->horizontalHeader(), &QHeaderView::sectionClicked, this, chooseColumn);
    connect(cbSummary, &QCheckBox::toggled, this, [this] { fillChart(); });
    connect(cbScales, &QCheckBox::toggled, this, [this, sizeColumns](bool on) {
        model->setShowScales(on);
        sizeColumns();
        fitHeading();
    });
    connect(btSavePicture, &QPushButton::clicked, this, [this] { btSavePictureClick(); });
    connect(btSavePdf, &QPushButton::clicked, this, [this] { btSavePdfClick(); });
    connect(btSaveCsv, &QPushButton::clicked, this, [this] { btSaveCsvClick(); });

    // As high as the chart and the rows need, within the screen. The table is measured with the
    // 24 scales' heading, cut as the window will cut it, and a scroll bar's room under the
    // rows, so that turning the scales on keeps the rows in view.
    const int screenHeight = int(screen()->availableGeometry().height() * kScreenShare);
    const QFontMetrics titles(tvWaves->horizontalHeader()->font());
    int heading = 0;
    for (int c = 0; c < kTrendColumns; ++c)
        heading = std::max(heading, titles.horizontalAdvance(breakdownColumnTitle(c)));
    heading = std::min(heading + kTurnedTitlePad, screenHeight / kHeadingShare);
    const int tableHeight =
        std::min(heading + model->rowCount() * kRowHeight + 2 * tvWaves->frameWidth() +
                     tvWaves->horizontalScrollBar()->sizeHint().height(),
                 kMostTableHeight);
    // What the window needs beside the splitter, measured at the window's width.
    resize(kWindowWidth, kChartHeight + tableHeight);
    layout->activate();
    const int rest = height() - spTrend->height();
    const int handle = spTrend->handleWidth();
    const int splitter = std::min(kChartHeight + handle + tableHeight, screenHeight - rest);
    // The table gets its rows first, as long as the chart keeps its least height.
    const int table = std::min(tableHeight, splitter - handle - kLeastChartHeight);
    spTrend->setSizes({splitter - handle - table, table});
    resize(kWindowWidth, rest + splitter);
    fillChart();
}

TrendWindow::~TrendWindow() = default;

TrendValues TrendWindow::values() const
{
    return cbSummary->isChecked() ? TrendValues::Summary : TrendValues::FactorsII;
}

void TrendWindow::chooseValue(int column)
{
    const std::vector<int> drawn = trendChartColumns(values());
    if (std::find(drawn.begin(), drawn.end(), column) == drawn.end())
        return;
    chosen_ = values() == TrendValues::FactorsII && highlight() == column ? kNoHighlight : column;
    fillChart();
}

void TrendWindow::fillChart()
{
    chartSeries_ = fillTrendChart(*chTrend, *trend_, values(), chosen_, chTrend->size());
}

void TrendWindow::fitHeading()
{
    model->setTitleWidth(tvWaves->horizontalHeader()->font(),
                         std::max(1, height() / kHeadingShare - kTurnedTitlePad));
    // The view places its heading anew only when laid out.
    tvWaves->doItemsLayout();
}

void TrendWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitHeading();
}

bool TrendWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != chTrend)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        // Which values are written depends on the room between them.
        fillChart();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const QPoint at = mouse->position().toPoint();
        const TChartLayout frame = chTrend->Layout(chTrend->size());
        if (event->type() == QEvent::MouseButtonPress) {
            if (const int column = trendLegendColumnAt(*chTrend, chartSeries_, frame, at);
                column >= 0)
                chooseValue(column);
        } else if (const int wave = trendWaveAt(frame, model->rowCount(), at); wave >= 0) {
            openWave(wave);
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TrendWindow::openWave(int row)
{
    if (row < 0 || row >= model->rowCount() || !open_)
        return;
    open_(std::size_t(row));
}

QString TrendWindow::askSaveName(const QString &title, const QString &filter,
                                 const QString &extension, const QString &suffix)
{
    return askResultsSaveName(
        dialogs_, this, saveDialog_, programFolder_, title, filter,
        [this, &extension](const QString &results) {
            return trendFileName(results, trend_->folder, extension);
        },
        suffix);
}

void TrendWindow::btSavePictureClick()
{
    const QString chosen = askSaveName(QStringLiteral("Запись графика динамики в jpg-файл"),
                                       kPictureFilter, QStringLiteral("jpg"), {});
    if (chosen.isEmpty())
        return;
    // The chart of its own at the picture's size, whatever size the window gives its own.
    saveExtended(dialogs_, this, chosen, JpegFileName(chosen),
                 [this] { return jpegFileBytes(trendChartPicture(*trend_, values(), chosen_)); });
}

void TrendWindow::btSavePdfClick()
{
    const QString chosen = askSaveName(QStringLiteral("Запись динамики в pdf-файл"), kPdfFilter,
                                       QStringLiteral("pdf"), {});
    if (chosen.isEmpty())
        return;
    saveExtended(dialogs_, this, chosen, PdfFileName(chosen),
                 [this] { return trendPdf(*trend_, values(), todayText(), chosen_); });
}

void TrendWindow::btSaveCsvClick()
{
    const QString name = askSaveName(QStringLiteral("Запись таблицы динамики в csv-файл"),
                                     kCsvFilter, QStringLiteral("csv"), QStringLiteral("csv"));
    if (name.isEmpty())
        return;
    saveExtended(dialogs_, this, name, name,
                 [this] { return trendCsv(*trend_, spreadsheetCsv(QLocale())); });
}
