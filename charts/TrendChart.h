#pragma once

#include "ChartTypes.h"
#include "Trend.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QPainter;
class TCustomChart;
class TLineSeries;
struct TChartLayout;

// The trend of a parent folder's waves as a line chart: a line per value across the waves, a
// marker and the value at each wave, the waves with their number of files on the bottom axis.
// A wave whose change from the wave before is significant (TrendChange::significant) gets a
// larger marker and its value in bold. The window, its picture and the PDF page all paint it.

// Which values the chart draws: the four factors (II) or all twelve summary values.
enum class TrendValues { FactorsII, Summary };

// The columns (0..kTrendColumns - 1, as TrendWave::value) the chart draws.
std::vector<int> trendChartColumns(TrendValues values);

// The size the picture save and the page paint the chart at.
inline constexpr int kTrendChartWidth = 760;
inline constexpr int kTrendChartHeight = 430;

// A column's line colour, the same in both sets of values, and the light tint of it a line
// takes while another is highlighted.
TColor trendColour(int column);
TColor trendFaintColour(int column);

// One value can be highlighted: its line drawn strong over the others in their faint tints,
// only its values written. Twelve lines in full colour are a knot, so with all twelve drawn one
// is always highlighted: the chosen one when drawn, else the first. The four factors (II) are
// all in colour until one is chosen.
inline constexpr int kNoHighlight = -1;
int trendHighlight(TrendValues values, int chosen);

// The series that draw one column: the line with a marker at every wave, and the values, each
// at one of four series: plain or marked as significant, written over or under the point.
struct TrendColumnSeries
{
    int column = 0;
    TLineSeries *line = nullptr;
    TLineSeries *values = nullptr;
    TLineSeries *valuesUnder = nullptr;
    TLineSeries *marked = nullptr;
    TLineSeries *markedUnder = nullptr;
};

// Gives the chart the trend's design and its lines, replacing every series it had, chosen
// highlighted as trendHighlight says. The vertical axis spans trendChartSpan, with room at both
// ends for the values and markers. With a size the chart is settled at it and a value whose
// text would cover one already written is left out: the marked ones are written first.
std::vector<TrendColumnSeries> fillTrendChart(TCustomChart &chart, const Trend &trend,
                                              TrendValues values, int chosen = kNoHighlight,
                                              QSize size = {});

// What a click on the laid-out frame finds: the column of the legend entry under pos, and the
// wave whose point or place on the bottom axis is nearest pos anywhere from the plot's top
// down; -1 for none.
int trendLegendColumnAt(TCustomChart &chart, const std::vector<TrendColumnSeries> &shown,
                        const TChartLayout &frame, QPoint pos);
int trendWaveAt(const TChartLayout &frame, int waves, QPoint pos);

// The bottom axis' label of a wave: its name over its number of files ("10 анкет"), the two
// lines parted by the axis labels' line break.
QString trendWaveLabel(const TrendWave &wave);

// The span of the vertical axis: the values drawn, widened about their middle to at least 30
// points, within 0 to 100.
std::pair<double, double> trendChartSpan(const Trend &trend, TrendValues values);

// Whether each value of one wave (in percent) is written under its point rather than over it,
// so that the values of lines that run close together stand clear of each other and of the
// markers; lowest and span are the vertical axis' (trendChartSpan), under whose lowest value
// nothing is written.
std::vector<bool> trendValuesUnder(const std::vector<double> &values, double lowest, double span);

// The texts of the tables: a wave's value as a whole percentage, and its change from the wave
// before as the difference of the values shown ("+7", "−3", "0"), so that the table adds up.
QString trendValueText(double value);
QString trendChangeText(const TrendWave &before, const TrendWave &after, int column);

// What the marks of the chart and the tables say: both conditions of a mark.
QString trendMarksNote(const Disclosure &disclosure);

// The trend's chart of its own at kTrendChartWidth x kTrendChartHeight: as a picture, and
// painted at the painter's origin (a page scales it).
QImage trendChartPicture(const Trend &trend, TrendValues values, int chosen = kNoHighlight);
void paintTrendChart(QPainter &painter, const Trend &trend, TrendValues values,
                     int chosen = kNoHighlight);
