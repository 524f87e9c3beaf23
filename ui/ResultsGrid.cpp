#include "ResultsGrid.h"

#include <QPainter>

void setupResultsGrid(TStringGrid &grid)
{
    grid.setColCount(kResultsCols);
    grid.setRowCount(kResultsRows);
    grid.setFixedRows(1);
    grid.setDefaultRowHeight(kGridRowHeight);
    grid.setFont(resultsFont());
    grid.setOnDrawCell(sgResFDrawCell);
}

void fillResultsTable(TStringGrid &grid, const ProfileStore &store, const QLocale &locale,
                      const ProfileStore *reference, const QString &referenceName,
                      const ResultsStatistics &statistics)
{
    for (int col = 0; col < kResultsCols; ++col)
        grid.setColWidth(col, kResultsColWidths[std::size_t(col)]);
    std::vector<ResultsCell> cells = resultsCells(store, locale, reference);
    for (const ResultsCell &cell : cells)
        grid.setCell(cell.col, cell.row, cell.text);
    if (!reference && !statistics.group) {
        grid.setHintSource({});
        return;
    }
    std::erase_if(cells, [](const ResultsCell &cell) { return cell.index < 0; });
    grid.setHintSource(
        [cells = std::move(cells), locale, referenceName, statistics](int col, int row) {
            for (const ResultsCell &c : cells) {
                if (c.col != col || c.row != row)
                    continue;
                if (!c.compared)
                    return groupValueHint(c.value, c.index, statistics, locale);
                return (QStringList{comparisonHint(c.value, c.reference, referenceName, locale)} +
                        statisticsHintLines(c.index, statistics, locale))
                    .join(QLatin1Char('\n'));
            }
            return QString();
        });
}

void sgResFDrawCell(TStringGrid &grid, QPainter &painter, int col, int row, const QRect &rect,
                    GridDrawState state)
{
    QColor back = grid.color();
    if (state & gdSelected)
        back = Qt::white;
    else if (state & gdFixed)
        back = grid.fixedColor();
    paintResultsCell(painter, grid.cell(col, row), col, row, rect, back);
}
