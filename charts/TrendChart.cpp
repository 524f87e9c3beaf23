#include "TrendChart.h"

#include "GroupLoader.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "TChartCanvas.h"
#include "TCustomChart.h"
#include "TLineSeries.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numeric>

namespace {

constexpr int kFontHeight = -11;
constexpr int kTitleFontHeight = -13;
constexpr int kLineWidth = 2;
constexpr int kStrongLineWidth = 3;
constexpr int kFaintLineWidth = 1;
// How much of its own colour a faint line keeps over the white.
constexpr double kFaintShare = 0.3;
constexpr int kMarker = 4;
constexpr int kMarkedMarker = 6;
constexpr int kValueGap = 8;
constexpr double kAxisStep = 5;
// The vertical axis spans at least this many points, so that a change of a few points is not
// drawn as a leap.
constexpr double kLeastSpan = 30;
// The axis labels' line break.
constexpr QChar kLabelLineBreak(13);

// The height of the plot of the smallest chart the window shows, and of a value's text on it:
// where the values go is worked out for that chart, so that a larger one has more air.
constexpr double kLeastPlotPixels = 260;
constexpr double kValuePixels = 14;
// A text over another costs more than a text over a marker.
constexpr double kTextOverText = 3;

// Dark enough for the values written in them on white; the first four, the factors (II), keep
// their colours when all twelve are drawn.
constexpr std::array<TColor, kSummaryCount> kColours{
    rgbColor(31, 119, 180), rgbColor(230, 110, 0),   rgbColor(44, 150, 44),
    rgbColor(200, 30, 40),  rgbColor(148, 103, 189), rgbColor(140, 86, 75),
    rgbColor(214, 80, 170), rgbColor(100, 100, 100), rgbColor(150, 150, 20),
    rgbColor(20, 160, 175), rgbColor(0, 0, 128),     rgbColor(0, 0, 0)};

TChartFont arialFont(int height, bool bold = false, TColor colour = clBlack)
{
    TChartFont font;
    font.Name = QStringLiteral("Arial");
    font.Height = height;
    font.Color = colour;
    font.Bold = bold;
    return font;
}

TLineSeries *addSeries(TCustomChart &chart, const QString &name, TColor colour)
{
    auto series = std::make_unique<TLineSeries>(name);
    series->setSeriesColor(colour);
    series->setShowInLegend(false);
    series->Marks().setVisible(false);
    series->LinePen().setVisible(false);
    series->Pointer().setVisible(false);
    series->setValueFormat(QStringLiteral("0."));
    return chart.AddSeries(std::move(series));
}

TLineSeries *addValues(TCustomChart &chart, const QString &name, TColor colour, bool marked,
                       bool under)
{
    TLineSeries *series = addSeries(chart, name, colour);
    series->setShowValues(true);
    series->ValueFont().setFont(arialFont(kFontHeight, marked, colour));
    // Under the point: the box starts as far below it as it ends above it otherwise.
    const int lineHeight = TChartTextMetrics().LineHeight(series->ValueFont().Font());
    series->setValueGap(under ? -(kValueGap + lineHeight) : kValueGap);
    if (marked) {
        series->Pointer().setVisible(true);
        series->Pointer().setHorizSize(kMarkedMarker);
        series->Pointer().setVertSize(kMarkedMarker);
    }
    return series;
}

// A line with its legend entry: faint without markers, or in colour with them.
TLineSeries *addLine(TCustomChart &chart, const QString &name, int column, int width, bool faint)
{
    TLineSeries *line =
        addSeries(chart, name, faint ? trendFaintColour(column) : trendColour(column));
    line->setTitle(ProfileStore::SummaryNames(column + 1));
    line->LinePen().setVisible(true);
    line->LinePen().setWidth(width);
    line->Pointer().setVisible(!faint);
    line->Pointer().setHorizSize(kMarker);
    line->Pointer().setVertSize(kMarker);
    return line;
}

// Gives the points at hidden no colour, so that they write no value.
void hidePoints(TLineSeries &series, const std::vector<int> &hidden)
{
    struct Point
    {
        double x, y;
        TColor colour;
    };
    std::vector<Point> points;
    for (int i = 0; i < series.Count(); ++i)
        points.push_back({series.XValues()[i], series.YValues()[i], series.StoredColor(i)});
    series.Clear();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const bool hide = std::find(hidden.begin(), hidden.end(), int(i)) != hidden.end();
        series.AddXY(points[i].x, points[i].y, {}, hide ? clNone : points[i].colour);
    }
}

bool overlap(const TRect &a, const TRect &b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// Lays the chart out at size and leaves out every value whose text would cover one written
// before it, the marked values written first.
void dropCrowdedValues(TCustomChart &chart, const std::vector<TrendColumnSeries> &shown, QSize size)
{
    const TChartLayout frame = chart.Layout(size);
    const TChartTextMetrics metrics;
    std::vector<TRect> written;
    std::vector<std::pair<TLineSeries *, std::vector<int>>> dropped;
    for (const bool marked : {true, false})
        for (const TrendColumnSeries &s : shown)
            for (TLineSeries *series : marked ? std::array{s.marked, s.markedUnder}
                                              : std::array{s.values, s.valuesUnder}) {
                const TChartFont &font = series->ValueFont().Font();
                std::vector<int> hidden;
                const int index = chart.SeriesList().IndexOf(series);
                for (const TPlacedPoint &p : frame.Series[std::size_t(index)].Points) {
                    if (p.Color == clNone)
                        continue;
                    const TTextLine text = series->ValueLabel(p, metrics);
                    const TRect box{text.Left, text.Top,
                                    text.Left + metrics.TextWidth(font, text.Text),
                                    text.Top + metrics.LineHeight(font)};
                    if (std::any_of(written.begin(), written.end(),
                                    [&box](const TRect &w) { return overlap(w, box); }))
                        hidden.push_back(p.Index);
                    else
                        written.push_back(box);
                }
                if (!hidden.empty())
                    dropped.emplace_back(series, std::move(hidden));
            }
    for (const auto &[series, hidden] : dropped)
        hidePoints(*series, hidden);
}

// Sets fixed ends in an order the axis accepts whatever its ends were.
void setRange(TChartAxis &axis, double low, double high)
{
    if (low > axis.Maximum()) {
        axis.setMaximum(high);
        axis.setMinimum(low);
    } else {
        axis.setMinimum(low);
        axis.setMaximum(high);
    }
}

void design(TCustomChart &chart, const Trend &trend, TrendValues values)
{
    chart.setView3D(false);
    chart.setBevelInner(TPanelBevel::bvLowered);
    chart.setBackColor(clWhite);
    chart.BackWall().setColor(clWhite);
    chart.BackWall().Brush().setColor(clWhite);
    chart.Title().setFont(arialFont(kTitleFontHeight, true));
    chart.Title().setText(
        {(values == TrendValues::FactorsII ? QStringLiteral("Динамика факторов (II): ")
                                           : QStringLiteral("Динамика итоговых показателей: ")) +
         trend.folder});
    chart.Foot().setFont(arialFont(kFontHeight, false, clGray));
    chart.Foot().setText({QStringLiteral("Крупный маркер и жирное число: изменение от прошлой "
                                         "волны значимо")});
    chart.Legend().setAlignment(TLegendAlignment::laTop);
    chart.Legend().setFont(arialFont(kFontHeight));

    // The waves as categories, half a step of air at either end for the labels.
    TChartAxis &bottom = chart.BottomAxis();
    bottom.setAutomatic(false);
    setRange(bottom, -0.5, double(trend.waves.size()) - 0.5);
    bottom.setLabelStyle(TAxisLabelStyle::talText);
    bottom.LabelsFont().setFont(arialFont(kFontHeight));
    bottom.setLabelsSize(2 * TChartTextMetrics().LineHeight(bottom.LabelsFont().Font()));
    bottom.Grid().setVisible(false);

    // Automatic, so that the values' and the markers' room is asked at both ends; the frame
    // series gives the least span.
    TChartAxis &left = chart.LeftAxis();
    left.setAutomatic(true);
    left.setIncrement(kAxisStep);
    left.setAxisValuesFormat(QStringLiteral("0."));
    left.setLabelStyle(TAxisLabelStyle::talValue);
    left.LabelsFont().setFont(arialFont(kFontHeight));
}

} // namespace

std::vector<int> trendChartColumns(TrendValues values)
{
    std::vector<int> columns(values == TrendValues::FactorsII ? 4 : kSummaryCount);
    std::iota(columns.begin(), columns.end(), 0);
    return columns;
}

TColor trendColour(int column)
{
    return kColours[std::size_t(column % kSummaryCount)];
}

TColor trendFaintColour(int column)
{
    const QColor full = toQColor(trendColour(column));
    const auto faint = [](int channel) {
        return int(std::lround(255 - (255 - channel) * kFaintShare));
    };
    return rgbColor(faint(full.red()), faint(full.green()), faint(full.blue()));
}

int trendHighlight(TrendValues values, int chosen)
{
    const std::vector<int> columns = trendChartColumns(values);
    if (std::find(columns.begin(), columns.end(), chosen) != columns.end())
        return chosen;
    return values == TrendValues::Summary ? columns.front() : kNoHighlight;
}

QString trendWaveLabel(const TrendWave &wave)
{
    return wave.name + kLabelLineBreak +
           QStringLiteral("%1 %2").arg(wave.count).arg(questionnaires(wave.count));
}

std::pair<double, double> trendChartSpan(const Trend &trend, TrendValues values)
{
    double low = 100, high = 0;
    for (const TrendWave &wave : trend.waves)
        for (const int c : trendChartColumns(values)) {
            low = std::min(low, wave.value(c));
            high = std::max(high, wave.value(c));
        }
    if (high - low >= kLeastSpan)
        return {low, high};
    // Around the values, moved inside 0 to 100 where it would reach past them.
    const double middle = (low + high) / 2;
    low = middle - kLeastSpan / 2;
    high = middle + kLeastSpan / 2;
    if (low < 0) {
        high -= low;
        low = 0;
    } else if (high > 100) {
        low -= high - 100;
        high = 100;
    }
    return {low, high};
}

std::vector<bool> trendValuesUnder(const std::vector<double> &values, double lowest, double span)
{
    // In points of the axis on the smallest chart.
    const double point = kLeastPlotPixels / std::max(span, kLeastSpan);
    const double height = kValuePixels / point, gap = kValueGap / point,
                 marker = kMarkedMarker / point;
    using Span = std::pair<double, double>;
    const auto overlap = [](const Span &a, const Span &b) {
        return std::max(0.0, std::min(a.second, b.second) - std::max(a.first, b.first));
    };
    std::vector<Span> texts;
    const auto cost = [&](const Span &s, std::size_t own) {
        double c = 0;
        for (std::size_t k = 0; k < values.size(); ++k)
            if (k != own)
                c += overlap(s, {values[k] - marker, values[k] + marker});
        for (const Span &t : texts)
            c += kTextOverText * overlap(s, t);
        return c;
    };
    std::vector<std::size_t> order(values.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&values](std::size_t a, std::size_t b) { return values[a] > values[b]; });
    // From the highest down, each where it covers least of the values and markers placed so
    // far, over its point when both cover alike; never under the axis' lowest value, where the
    // plot ends.
    std::vector<bool> under(values.size(), false);
    for (const std::size_t i : order) {
        const double v = values[i];
        const Span over{v + gap, v + gap + height};
        const Span below{v - gap - height, v - gap};
        under[i] = below.first >= lowest && cost(below, i) < cost(over, i);
        texts.push_back(under[i] ? below : over);
    }
    return under;
}

std::vector<TrendColumnSeries> fillTrendChart(TCustomChart &chart, const Trend &trend,
                                              TrendValues values, int chosen, QSize size)
{
    while (chart.SeriesList().Count() > 0)
        chart.SeriesList().Remove(chart.SeriesList()[0]);
    design(chart, trend, values);
    const int strong = trendHighlight(values, chosen);
    const auto written = [strong](int column) {
        return strong == kNoHighlight || column == strong;
    };

    // Holds the axis' least span: nothing of it is drawn.
    const auto [lowest, highest] = trendChartSpan(trend, values);
    TLineSeries *frame = addSeries(chart, QStringLiteral("TrendFrame"), clNone);
    frame->AddXY(0, lowest, {}, clNone);
    frame->AddXY(0, highest, {}, clNone);

    const std::vector<int> columns = trendChartColumns(values);
    std::vector<TrendColumnSeries> shown;
    for (const int c : columns) {
        TrendColumnSeries s;
        s.column = c;
        s.line = addLine(chart, QStringLiteral("Trend%1").arg(c + 1), c,
                         strong == kNoHighlight ? kLineWidth
                         : c == strong          ? kStrongLineWidth
                                                : kFaintLineWidth,
                         !written(c));
        s.line->setShowInLegend(true);
        shown.push_back(s);
    }
    // The highlighted line again over the faint ones, its legend entry kept in its place.
    TLineSeries *over = strong == kNoHighlight ? nullptr
                                               : addLine(chart, QStringLiteral("TrendHighlight"),
                                                         strong, kStrongLineWidth, false);
    // The values after every line, so that no line crosses a value.
    for (TrendColumnSeries &s : shown) {
        const TColor colour = trendColour(s.column);
        const QString name = QStringLiteral("Trend%1").arg(s.column + 1);
        s.values = addValues(chart, name + QStringLiteral("Values"), colour, false, false);
        s.valuesUnder = addValues(chart, name + QStringLiteral("ValuesUnder"), colour, false, true);
        s.marked = addValues(chart, name + QStringLiteral("Marked"), colour, true, false);
        s.markedUnder = addValues(chart, name + QStringLiteral("MarkedUnder"), colour, true, true);
    }

    for (std::size_t w = 0; w < trend.waves.size(); ++w) {
        const TrendWave &wave = trend.waves[w];
        // Where the written values go among the points of the lines in colour.
        std::vector<double> atWave;
        for (const int c : columns)
            if (written(c))
                atWave.push_back(wave.value(c));
        const std::vector<bool> under = trendValuesUnder(atWave, lowest, highest - lowest);
        std::size_t k = 0;
        for (const TrendColumnSeries &s : shown) {
            const double value = wave.value(s.column);
            s.line->AddXY(double(w), value, trendWaveLabel(wave));
            if (s.column == strong)
                over->AddXY(double(w), value);
            const bool write = written(s.column);
            const bool below = write && under[k++];
            const bool marked = w > 0 && trend.changes[w - 1].significant[std::size_t(s.column)];
            for (TLineSeries *series : {s.values, s.valuesUnder, s.marked, s.markedUnder}) {
                const bool here = write &&
                                  (series == s.marked || series == s.markedUnder) == marked &&
                                  (series == s.valuesUnder || series == s.markedUnder) == below;
                series->AddXY(double(w), value, {}, here ? AutoColor : clNone);
            }
        }
    }
    if (size.isValid())
        dropCrowdedValues(chart, shown, size);
    return shown;
}

int trendLegendColumnAt(TCustomChart &chart, const std::vector<TrendColumnSeries> &shown,
                        const TChartLayout &frame, QPoint pos)
{
    if (!frame.Legend.Geometry.Drawn)
        return -1;
    const TChartTextMetrics metrics;
    const TChartFont &font = chart.Legend().Font();
    for (const TLegendItem &item : frame.Legend.Items) {
        const TRect box{item.ColorBox.Left, std::min(item.ColorBox.Top, item.Text.Top),
                        item.Text.Left + metrics.TextWidth(font, item.Text.Text),
                        std::max(item.ColorBox.Bottom, item.Text.Top + metrics.LineHeight(font))};
        if (pos.x() < box.Left || pos.x() >= box.Right || pos.y() < box.Top ||
            pos.y() >= box.Bottom)
            continue;
        for (const TrendColumnSeries &s : shown)
            if (chart.SeriesList().IndexOf(s.line) == item.Series)
                return s.column;
    }
    return -1;
}

int trendWaveAt(const TChartLayout &frame, int waves, QPoint pos)
{
    if (pos.y() < frame.Plot.Top || pos.x() < frame.Plot.Left || pos.x() > frame.Plot.Right)
        return -1;
    // The waves stand at whole values of the bottom axis.
    const long wave = std::lround(frame.Axes[kBottomAxis].Scale.CalcPosPoint(pos.x()));
    return wave >= 0 && wave < waves ? int(wave) : -1;
}

void paintTrendChart(QPainter &painter, const Trend &trend, TrendValues values, int chosen)
{
    const QSize size(kTrendChartWidth, kTrendChartHeight);
    TCustomChart chart;
    // Settled at size by the fill.
    fillTrendChart(chart, trend, values, chosen, size);
    chart.paintTo(painter, size);
}

QImage trendChartPicture(const Trend &trend, TrendValues values, int chosen)
{
    QImage picture(kTrendChartWidth, kTrendChartHeight, QImage::Format_RGB32);
    picture.setDevicePixelRatio(1);
    QPainter painter(&picture);
    paintTrendChart(painter, trend, values, chosen);
    return picture;
}

QString trendValueText(double value)
{
    return formatWhole(value).trimmed();
}

QString trendChangeText(const TrendWave &before, const TrendWave &after, int column)
{
    const auto shown = [](double v) { return formatWhole(v, QLocale::c()).trimmed().toInt(); };
    const int change = shown(after.value(column)) - shown(before.value(column));
    if (change == 0)
        return QStringLiteral("0");
    return (change > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) +
           QString::number(std::abs(change));
}

QString trendMarksNote(const Disclosure &disclosure)
{
    return QStringLiteral("Крупный маркер на графике и число в рамке в таблице: изменение от "
                          "прошлой волны больше, чем даёт случай (критерий Уэлча, поправка "
                          "Бенджамини — Хохберга на все изменения таблицы, 0,05), и не меньше "
                          "%1 пунктов. Изменения без отметки могут быть случайными, особенно в "
                          "малых волнах.")
        .arg(pointsText(disclosure.minDiff));
}
