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
#include <memory>
#include <numeric>

namespace {

constexpr int kFontHeight = -11;
constexpr int kTitleFontHeight = -13;
constexpr int kLineWidth = 2;
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
                                              TrendValues values)
{
    while (chart.SeriesList().Count() > 0)
        chart.SeriesList().Remove(chart.SeriesList()[0]);
    design(chart, trend, values);

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
        const TColor colour = trendColour(c);
        const QString name = QStringLiteral("Trend%1").arg(c + 1);
        s.line = addSeries(chart, name, colour);
        s.line->setTitle(ProfileStore::SummaryNames(c + 1));
        s.line->setShowInLegend(true);
        s.line->LinePen().setVisible(true);
        s.line->LinePen().setWidth(kLineWidth);
        s.line->Pointer().setVisible(true);
        s.line->Pointer().setHorizSize(kMarker);
        s.line->Pointer().setVertSize(kMarker);
        shown.push_back(s);
    }
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
        std::vector<double> atWave;
        for (const int c : columns)
            atWave.push_back(wave.value(c));
        const std::vector<bool> under = trendValuesUnder(atWave, lowest, highest - lowest);
        for (std::size_t k = 0; k < shown.size(); ++k) {
            const TrendColumnSeries &s = shown[k];
            const double value = atWave[k];
            s.line->AddXY(double(w), value, trendWaveLabel(wave));
            const bool marked = w > 0 && trend.changes[w - 1].significant[std::size_t(s.column)];
            for (TLineSeries *series : {s.values, s.valuesUnder, s.marked, s.markedUnder}) {
                const bool here = (series == s.marked || series == s.markedUnder) == marked &&
                                  (series == s.valuesUnder || series == s.markedUnder) == under[k];
                series->AddXY(double(w), value, {}, here ? AutoColor : clNone);
            }
        }
    }
    return shown;
}

void settleChart(TCustomChart &chart, QSize size)
{
    const TChartLayout first = chart.Layout(size);
    TAxisLengths lengths{};
    for (int i = 0; i < kAxisCount; ++i)
        lengths[std::size_t(i)] = first.Axes[std::size_t(i)].Scale.LengthPixels();
    chart.setLastLengths(lengths);
}

void paintTrendChart(QPainter &painter, const Trend &trend, TrendValues values)
{
    const QSize size(kTrendChartWidth, kTrendChartHeight);
    TCustomChart chart;
    fillTrendChart(chart, trend, values);
    settleChart(chart, size);
    chart.paintTo(painter, size);
}

QImage trendChartPicture(const Trend &trend, TrendValues values)
{
    QImage picture(kTrendChartWidth, kTrendChartHeight, QImage::Format_RGB32);
    picture.setDevicePixelRatio(1);
    QPainter painter(&picture);
    paintTrendChart(painter, trend, values);
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

QString trendMarksNote()
{
    return QStringLiteral("Крупный маркер на графике и число в рамке в таблице: изменение от "
                          "прошлой волны больше, чем даёт случай (критерий Уэлча, поправка "
                          "Бенджамини — Хохберга на все изменения таблицы, 0,05). Изменения без "
                          "отметки могут быть случайными, особенно в малых волнах.");
}
