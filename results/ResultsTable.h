#pragma once

#include "Comparison.h"
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
    int index = -1; // a value cell's value as ValueMoments::value indexes it
};
std::vector<ResultsCell> resultsCells(const ProfileStore &store,
                                      const QLocale &locale = QLocale::system(),
                                      const ProfileStore *reference = nullptr);

// The hint of a value cell in a comparison: the reference by its name and its value, this
// profile's value and the difference of the two as shown, one decimal each, in percentage
// points.
QString comparisonHint(double value, double reference, const QString &referenceName = {},
                       const QLocale &locale = QLocale::system());

// ---- the statistics, in the hints and the report

// A share such as rwg(j) with two decimals ("0,82"); an undefined figure "—".
QString shareText(const std::optional<double> &share, const QLocale &locale = QLocale::system());
// A 95 % confidence interval, "50,1–74,9"; an undefined one "—".
QString intervalText(const std::optional<std::array<double, 2>> &interval,
                     const QLocale &locale = QLocale::system());
// A p value: "p = 0,012", below 0.001 "p < 0,001"; an undefined one "—".
QString pValueText(const std::optional<double> &p, const QLocale &locale = QLocale::system());
// Whether value index (as ValueMoments::value) has an agreement: a factor (II) has its block's,
// a scale or factor (III) cell its own answers'; the other summary values none.
bool hasAgreement(int index);
std::optional<double> valueAgreement(const Agreement &agreement, int index);
// The plain warning for a group whose factor (II) blocks' agreement is low (agreementIsLow),
// naming those blocks; empty when none is.
QString lowAgreementWarning(const Agreement &agreement, const QLocale &locale = QLocale::system());

// What the hints of a value cell add from the statistics: for a group, the 95 % confidence
// interval of its mean and its members' agreement; in a comparison, the tests of two groups or a
// respondent's percentile within the reference group.
struct ResultsStatistics
{
    std::optional<ValueMoments> group; // the profile's members' moments, when a group
    Agreement agreement;               // agreementOf(*group)
    ComparisonStatistics comparison;
    int minSpread = kDefaultMinimumSpread; // named when the group's spread is withheld
};
// The hint's lines for value index (as ValueMoments::value), one per figure; none for a
// respondent shown alone.
QStringList statisticsHintLines(int index, const ResultsStatistics &statistics,
                                const QLocale &locale = QLocale::system());
// The hint of a value cell of a group shown alone: its mean, then statisticsHintLines.
QString groupValueHint(double value, int index, const ResultsStatistics &statistics,
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
