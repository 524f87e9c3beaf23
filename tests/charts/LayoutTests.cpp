#include "ChartLayout.h"
#include "ChartViews.h"
#include "GroupLoader.h"
#include "ProfileStore.h"
#include "Scoring.h"
#include "TBarSeries.h"
#include "TChart.h"
#include "TChartCanvas.h"

#include <QPainter>
#include <QStringList>
#include <gtest/gtest.h>

// The layout of a frame as values: where the plot, the titles, the legend, the ticks and the
// bars go, without a picture.

namespace {

// ---- plot rectangle

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

// ---- title and foot

struct TitleCase
{
    const char *what;
    int lines;
    int frameWidth;
    bool frameVisible;
    bool foot;
    TTitleGeometry geometry;
};

class TitleRoom : public ::testing::TestWithParam<TitleCase>
{
};

TEST_P(TitleRoom, LinesFromTheEdgeAndTheGapBeyond)
{
    const TitleCase c = GetParam();
    const TRect plot{8, 12, 404, 282};
    EXPECT_EQ(titleGeometry(plot, c.lines, 12, c.frameWidth, c.frameVisible, c.foot, 5),
              c.geometry);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TitleRoom,
    ::testing::Values(
        // the window's title and foot: one line of 12 pixels and the gap of 5
        TitleCase{"title", 1, 0, false, false, {12, 12, 29}},
        TitleCase{"foot", 1, 0, false, true, {270, 12, 265}},
        // a visible frame of 2 sits between the edge and the lines and below them
        TitleCase{"framed_title", 2, 2, true, false, {14, 12, 45}},
        TitleCase{"framed_foot", 2, 2, true, true, {256, 12, 249}},
        // without lines only the frame takes room, and no gap
        TitleCase{"empty_title", 0, 2, true, false, {14, 12, 14}},
        TitleCase{"empty_foot", 0, 2, true, true, {280, 12, 280}},
        TitleCase{"empty_unframed", 0, 0, false, false, {12, 12, 12}}),
    [](const auto &row) { return std::string(row.param.what); });

// Title boxes and line places, as the chart measures the text.
struct TitleBoxCase
{
    const char *what;
    TAlignment alignment;
    bool frame;         // a visible red frame of 2
    TColor brushColour; // AutoColor: no fill
    bool adjustFrame;
    bool foot;
    bool boxed;
    TRect box;
    std::vector<int> lineLefts;
    std::vector<int> lineTops;
};

class TitleBox : public ::testing::TestWithParam<TitleBoxCase>
{
};

TEST_P(TitleBox, FramesTheLinesByTheAlignment)
{
    const TitleBoxCase c = GetParam();
    TChartTitle title(nullptr, c.foot);
    title.setText({QStringLiteral("Базовые шкалы"), QStringLiteral("Группа 0000")});
    title.setAlignment(c.alignment);
    title.setAdjustFrame(c.adjustFrame);
    if (c.frame) {
        title.Frame().setVisible(true);
        title.Frame().setColor(clRed);
        title.Frame().setWidth(2);
    }
    if (c.brushColour != AutoColor)
        title.Brush().setColor(c.brushColour);
    const TTitleLayout l = title.Layout({8, 12, 404, 282}, 5, TChartTextMetrics());
    ASSERT_TRUE(l.Shown);
    EXPECT_EQ(l.Boxed, c.boxed);
    if (c.boxed) {
        EXPECT_EQ(l.Box, c.box);
    }
    std::vector<int> lefts, tops;
    for (const TTextLine &line : l.Lines) {
        lefts.push_back(line.Left);
        tops.push_back(line.Top);
    }
    EXPECT_EQ(lefts, c.lineLefts);
    EXPECT_EQ(tops, c.lineTops);
}

// "Базовые шкалы" is 81 pixels wide, "Группа 0000" 62 and "W" 10 in the chart's Arial.
// clang-format off
const TitleBoxCase kTitleBoxes[] = {
    // centred lines, nothing behind them
    {"plain", TAlignment::taCenter, false, AutoColor, true, false, false, {}, {166, 175}, {12, 24}},
    // the box hugs the widest line plus a "W", centred; the frame moves the lines in
    {"framed", TAlignment::taCenter, true, AutoColor, true, false, true, {161, 12, 252, 40},
     {166, 175}, {14, 26}},
    {"framed_left", TAlignment::taLeftJustify, true, AutoColor, true, false, true,
     {8, 12, 99, 40}, {15, 15}, {14, 26}},
    {"framed_right", TAlignment::taRightJustify, true, AutoColor, true, false, true,
     {313, 12, 404, 40}, {316, 335}, {14, 26}},
    // a filled title without AdjustFrame spans the plot's width
    {"filled_wide", TAlignment::taCenter, false, clYellow, false, false, true, {8, 12, 404, 36},
     {166, 175}, {12, 24}},
    {"filled_foot", TAlignment::taCenter, false, clYellow, true, true, true, {161, 258, 252, 282},
     {166, 175}, {258, 270}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, TitleBox, ::testing::ValuesIn(kTitleBoxes),
                         [](const auto &row) { return std::string(row.param.what); });

TEST(TitleBox, AHiddenTitleTakesNoRoomAndHasNoLines)
{
    TChartTitle title(nullptr, false);
    title.setText({QStringLiteral("t")});
    title.setVisible(false);
    const TTitleLayout l = title.Layout({8, 12, 404, 282}, 5, TChartTextMetrics());
    EXPECT_FALSE(l.Shown);
    EXPECT_TRUE(l.Lines.empty());
}

// ---- legend at the top

struct LegendCase
{
    const char *what;
    TLegendInput in;
    TLegendGeometry geometry;
};

class TopLegend : public ::testing::TestWithParam<LegendCase>
{
};

TEST_P(TopLegend, ColumnsRowsAndThePlotTopAfterIt)
{
    EXPECT_EQ(topLegendGeometry(GetParam().in), GetParam().geometry);
}

TLegendInput legendInput(int items, int textWidth, TRect plot = {8, 29, 404, 265})
{
    TLegendInput in;
    in.Plot = plot;
    in.PanelWidth = 416;
    in.ItemCount = items;
    in.TextWidth = textWidth;
    in.LineHeight = 12;
    return in;
}

TLegendInput with(TLegendInput in, void (*change)(TLegendInput &))
{
    change(in);
    return in;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TopLegend,
    ::testing::Values(
        // view A: four entries 61 pixels wide; colour boxes round(65 x 0.12) = 8; the box
        // 6 + 4 x 77 + 8 = 322 wide, 9 right of centre (a tenth of 416 - 322, rounded); the
        // plot starts under the shadow of 3 and 4 percent of its height 236
        LegendCase{"view_A", legendInput(4, 61), {{54, 31, 376, 45}, 8, 4, 1, true, 57}},
        // view B: two entries of 127; 15.72 rounds to 16
        LegendCase{"view_B", legendInput(2, 127), {{58, 31, 374, 45}, 16, 2, 1, true, 57}},
        // no entries: nothing drawn, no room taken
        LegendCase{"no_items", legendInput(0, 0), {{239, 31, 253, 33}, 0, 0, 0, false, 29}},
        // ten entries: four columns of 81 fit in 386, so three rows
        LegendCase{"three_rows", legendInput(10, 61), {{54, 31, 376, 69}, 8, 4, 3, true, 81}},
        // fifty entries stop at ten rows
        LegendCase{"max_rows", legendInput(50, 61), {{54, 31, 376, 153}, 8, 4, 10, true, 165}},
        // a plot narrower than one column
        LegendCase{"too_narrow",
                   legendInput(4, 61, {0, 29, 60, 265}),
                   {{63, 31, 77, 33}, 8, 0, 0, false, 29}},
        // no frame: the items start at the plot top, and a column is 2 pixels wider
        LegendCase{"no_frame",
                   with(legendInput(4, 61), [](TLegendInput &in) { in.FrameVisible = false; }),
                   {{54, 29, 376, 43}, 8, 4, 1, true, 55}},
        // a plot that keeps its size still moves down by 4 percent
        LegendCase{"not_resizing",
                   with(legendInput(4, 61), [](TLegendInput &in) { in.ResizeChart = false; }),
                   {{54, 31, 376, 45}, 8, 4, 1, true, 38}},
        LegendCase{"vert_margin",
                   with(legendInput(4, 61), [](TLegendInput &in) { in.VertMargin = 10; }),
                   {{54, 31, 376, 45}, 8, 4, 1, true, 58}},
        // half a pixel of shift rounds to even: a tenth of 347 - 322 is 2.5
        LegendCase{"shift_half",
                   with(legendInput(4, 61), [](TLegendInput &in) { in.PanelWidth = 347; }),
                   {{47, 31, 369, 45}, 8, 4, 1, true, 57}}),
    [](const auto &row) { return std::string(row.param.what); });

TEST(TopLegend, ItemsGoAcrossThenDown)
{
    const TLegendGeometry g = topLegendGeometry(legendInput(10, 61));
    const TLegendItemPlace first = legendItemPlace(g, 0, 61, 12);
    EXPECT_EQ(first, (TLegendItemPlace{70, 32, {58, 34, 66, 42}}));
    // item 5: second row, second column
    const TLegendItemPlace sixth = legendItemPlace(g, 5, 61, 12);
    EXPECT_EQ(sixth, (TLegendItemPlace{147, 44, {135, 46, 143, 54}}));
}

// ---- the window's chart, laid out for two respondents

struct FrameCase
{
    const char *file;
    char view;
    TRect plot;
    TRect legend; // the legend's box; empty when no legend is drawn
    std::pair<int, int> title;
    std::pair<int, int> foot;
    std::vector<int> bottomTicks;
    std::pair<int, int> leftSpan;
    std::vector<int> leftTicks;
    const char *leftLabels;
    std::pair<int, int> topLeftLabel;     // the top-left corner of the highest value's text
    std::pair<int, int> firstBottomLabel; // and of the first category's
    int barWidth;
    std::vector<int> barsPerSeries; // S5, S6, S7, S8
    std::vector<TRect> bars;        // S5's, then S6's, ...
};

class WindowFrame : public ::testing::TestWithParam<FrameCase>
{
};

TEST_P(WindowFrame, PlotTitlesLegendTicksAndBars)
{
    const FrameCase c = GetParam();
    LoadedProfile loaded = loadRespondent(QStringLiteral(VORL_SAMPLES_DIR "/") + c.file);
    convertToPercent(loaded.store);
    TChart chart;
    const ChartAllSeries series = configureChartAll(chart);
    writeChartFoot(chart, loaded.header.code, loaded.header.name, loaded.header.date);
    // The views in menu order on one chart, as the window shows them.
    TChartLayout f;
    for (char view = 'A'; view <= c.view; ++view) {
        fillChart(chart, series, chartView(QLatin1Char(view), loaded.store));
        f = chart.Layout(QSize(416, 294));
        chart.render();
    }

    EXPECT_EQ(f.Plot, c.plot);
    EXPECT_EQ(f.Legend.Geometry.Drawn, c.legend != TRect{});
    if (f.Legend.Geometry.Drawn) {
        EXPECT_EQ(f.Legend.Geometry.Box, c.legend);
    }
    ASSERT_EQ(f.Title.Lines.size(), 1u);
    EXPECT_EQ(std::make_pair(f.Title.Lines[0].Left, f.Title.Lines[0].Top), c.title);
    ASSERT_EQ(f.Foot.Lines.size(), 1u);
    EXPECT_EQ(std::make_pair(f.Foot.Lines[0].Left, f.Foot.Lines[0].Top), c.foot);

    const TAxisLayout &bottom = f.Axes[kBottomAxis];
    const TAxisLayout &left = f.Axes[kLeftAxis];
    EXPECT_EQ(bottom.Ticks, c.bottomTicks);
    EXPECT_EQ(std::make_pair(left.Scale.StartPixel, left.Scale.EndPixel), c.leftSpan);
    EXPECT_EQ(left.Ticks, c.leftTicks);
    QStringList texts;
    for (const TAxisLabel &label : left.Labels)
        if (label.Shown)
            texts.append(label.Text);
    EXPECT_EQ(texts.join(QLatin1Char(' ')), QLatin1String(c.leftLabels));
    // Values stand right-aligned at the labels' edge, centred on their tick; categories hang
    // centred under theirs.
    ASSERT_FALSE(left.Labels.empty());
    ASSERT_EQ(left.Labels[0].Lines.size(), 1u);
    EXPECT_EQ(std::make_pair(left.Labels[0].Lines[0].Left, left.Labels[0].Lines[0].Top),
              c.topLeftLabel);
    ASSERT_FALSE(bottom.Labels.empty());
    ASSERT_EQ(bottom.Labels[0].Lines.size(), 1u);
    EXPECT_EQ(std::make_pair(bottom.Labels[0].Lines[0].Left, bottom.Labels[0].Lines[0].Top),
              c.firstBottomLabel);
    // The bottom axis names each group under its tick.
    ASSERT_EQ(bottom.Labels.size(), c.bottomTicks.size());
    for (std::size_t i = 0; i < bottom.Labels.size(); ++i)
        EXPECT_EQ(bottom.Labels[i].Text, series.SeriesS5->Label(static_cast<int>(i)));

    std::vector<int> counts;
    std::vector<TRect> bars;
    for (std::size_t s = 3; s < 7; ++s) {
        EXPECT_EQ(f.Series[s].BarWidth, c.barWidth);
        counts.push_back(static_cast<int>(f.Series[s].Points.size()));
        for (const TPlacedPoint &p : f.Series[s].Points)
            bars.push_back(p.Bounds);
    }
    EXPECT_EQ(counts, c.barsPerSeries);
    EXPECT_EQ(bars, c.bars);
}

// The frame values of the six views of two answer files, in the order the window shows them.
// clang-format off
const FrameCase kWindowFrames[] = {
    FrameCase{"petrova.txt", 'A', {29, 57, 404, 247}, {54, 31, 376, 45}, {130, 12}, {93, 270},
              {85, 173, 260, 348}, {59, 247},
              {62, 83, 103, 124, 144, 165, 185, 206, 226, 247},
              "90 80 70 60 50 40 30 20 10 0", {11, 56}, {57, 253}, 14, {4, 4, 4, 4},
              {{57, 230, 71, 247}, {145, 179, 159, 247}, {232, 196, 246, 247}, {320, 76, 334, 247},
               {71, 179, 85, 247}, {159, 162, 173, 247}, {246, 179, 260, 247}, {334, 59, 348, 247},
               {85, 179, 99, 247}, {173, 144, 187, 247}, {260, 144, 274, 247}, {348, 59, 362, 247},
               {99, 196, 113, 247}, {187, 179, 201, 247}, {274, 110, 288, 247},
               {362, 59, 376, 247}}},
    FrameCase{"petrova.txt", 'B', {29, 57, 404, 247}, {58, 31, 374, 45}, {152, 12}, {93, 270},
              {85, 173, 260, 348}, {59, 247},
              {62, 83, 103, 124, 144, 165, 185, 206, 226, 247},
              "90 80 70 60 50 40 30 20 10 0", {11, 56}, {57, 253}, 14, {4, 4, 0, 0},
              {{57, 204, 71, 247}, {145, 170, 159, 247}, {232, 187, 246, 247}, {320, 68, 334, 247},
               {71, 187, 85, 247}, {159, 162, 173, 247}, {246, 127, 260, 247},
               {334, 59, 348, 247}}},
    FrameCase{"petrova.txt", 'C', {29, 29, 404, 247}, {}, {153, 12}, {93, 270},
              {85, 173, 260, 348}, {31, 247},
              {54, 78, 102, 126, 151, 175, 199, 223, 247},
              "80 70 60 50 40 30 20 10 0", {11, 48}, {57, 253}, 14, {4, 0, 0, 0},
              {{57, 187, 71, 247}, {145, 152, 159, 247}, {232, 142, 246, 247},
               {320, 31, 334, 247}}},
    FrameCase{"petrova.txt", 'D', {29, 29, 404, 247}, {}, {155, 12}, {93, 270},
              {117, 316}, {31, 247},
              {36, 53, 69, 85, 101, 117, 134, 150, 166, 182, 198, 215, 231, 247},
              "65 60 55 50 45 40 35 30 25 20 15 10 5 0", {11, 30}, {94, 253}, 22, {2, 0, 0, 0},
              {{73, 142, 95, 247}, {272, 31, 294, 247}}},
    FrameCase{"petrova.txt", 'E', {29, 29, 404, 247}, {}, {166, 12}, {93, 270},
              {85, 173, 260, 348}, {31, 247},
              {36, 55, 74, 93, 113, 132, 151, 170, 189, 209, 228, 247},
              "55 50 45 40 35 30 25 20 15 10 5 0", {11, 30}, {55, 253}, 14, {4, 0, 0, 0},
              {{57, 103, 71, 247}, {145, 55, 159, 247}, {232, 31, 246, 247}, {320, 39, 334, 247}}},
    FrameCase{"petrova.txt", 'F', {29, 29, 404, 247}, {}, {150, 12}, {93, 270},
              {117, 316}, {31, 247},
              {32, 51, 71, 91, 110, 130, 149, 169, 188, 208, 227, 247},
              "55 50 45 40 35 30 25 20 15 10 5 0", {11, 26}, {89, 253}, 22, {2, 0, 0, 0},
              {{73, 76, 95, 247}, {272, 31, 294, 247}}},
    FrameCase{"ivanov.txt", 'A', {35, 57, 404, 247}, {54, 31, 376, 45}, {130, 12}, {99, 270},
              {83, 174, 265, 356}, {59, 247},
              {59, 78, 97, 115, 134, 153, 172, 191, 209, 228, 247},
              "100 90 80 70 60 50 40 30 20 10 0", {11, 53}, {55, 253}, 12, {4, 4, 4, 4},
              {{59, 75, 71, 247}, {150, 137, 162, 247}, {241, 137, 253, 247}, {332, 153, 344, 247},
               {71, 59, 83, 247}, {162, 122, 174, 247}, {253, 137, 265, 247}, {344, 184, 356, 247},
               {83, 122, 95, 247}, {174, 137, 186, 247}, {265, 153, 277, 247},
               {356, 216, 368, 247}, {95, 90, 107, 247}, {186, 106, 198, 247},
               {277, 153, 289, 247}, {368, 184, 380, 247}}},
    FrameCase{"ivanov.txt", 'B', {29, 57, 404, 247}, {58, 31, 374, 45}, {152, 12}, {99, 270},
              {85, 173, 260, 348}, {59, 247},
              {70, 90, 110, 129, 149, 169, 188, 208, 227, 247},
              "90 80 70 60 50 40 30 20 10 0", {11, 64}, {57, 253}, 14, {4, 4, 0, 0},
              {{57, 59, 71, 247}, {145, 124, 159, 247}, {232, 133, 246, 247}, {320, 165, 334, 247},
               {71, 100, 85, 247}, {159, 116, 173, 247}, {246, 149, 260, 247},
               {334, 198, 348, 247}}},
    FrameCase{"ivanov.txt", 'C', {29, 29, 404, 247}, {}, {153, 12}, {99, 270},
              {85, 173, 260, 348}, {31, 247},
              {32, 45, 57, 70, 83, 95, 108, 121, 133, 146, 158, 171, 184, 196, 209, 222, 234, 247},
              "85 80 75 70 65 60 55 50 45 40 35 30 25 20 15 10 5 0", {11, 26}, {57, 253}, 14, {4, 0, 0, 0},
              {{57, 31, 71, 247}, {145, 84, 159, 247}, {232, 110, 246, 247}, {320, 163, 334, 247}}},
    FrameCase{"ivanov.txt", 'D', {29, 29, 404, 247}, {}, {155, 12}, {99, 270},
              {117, 316}, {31, 247},
              {31, 45, 60, 74, 89, 103, 117, 132, 146, 161, 175, 189, 204, 218, 233, 247},
              "75 70 65 60 55 50 45 40 35 30 25 20 15 10 5 0", {11, 25}, {94, 253}, 22, {2, 0, 0, 0},
              {{73, 31, 95, 247}, {272, 121, 294, 247}}},
    FrameCase{"ivanov.txt", 'E', {29, 29, 404, 247}, {}, {166, 12}, {99, 270},
              {85, 173, 260, 348}, {31, 247},
              {46, 63, 80, 96, 113, 130, 147, 163, 180, 197, 214, 230, 247},
              "60 55 50 45 40 35 30 25 20 15 10 5 0", {11, 40}, {55, 253}, 14, {4, 0, 0, 0},
              {{57, 31, 71, 247}, {145, 31, 159, 247}, {232, 87, 246, 247}, {320, 45, 334, 247}}},
    FrameCase{"ivanov.txt", 'F', {29, 29, 404, 247}, {}, {150, 12}, {99, 270},
              {117, 316}, {31, 247},
              {46, 63, 80, 96, 113, 130, 147, 163, 180, 197, 214, 230, 247},
              "60 55 50 45 40 35 30 25 20 15 10 5 0", {11, 40}, {89, 253}, 22, {2, 0, 0, 0},
              {{73, 31, 95, 247}, {272, 66, 294, 247}}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(
    Samples, WindowFrame, ::testing::ValuesIn(kWindowFrames), [](const auto &row) {
        return QString::fromLatin1(row.param.file).section(QLatin1Char('.'), 0, 0).toStdString() +
               "_" + std::string(1, row.param.view);
    });

// ---- what a drawn frame leaves behind

class ChartFrames : public ::testing::Test
{
protected:
    void show(char view)
    {
        fillChart(chart, series, chartView(QLatin1Char(view), store));
        picture = chart.render();
    }

    TChart chart;
    ChartAllSeries series = configureChartAll(chart);
    ProfileStore store;
    QImage picture;
};

TEST_F(ChartFrames, PaintingLeavesTheLayoutAsItWas)
{
    for (int k = 1; k <= kScaleScoreCount; ++k)
        store.ScaleScores[k] = 7 * k;
    show('A');
    const TChartLayout laid = chart.Layout(chart.size());
    EXPECT_EQ(chart.Layout(chart.size()), laid);
    chart.render();
    EXPECT_EQ(chart.Layout(chart.size()), laid);
}

TEST_F(ChartFrames, TheLayoutSettlesWithinOneCall)
{
    // 9.5 is written "10" while no axis length is known, and "9" once a length gives the step
    // 1: the labels' room shrinks by a digit in the second round, and the first frame painted
    // already has it.
    for (int k = 1; k <= kSummaryCount; ++k)
        store.SummaryScores[k] = 9.5;
    fillChart(chart, series, chartView(QLatin1Char('C'), store));
    const TChartLayout first = chart.LayoutWith(chart.size(), TChartTextMetrics(), {});
    const TChartLayout second = chart.Layout(chart.size());
    // 8 + "10" and a blank + 6 of ticks, then 8 + "9" and a blank + 6
    EXPECT_EQ(first.Plot.Left, 29);
    EXPECT_EQ(second.Plot.Left, 23);
    picture = chart.render();
    const int y = (second.Plot.Top + second.Plot.Bottom) / 2;
    EXPECT_EQ(picture.pixelColor(second.Plot.Left, y), QColor(Qt::black));
    EXPECT_NE(picture.pixelColor(first.Plot.Left, y), QColor(Qt::black));
    // Painting changes nothing the next frame is laid out with.
    EXPECT_EQ(chart.Layout(chart.size()), second);
    EXPECT_EQ(chart.render(), [&] {
        QImage image(chart.size(), QImage::Format_RGB32);
        QPainter painter(&image);
        TChartCanvas canvas(painter, chart.palette());
        chart.Paint(canvas, second);
        return image;
    }());
}

TEST_F(ChartFrames, ADrawnFrameWritesTheAutomaticEndsBack)
{
    for (int k = 1; k <= kSummaryCount; ++k)
        store.SummaryScores[k] = 20 + 5 * k;
    fillChart(chart, series, chartView(QLatin1Char('C'), store));
    TChartAxis &left = chart.LeftAxis();
    EXPECT_EQ(left.Maximum(), 0);
    // Laying out alone changes nothing.
    chart.Layout(chart.size());
    EXPECT_EQ(left.Maximum(), 0);
    EXPECT_THROW(left.setMinimum(10), EChartError);
    chart.render();
    EXPECT_EQ(left.Minimum(), 0);
    EXPECT_EQ(left.Maximum(), 40);
    EXPECT_NO_THROW(left.setMinimum(10));
    // Fixed ends stay as they were set.
    left.setAutomatic(false);
    left.setMaximum(90);
    chart.render();
    EXPECT_EQ(left.Minimum(), 10);
    EXPECT_EQ(left.Maximum(), 90);
    EXPECT_EQ(chart.Layout(chart.size()).Axes[kLeftAxis].Maximum, 90);
}

TEST_F(ChartFrames, ACrowdedCategoryIsConsideredButNotShown)
{
    // At 160 pixels "Психологический климат" would reach "Мотивация": no label, no tick.
    chart.resize(160, 294);
    show('F');
    const TChartLayout frame = chart.Layout(chart.size());
    const TAxisLayout &bottom = frame.Axes[kBottomAxis];
    ASSERT_EQ(bottom.Labels.size(), 2u);
    EXPECT_TRUE(bottom.Labels[0].Shown);
    EXPECT_FALSE(bottom.Labels[1].Shown);
    EXPECT_TRUE(bottom.Labels[1].Lines.empty());
    EXPECT_EQ(bottom.Ticks, std::vector<int>{bottom.Labels[0].Pixel});
}

} // namespace
