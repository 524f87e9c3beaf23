#pragma once

#include "ResultsTable.h"
#include "TStringGrid.h"

// The results grid sgResF of the window: the results table in a string grid, its cells painted
// by the table's own cell painting.

// Shape, font and cell painting of the grid; run once when the window is built.
void setupResultsGrid(TStringGrid &grid);

// Column widths, headers, names and every percentage from store (resultsCells); every call
// rewrites all of them and leaves the cells outside the layout alone. With a reference (named
// by referenceName), each value cell's hint gives the reference's value and the difference;
// with statistics, the hints add theirs (statisticsHintLines), and a group shown alone has a
// hint of its mean with them; with neither, the hints are cleared.
void fillResultsTable(TStringGrid &grid, const ProfileStore &store,
                      const QLocale &locale = QLocale::system(),
                      const ProfileStore *reference = nullptr, const QString &referenceName = {},
                      const ResultsStatistics &statistics = {});

// Paints one cell of the grid entirely: background by its state, then paintResultsCell.
void sgResFDrawCell(TStringGrid &grid, QPainter &painter, int col, int row, const QRect &rect,
                    GridDrawState state);
