#include "TableImportDialog.h"

#include "BusyCursor.h"
#include "CommandError.h"
#include "ShownText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Enough rows to judge a mapping by; the mapping itself was found on many more.
constexpr int kShownDataRecords = 20;
// A table may be thousands of columns wide; what lies beyond its mapped columns is shown only
// this far, since the widget's cost grows with every cell.
constexpr int kShownColumnsBeyondMapped = 100;
// A cell shows this much of its text, a column is at most this wide when it opens. A question
// as a header may run to a paragraph: the header rows widen a column less than the answers do,
// so that more answers are in sight, and say the rest in a tooltip.
constexpr qsizetype kShownCellText = 200;
constexpr int kWidestColumn = 220;
constexpr int kWidestForHeaderRows = 120;
constexpr int kCellPadding = 12;
constexpr int kRowPadding = 6;
// The dialog takes this share of the screen, so that a full-HD screen shows many columns and a
// 1280x1024 one still leaves the window behind it in sight.
constexpr qreal kScreenShare = 0.8;
// The lists of mapping and problems keep to this many lines; the table takes the rest.
constexpr int kProblemLines = 9;
// A table whose every row is bad holds millions of problems; nobody reads past the first
// thousands, and listing them all would keep the dialog from opening for a minute.
constexpr std::size_t kListedProblems = 10000;

const QColor kUnusedColumnText(0x9e, 0x9e, 0x9e);
const QColor kHeaderRowFill(0xe4, 0xe4, 0xe4);
// A cell that keeps its row from loading: the pale red of the results table's low values.
const QColor kBadCellFill(0xff, 0xd0, 0xd0);

// What each column of the table feeds, "" where nothing: a column may feed several fields
// when the user maps it so.
QStringList columnFields(const ColumnMap &map, int columns)
{
    QStringList fields(columns);
    const auto feed = [&](int column, const QString &field) {
        if (column < 0 || column >= columns)
            return;
        QString &text = fields[column];
        text += text.isEmpty() ? field : QStringLiteral(", ") + field;
    };
    for (int i = 0; i < kTableAnswers; ++i)
        feed(map.answers[std::size_t(i)], QStringLiteral("Ответ %1").arg(i + 1));
    feed(map.date, QStringLiteral("Дата"));
    feed(map.code, QStringLiteral("Код"));
    feed(map.name, QStringLiteral("Ф.И.О."));
    feed(map.email, QStringLiteral("Почта (не записывается)"));
    for (std::size_t i = 0; i < map.details.size(); ++i)
        feed(map.details[i], QStringLiteral("Строка %1").arg(4 + int(i)));
    return fields;
}

int lastMappedColumn(const ColumnMap &map)
{
    int last = std::max({map.date, map.code, map.name, map.email});
    for (int column : map.answers)
        last = std::max(last, column);
    for (int column : map.details)
        last = std::max(last, column);
    return last;
}

QString badRowsText(qsizetype rows)
{
    const qsizetype tens = rows % 100;
    const qsizetype ones = rows % 10;
    if (ones == 1 && tens != 11)
        return QStringLiteral("В таблице %1 строка с ошибками; она не будет загружена.").arg(rows);
    if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
        return QStringLiteral("В таблице %1 строки с ошибками; они не будут загружены.").arg(rows);
    return QStringLiteral("В таблице %1 строк с ошибками; они не будут загружены.").arg(rows);
}

QString shownCell(const QString &cell)
{
    return shownBeginning(cell, kShownCellText).simplified();
}

} // namespace

TableImportDialog::TableImportDialog(const NativePath &table, const TableScan &scan,
                                     const TableOptions &options, QWidget *parent)
    : QDialog(parent), table_(table), scan_(scan), options_(options)
{
    setWindowTitle(QStringLiteral("Импорт таблицы ответов"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    auto *layout = new QVBoxLayout(this);

    laFile = new QLabel(this);
    laFile->setObjectName(QStringLiteral("laFile"));
    laFile->setWordWrap(true);
    laFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(laFile);

    tbRecords = new QTableWidget(this);
    tbRecords->setObjectName(QStringLiteral("tbRecords"));
    tbRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbRecords->setWordWrap(false);
    tbRecords->setTextElideMode(Qt::ElideRight);
    // Rows of one text line each: the style's default height shows a third fewer of them.
    tbRecords->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    layout->addWidget(tbRecords, 1);

    auto *details = new QHBoxLayout;
    auto *mapping = new QGroupBox(QStringLiteral("Что берётся из таблицы"), this);
    auto *mappingLayout = new QVBoxLayout(mapping);
    laMapping = new QLabel(mapping);
    laMapping->setObjectName(QStringLiteral("laMapping"));
    laMapping->setTextInteractionFlags(Qt::TextSelectableByMouse);
    laMapping->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mappingLayout->addWidget(laMapping);
    details->addWidget(mapping);

    gbProblems = new QGroupBox(QStringLiteral("Ошибки и повторы"), this);
    gbProblems->setObjectName(QStringLiteral("gbProblems"));
    auto *problemsLayout = new QVBoxLayout(gbProblems);
    // A plain text lays out only the lines in sight, so a hundred thousand bad rows cost little;
    // it also wraps a long message where a list would cut it off.
    meProblems = new QPlainTextEdit(gbProblems);
    meProblems->setObjectName(QStringLiteral("meProblems"));
    meProblems->setReadOnly(true);
    meProblems->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    meProblems->setMinimumHeight(fontMetrics().lineSpacing() * 3);
    meProblems->setMaximumHeight(fontMetrics().lineSpacing() * kProblemLines);
    problemsLayout->addWidget(meProblems);
    laBadRows = new QLabel(gbProblems);
    laBadRows->setObjectName(QStringLiteral("laBadRows"));
    problemsLayout->addWidget(laBadRows);
    cbSkipBad = new QCheckBox(QStringLiteral("Загрузить без строк с ошибками"), gbProblems);
    cbSkipBad->setObjectName(QStringLiteral("cbSkipBad"));
    cbSkipBad->setChecked(options.skipBad);
    problemsLayout->addWidget(cbSkipBad);
    details->addWidget(gbProblems, 1);
    layout->addLayout(details);

    auto *columns = new QHBoxLayout;
    auto *columnsLabel = new QLabel(QStringLiteral("Столбцы (--columns):"), this);
    edColumns = new QLineEdit(options.columns, this);
    edColumns->setObjectName(QStringLiteral("edColumns"));
    edColumns->setPlaceholderText(
        QStringLiteral("например: answers=E-AJ, name=B, details=C+D, email=none"));
    edColumns->setToolTip(QStringLiteral(
        "Поля через запятую: ПОЛЕ=СТОЛБЦЫ. Поля: answers, date, code, name, email, details.\n"
        "Столбец — буквами (E, AJ), номером от 1 или текстом заголовка; диапазон E-AJ или 5:36,\n"
        "несколько через «+», none — поле не брать."));
    columnsLabel->setBuddy(edColumns);
    btApply = new QPushButton(QStringLiteral("Применить"), this);
    btApply->setObjectName(QStringLiteral("btApply"));
    columns->addWidget(columnsLabel);
    columns->addWidget(edColumns, 1);
    columns->addWidget(btApply);
    layout->addLayout(columns);

    laError = new QLabel(this);
    laError->setObjectName(QStringLiteral("laError"));
    laError->setWordWrap(true);
    laError->setTextInteractionFlags(Qt::TextSelectableByMouse);
    laError->setStyleSheet(QStringLiteral("color: #c00000;"));
    laError->hide();
    layout->addWidget(laError);

    auto *bottom = new QHBoxLayout;
    laMembers = new QLabel(this);
    laMembers->setObjectName(QStringLiteral("laMembers"));
    bottom->addWidget(laMembers, 1);
    auto *buttons = new QDialogButtonBox(this);
    btLoad = buttons->addButton(QStringLiteral("Загрузить"), QDialogButtonBox::AcceptRole);
    btLoad->setObjectName(QStringLiteral("btLoad"));
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("btCancel"));
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(buttons, &QDialogButtonBox::accepted, this, &TableImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(btApply, &QPushButton::clicked, this, &TableImportDialog::apply);
    connect(edColumns, &QLineEdit::textChanged, this, &TableImportDialog::updateButtons);
    connect(cbSkipBad, &QCheckBox::toggled, this, &TableImportDialog::updateButtons);

    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        resize(screen->availableGeometry().size() * kScreenShare);
    showScan();
    if (!scan_.error.isEmpty())
        edColumns->setFocus();
}

TableOptions TableImportDialog::options() const
{
    TableOptions chosen = options_;
    chosen.skipBad = !scan_.problems.empty() && cbSkipBad->isChecked();
    return chosen;
}

bool TableImportDialog::apply()
{
    TableOptions next = options_;
    next.columns = edColumns->text().trimmed();
    try {
        BusyCursor busy;
        scan_ = scanTable(table_, next);
    } catch (const MessageError &error) {
        showError(error.message());
        updateButtons();
        return false;
    }
    options_ = next;
    showScan();
    return true;
}

void TableImportDialog::accept()
{
    if (columnsEdited()) {
        apply();
        return;
    }
    QDialog::accept();
}

void TableImportDialog::showError(const QString &message)
{
    laError->setText(message.isEmpty() ? QString() : errorBoxText(message));
    laError->setVisible(!message.isEmpty());
}

bool TableImportDialog::columnsEdited() const
{
    return edColumns->text().trimmed() != options_.columns;
}

void TableImportDialog::showScan()
{
    const TablePreview &preview = scan_.preview;
    laFile->setText(QStringLiteral("Таблица %1 (%2)")
                        .arg(QDir::toNativeSeparators(displayPath(table_)), preview.description));
    // A table whose answers were not found comes with why, and without a mapping to describe.
    const bool mapped = scan_.error.isEmpty();
    laMapping->setText(mapped ? describeColumns(preview.map).join(QLatin1Char('\n'))
                              : QStringLiteral("Столбцы с ответами не найдены: укажите их в "
                                               "поле «Столбцы» и нажмите «Применить»."));
    showError(scan_.error);
    fillRecords();

    QStringList listed;
    listed.reserve(qsizetype(scan_.problems.size()) + scan_.duplicateNotes.size());
    const std::size_t shown = std::min(scan_.problems.size(), kListedProblems);
    for (std::size_t i = 0; i < shown; ++i)
        listed << scan_.problems[i].message();
    if (shown < scan_.problems.size())
        listed << QStringLiteral("… и ещё ошибок: %1; все их перечисляет vorlzut --check")
                      .arg(scan_.problems.size() - shown);
    listed << scan_.duplicateNotes;
    meProblems->setPlainText(listed.join(QLatin1Char('\n')));
    gbProblems->setVisible(!listed.isEmpty());
    const bool bad = !scan_.problems.empty();
    laBadRows->setText(bad ? badRowsText(qsizetype(scan_.badRows.size())) : QString());
    laBadRows->setVisible(bad);
    cbSkipBad->setVisible(bad);

    if (!mapped)
        laMembers->clear();
    else if (scan_.members > 0)
        laMembers->setText(QStringLiteral("Строк, которые будут загружены: %1").arg(scan_.members));
    else
        laMembers->setText(
            QStringLiteral("В таблице нет ни одной строки, которую можно загрузить."));
    updateButtons();
}

void TableImportDialog::fillRecords()
{
    const TablePreview &preview = scan_.preview;
    const ColumnMap &map = preview.map;
    const int rows = std::min(int(preview.records.size()), map.headerRows + kShownDataRecords);
    int columns = int(map.headers.size());
    for (int row = 0; row < rows; ++row)
        columns = std::max(columns, int(preview.records[std::size_t(row)].size()));
    columns = std::min(columns, lastMappedColumn(map) + 1 + kShownColumnsBeyondMapped);
    const QStringList fields = columnFields(map, columns);

    tbRecords->clear();
    tbRecords->setRowCount(rows);
    tbRecords->setColumnCount(columns);
    for (int column = 0; column < columns; ++column) {
        const bool used = !fields[column].isEmpty();
        auto *header = new QTableWidgetItem(columnLetters(column) + QLatin1Char('\n') +
                                            (used ? fields[column] : QStringLiteral("—")));
        header->setToolTip(shownBeginning(map.headers.value(column)));
        if (!used)
            header->setForeground(kUnusedColumnText);
        tbRecords->setHorizontalHeaderItem(column, header);
    }
    // The cells that keep their rows from loading, marked where the user sees them.
    QSet<std::pair<int, int>> badCells;
    for (const CellProblem &problem : scan_.problems)
        badCells.insert({problem.row, problem.column});
    QStringList rowNumbers;
    for (int row = 0; row < rows; ++row)
        rowNumbers << QString::number(preview.rows.at(std::size_t(row)));
    tbRecords->setVerticalHeaderLabels(rowNumbers);
    for (int row = 0; row < rows; ++row) {
        const std::vector<QString> &record = preview.records[std::size_t(row)];
        const bool headerRow = row < map.headerRows;
        const int sheetRow = preview.rows.at(std::size_t(row));
        for (int column = 0; column < columns; ++column) {
            const QString cell =
                std::size_t(column) < record.size() ? record[std::size_t(column)] : QString();
            auto *item = new QTableWidgetItem(shownCell(cell));
            if (headerRow || cell.size() > kShownCellText || cell.contains(QLatin1Char('\n')))
                item->setToolTip(shownBeginning(cell));
            if (fields[column].isEmpty())
                item->setForeground(kUnusedColumnText);
            if (headerRow)
                item->setBackground(kHeaderRowFill);
            if (badCells.contains({sheetRow, column}) || badCells.contains({sheetRow, -1}))
                item->setBackground(kBadCellFill);
            tbRecords->setItem(row, column, item);
        }
    }
    const QFontMetrics metrics = tbRecords->fontMetrics();
    for (int column = 0; column < columns; ++column) {
        int width = tbRecords->horizontalHeader()->sectionSizeHint(column);
        for (int row = 0; row < rows; ++row) {
            const int text =
                metrics.horizontalAdvance(tbRecords->item(row, column)->text()) + kCellPadding;
            width =
                std::max(width, row < map.headerRows ? std::min(text, kWidestForHeaderRows) : text);
        }
        tbRecords->setColumnWidth(column, std::min(width, kWidestColumn));
    }
}

void TableImportDialog::updateButtons()
{
    const bool edited = columnsEdited();
    // Enter in the columns field applies the text typed there; elsewhere it loads.
    btApply->setDefault(edited);
    btLoad->setDefault(!edited);
    btLoad->setEnabled(scan_.members > 0 && (scan_.problems.empty() || cbSkipBad->isChecked()));
}

std::optional<TableOptions> runTableImportDialog(QWidget *parent, const NativePath &table,
                                                 const TableScan &scan, const TableOptions &options)
{
    TableImportDialog dialog(table, scan, options, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}
