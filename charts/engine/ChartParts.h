#pragma once

#include "ChartElements.h"
#include "ChartLayout.h"

#include <QStringList>

class TChartCanvas;
class TChartSeries;
class TChartTextMetrics;
class TCustomAxisPanel;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// The title above the plot or the foot below it: lines of text, optionally boxed.
class TChartTitle : public TChartFontObject
{
    TCHART_PROPERTY(bool, Visible, true)
    TCHART_PROPERTY(TAlignment, Alignment, TAlignment::taCenter)
    TCHART_PROPERTY(TColor, Color, AutoColor)
    TCHART_PROPERTY(bool, AdjustFrame, true)

public:
    TChartTitle(TChartRepaintTarget *owner, bool foot);

    TChartBrush &Brush() { return brush_; }
    TChartHiddenPen &Frame() { return frame_; }
    bool IsFoot() const { return foot_; }

    // the lines
    const QStringList &Text() const { return text_; }
    void setText(const QStringList &lines);
    void Clear();
    void Add(const QString &line);

    // Where the lines go, and the room they take from the plot rectangle, gap included.
    TTitleLayout Layout(const TRect &plot, int gap, const TChartTextMetrics &metrics) const;
    void Paint(TChartCanvas &canvas, const TTitleLayout &layout) const;

private:
    // The box narrowed to width, placed by the alignment.
    TRect alignedBox(TRect box, int width) const;

    bool foot_;
    TChartBrush brush_;
    TChartHiddenPen frame_;
    QStringList text_;
};

enum class TLegendAlignment { laLeft, laRight, laTop, laBottom };

class TCustomChartLegend : public TChartFontObject
{
    TCHART_PROPERTY(bool, Visible, true)
    TCHART_PROPERTY(TLegendAlignment, Alignment, TLegendAlignment::laRight)
    TCHART_PROPERTY(TLegendStyle, LegendStyle, TLegendStyle::lsAuto)
    TCHART_PROPERTY(TColor, Color, clWhite)
    TCHART_PROPERTY(TColor, ShadowColor, clBlack)
    TCHART_PROPERTY(int, ShadowSize, 3)
    TCHART_PROPERTY(int, ColorWidth, 12)
    TCHART_PROPERTY(int, TopPos, 10)
    TCHART_PROPERTY(int, MaxNumRows, 10)
    TCHART_PROPERTY(bool, ResizeChart, true)
    TCHART_PROPERTY(int, VertMargin, 0)
    TCHART_PROPERTY(bool, Inverted, false)
    TCHART_PROPERTY(int, FirstValue, 0)

public:
    explicit TCustomChartLegend(TChartRepaintTarget *owner);

    TChartBrush &Brush() { return brush_; }
    TChartPen &Frame() { return frame_; }

    // The entries the legend would show now, and their texts.
    TLegendStyle ResolveStyle(const TCustomAxisPanel &chart) const;
    QStringList ItemTexts(const TCustomAxisPanel &chart) const;

    // Where the box, its shadow and the items go; Geometry.PlotTop is the plot rectangle's top
    // after the legend's room. Only the legend at the top takes room and is painted.
    TLegendLayout Layout(const TCustomAxisPanel &chart, const TRect &plot, int panelWidth,
                         const TChartTextMetrics &metrics) const;
    void Paint(TChartCanvas &canvas, const TLegendLayout &layout,
               const TCustomAxisPanel &chart) const;

private:
    // The item's series by its place in the chart's list.
    int itemSeries(const TCustomAxisPanel &chart, int item) const;
    TLegendInput geometryInput(const TRect &plot, int panelWidth, const QStringList &texts,
                               const TChartTextMetrics &metrics) const;
    std::vector<TLegendItem> placeItems(const TCustomAxisPanel &chart, const TLegendLayout &legend,
                                        const QStringList &texts, const TLegendInput &in) const;

    TChartBrush brush_;
    TChartPen frame_;
};

class TChartLegend : public TCustomChartLegend
{
public:
    using TCustomChartLegend::TCustomChartLegend;
};

class TCustomChartWall : public TChartPersistent
{
    TCHART_PROPERTY(TColor, Color, AutoColor)

public:
    TCustomChartWall(TChartRepaintTarget *owner, TBrushStyle brushStyle);

    TChartBrush &Brush() { return brush_; }
    TChartPen &Pen() { return pen_; }

    // Sets the surface's pen and brush for the wall.
    void PrepareCanvas(TChartCanvas &canvas) const;

private:
    TChartBrush brush_;
    TChartPen pen_;
};

class TChartWall : public TCustomChartWall
{
public:
    using TCustomChartWall::TCustomChartWall;
};
