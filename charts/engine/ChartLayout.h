#pragma once

#include "AxisMath.h"
#include "ChartTypes.h"

#include <QString>
#include <array>
#include <vector>

// Where the frame's parts go, apart from any drawing: the rules that place each part, and the
// value a whole frame is laid out into before anything is painted.

// The plot rectangle inside the margins (percent of the panel's width or height, rounded) and
// the border.
TRect plotRectFromMargins(const TRect &panel, int marginLeft, int marginTop, int marginRight,
                          int marginBottom, int borderWidth);

// Keeps the plot rectangle inside the panel's top-left and never empty.
TRect normalizePlotRect(TRect plot, const TRect &panel, int controlWidth, int controlHeight);

// The lines of a title at the top or a foot at the bottom.
struct TTitleGeometry
{
    int FirstLineTop = 0;
    int LineHeight = 0;
    int NewEdge = 0; // the plot rectangle's top (title) or bottom (foot) after the room taken
    friend bool operator==(const TTitleGeometry &, const TTitleGeometry &) = default;
};
TTitleGeometry titleGeometry(const TRect &plot, int lineCount, int lineHeight, int frameWidth,
                             bool frameVisible, bool foot, int gap);

// A legend at the top of the plot rectangle.
struct TLegendInput
{
    TRect Plot;
    int PanelWidth = 0;
    int ItemCount = 0;
    int TextWidth = 0;  // widest item text
    int LineHeight = 0; // height of "W"
    bool FrameVisible = true;
    int FrameWidth = 1;
    int ColorWidthPercent = 12;
    int TopPosPercent = 10;
    int MaxNumRows = 10;
    int ShadowSize = 3;
    bool ResizeChart = true;
    int VertMargin = 0;
};

struct TLegendGeometry
{
    TRect Box;          // L, T, R, B: the items' area, inside the frame
    int ColorWidth = 0; // width of a colour box
    int Columns = 0;
    int Rows = 0;
    bool Drawn = false;
    int PlotTop = 0; // the plot rectangle's top after the legend's room
    friend bool operator==(const TLegendGeometry &, const TLegendGeometry &) = default;
};
TLegendGeometry topLegendGeometry(const TLegendInput &in);

// Top-left corner of item k's text and its colour box, by row and column.
struct TLegendItemPlace
{
    int TextLeft = 0;
    int TextTop = 0;
    TRect ColorBox;
    friend bool operator==(const TLegendItemPlace &, const TLegendItemPlace &) = default;
};
TLegendItemPlace legendItemPlace(const TLegendGeometry &legend, int item, int textWidth,
                                 int lineHeight);

// ---- the laid-out frame

enum class TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };

// A line of text by the top-left corner of its box.
struct TTextLine
{
    int Left = 0;
    int Top = 0;
    QString Text;
    friend bool operator==(const TTextLine &, const TTextLine &) = default;
};

// The title above the plot or the foot below it.
struct TTitleLayout
{
    bool Shown = false; // a hidden title takes no room and paints nothing
    TTitleGeometry Geometry;
    bool Boxed = false; // a frame or a fill behind the lines
    TRect Box;
    std::vector<TTextLine> Lines;
    friend bool operator==(const TTitleLayout &, const TTitleLayout &) = default;
};

struct TLegendItem
{
    TTextLine Text;
    TRect ColorBox;
    int Series = -1;     // the series, by its place in the chart's list, that draws the symbol
    int ValueIndex = -1; // its point whose symbol is drawn; -1 for the series' own
    friend bool operator==(const TLegendItem &, const TLegendItem &) = default;
};

struct TLegendLayout
{
    TLegendStyle Style = TLegendStyle::lsSeries;
    TLegendGeometry Geometry; // Drawn tells whether anything of the legend is painted
    TRect Frame;              // the box with its frame pen
    TRect Shadow;
    std::vector<TLegendItem> Items;
    friend bool operator==(const TLegendLayout &, const TLegendLayout &) = default;
};

// A label an axis considers: drawn when Shown, with its lines placed; a label that would
// crowd its neighbour, or sits at an end it must not, is only considered.
struct TAxisLabel
{
    int Pixel = 0; // along the axis
    QString Text;
    bool Shown = false;
    std::vector<TTextLine> Lines;
    friend bool operator==(const TAxisLabel &, const TAxisLabel &) = default;
};

// An axis title: the caption at Text, turned by Rotation degrees about Origin first.
struct TAxisTitleLayout
{
    bool Shown = false;
    int Rotation = 0;
    int OriginX = 0;
    int OriginY = 0;
    TTextLine Text;
    friend bool operator==(const TAxisTitleLayout &, const TAxisTitleLayout &) = default;
};

struct TAxisLayout
{
    bool Visible = false; // takes room and is painted
    // The ends taken from the series (or the fixed ones), before the series' margins widen them.
    double Minimum = 0;
    double Maximum = 0;
    TAxisScale Scale;
    int LinePos = 0;
    int LabelsPos = 0;
    int TitlePos = 0;
    double Step = 0;
    TAxisTitleLayout Title;
    std::vector<TAxisLabel> Labels;
    std::vector<int> Ticks; // one per shown label, or per considered one
    std::vector<int> MinorTicks;
    std::vector<int> Grid;      // empty while the grid pen is hidden
    std::vector<int> MinorGrid; // the same for the minor grid
    friend bool operator==(const TAxisLayout &, const TAxisLayout &) = default;
};

// The visible points of a series, in index order, with their colours and places.
struct TVisibleRange
{
    int First = -1;
    int Last = -1;
    friend bool operator==(const TVisibleRange &, const TVisibleRange &) = default;
};

struct TPlacedPoint
{
    int Index = 0;
    TColor Color = AutoColor;
    // A bar from its left edge and the value's pixel to its right edge and the origin's pixel
    // (top below bottom for a negative value); a line's point at (Left, Top).
    TRect Bounds;
    // A bar's target: a mark across the bar at the target value's pixel row; empty for none.
    TRect Target;
    friend bool operator==(const TPlacedPoint &, const TPlacedPoint &) = default;
};

struct TSeriesLayout
{
    TVisibleRange Visible;
    bool Forward = true; // painted from the first point to the last
    int BarWidth = 0;
    std::vector<TPlacedPoint> Points;
    friend bool operator==(const TSeriesLayout &, const TSeriesLayout &) = default;
};

// The chart's axes in their list order.
inline constexpr int kBottomAxis = 0;
inline constexpr int kTopAxis = 1;
inline constexpr int kLeftAxis = 2;
inline constexpr int kRightAxis = 3;
inline constexpr int kDepthAxis = 4;
inline constexpr int kAxisCount = 5;

// The length in pixels of each axis, in the chart's axis order.
using TAxisLengths = std::array<int, kAxisCount>;

// One frame, laid out: everything the paint needs to know about where things go.
struct TChartLayout
{
    TRect Panel;
    TRect Plot;
    TTitleLayout Title;
    TTitleLayout Foot;
    TLegendLayout Legend;
    std::array<TAxisLayout, kAxisCount> Axes;
    std::vector<TSeriesLayout> Series; // one per series of the chart's list; empty if inactive

    // Every change of the plot rectangle keeps it inside the panel and not empty.
    void SetPlot(const TRect &rect)
    {
        Plot = normalizePlotRect(rect, Panel, Panel.width(), Panel.height());
    }
    friend bool operator==(const TChartLayout &, const TChartLayout &) = default;
};
