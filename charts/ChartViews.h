#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

class TBarSeries;
class TChart;
class TLineSeries;
struct ProfileStore;

// The window chart's seven series, in the chart's series order.
struct ChartAllSeries
{
    TLineSeries *SeriesAllMean = nullptr;
    TLineSeries *SeriesAllMax = nullptr;
    TLineSeries *SeriesAllMin = nullptr;
    TBarSeries *SeriesS5 = nullptr;
    TBarSeries *SeriesS6 = nullptr;
    TBarSeries *SeriesS7 = nullptr;
    TBarSeries *SeriesS8 = nullptr;

    std::array<TBarSeries *, 4> bars() const { return {SeriesS5, SeriesS6, SeriesS7, SeriesS8}; }
};

// Gives the window's chart its design: 416 x 294 panel settings, fonts, colours, axes and the
// seven series. The chart owns the series.
ChartAllSeries configureChartAll(TChart &chart);

// One point of a view: which bar series (0 = S5 .. 3 = S8), its value and its label.
struct ChartViewPoint
{
    int bar = 0;
    double value = 0;
    QString label;
};

// What a chart view puts into the chart, from the store.
struct ChartView
{
    QChar letter;
    QString title;
    bool colorEachPoint = false;
    std::array<bool, 4> showInLegend{};
    QStringList titles; // for S5, S6, ... when the view names its series
    std::vector<ChartViewPoint> points;
};

// View 'A' to 'F' of the store's percentages.
ChartView chartView(QChar letter, const ProfileStore &store);

// Clears the bar series, sets the title, the colouring and the legend, then adds the view's
// points. The chart paints once afterwards.
void fillChart(TChart &chart, const ChartAllSeries &series, const ChartView &view);

// The one foot line of the chart: code, name and date separated by single blanks, cut as a
// view shows long texts (ShownText.h).
QString chartFootLine(const QString &code, const QString &name, const QString &date);
void writeChartFoot(TChart &chart, const QString &code, const QString &name, const QString &date);
