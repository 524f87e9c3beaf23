#include "BreakdownWindow.h"

#include "BreakdownOutput.h"
#include "BreakdownPage.h"
#include "Dialogs.h"
#include "ErrorMessage.h"
#include "GroupTexts.h"
#include "HeatTable.h"
#include "NumberFormat.h"
#include "ResultsTable.h"
#include "SafeFile.h"
#include "SaveNames.h"
#include "ShownText.h"
#include "TurnedHeader.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kNameColumnWidth = 280;
constexpr int kCountColumnWidth = 44;
constexpr int kValueColumnWidth = 44;
constexpr int kRowHeight = 22;
// The share row's background: no heat colour, so it is not read as a subgroup.
const QColor kShareFill{236, 236, 236};
constexpr int kWindowWidth = 900;
// The table grows with its rows up to this height, then scrolls.
constexpr int kMostTableHeight = 600;
// Names longer than the column shows are cut before they are laid out.
constexpr qsizetype kShownName = 200;

// A table whose first row stays in view however far it scrolls down: a second view of the same
// model, one row high, lies over the top of the table's viewport and follows its columns and its
// sideways scrolling. Rows scroll by pixels, so each in turn comes out from under it.
class FrozenFirstRowTable : public QTableView
{
public:
    explicit FrozenFirstRowTable(QWidget *parent)
        : QTableView(parent), frozen_(new QTableView(this))
    {
        setVerticalScrollMode(ScrollPerPixel);
        frozen_->setObjectName(QStringLiteral("tvWholeFolder"));
        frozen_->setFocusPolicy(Qt::NoFocus);
        frozen_->horizontalHeader()->hide();
        frozen_->verticalHeader()->hide();
        frozen_->setFrameShape(QFrame::NoFrame);
        frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // It shares the table's selection: a row made current there must not scroll it away
        // from the whole folder's row.
        frozen_->setAutoScroll(false);
        connect(horizontalScrollBar(), &QAbstractSlider::valueChanged,
                frozen_->horizontalScrollBar(), &QAbstractSlider::setValue);
        connect(frozen_, &QTableView::doubleClicked, this, &QTableView::doubleClicked);
    }

    // Once the table has its model and its settings: the frozen row takes them over.
    void freezeFirstRow()
    {
        frozen_->setModel(model());
        QItemSelectionModel *own = frozen_->selectionModel();
        frozen_->setSelectionModel(selectionModel());
        delete own;
        frozen_->setSelectionBehavior(selectionBehavior());
        frozen_->setSelectionMode(selectionMode());
        frozen_->setEditTriggers(editTriggers());
        frozen_->setWordWrap(wordWrap());
        frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
        connect(horizontalHeader(), &QHeaderView::sectionResized, frozen_,
                [this](int column, int, int width) { frozen_->setColumnWidth(column, width); });
        place();
        frozen_->show();
    }

protected:
    void updateGeometries() override
    {
        QTableView::updateGeometries();
        place();
    }

    void scrollTo(const QModelIndex &index, ScrollHint hint) override
    {
        QTableView::scrollTo(index, hint);
        // A row brought into view is never left under the frozen one.
        const int covered = rowHeight(0) - visualRect(index).top();
        if (index.row() > 0 && covered > 0)
            verticalScrollBar()->setValue(verticalScrollBar()->value() - covered);
    }

private:
    void place()
    {
        if (!frozen_->model())
            return;
        // A model reset gives the frozen view's columns their default widths again.
        for (int c = 0; c < model()->columnCount(); ++c)
            if (frozen_->columnWidth(c) != columnWidth(c))
                frozen_->setColumnWidth(c, columnWidth(c));
        const QRect area = viewport()->geometry();
        frozen_->setGeometry(area.left(), area.top(), area.width(), rowHeight(0));
        frozen_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    }

    QTableView *frozen_;
};

} // namespace

// ---- the model

BreakdownModel::BreakdownModel(std::shared_ptr<const BreakdownTable> table, QObject *parent)
    : QAbstractTableModel(parent), table_(std::move(table))
{
    order_.resize(table_->rows.size());
    for (std::size_t i = 0; i < order_.size(); ++i)
        order_[i] = int(i);
}

int BreakdownModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : subgroupRows() + 1;
}

int BreakdownModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0
                            : kFirstValueColumn + (showScales_ ? kBreakdownColumns : kSummaryCount);
}

const BreakdownRow &BreakdownModel::rowAt(int viewRow) const
{
    return table_->rows[std::size_t(tableRow(viewRow))];
}

QVariant BreakdownModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.row() >= subgroupRows())
        return shareData(index.column(), role);
    const BreakdownRow &row = rowAt(index.row());
    const BreakdownRow &whole = table_->rows.front();
    const int column = index.column();
    const int value = column - kFirstValueColumn;
    switch (role) {
    case Qt::DisplayRole:
        if (column == kNameColumn)
            return shownBeginning(row.name, kShownName);
        if (column == kCountColumn)
            return row.count;
        return formatWhole(row.value(value)).trimmed();
    case Qt::BackgroundRole:
        if (value >= 0)
            return heatColour(row.value(value) - whole.value(value));
        return {};
    case kSignificantRole:
        return value >= 0 && row.significant[std::size_t(value)];
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::FontRole:
        if (row.kind == SubgroupKind::Whole ||
            (value >= 0 && row.significant[std::size_t(value)])) {
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
            return shownBeginning(row.name);
        if (value >= 0) {
            QString tip =
                QStringLiteral("%1: %2 % (вся папка %3 %)")
                    .arg(breakdownColumnTitle(value), formatOneDecimal(row.value(value)).trimmed(),
                         formatOneDecimal(whole.value(value)).trimmed());
            if (row.significant[std::size_t(value)])
                tip += QStringLiteral("\nОтличие от остальной папки значимо и не меньше %1 пунктов")
                           .arg(pointsText(table_->disclosure.minDiff));
            else if (!row.spreadShown)
                tip += QStringLiteral("\nРазброс и проверка различий этой подгруппы не "
                                      "показываются ") +
                       (row.count < table_->disclosure.minSpread
                            ? QStringLiteral("(меньше %1 файлов)").arg(table_->disclosure.minSpread)
                            : QStringLiteral("(иначе их можно было бы вычислить для малых "
                                             "подгрупп)"));
            return tip;
        }
        return {};
    default:
        return {};
    }
}

QVariant BreakdownModel::shareData(int column, int role) const
{
    const int value = column - kFirstValueColumn;
    const auto icc1 = value >= 0 ? table_->icc1[std::size_t(value)] : std::nullopt;
    switch (role) {
    case Qt::DisplayRole:
        if (column == kNameColumn)
            return breakdownShareRowName();
        return value >= 0 ? breakdownShareText(icc1) : QVariant();
    case Qt::BackgroundRole:
        return kShareFill;
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::TextAlignmentRole:
        return column == kNameColumn ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                     : QVariant(Qt::AlignCenter);
    case Qt::ToolTipRole:
        if (value < 0)
            return breakdownShareRowName();
        // In words first: the figures' names mean nothing to most readers.
        return QStringLiteral("%1\nДоля различий между подгруппами: %2 (ICC(1))\nНадёжность "
                              "средних подгрупп: %3 (ICC(2); от 0,70 порядок подгрупп по этому "
                              "показателю надёжен)")
            .arg(breakdownColumnTitle(value), shareText(icc1, QLocale()),
                 shareText(table_->icc2[std::size_t(value)], QLocale()));
    default:
        return {};
    }
}

QVariant BreakdownModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    return heatHeaderData(section, role, QStringLiteral("Подгруппа"),
                          QStringLiteral("Файлов в подгруппе"));
}

void BreakdownModel::sort(int column, Qt::SortOrder order)
{
    if (order_.size() < 2 || column < 0 || column >= columnCount())
        return;
    const auto less = [&](int a, int b) {
        const BreakdownRow &x = table_->rows[std::size_t(a)];
        const BreakdownRow &y = table_->rows[std::size_t(b)];
        if (column == kNameColumn)
            return naturalCompare(x.name, y.name) < 0;
        if (column == kCountColumn)
            return x.count < y.count;
        return x.value(column - kFirstValueColumn) < y.value(column - kFirstValueColumn);
    };
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::stable_sort(order_.begin() + 1, order_.end(), [&](int a, int b) {
        return order == Qt::AscendingOrder ? less(a, b) : less(b, a);
    });
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void BreakdownModel::setShowScales(bool show)
{
    if (show == showScales_)
        return;
    beginResetModel();
    showScales_ = show;
    endResetModel();
}

BreakdownTable BreakdownModel::shownTable() const
{
    BreakdownTable shown = *table_;
    shown.rows.clear();
    for (const int row : order_)
        shown.rows.push_back(table_->rows[std::size_t(row)]);
    return shown;
}

// ---- the window

BreakdownWindow::BreakdownWindow(Content content, Dialogs &dialogs, OpenSubgroup open,
                                 QWidget *parent)
    : QWidget(parent, Qt::Window), content_(std::move(content)), dialogs_(dialogs),
      open_(std::move(open))
{
    setAttribute(Qt::WA_DeleteOnClose);
    const BreakdownTable &table = *content_.table;
    setWindowTitle(QStringLiteral("Подгруппы: %1, строка %2")
                       .arg(shownBeginning(table.folder, kShownName))
                       .arg(table.line));

    auto *layout = new QVBoxLayout(this);
    addHeatTitle(*layout,
                 QStringLiteral("Папка «%1» по строке %2 анкеты: подгрупп %3")
                     .arg(shownBeginning(table.folder, kShownName))
                     .arg(table.line)
                     .arg(table.rows.size() - 1),
                 this);
    laNotes = addHeatNotes(
        *layout, (breakdownNotes(table) << breakdownRiskNote()).join(QLatin1Char('\n')), this);

    auto *bar = new QHBoxLayout;
    cbScales = new QCheckBox(QStringLiteral("24 шкалы"), this);
    bar->addWidget(cbScales);
    bar->addStretch();
    btSaveCsv = new QPushButton(QStringLiteral("Таблица (CSV)…"), this);
    btSavePdf = new QPushButton(QStringLiteral("Тепловая карта (PDF)…"), this);
    bar->addWidget(btSaveCsv);
    bar->addWidget(btSavePdf);
    layout->addLayout(bar);

    model = new BreakdownModel(content_.table, this);
    auto *frozenTable = new FrozenFirstRowTable(this);
    tvSubgroups = frozenTable;
    tvSubgroups->setObjectName(QStringLiteral("tvSubgroups"));
    auto *header = new TurnedHeader(BreakdownModel::kCountColumn, tvSubgroups);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    setUpHeatTable(*tvSubgroups, header, model, kRowHeight);
    tvSubgroups->setWordWrap(false);
    const auto sizeColumns = [this] {
        sizeHeatColumns(*tvSubgroups, kNameColumnWidth, kCountColumnWidth, kValueColumnWidth);
    };
    sizeColumns();
    frozenTable->freezeFirstRow();
    layout->addWidget(tvSubgroups, 1);
    auto *hint = new QLabel(QStringLiteral("Цвет ячейки — отличие от всей папки: красный ниже, "
                                           "зелёный выше, в полную силу от 20 пунктов. ") +
                                breakdownMarksNote(content_.table->disclosure) +
                                QStringLiteral(" Двойной щелчок по строке открывает её в главном "
                                               "окне."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    connect(header, &QHeaderView::sectionClicked, this, [this](int s) { sectionClicked(s); });
    connect(tvSubgroups, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { openRow(index.row()); });
    connect(cbScales, &QCheckBox::toggled, this, [this, sizeColumns](bool on) {
        model->setShowScales(on);
        sizeColumns();
        if (sortedColumn_ >= model->columnCount())
            sortedColumn_ = -1;
        tvSubgroups->horizontalHeader()->setSortIndicatorShown(sortedColumn_ >= 0);
        if (sortedColumn_ >= 0)
            tvSubgroups->horizontalHeader()->setSortIndicator(sortedColumn_, sortOrder_);
    });
    connect(btSaveCsv, &QPushButton::clicked, this, [this] { btSaveCsvClick(); });
    connect(btSavePdf, &QPushButton::clicked, this, [this] { btSavePdfClick(); });
    // As high as the rows need, the wrapped texts taken at the window's width.
    const int tableHeight = header->sizeHint().height() + model->rowCount() * kRowHeight +
                            2 * tvSubgroups->frameWidth();
    const int others = (layout->hasHeightForWidth() ? layout->heightForWidth(kWindowWidth)
                                                    : layout->sizeHint().height()) -
                       tvSubgroups->sizeHint().height();
    resize(kWindowWidth, others + std::min(tableHeight, kMostTableHeight));
}

BreakdownWindow::~BreakdownWindow() = default;

void BreakdownWindow::sectionClicked(int section)
{
    // A first click puts the highest first (the name column: A first); a second turns it round.
    if (section == sortedColumn_)
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        sortOrder_ =
            section == BreakdownModel::kNameColumn ? Qt::AscendingOrder : Qt::DescendingOrder;
    sortedColumn_ = section;
    model->sort(section, sortOrder_);
    tvSubgroups->horizontalHeader()->setSortIndicatorShown(true);
    tvSubgroups->horizontalHeader()->setSortIndicator(section, sortOrder_);
}

void BreakdownWindow::openRow(int viewRow)
{
    if (viewRow < 0 || viewRow >= model->rowCount() || !open_)
        return;
    const int row = model->tableRow(viewRow);
    if (row < 0)
        return;
    const LoadedProfile &whole = *content_.whole;
    open_(row == 0 ? whole : content_.breakdown->shown[std::size_t(row - 1)].profile);
}

QString BreakdownWindow::askSaveName(const QString &title, const QString &filter,
                                     const QString &extension, const QString &suffix)
{
    return askResultsSaveName(
        dialogs_, this, saveDialog_, content_.programFolder, title, filter,
        [this, &extension](const QString &results) {
            return breakdownFileName(results, content_.table->folder, content_.table->line,
                                     extension);
        },
        suffix);
}

void BreakdownWindow::btSaveCsvClick()
{
    const QString name = askSaveName(QStringLiteral("Запись таблицы подгрупп в csv-файл"),
                                     kCsvFilter, QStringLiteral("csv"), QStringLiteral("csv"));
    if (name.isEmpty())
        return;
    try {
        writeFileReplacing(name, breakdownCsv(model->shownTable(), spreadsheetCsv(QLocale())));
    } catch (const std::exception &e) {
        dialogs_.showError(this, errorMessageOf(e));
    }
}

void BreakdownWindow::btSavePdfClick()
{
    const QString chosen = askSaveName(QStringLiteral("Запись тепловой карты подгрупп в pdf-файл"),
                                       kPdfFilter, QStringLiteral("pdf"), {});
    if (chosen.isEmpty())
        return;
    saveExtended(dialogs_, this, chosen, PdfFileName(chosen),
                 [this] { return breakdownPdf(model->shownTable(), todayText()); });
}
