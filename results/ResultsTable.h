#pragma once

#include "ProfileStore.h"

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QRect>
#include <QSize>
#include <array>
#include <vector>

class QPainter;

// The results table sgResF shows: the profile as a tree read from left to right, a name column and
// a percentage column for each of factors (I), factors (II), factors (III) and scales.
inline constexpr int kResultsCols = 8, kResultsRows = 17, kGridRowHeight = 17;
inline constexpr std::array<int, kResultsCols> kResultsColWidths{134, 35, 91, 35, 91, 35, 117, 35};
inline constexpr int kResultsFontPixelSize = 13;
// The lines between the cells.
inline constexpr int kResultsLineWidth = 1;

// Percentages shown above kHighMark are good news, below kLowMark bad news.
inline constexpr double kHighMark = 60.0;
inline constexpr double kLowMark = 40.0;
inline const QColor kHighColor{0, 128, 0};
inline const QColor kLowColor{255, 0, 0};

// Cell painting offsets: texts end kTextRightInset pixels inside the cell's right edge and start
// kTextTopInset pixels below its top.
inline constexpr int kTextRightInset = 6;
inline constexpr int kTextTopInset = 2;

// What the table shows of a profile: the texts of the cells the layout writes (headers, names,
// percentages "%3.0f"), each value cell with the value and, with a reference, the reference's
// value it is compared with. Cells outside the layout are not listed.
struct ResultsCell
{
    int col = 0;
    int row = 0;
    QString text;
    bool compared = false; // a value cell of a comparison
    double value = 0;
    double reference = 0;
};
std::vector<ResultsCell> resultsCells(const ProfileStore &store,
                                      const QLocale &locale = QLocale::system(),
                                      const ProfileStore *reference = nullptr);

// The hint of a value cell in a comparison: the reference by its name and its value, this
// profile's value and the difference of the two as shown, one decimal each, in percentage
// points.
QString comparisonHint(double value, double reference, const QString &referenceName = {},
                       const QLocale &locale = QLocale::system());

// The table's font, before a cell makes it bold.
QFont resultsFont();

// Paints one cell entirely on back: font style, threshold colour, text. The painter's font is
// the table's.
void paintResultsCell(QPainter &painter, const QString &text, int col, int row, const QRect &rect,
                      const QColor &back);

// The colours of a whole table: cells, header cells and the lines.
struct ResultsTableColors
{
    QColor cell;
    QColor header;
    QColor line;
};
// The whole table with one-pixel lines between and around all cells, from (0, 0): its size, and
// the table painted.
QSize resultsTableSize();
void paintResultsTable(QPainter &painter, const std::vector<ResultsCell> &cells,
                       const ResultsTableColors &colors);
