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

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor kOrange(255, 128, 0);
const QColor kFuchsia(255, 0, 255);
const QColor kGreen232(0, 232, 0);
const QColor kBlue(0, 0, 255);

// Pixels of rect that have the given colour.
int pixelsOf(const QImage &image, const TRect &r, const QColor &colour)
{
    int count = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

QColor centreOf(const QImage &image, const TRect &r)
{
    return image.pixelColor((r.Left + r.Right) / 2,
                            (std::min(r.Top, r.Bottom) + std::max(r.Top, r.Bottom)) / 2);
}

int lineHeight()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return QFontMetrics(font).height();
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

    QImage show(char view)
    {
        fillChart(chart, series, chartView(QLatin1Char(view), store));
        image = chart.render();
        return image;
    }

    int axisPixel(int x) { return chart.BottomAxis().CalcPosValue(x); }

    TChart chart;
    ChartAllSeries series = configureChartAll(chart);
    ProfileStore store;
    QImage image;
};

// ---- geometry

struct PlotRectCase
{
    int width;
    int height;
    int left, top, right, bottom; // margins
    int border;
    TRect plot;
};

class PlotRectFromMargins : public ::testing::TestWithParam<PlotRectCase>
{
};

TEST_P(PlotRectFromMargins, RoundsHalvesAwayAndNormalises)
{
    const PlotRectCase c = GetParam();
    const TRect panel{0, 0, c.width, c.height};
    const TRect plot =
        normalizePlotRect(plotRectFromMargins(panel, c.left, c.top, c.right, c.bottom, c.border),
                          panel, c.width, c.height);
    EXPECT_EQ(plot, c.plot);
}

INSTANTIATE_TEST_SUITE_P(Table, PlotRectFromMargins,
                         ::testing::Values(
                             // the window's chart: 8.32, 11.76, 12.48 and 11.76 pixels
                             PlotRectCase{416, 294, 2, 4, 3, 4, 0, {8, 12, 404, 282}},
                             PlotRectCase{400, 250, 3, 4, 3, 4, 0, {12, 10, 388, 240}},
                             // 2.5 pixels round away from zero
                             PlotRectCase{250, 250, 1, 1, 1, 1, 0, {3, 3, 247, 247}},
                             PlotRectCase{400, 250, 3, 4, 3, 4, 2, {14, 12, 386, 238}},
                             // margins that meet or cross keep a plot rectangle
                             PlotRectCase{100, 100, 50, 60, 50, 60, 0, {50, 60, 150, 61}}));

TEST_F(WindowChart, TitleFootAndAxesTakeTheirRoom)
{
    show('C');
    const int h = lineHeight();
    const TRect plot = chart.PlotRect();
    // title line + 5 above; foot line + 5 and the bottom labels + 6 below
    EXPECT_EQ(plot.Top, 12 + h + 5);
    EXPECT_EQ(plot.Bottom, 282 - h - 5 - h - 6);
    EXPECT_GT(plot.Left, 8 + 6);
    EXPECT_EQ(plot.Right, 404);
    // the value axis starts one percent of the plot height below the wall's top
    EXPECT_EQ(chart.LeftAxis().StartPixel(), plot.Top + roundHalfEven(plot.height() / 100.0));
    EXPECT_EQ(chart.LeftAxis().EndPixel(), plot.Bottom);
}

struct LegendCase
{
    char view;
    bool drawn;
    int items;
    int rows;
};

class LegendPerView : public WindowChart, public ::testing::WithParamInterface<LegendCase>
{
};

TEST_P(LegendPerView, OneRowForTheNamedSeriesAndNoneOtherwise)
{
    const LegendCase c = GetParam();
    show(c.view);
    const TChartLegend &legend = chart.Legend();
    EXPECT_EQ(legend.Geometry().Drawn, c.drawn);
    EXPECT_EQ(legend.ItemTexts(chart).size(), c.items);
    EXPECT_EQ(legend.Geometry().Rows, c.rows);
    const int h = lineHeight();
    const int titleBottom = 12 + h;
    const TRect band{8, titleBottom, 404, chart.PlotRect().Top};
    if (!c.drawn) {
        // no box, no shadow, and the wall starts 5 pixels under the title
        EXPECT_EQ(pixelsOf(image, band, Qt::black), 0);
        EXPECT_EQ(chart.PlotRect().Top, titleBottom + 5);
        return;
    }
    const TRect box = legend.Geometry().Box;
    EXPECT_GE(legend.Geometry().Columns, c.items);
    // right of centre by a tenth of the spare width
    const int shift = (box.Left + box.Right) / 2 - (8 + 404) / 2;
    const int width = box.Right - box.Left;
    EXPECT_TRUE(shift == roundHalfEven((416 - width) / 10.0) ||
                shift == roundHalfEven((416 - width - 1) / 10.0))
        << shift;
    // the shadow below the box, 3 pixels deep
    EXPECT_GT(pixelsOf(image, {box.Left + 4, box.Bottom + 1, box.Right, box.Bottom + 3}, Qt::black),
              width / 2);
    // the plot starts under the legend, its shadow and 4 percent of the height
    const int heightBefore = 282 - h - 5 - (titleBottom + 5);
    EXPECT_EQ(chart.PlotRect().Top, box.Bottom + 3 + mulDiv(4, heightBefore, 100));
}

INSTANTIATE_TEST_SUITE_P(Views, LegendPerView,
                         ::testing::Values(LegendCase{'A', true, 4, 1}, LegendCase{'B', true, 2, 1},
                                           LegendCase{'C', false, 0, 0},
                                           LegendCase{'D', false, 0, 0},
                                           LegendCase{'E', false, 0, 0},
                                           LegendCase{'F', false, 0, 0}),
                         [](const auto &info) { return std::string(1, info.param.view); });

// ---- bars

TEST_F(WindowChart, ViewAShowsFourBarsPerGroupInTheSeriesColours)
{
    show('A');
    const auto bars = series.bars();
    const QColor colours[] = {kOrange, kFuchsia, kGreen232, kBlue};
    const int w = series.SeriesS5->BarWidth();
    ASSERT_GT(w, 2);
    EXPECT_EQ(w, barWidthFor(chart.BottomAxis().LengthPixels(), 4, 4, 70, true));
    for (int j = 0; j < 4; ++j) {
        ASSERT_EQ(bars[j]->Count(), 4);
        for (int i = 0; i < 4; ++i) {
            const TRect r = bars[j]->BarBounds(i);
            EXPECT_EQ(r.Left, axisPixel(i) + (j - 2) * w) << j << " " << i;
            EXPECT_EQ(r.Top, chart.LeftAxis().CalcPosValue(store.ScaleScores[4 * i + j + 1]));
            EXPECT_EQ(r.Bottom, chart.LeftAxis().CalcPosValue(0));
            EXPECT_EQ(centreOf(image, r), colours[j]) << j << " " << i;
        }
    }
    // the orange bars are outlined in grey, the others in black
    const TRect s5 = series.SeriesS5->BarBounds(0);
    EXPECT_EQ(image.pixelColor(s5.Left, (s5.Top + s5.Bottom) / 2), QColor(128, 128, 128));
    const TRect s6 = series.SeriesS6->BarBounds(0);
    EXPECT_EQ(image.pixelColor(s6.Right - 1, (s6.Top + s6.Bottom) / 2), QColor(Qt::black));
}

TEST_F(WindowChart, ViewCPutsItsBarsInTheLeftmostQuarterInPaletteColours)
{
    show('A');
    show('C');
    const QColor colours[] = {Qt::red, QColor(0, 128, 0), Qt::yellow, kBlue};
    const int w = series.SeriesS5->BarWidth();
    ASSERT_EQ(series.SeriesS5->Count(), 4);
    for (TBarSeries *bar : {series.SeriesS6, series.SeriesS7, series.SeriesS8})
        EXPECT_EQ(bar->Count(), 0);
    for (int i = 0; i < 4; ++i) {
        const TRect r = series.SeriesS5->BarBounds(i);
        EXPECT_EQ(r.Left, axisPixel(i) - 2 * w);
        EXPECT_EQ(r.Right, axisPixel(i) - w);
        EXPECT_EQ(centreOf(image, r), colours[i]) << i;
        // nothing drawn in the other three places
        EXPECT_EQ(
            pixelsOf(image, {r.Right + 1, r.Top + 2, r.Right + 3 * w, r.Bottom - 1}, colours[i]),
            0);
    }
}

TEST_F(WindowChart, ViewAAfterCIsOrangeAgainWithItsLegend)
{
    show('C');
    show('A');
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(series.SeriesS5->StoredColor(i), AutoColor);
        EXPECT_EQ(centreOf(image, series.SeriesS5->BarBounds(i)), kOrange);
    }
    EXPECT_TRUE(chart.Legend().Geometry().Drawn);
    EXPECT_EQ(chart.Legend().ItemTexts(chart),
              QStringList({"Поощрение", "Вовлечение", "Согласие", "Общение"}));
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

TEST_F(WindowChart, WallIsWhiteAndTheMarginsKeepThePanelColour)
{
    show('D');
    const TRect plot = chart.PlotRect();
    const QColor face = chart.palette().color(QPalette::Button);
    EXPECT_EQ(image.pixelColor(4, 150), face);
    EXPECT_EQ(image.pixelColor(410, 150), face);
    // the wall's frame is black, its inside white where no bar or grid line is
    EXPECT_EQ(image.pixelColor(plot.Right, (plot.Top + plot.Bottom) / 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(plot.Right - 3, plot.Top + 1), QColor(Qt::white));
}

TEST_F(WindowChart, AZeroValueIsALineOfTheBarColourAtTheOrigin)
{
    store.ScaleScores[1] = 0;
    show('A');
    const TRect r = series.SeriesS5->BarBounds(0);
    ASSERT_EQ(r.Top, r.Bottom);
    EXPECT_EQ(pixelsOf(image, {r.Left, r.Top, r.Right, r.Top + 1}, kOrange), r.Right - r.Left);
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
        const TRect r = bar->BarBounds(i);
        EXPECT_EQ(r.Top, chart.LeftAxis().CalcPosValue(value)) << b.index;
        EXPECT_EQ(r.Bottom, chart.LeftAxis().CalcPosValue(0)) << b.index;
        const QColor colour = centreOf(image, r);
        EXPECT_NE(colour, QColor(Qt::white)) << b.index;
        EXPECT_NE(image.pixelColor((r.Left + r.Right) / 2, r.Top - 2), colour) << b.index;
    }
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(bars[std::size_t(j)]->Count(), next[std::size_t(j)]) << "series " << j;
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
    [](const auto &info) { return std::string(1, info.param.view); });

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
    const TCustomChartAxis &left = chart.LeftAxis();
    const int x = left.LinePos();
    ASSERT_FALSE(left.TickPositions().empty());
    // Outer ticks of 4 pixels end one pixel left of the line's position: x - 4 .. x - 1.
    for (const int y : left.TickPositions()) {
        for (int d = 1; d <= 4; ++d)
            EXPECT_EQ(image.pixel(x - d, y), tick) << "y " << y << " x " << x - d;
        EXPECT_NE(image.pixel(x - 5, y), tick) << "y " << y;
    }
    // Minor ticks of 2 pixels: x - 2 .. x - 1.
    const std::vector<int> minor =
        minorTickPositions(left.TickPositions(), 3, left.StartPixel(), left.EndPixel(), false);
    ASSERT_FALSE(minor.empty());
    for (const int y : minor) {
        EXPECT_EQ(image.pixel(x - 1, y), tick) << "y " << y;
        EXPECT_EQ(image.pixel(x - 2, y), tick) << "y " << y;
        EXPECT_NE(image.pixel(x - 3, y), tick) << "y " << y;
    }
    // The bottom axis' ticks run down from one pixel below its line: y + 1 .. y + 4.
    const TCustomChartAxis &bottom = chart.BottomAxis();
    const int y = bottom.LinePos();
    ASSERT_FALSE(bottom.TickPositions().empty());
    for (const int at : bottom.TickPositions()) {
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
    EXPECT_DOUBLE_EQ(chart.LeftAxis().RangeMin(), c.rangeMin);
    EXPECT_DOUBLE_EQ(chart.LeftAxis().RangeMax(), c.rangeMax);
    if (c.low < 0) {
        // the bar hangs from the origin downwards
        const TRect r = series.SeriesS5->BarBounds(0);
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
    chart.render();
    EXPECT_EQ(chart.LeftAxis().RangeSize(), 0);
    EXPECT_EQ(chart.LeftAxis().TickPositions(), std::vector<int>{chart.LeftAxis().CenterPixel()});
    EXPECT_TRUE(chart.BottomAxis().TickPositions().empty());
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
            const TRect title{8, 12, 404, 12 + lineHeight()};
            const int titleInk = (title.Right - title.Left) * (title.Bottom - title.Top) -
                                 pixelsOf(image, title, chart.palette().color(QPalette::Button));
            EXPECT_GT(titleInk, 0) << view << " " << pair[0];
            const TRect plot = chart.PlotRect();
            EXPECT_EQ(image.pixelColor(plot.Right, (plot.Top + plot.Bottom) / 2), QColor(Qt::black))
                << view << " " << pair[0];
            EXPECT_GT(pixelsOf(image, plot, Qt::white), 0) << view << " " << pair[0];
        }
    }
    // Nothing of them stays behind: the plain profile paints as it did.
    store = plain;
    EXPECT_EQ(show('A'), before);
}
