#include "ChartLayout.h"
#include "ChartViews.h"
#include "ProfileStore.h"
#include "TBarSeries.h"
#include "TChart.h"

#include <limits>

#include <QFontMetrics>
#include <QImage>
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
    for (const auto &pair : wild) {
        for (std::size_t i = 1; i < store.ScaleScores.size(); ++i)
            store.ScaleScores[i] = pair[i % 2];
        for (std::size_t i = 1; i < store.SummaryScores.size(); ++i)
            store.SummaryScores[i] = pair[i % 2];
        for (const char view : {'A', 'B', 'C', 'D', 'E', 'F'})
            EXPECT_EQ(show(view).size(), QSize(416, 294)) << view << " " << pair[0];
    }
}
