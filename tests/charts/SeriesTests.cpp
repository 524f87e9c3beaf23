#include "TBarSeries.h"
#include "TChart.h"
#include "TLineSeries.h"

#include <gtest/gtest.h>

namespace {

// ---- bar width

struct WidthCase
{
    int axisLength;
    int points;
    int groupSize;
    int percent;
    bool sideMargins;
    int width;
};

class BarWidth : public ::testing::TestWithParam<WidthCase>
{
};

TEST_P(BarWidth, IsAlwaysEvenAfterHalvesToEven)
{
    const WidthCase c = GetParam();
    EXPECT_EQ(barWidthFor(c.axisLength, c.points, c.groupSize, c.percent, c.sideMargins), c.width);
}

INSTANTIATE_TEST_SUITE_P(Table, BarWidth,
                         ::testing::Values(
                             // 300 / 17 = 17, 11.9 -> 12, 12 / 4 = 3, made even
                             WidthCase{300, 16, 4, 70, true, 4},
                             // slot 15: 10.5 -> 10, 10 / 4 = 2
                             WidthCase{75, 4, 4, 70, true, 2},
                             // slot 5: 3.5 -> 4, 4 / 4 = 1, made even
                             WidthCase{25, 4, 4, 70, true, 2},
                             // fewer pixels than slots
                             WidthCase{3, 4, 4, 70, true, 0},
                             // 70.7 -> 71 becomes 72, never 70
                             WidthCase{101, 1, 1, 70, false, 72}, WidthCase{300, 0, 4, 70, true, 0},
                             WidthCase{300, 4, 4, 100, true, 16}));

struct OffsetCase
{
    int position;
    int groupSize;
    int width;
    int offset;
};

class SideBarOffset : public ::testing::TestWithParam<OffsetCase>
{
};

TEST_P(SideBarOffset, CentresTheGroupOnThePoint)
{
    const OffsetCase c = GetParam();
    EXPECT_EQ(sideBarOffset(c.position, c.groupSize, c.width), c.offset);
}

INSTANTIATE_TEST_SUITE_P(Table, SideBarOffset,
                         ::testing::Values(OffsetCase{1, 4, 10, -20}, OffsetCase{2, 4, 10, -10},
                                           OffsetCase{3, 4, 10, 0}, OffsetCase{4, 4, 10, 10},
                                           OffsetCase{1, 1, 10, -5}, OffsetCase{1, 3, 10, -15},
                                           OffsetCase{2, 3, 6, -3}));

// ---- value lists

TEST(ValueList, AscendingInsertKeepsEqualValuesInTheOrderAdded)
{
    TChartValueList list(QStringLiteral("X"), TChartListOrder::loAscending);
    EXPECT_EQ(list.AddChartValue(1), 0);
    EXPECT_EQ(list.AddChartValue(3), 1);
    EXPECT_EQ(list.AddChartValue(2), 1);
    EXPECT_EQ(list.AddChartValue(2), 2);
    EXPECT_EQ(list.AddChartValue(0), 0);
    TChartValueList down(QStringLiteral("X"), TChartListOrder::loDescending);
    for (double v : {5.0, 1.0, 3.0, 3.0})
        down.AddChartValue(v);
    EXPECT_EQ(down.InsertionIndex(3), 3);
    EXPECT_EQ(down.InsertionIndex(9), 0);
    TChartValueList none(QStringLiteral("Y"), TChartListOrder::loNone);
    none.AddChartValue(5);
    EXPECT_EQ(none.AddChartValue(1), 1);
}

TEST(ValueList, StatisticsAreCachedUntilTheNextChange)
{
    TChartValueList list(QStringLiteral("Y"), TChartListOrder::loNone);
    EXPECT_EQ(list.MinValue(), 0);
    for (double v : {4.0, -2.0, 7.0})
        list.AddChartValue(v);
    const int runs = list.StatisticsRuns();
    EXPECT_EQ(list.MinValue(), -2);
    EXPECT_EQ(list.MaxValue(), 7);
    EXPECT_EQ(list.Total(), 9);
    EXPECT_EQ(list.TotalABS(), 13);
    EXPECT_EQ(list.StatisticsRuns(), runs + 1);
    list.SetValue(1, -5);
    EXPECT_EQ(list.MinValue(), -5);
    EXPECT_EQ(list.StatisticsRuns(), runs + 2);
    list.Clear();
    EXPECT_EQ(list.MaxValue(), 0);
}

// ---- points and colours

struct ChartWithBar : public ::testing::Test
{
    TChart chart;
    TBarSeries *bar = chart.AddSeries(std::make_unique<TBarSeries>(QStringLiteral("bar")));

    // Paints the chart on the (offscreen) screen so that its picture is current.
    void paintNow()
    {
        chart.show();
        chart.grab();
    }
};

TEST_F(ChartWithBar, PointsGetXInTheOrderAdded)
{
    for (double v : {40.0, 10.0, 30.0})
        bar->AddValue(v, QStringLiteral("p"));
    ASSERT_EQ(bar->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bar->XValues().Value(i), i);
    EXPECT_EQ(bar->YValues().Value(1), 10);
    EXPECT_EQ(bar->YValues().Name(), "Bar");
}

TEST_F(ChartWithBar, ColourEachPointTakesThePaletteAndTurningItOffResets)
{
    bar->setSeriesColor(rgbColor(255, 128, 0));
    for (int i = 0; i < 4; ++i)
        bar->AddValue(i);
    bar->setColorEachPoint(true);
    EXPECT_EQ(bar->PointColor(0), clRed);
    EXPECT_EQ(bar->PointColor(1), clGreen);
    EXPECT_EQ(bar->PointColor(2), clYellow);
    EXPECT_EQ(bar->PointColor(3), clBlue);
    bar->setColorEachPoint(false);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bar->PointColor(i), rgbColor(255, 128, 0));
        EXPECT_EQ(bar->StoredColor(i), AutoColor);
    }
    // A point's own colour wins over the palette; past the end the series colour answers.
    bar->AddValue(9, {}, clTeal);
    bar->setColorEachPoint(true);
    EXPECT_EQ(bar->PointColor(4), clTeal);
    EXPECT_EQ(bar->PointColor(17), rgbColor(255, 128, 0));
}

// Counts the repaint requests the chart gets.
class CountingChart : public TChart
{
public:
    void RequestRepaint() override
    {
        ++requests;
        TChart::RequestRepaint();
    }
    int requests = 0;
};

// Turning the point colours off resets every point, and the chart hears of it once.
TEST(ChartRepaints, ColourEachPointOffAsksForOneRepaintWhateverThePointCount)
{
    CountingChart chart;
    TBarSeries *bar = chart.AddSeries(std::make_unique<TBarSeries>(QStringLiteral("bar")));
    for (int i = 0; i < 16; ++i)
        bar->AddValue(i);
    bar->setColorEachPoint(true);
    chart.requests = 0;
    bar->setColorEachPoint(false);
    EXPECT_EQ(chart.requests, 1);
    bar->setColorEachPoint(false);
    EXPECT_EQ(chart.requests, 1);
}

TEST_F(ChartWithBar, NewSeriesTakeTheFirstUnusedPaletteColour)
{
    EXPECT_EQ(bar->SeriesColor(), clRed);
    auto *second = chart.AddSeries(std::make_unique<TLineSeries>());
    EXPECT_EQ(second->SeriesColor(), clGreen);
}

TEST_F(ChartWithBar, ClearOfAnEmptyActiveSeriesStillRepaints)
{
    paintNow();
    ASSERT_TRUE(chart.PictureCurrent());
    bar->Clear();
    EXPECT_FALSE(chart.PictureCurrent());
    paintNow();
    bar->setActive(false);
    paintNow();
    bar->Clear();
    EXPECT_TRUE(chart.PictureCurrent());
}

TEST_F(ChartWithBar, APaintWithoutChangeCopiesThePicture)
{
    bar->AddValue(5);
    paintNow();
    const int frames = chart.FramesDrawn();
    chart.grab();
    EXPECT_EQ(chart.FramesDrawn(), frames);
    chart.Title().Add(QStringLiteral("t"));
    chart.grab();
    EXPECT_EQ(chart.FramesDrawn(), frames + 1);
    // A new size makes a new picture.
    chart.resize(300, 200);
    chart.grab();
    EXPECT_EQ(chart.FramesDrawn(), frames + 2);
    EXPECT_EQ(chart.grab().size(), QSize(300, 200));
}

TEST_F(ChartWithBar, BarExtremesIncludeTheOrigin)
{
    EXPECT_EQ(bar->MinYValue(), 0);
    EXPECT_EQ(bar->MaxYValue(), 0);
    bar->AddValue(50);
    bar->AddValue(50);
    EXPECT_EQ(bar->MinYValue(), 0);
    EXPECT_EQ(bar->MaxYValue(), 50);
    bar->AddValue(-7);
    EXPECT_EQ(bar->MinYValue(), -7);
}

} // namespace
