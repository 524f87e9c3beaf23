#pragma once

#include "ChartElements.h"
#include "ChartLayout.h"

#include <QStringList>

class TChartCanvas3D;
class TChartSeries;
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

    // Draws the lines and takes their room from the plot rectangle.
    void Draw(TChartCanvas3D &canvas, TRect &plot, int gap);

private:
    bool foot_;
    TChartBrush brush_;
    TChartHiddenPen frame_;
    QStringList text_;
};

enum class TLegendAlignment { laLeft, laRight, laTop, laBottom };
enum class TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };
enum class TLegendTextStyle {
    ltsPlain,
    ltsLeftValue,
    ltsRightValue,
    ltsLeftPercent,
    ltsRightPercent,
    ltsXValue
};

class TCustomChartLegend : public TChartFontObject
{
    TCHART_PROPERTY(bool, Visible, true)
    TCHART_PROPERTY(TLegendAlignment, Alignment, TLegendAlignment::laRight)
    TCHART_PROPERTY(TLegendStyle, LegendStyle, TLegendStyle::lsAuto)
    TCHART_PROPERTY(TLegendTextStyle, TextStyle, TLegendTextStyle::ltsLeftValue)
    TCHART_PROPERTY(TColor, Color, clWhite)
    TCHART_PROPERTY(TColor, ShadowColor, clBlack)
    TCHART_PROPERTY(int, ShadowSize, 3)
    TCHART_PROPERTY(int, ColorWidth, 12)
    TCHART_PROPERTY(int, TopPos, 10)
    TCHART_PROPERTY(int, MaxNumRows, 10)
    TCHART_PROPERTY(bool, ResizeChart, true)
    TCHART_PROPERTY(int, HorizMargin, 0)
    TCHART_PROPERTY(int, VertMargin, 0)
    TCHART_PROPERTY(bool, Inverted, false)
    TCHART_PROPERTY(int, FirstValue, 0)

public:
    explicit TCustomChartLegend(TChartRepaintTarget *owner);

    TChartBrush &Brush() { return brush_; }
    TChartPen &Frame() { return frame_; }
    TChartHiddenPen &DividingLines() { return dividingLines_; }

    // what the last frame laid out
    const TLegendGeometry &Geometry() const { return geometry_; }
    TLegendStyle ResolvedStyle() const { return resolved_; }

    // The entries the legend would show now, and their texts.
    TLegendStyle ResolveStyle(const TCustomAxisPanel &chart) const;
    QStringList ItemTexts(const TCustomAxisPanel &chart) const;

    // Draws the legend and takes its room from the plot rectangle.
    void Draw(TChartCanvas3D &canvas, TCustomAxisPanel &chart, TRect &plot, int panelWidth);

private:
    TChartSeries *itemSeries(const TCustomAxisPanel &chart, int item) const;

    TChartBrush brush_;
    TChartPen frame_;
    TChartHiddenPen dividingLines_;
    TLegendGeometry geometry_;
    TLegendStyle resolved_ = TLegendStyle::lsSeries;
};

class TChartLegend : public TCustomChartLegend
{
public:
    using TCustomChartLegend::TCustomChartLegend;
};

class TCustomChartWall : public TChartPersistent
{
    TCHART_PROPERTY(TColor, Color, AutoColor)
    TCHART_PROPERTY(bool, Dark3D, true)
    TCHART_PROPERTY(int, Size, 0)

public:
    TCustomChartWall(TChartRepaintTarget *owner, TColor color, TBrushStyle brushStyle);

    TChartBrush &Brush() { return brush_; }
    TChartPen &Pen() { return pen_; }

    // Sets the surface's pen and brush for the wall.
    void PrepareCanvas(TChartCanvas3D &canvas) const;

private:
    TChartBrush brush_;
    TChartPen pen_;
};

class TChartWall : public TCustomChartWall
{
public:
    using TCustomChartWall::TCustomChartWall;
};
