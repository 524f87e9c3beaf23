#include "ChartLayout.h"

#include <algorithm>

TRect plotRectFromMargins(const TRect &panel, int marginLeft, int marginTop, int marginRight,
                          int marginBottom, int borderWidth)
{
    const int w = panel.width();
    const int h = panel.height();
    return {panel.Left + borderWidth + mulDiv(marginLeft, w, 100),
            panel.Top + borderWidth + mulDiv(marginTop, h, 100),
            panel.Right - borderWidth - mulDiv(marginRight, w, 100),
            panel.Bottom - borderWidth - mulDiv(marginBottom, h, 100)};
}

TRect normalizePlotRect(TRect plot, const TRect &panel, int controlWidth, int controlHeight)
{
    plot.Left = std::max(plot.Left, panel.Left);
    plot.Top = std::max(plot.Top, panel.Top);
    if (plot.Right < plot.Left)
        plot.Right = plot.Left + 1;
    else if (plot.Right == plot.Left)
        plot.Right = plot.Left + controlWidth;
    if (plot.Bottom < plot.Top)
        plot.Bottom = plot.Top + 1;
    else if (plot.Bottom == plot.Top)
        plot.Bottom = plot.Top + controlHeight;
    return plot;
}

TTitleGeometry titleGeometry(const TRect &plot, int lineCount, int lineHeight, int frameWidth,
                             bool frameVisible, bool foot, int gap)
{
    TTitleGeometry g;
    g.LineHeight = lineHeight;
    const int frameRoom = frameVisible ? frameWidth : 0;
    if (!foot) {
        g.FirstLineTop = plot.Top + frameWidth;
        g.NewEdge = lineCount > 0 ? g.FirstLineTop + lineCount * lineHeight + frameRoom + gap
                                  : plot.Top + frameWidth;
    } else {
        g.FirstLineTop = plot.Bottom - frameWidth - lineCount * lineHeight;
        g.NewEdge = lineCount > 0 ? g.FirstLineTop - frameRoom - gap : plot.Bottom - frameWidth;
    }
    return g;
}

TLegendGeometry topLegendGeometry(const TLegendInput &in)
{
    TLegendGeometry g;
    const int w = in.TextWidth;
    const int h = in.LineHeight;
    const int frame = in.FrameVisible ? in.FrameWidth : 0;
    g.ColorWidth = roundToEvenPixel((w + 4) * in.ColorWidthPercent / 100.0);
    const int c = g.ColorWidth;
    const int top = in.Plot.Top + (in.FrameVisible ? in.FrameWidth + 1 : 0);
    if (in.Plot.Right > 8) {
        g.Columns = (in.Plot.width() - 2 * frame - 8) / (w + 4 + c + 8);
        g.Columns = std::clamp(g.Columns, 0, in.ItemCount);
    }
    if (g.Columns > 0) {
        g.Rows = in.ItemCount / g.Columns + (in.ItemCount % g.Columns ? 1 : 0);
        g.Rows = std::min(g.Rows, in.MaxNumRows);
    }
    const int bottom = top + g.Rows * h + 2;
    const int width = std::min(in.Plot.width(), 2 * in.ShadowSize + g.Columns * (c + w + 8) + 8);
    const int shift = roundToEvenPixel(in.TopPosPercent * (in.PanelWidth - width) / 100.0);
    const int center = (in.Plot.Left + in.Plot.Right) / 2;
    g.Box = {center - width / 2 + shift, top, center + width / 2 + shift, bottom};
    g.Drawn = g.Columns * g.Rows >= 1;
    g.PlotTop = in.Plot.Top;
    if (g.Drawn) {
        int plotTop = in.ResizeChart ? bottom + in.ShadowSize : in.Plot.Top;
        plotTop += in.VertMargin != 0 ? in.VertMargin : mulDiv(4, in.Plot.height(), 100);
        g.PlotTop = plotTop;
    }
    return g;
}

TLegendItemPlace legendItemPlace(const TLegendGeometry &legend, int item, int textWidth,
                                 int lineHeight)
{
    TLegendItemPlace p;
    const int columns = std::max(legend.Columns, 1);
    const int row = item / columns;
    const int column = item % columns;
    const int c = legend.ColorWidth;
    p.TextLeft = legend.Box.Left + c + 8 + column * (textWidth + c + 8);
    p.TextTop = legend.Box.Top + 1 + row * lineHeight;
    p.ColorBox = {p.TextLeft - 4 - c, p.TextTop + 2, p.TextLeft - 4, p.TextTop + lineHeight - 2};
    return p;
}
