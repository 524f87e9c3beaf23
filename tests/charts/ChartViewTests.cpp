#include "AxisMath.h"
#include "ChartLayout.h"
#include "ChartViews.h"
#include "ProfileStore.h"
#include "TBarSeries.h"
#include "TChart.h"
#include "TChartAxis.h"
#include "TChartCanvas.h"

#include <array>
#include <limits>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <gtest/gtest.h>

// The window's chart in its views: what the pictures show (colours, outlines, the dotted grid,
// bevels) and how the views follow one another. Where things go is in LayoutTests.

namespace {

const QColor kOrange(255, 128, 0);
const QColor kFuchsia(255, 0, 255);
const QColor kGreen232(0, 232, 0);
const QColor kBlue(0, 0, 255);
const QColor kGrey(128, 128, 128);

QColor centreOf(const QImage &image, const TRect &r)
{
    return image.pixelColor((r.Left + r.Right) / 2,
                            (std::min(r.Top, r.Bottom) + std::max(r.Top, r.Bottom)) / 2);
}

// Pixels of rect that have the given colour.
int pixelsOf(const QImage &image, const TRect &r, const QColor &colour)
{
    int count = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

// The window's chart, filled from a store with distinct values.
class WindowChart : public ::testing::Test
{
protected:
    WindowChart()
    {
        for (int k = 1; k <= kScaleScoreCount; ++k)
            store.ScaleScores[k] = 10 + 3 * k;
        for (int k = 1; k <= kSummaryCount; ++k)
            store.SummaryScores[k] = 20 + 5 * k;
        writeChartFoot(chart, QStringLiteral("0451"), QStringLiteral("Петрова"),
                       QStringLiteral("01.03.2024"));
    }

    QImage show(char view, const ProfileStore *reference = nullptr)
    {
        fillChart(chart, series, chartView(QLatin1Char(view), store, reference));
        frame = chart.Layout(chart.size());
        image = chart.render();
        return image;
    }

    const std::vector<TPlacedPoint> &points(const TBarSeries *bar) const
    {
        return frame.Series[static_cast<std::size_t>(chart.SeriesList().IndexOf(bar))].Points;
    }

    TChart chart;
    ChartAllSeries series = configureChartAll(chart);
    ProfileStore store;
    TChartLayout frame;
    QImage image;
};

// ---- one picture per view

struct PictureCase
{
    char view;
    std::vector<QColor> colours; // of each filled series' bars, S5 first; C to F: per point
};

class ViewPicture : public WindowChart, public ::testing::WithParamInterface<PictureCase>
{
};

TEST_P(ViewPicture, ColoursOutlinesGridAndBevels)
{
    const PictureCase c = GetParam();
    show(c.view);
    const bool perPoint = c.view >= 'C';
    // Bars in their fill colours: the series' own in A and B, the palette's per point after.
    std::size_t k = 0;
    for (TBarSeries *bar : series.bars()) {
        for (const TPlacedPoint &p : points(bar)) {
            ASSERT_LT(k, c.colours.size());
            EXPECT_EQ(centreOf(image, p.Bounds), c.colours[k]) << c.view << " point " << p.Index;
            k += perPoint ? 1 : 0;
        }
        if (!perPoint && !points(bar).empty())
            ++k;
    }
    EXPECT_EQ(k, c.colours.size());
    // S5's bars are outlined in grey, the others in black.
    const TRect s5 = points(series.SeriesS5).front().Bounds;
    EXPECT_EQ(image.pixelColor(s5.Left, (s5.Top + s5.Bottom) / 2), kGrey);
    if (!points(series.SeriesS6).empty()) {
        const TRect s6 = points(series.SeriesS6).front().Bounds;
        EXPECT_EQ(image.pixelColor(s6.Right - 1, (s6.Top + s6.Bottom) / 2), QColor(Qt::black));
    }

    // The wall: white inside a black frame; the margins keep the panel colour.
    const TRect plot = frame.Plot;
    const QColor face = chart.palette().color(QPalette::Button);
    EXPECT_EQ(image.pixelColor(4, 150), face);
    EXPECT_EQ(image.pixelColor(410, 150), face);
    EXPECT_EQ(image.pixelColor(plot.Right, (plot.Top + plot.Bottom) / 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(plot.Right - 3, plot.Top + 1), QColor(Qt::white));

    // A raised outer bevel and a lowered inner one, in the palette's colours as painted.
    const QRgb light = chart.palette().color(QPalette::Light).rgb();
    const QRgb dark = chart.palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(image.pixel(0, 150), light);
    EXPECT_EQ(image.pixel(208, 0), light);
    EXPECT_EQ(image.pixel(415, 150), dark);
    EXPECT_EQ(image.pixel(208, 293), dark);
    EXPECT_EQ(image.pixel(1, 150), dark);
    EXPECT_EQ(image.pixel(208, 1), dark);
    EXPECT_EQ(image.pixel(414, 150), light);
    EXPECT_EQ(image.pixel(208, 292), light);

    // The grid of the left axis is dotted: three grey pixels, three of the wall, and again,
    // left of the first bar.
    const int y = frame.Axes[kLeftAxis].Ticks.at(1);
    const int x0 = plot.Left + 2;
    ASSERT_LT(x0 + 24, s5.Left);
    int greys = 0;
    for (int x = x0; x < x0 + 18; ++x) {
        const QColor pixel = image.pixelColor(x, y);
        EXPECT_TRUE(pixel == kGrey || pixel == QColor(Qt::white)) << x;
        EXPECT_EQ(pixel, image.pixelColor(x + 6, y)) << x;
        EXPECT_NE(pixel, image.pixelColor(x + 3, y)) << x;
        greys += pixel == kGrey ? 1 : 0;
    }
    EXPECT_EQ(greys, 9);

    // The legend's colour boxes in the series' colours, and its shadow black, three pixels
    // deep under its box.
    if (frame.Legend.Geometry.Drawn) {
        ASSERT_EQ(frame.Legend.Items.size(), c.colours.size());
        for (std::size_t i = 0; i < c.colours.size(); ++i)
            EXPECT_EQ(centreOf(image, frame.Legend.Items[i].ColorBox), c.colours[i]) << i;
        const TRect &shadow = frame.Legend.Shadow;
        const TRect below{shadow.Left, frame.Legend.Frame.Bottom, shadow.Right, shadow.Bottom};
        EXPECT_EQ(pixelsOf(image, below, Qt::black), below.width() * below.height());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, ViewPicture,
    ::testing::Values(PictureCase{'A', {kOrange, kFuchsia, kGreen232, kBlue}},
                      PictureCase{'B', {kOrange, kFuchsia}},
                      PictureCase{'C', {Qt::red, QColor(0, 128, 0), Qt::yellow, kBlue}},
                      PictureCase{'D', {Qt::red, QColor(0, 128, 0)}},
                      PictureCase{'E', {Qt::red, QColor(0, 128, 0), Qt::yellow, kBlue}},
                      PictureCase{'F', {Qt::red, QColor(0, 128, 0)}}),
    [](const auto &row) { return std::string(1, row.param.view); });

// ---- views after views

TEST_F(WindowChart, ViewCKeepsTheOtherThreePlacesEmpty)
{
    show('A');
    show('C');
    for (TBarSeries *bar : {series.SeriesS6, series.SeriesS7, series.SeriesS8}) {
        EXPECT_EQ(bar->Count(), 0);
        EXPECT_TRUE(points(bar).empty());
    }
    // S5 keeps the leftmost of four places; nothing of its colour in the other three.
    const int w = frame.Series[3].BarWidth;
    for (const TPlacedPoint &p : points(series.SeriesS5)) {
        const TRect &r = p.Bounds;
        EXPECT_EQ(r.Left, frame.Axes[kBottomAxis].Scale.CalcPosValue(p.Index) - 2 * w);
        EXPECT_EQ(pixelsOf(image, {r.Right + 1, r.Top + 2, r.Right + 3 * w, r.Bottom - 1},
                           centreOf(image, r)),
                  0);
    }
}

TEST_F(WindowChart, ViewAAfterCIsOrangeAgainWithItsLegend)
{
    show('C');
    show('A');
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(series.SeriesS5->StoredColor(i), AutoColor);
    for (const TPlacedPoint &p : points(series.SeriesS5))
        EXPECT_EQ(centreOf(image, p.Bounds), kOrange);
    ASSERT_TRUE(frame.Legend.Geometry.Drawn);
    QStringList texts;
    for (const TLegendItem &item : frame.Legend.Items)
        texts.append(item.Text.Text);
    EXPECT_EQ(texts, QStringList({"Поощрение", "Вовлечение", "Согласие", "Общение"}));
}

TEST_F(WindowChart, ViewAAfterBRestoresTheSeriesTitles)
{
    show('B');
    EXPECT_EQ(chart.Legend().ItemTexts(chart),
              QStringList({"Мотивация", "Психологический климат"}));
    EXPECT_EQ(chart.Title().Text(), QStringList({"График факторов (III)"}));
    show('A');
    EXPECT_EQ(series.SeriesS5->Title(), "Поощрение");
    EXPECT_EQ(series.SeriesS6->Title(), "Вовлечение");
    EXPECT_EQ(chart.Title().Text(), QStringList({"График шкал по факторам (II)"}));
}

TEST_F(WindowChart, AViewChosenTwiceGivesTheSamePicture)
{
    for (char view : {'A', 'B', 'C', 'D', 'E', 'F'}) {
        const QImage first = show(view);
        show(view == 'A' ? 'C' : 'A');
        EXPECT_EQ(show(view), first) << view;
        EXPECT_EQ(series.SeriesS5->Count(),
                  view == 'A' || view == 'B' || view == 'C' || view == 'E' ? 4 : 2);
    }
}

TEST_F(WindowChart, AZeroValueIsALineOfTheBarColourAtTheOrigin)
{
    store.ScaleScores[1] = 0;
    show('A');
    const TRect r = points(series.SeriesS5).front().Bounds;
    ASSERT_EQ(r.Top, r.Bottom);
    EXPECT_EQ(pixelsOf(image, {r.Left, r.Top, r.Right, r.Top + 1}, kOrange), r.Right - r.Left);
}

// With a reference the chart keeps it in view: a long name loses its middle in the foot, not its
// ends, and stays inside the chart; a value of 0 is marked a pixel above the axis line.
TEST_F(WindowChart, AReferenceStaysInViewInTheFootAndOverTheAxis)
{
    writeChartFoot(chart, "0451", "Петрова", "01.03.2024",
                   "Отдел маркетинга и стратегических коммуникаций Уральского филиала, файлов: 6");
    const ProfileStore zero;
    show('C', &zero);
    const QString text = frame.Foot.Lines.at(1).Text;
    EXPECT_TRUE(
        QRegularExpression("^Сравнение: Отдел .+….+ филиала, файлов: 6$").match(text).hasMatch())
        << text.toStdString();
    for (int y = frame.Foot.Lines[1].Top; y < frame.Foot.Lines[1].Top + 12; ++y)
        for (int x : {2, 3, image.width() - 4, image.width() - 3})
            EXPECT_GT(qGray(image.pixel(x, y)), 100) << x << ", " << y;
    for (const TPlacedPoint &p : points(series.SeriesS5)) {
        EXPECT_EQ(p.Target.Bottom, frame.Axes[kLeftAxis].Scale.CalcPosValue(0) - 1) << p.Index;
        EXPECT_EQ(pixelsOf(image, p.Target, Qt::black), kTargetMarkHeight * p.Bounds.width());
    }
}

// ---- what each view plots

// One bar of a view: its series (0 = S5), the store value it shows and its category label.
struct ViewBar
{
    int bar;
    bool summary; // SummaryScores, else ScaleScores
    int index;
    const char *label;
};

struct ViewValuesCase
{
    char view;
    std::vector<ViewBar> bars; // in the order of their points
};

class ViewValues : public WindowChart, public ::testing::WithParamInterface<ViewValuesCase>
{
};

TEST_P(ViewValues, EveryBarStandsForItsStoreValueUnderItsLabel)
{
    const ViewValuesCase &c = GetParam();
    show(c.view);
    const auto bars = series.bars();
    std::array<int, 4> next{};
    for (const ViewBar &b : c.bars) {
        TBarSeries *bar = bars[std::size_t(b.bar)];
        const int i = next[std::size_t(b.bar)]++;
        const double value = b.summary ? store.SummaryScores[b.index] : store.ScaleScores[b.index];
        ASSERT_LT(i, bar->Count()) << b.index;
        EXPECT_EQ(bar->YValues().Value(i), value) << b.index;
        EXPECT_EQ(bar->Label(i), QString::fromUtf8(b.label)) << b.index;
        // On the picture: the bar rises from the origin to its value, in its own colour.
        ASSERT_LT(std::size_t(i), points(bar).size()) << b.index;
        ASSERT_EQ(points(bar)[std::size_t(i)].Index, i) << b.index;
        const TRect r = points(bar)[std::size_t(i)].Bounds;
        const TAxisScale &left = frame.Axes[kLeftAxis].Scale;
        EXPECT_EQ(r.Top, left.CalcPosValue(value)) << b.index;
        EXPECT_EQ(r.Bottom, left.CalcPosValue(0)) << b.index;
        const QColor colour = centreOf(image, r);
        EXPECT_NE(colour, QColor(Qt::white)) << b.index;
        EXPECT_NE(image.pixelColor((r.Left + r.Right) / 2, r.Top - 2), colour) << b.index;
    }
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(bars[std::size_t(j)]->Count(), next[std::size_t(j)]) << "series " << j;
}

// With a reference, every bar carries a black mark two pixels high across its width at the
// reference value's pixel rows, over the bar; the axis covers both profiles.
TEST_P(ViewValues, EveryBarCarriesItsReferenceMark)
{
    const ViewValuesCase &c = GetParam();
    ProfileStore reference;
    for (int k = 1; k <= kScaleScoreCount; ++k)
        reference.ScaleScores[k] = k % 2 ? store.ScaleScores[k] + 45 : store.ScaleScores[k] / 2;
    for (int k = 1; k <= kSummaryCount; ++k)
        reference.SummaryScores[k] =
            k % 2 ? store.SummaryScores[k] + 45 : store.SummaryScores[k] / 2;
    writeChartFoot(chart, QStringLiteral("0451"), QStringLiteral("Петрова"),
                   QStringLiteral("01.03.2024"), QStringLiteral("Отдел, файлов: 3"));
    show(c.view, &reference);
    EXPECT_EQ(frame.Foot.Lines.size(), 2u);
    const auto bars = series.bars();
    std::array<int, 4> next{};
    const TAxisScale &left = frame.Axes[kLeftAxis].Scale;
    const QColor black(Qt::black);
    for (const ViewBar &b : c.bars) {
        TBarSeries *bar = bars[std::size_t(b.bar)];
        const int i = next[std::size_t(b.bar)]++;
        const double value =
            b.summary ? reference.SummaryScores[b.index] : reference.ScaleScores[b.index];
        EXPECT_LE(left.RangeMin, value) << b.index;
        EXPECT_GE(left.RangeMax, value) << b.index;
        ASSERT_LT(std::size_t(i), points(bar).size()) << b.index;
        const TRect r = points(bar)[std::size_t(i)].Bounds;
        const int row = left.CalcPosValue(value);
        EXPECT_EQ(pixelsOf(image, {r.Left, row, r.Right, row + 2}, black), 2 * (r.Right - r.Left))
            << b.index;
        EXPECT_NE(image.pixelColor((r.Left + r.Right) / 2, row - 1), black) << b.index;
        EXPECT_NE(image.pixelColor((r.Left + r.Right) / 2, row + 2), black) << b.index;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, ViewValues,
    ::testing::Values(
        ViewValuesCase{'A',
                       {{0, false, 1, "Инновация"},
                        {1, false, 2, "Инновация"},
                        {2, false, 3, "Инновация"},
                        {3, false, 4, "Инновация"},
                        {0, false, 5, "Адаптация"},
                        {1, false, 6, "Адаптация"},
                        {2, false, 7, "Адаптация"},
                        {3, false, 8, "Адаптация"},
                        {0, false, 9, "Конкуренция"},
                        {1, false, 10, "Конкуренция"},
                        {2, false, 11, "Конкуренция"},
                        {3, false, 12, "Конкуренция"},
                        {0, false, 13, "Интеграция"},
                        {1, false, 14, "Интеграция"},
                        {2, false, 15, "Интеграция"},
                        {3, false, 16, "Интеграция"}}},
        ViewValuesCase{'B',
                       {{0, false, 17, "Инновация"},
                        {1, false, 18, "Инновация"},
                        {0, false, 19, "Адаптация"},
                        {1, false, 20, "Адаптация"},
                        {0, false, 21, "Конкуренция"},
                        {1, false, 22, "Конкуренция"},
                        {0, false, 23, "Интеграция"},
                        {1, false, 24, "Интеграция"}}},
        ViewValuesCase{'C',
                       {{0, true, 1, "Инновация"},
                        {0, true, 2, "Адаптация"},
                        {0, true, 3, "Конкуренция"},
                        {0, true, 4, "Интеграция"}}},
        ViewValuesCase{'D', {{0, true, 11, "Развитие"}, {0, true, 12, "Взаимодействие"}}},
        ViewValuesCase{'E',
                       {{0, true, 5, "Поощрение"},
                        {0, true, 6, "Вовлечение"},
                        {0, true, 7, "Согласие"},
                        {0, true, 8, "Общение"}}},
        ViewValuesCase{'F', {{0, true, 9, "Мотивация"}, {0, true, 10, "Психологический климат"}}}),
    [](const auto &row) { return std::string(1, row.param.view); });

// ---- axis lines and ticks

// Lines cover their start pixel and leave out their end pixel, whichever way they run.
struct LineCase
{
    QPoint from;
    QPoint to;
    int width;
    std::vector<QPoint> pixels; // sorted by row, then column
};

void PrintTo(const LineCase &c, std::ostream *os)
{
    *os << "(" << c.from.x() << ", " << c.from.y() << ") to (" << c.to.x() << ", " << c.to.y()
        << "), width " << c.width;
}

class CanvasLine : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(CanvasLine, CoversItsStartAndLeavesOutItsEnd)
{
    const LineCase &c = GetParam();
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TChartCanvas canvas(painter, QPalette());
        canvas.SetPen(clBlack, c.width);
        canvas.Line(c.from.x(), c.from.y(), c.to.x(), c.to.y());
    }
    std::vector<QPoint> drawn;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::white))
                drawn.push_back({x, y});
    EXPECT_EQ(drawn, c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanvasLine,
    ::testing::Values(LineCase{{5, 3}, {9, 3}, 1, {{5, 3}, {6, 3}, {7, 3}, {8, 3}}},
                      // towards the left, as a left axis draws its ticks
                      LineCase{{9, 3}, {5, 3}, 1, {{6, 3}, {7, 3}, {8, 3}, {9, 3}}},
                      LineCase{{3, 5}, {3, 8}, 1, {{3, 5}, {3, 6}, {3, 7}}},
                      LineCase{{3, 8}, {3, 5}, 1, {{3, 6}, {3, 7}, {3, 8}}},
                      // a two-pixel pen widens the line above it
                      LineCase{{9, 3}, {7, 3}, 2, {{8, 2}, {9, 2}, {8, 3}, {9, 3}}},
                      // the longer side decides
                      LineCase{{9, 4}, {5, 5}, 1, {{7, 4}, {8, 4}, {9, 4}, {6, 5}}}));

TEST_F(WindowChart, TicksStartBesideTheAxisLineAndPointAwayFromThePlot)
{
    show('C');
    const QRgb tick = qRgb(128, 128, 128);
    const TAxisLayout &left = frame.Axes[kLeftAxis];
    const int x = left.LinePos;
    ASSERT_FALSE(left.Ticks.empty());
    // Outer ticks of 4 pixels end one pixel left of the line's position: x - 4 .. x - 1.
    for (const int y : left.Ticks) {
        for (int d = 1; d <= 4; ++d)
            EXPECT_EQ(image.pixel(x - d, y), tick) << "y " << y << " x " << x - d;
        EXPECT_NE(image.pixel(x - 5, y), tick) << "y " << y;
    }
    // Minor ticks of 2 pixels: x - 2 .. x - 1.
    const std::vector<int> &minor = left.MinorTicks;
    ASSERT_FALSE(minor.empty());
    for (const int y : minor) {
        EXPECT_EQ(image.pixel(x - 1, y), tick) << "y " << y;
        EXPECT_EQ(image.pixel(x - 2, y), tick) << "y " << y;
        EXPECT_NE(image.pixel(x - 3, y), tick) << "y " << y;
    }
    // The bottom axis' ticks run down from one pixel below its line: y + 1 .. y + 4.
    const TAxisLayout &bottom = frame.Axes[kBottomAxis];
    const int y = bottom.LinePos;
    ASSERT_FALSE(bottom.Ticks.empty());
    for (const int at : bottom.Ticks) {
        for (int d = 1; d <= 4; ++d)
            EXPECT_EQ(image.pixel(at, y + d), tick) << "x " << at << " y " << y + d;
        EXPECT_NE(image.pixel(at, y + 5), tick) << "x " << at;
    }
}

// ---- unclamped values

struct RangeCase
{
    double low;  // ScaleScores[1]
    double high; // ScaleScores[2]
    double rangeMin;
    double rangeMax;
};

class ValueRange : public WindowChart, public ::testing::WithParamInterface<RangeCase>
{
};

TEST_P(ValueRange, FollowsTheDataAndTheOrigin)
{
    const RangeCase c = GetParam();
    for (int k = 1; k <= 16; ++k)
        store.ScaleScores[k] = 50;
    store.ScaleScores[1] = c.low;
    store.ScaleScores[2] = c.high;
    show('A');
    EXPECT_DOUBLE_EQ(frame.Axes[kLeftAxis].Scale.RangeMin, c.rangeMin);
    EXPECT_DOUBLE_EQ(frame.Axes[kLeftAxis].Scale.RangeMax, c.rangeMax);
    if (c.low < 0) {
        // the bar hangs from the origin downwards
        const TRect r = points(series.SeriesS5).front().Bounds;
        EXPECT_GT(r.Top, r.Bottom);
        EXPECT_EQ(centreOf(image, r), kOrange);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ValueRange,
                         ::testing::Values(RangeCase{50, 50, 0, 50}, RangeCase{-20, 50, -20, 50},
                                           RangeCase{50, 130, 0, 130},
                                           RangeCase{-35.5, 250, -35.5, 250},
                                           RangeCase{0, 0, 0, 50}));

TEST(EmptyChart, ActiveSeriesWithoutPointsGiveOneLabelAtTheCentre)
{
    TChart chart;
    configureChartAll(chart);
    const TChartLayout frame = chart.Layout(chart.size());
    const TAxisLayout &left = frame.Axes[kLeftAxis];
    EXPECT_EQ(left.Scale.RangeSize(), 0);
    EXPECT_EQ(left.Ticks, std::vector<int>{left.Scale.CenterPixel()});
    EXPECT_TRUE(frame.Axes[kBottomAxis].Ticks.empty());
}

} // namespace

// The store is never clamped: every view paints whatever it holds, even values no answer file
// can give, and ends.
TEST_F(WindowChart, EveryViewPaintsWildValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double wild[][2] = {{std::numeric_limits<double>::quiet_NaN(), 0},
                              {inf, -inf},
                              {1e308, -1e308},
                              {-5000, 2.1e11}};
    const ProfileStore plain = store;
    const QImage before = show('A');
    for (const auto &pair : wild) {
        for (std::size_t i = 1; i < store.ScaleScores.size(); ++i)
            store.ScaleScores[i] = pair[i % 2];
        for (std::size_t i = 1; i < store.SummaryScores.size(); ++i)
            store.SummaryScores[i] = pair[i % 2];
        for (const char view : {'A', 'B', 'C', 'D', 'E', 'F'}) {
            show(view);
            // The whole frame is there: the title over the wall, and the wall with its frame.
            const TTitleGeometry &t = frame.Title.Geometry;
            const TRect title{8, t.FirstLineTop, 404, t.FirstLineTop + t.LineHeight};
            const int titleInk = (title.Right - title.Left) * (title.Bottom - title.Top) -
                                 pixelsOf(image, title, chart.palette().color(QPalette::Button));
            EXPECT_GT(titleInk, 0) << view << " " << pair[0];
            const TRect plot = frame.Plot;
            EXPECT_EQ(image.pixelColor(plot.Right, (plot.Top + plot.Bottom) / 2), QColor(Qt::black))
                << view << " " << pair[0];
            EXPECT_GT(pixelsOf(image, plot, Qt::white), 0) << view << " " << pair[0];
        }
    }
    // Nothing of them stays behind: the plain profile paints as it did.
    store = plain;
    EXPECT_EQ(show('A'), before);
}
