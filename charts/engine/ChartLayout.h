#pragma once

#include "ChartTypes.h"

// Where the frame's parts go, apart from any drawing.

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
