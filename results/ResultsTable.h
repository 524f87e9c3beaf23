#pragma once

#include "ProfileStore.h"
#include "TStringGrid.h"

#include <QColor>
#include <QLocale>
#include <array>

class QPainter;

// The results grid sgResF: the profile as a tree read from left to right, a name column and a
// percentage column for each of factors (I), factors (II), factors (III) and scales.
inline constexpr int kResultsCols = 8, kResultsRows = 17, kGridRowHeight = 17;
inline constexpr std::array<int, kResultsCols> kResultsColWidths{134, 35, 91, 35, 91, 35, 117, 35};
inline constexpr int kResultsFontPixelSize = 13;

// Percentages shown above kHighMark are good news, below kLowMark bad news.
inline constexpr double kHighMark = 60.0;
inline constexpr double kLowMark = 40.0;
inline const QColor kHighColor{0, 128, 0};
inline const QColor kLowColor{255, 0, 0};

// Cell painting offsets: texts end kTextRightInset pixels inside the cell's right edge and start
// kTextTopInset pixels below its top.
inline constexpr int kTextRightInset = 6;
inline constexpr int kTextTopInset = 2;

// Shape, font and cell painting of the grid; run once when the window is built.
void setupResultsGrid(TStringGrid &grid);

// Column widths, headers, names and every percentage ("%3.0f") from store; every call rewrites
// all of them and leaves the cells outside the layout alone. With a reference (named by
// referenceName), each value cell's hint gives the reference's value and the difference;
// without, the hints are cleared.
void fillResultsTable(TStringGrid &grid, const ProfileStore &store,
                      const QLocale &locale = QLocale::system(),
                      const ProfileStore *reference = nullptr, const QString &referenceName = {});

// The hint of a value cell in a comparison: the reference by its name and its value, this
// profile's value and the difference of the two as shown, one decimal each, in percentage
// points.
QString comparisonHint(double value, double reference, const QString &referenceName = {},
                       const QLocale &locale = QLocale::system());

// Paints one cell of the results grid entirely: background, font style, threshold colour, text.
void sgResFDrawCell(TStringGrid &grid, QPainter &painter, int col, int row, const QRect &rect,
                    GridDrawState state);
