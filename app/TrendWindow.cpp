#include "TrendWindow.h"

#include "Breakdown.h"
#include "BreakdownPage.h"
#include "Dialogs.h"
#include "HeatTable.h"
#include "NumberFormat.h"
#include "ProfileTable.h"
#include "SaveNames.h"
#include "ShownText.h"
#include "TChart.h"
#include "TJPEGImage.h"
#include "TrendPage.h"
#include "TurnedHeader.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
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
constexpr int kMostTableHeight = 320;
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
    return heatHeaderData(section, role, QStringLiteral("Волна"), QStringLiteral("Файлов в волне"));
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
                         QWidget *parent)
    : QWidget(parent, Qt::Window), trend_(std::move(trend)), dialogs_(dialogs),
      open_(std::move(open))
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
    notes << trendMarksNote();
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

    chTrend = new TChart(this);
    chTrend->setObjectName(QStringLiteral("chTrend"));
    chTrend->setMinimumHeight(kChartHeight);
    fillTrendChart(*chTrend, t, values());
    layout->addWidget(chTrend, 1);

    model = new TrendModel(trend_, this);
    tvWaves = new QTableView(this);
    tvWaves->setObjectName(QStringLiteral("tvWaves"));
    setUpHeatTable(*tvWaves, new TurnedHeader(TrendModel::kCountColumn, tvWaves), model,
                   kRowHeight);
    const auto sizeColumns = [this] {
        sizeHeatColumns(*tvWaves, kNameColumnWidth, kCountColumnWidth, kValueColumnWidth);
    };
    sizeColumns();
    // As high as the rows need, a scroll bar's room under them for the 24 scales.
    const int tableHeight = tvWaves->horizontalHeader()->sizeHint().height() +
                            model->rowCount() * kRowHeight + 2 * tvWaves->frameWidth() +
                            tvWaves->horizontalScrollBar()->sizeHint().height();
    tvWaves->setFixedHeight(std::min(tableHeight, kMostTableHeight));
    layout->addWidget(tvWaves);
    auto *hint = new QLabel(QStringLiteral("В ячейке — значение волны и под ним изменение от "
                                           "прошлой волны; цвет — изменение: красный ниже, "
                                           "зелёный выше, в полную силу от 20 пунктов. Двойной "
                                           "щелчок по волне открывает её в главном окне в "
                                           "сравнении с прошлой волной."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    connect(tvWaves, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { openWave(index.row()); });
    connect(cbSummary, &QCheckBox::toggled, this,
            [this] { fillTrendChart(*chTrend, *trend_, values()); });
    connect(cbScales, &QCheckBox::toggled, this, [this, sizeColumns](bool on) {
        model->setShowScales(on);
        sizeColumns();
    });
    connect(btSavePicture, &QPushButton::clicked, this, [this] { btSavePictureClick(); });
    connect(btSavePdf, &QPushButton::clicked, this, [this] { btSavePdfClick(); });
    connect(btSaveCsv, &QPushButton::clicked, this, [this] { btSaveCsvClick(); });
    resize(kWindowWidth, sizeHint().height());
}

TrendWindow::~TrendWindow() = default;

TrendValues TrendWindow::values() const
{
    return cbSummary->isChecked() ? TrendValues::Summary : TrendValues::FactorsII;
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
        dialogs_, this, saveDialog_, title, filter,
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
                 [this] { return jpegFileBytes(trendChartPicture(*trend_, values())); });
}

void TrendWindow::btSavePdfClick()
{
    const QString chosen = askSaveName(QStringLiteral("Запись динамики в pdf-файл"), kPdfFilter,
                                       QStringLiteral("pdf"), {});
    if (chosen.isEmpty())
        return;
    saveExtended(dialogs_, this, chosen, PdfFileName(chosen),
                 [this] { return trendPdf(*trend_, values(), todayText()); });
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
