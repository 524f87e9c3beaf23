#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <limits>
#include <vector>

class QFontMetricsF;
class TBarSeries;
class TCustomChart;
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

// The window's chart's size: its pictures and the report's charts are painted at it.
inline constexpr int kChartAllWidth = 416;
inline constexpr int kChartAllHeight = 294;

// Gives the window's chart its design: panel settings, fonts, colours, axes and the seven
// series. The chart owns the series. Its back wall is opaque on a placed chart
// (TCustomChart::Placed), so that is set first.
ChartAllSeries configureChartAll(TCustomChart &chart);

// One point of a view: which bar series (0 = S5 .. 3 = S8), its value and its label.
struct ChartViewPoint
{
    int bar = 0;
    double value = 0;
    QString label;
    // The reference profile's value, marked over the bar; NaN without a comparison.
    double reference = std::numeric_limits<double>::quiet_NaN();
};

// What a chart view puts into the chart, from the store.
struct ChartView
{
    QString title;
    bool colorEachPoint = false;
    std::array<bool, 4> showInLegend{};
    QStringList titles; // for S5, S6, ... when the view names its series
    std::vector<ChartViewPoint> points;
};

// The six views of the Plots menu, in its order.
enum class ChartViewKind {
    ScalesByFactorsII,
    FactorsIII,
    FactorsII,
    FactorsI,
    BaseScales,
    BaseFactorsIII
};

// Everything that names a view: its letter (chart corner, saved picture names), the chart's
// title and its Plots menu item.
struct ChartViewEntry
{
    ChartViewKind kind;
    char16_t letter;
    const char16_t *title;
    const char16_t *menuCaption;
};

// The first letter of view C's caption is the Cyrillic Es; the double blank in D's is the
// menu's own.
inline constexpr std::array<ChartViewEntry, 6> kChartViewKinds{{
    {ChartViewKind::ScalesByFactorsII, u'A', u"График шкал по факторам (II)",
     u"A. График шкал по факторам (II)"},
    {ChartViewKind::FactorsIII, u'B', u"График факторов (III)", u"B. График по факторам (III)"},
    {ChartViewKind::FactorsII, u'C', u"График факторов (II)", u"С. График по факторам (II)"},
    {ChartViewKind::FactorsI, u'D', u"График факторов (I)", u"D. График по факторам  (I)"},
    {ChartViewKind::BaseScales, u'E', u"Базовые шкалы", u"E. График базовых шкал"},
    {ChartViewKind::BaseFactorsIII, u'F', u"Базовые факторы (III)",
     u"F. График шкал \"Мотивация-Климат\""},
}};

const ChartViewEntry &chartViewEntry(ChartViewKind kind);

// A view of the store's percentages, with the reference's values beside them when one is given.
ChartView chartView(ChartViewKind kind, const ProfileStore &store,
                    const ProfileStore *reference = nullptr);
// The view of that letter, 'A' to 'F'; an empty one for any other.
ChartView chartView(QChar letter, const ProfileStore &store,
                    const ProfileStore *reference = nullptr);

// Clears the bar series, sets the title, the colouring and the legend, then adds the view's
// points. The chart paints once afterwards.
void fillChart(TCustomChart &chart, const ChartAllSeries &series, const ChartView &view);

// The foot line of the chart: code, name and date separated by single blanks, cut as a view
// shows long texts (ShownText.h).
QString chartFootLine(const QString &code, const QString &name, const QString &date);
// The second foot line that names the reference of a comparison (its caption), within the
// chart's width.
QString chartReferenceFootLine(TCustomChart &chart, const QString &referenceCaption);
// prefix and a reference's caption within width: a name too long loses its middle to "…", so
// that prefix, both ends of the name and a group's number of files stay in view.
QString fittedReferenceCaption(const QString &prefix, const QString &caption,
                               const QFontMetricsF &metrics, double width);
// Writes the foot: the one line, and the reference's line below it when a caption is given.
void writeChartFoot(TCustomChart &chart, const QString &code, const QString &name,
                    const QString &date, const QString &referenceCaption = {});
