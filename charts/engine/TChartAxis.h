#pragma once

#include "AxisMath.h"
#include "ChartElements.h"
#include "ChartLayout.h"

#include <vector>

class TChartCanvas;
class TChartSeries;
class TChartTextMetrics;
class TCustomAxisPanel;

enum class TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

// The axis line: black, two pixels.
class TChartAxisPen : public TChartPen
{
public:
    explicit TChartAxisPen(TChartRepaintTarget *owner) : TChartPen(owner, clBlack, 2) {}
};

class TDarkGrayPen : public TChartPen
{
public:
    explicit TDarkGrayPen(TChartRepaintTarget *owner) : TChartPen(owner, clGray) {}
};

class TDottedGrayPen : public TChartPen
{
public:
    explicit TDottedGrayPen(TChartRepaintTarget *owner)
        : TChartPen(owner, clGray, 1, TPenStyle::psDot)
    {
    }
};

class TChartAxisTitle : public TChartFontObject
{
    TCHART_PROPERTY(QString, Caption, QString())
    TCHART_PROPERTY(int, Angle, 0)
    TCHART_PROPERTY(bool, Visible, true)
public:
    TChartAxisTitle(TChartRepaintTarget *owner, int angle) : TChartFontObject(owner)
    {
        Angle_ = angle;
    }
};

// The room an axis takes at its side of the plot rectangle.
struct TAxisRoom
{
    TRect Plot; // the plot rectangle after the room taken
    int TitlePos = 0;
    int LabelsPos = 0;
    friend bool operator==(const TAxisRoom &, const TAxisRoom &) = default;
};

// One axis: turns values into pixels and back, takes room at its side of the plot rectangle
// and places its line, labels, ticks and grid. Its steps in a frame each return a value.
class TCustomChartAxis : public TChartPersistent
{
    // settings
    TCHART_PROPERTY(bool, Visible, true)
    TCHART_PROPERTY(bool, Labels, true)
    TCHART_PROPERTY(TAxisLabelStyle, LabelStyle, TAxisLabelStyle::talAuto)
    TCHART_PROPERTY(QString, AxisValuesFormat, QStringLiteral("#,##0.###"))
    TCHART_PROPERTY(bool, LabelsOnAxis, true)
    TCHART_PROPERTY(int, LabelsSeparation, 10)
    TCHART_PROPERTY(int, LabelsAngle, 0)
    TCHART_PROPERTY(int, LabelsSize, 0)
    TCHART_PROPERTY(bool, RoundFirstLabel, true)
    TCHART_PROPERTY(bool, Logarithmic, false)
    TCHART_PROPERTY(bool, Inverted, false)
    TCHART_PROPERTY(double, StartPosition, 0)
    TCHART_PROPERTY(double, EndPosition, 100)
    TCHART_PROPERTY(double, PositionPercent, 0)
    TCHART_PROPERTY(int, TickLength, 4)
    TCHART_PROPERTY(int, TickInnerLength, 0)
    TCHART_PROPERTY(int, MinorTickLength, 2)
    TCHART_PROPERTY(int, MinorTickCount, 3)
    TCHART_PROPERTY(bool, GridCentered, false)
    TCHART_PROPERTY(bool, TickOnLabelsOnly, true)
    TCHART_PROPERTY(int, TitleSize, 0)

public:
    TCustomChartAxis(TCustomAxisPanel *chart, bool horizontal, bool otherSide);

    bool Horizontal() const { return horizontal_; }
    bool OtherSide() const { return otherSide_; }

    // range settings, checked
    bool Automatic() const { return automatic_; }
    void setAutomatic(bool value);
    bool AutomaticMinimum() const { return automaticMinimum_; }
    void setAutomaticMinimum(bool value);
    bool AutomaticMaximum() const { return automaticMaximum_; }
    void setAutomaticMaximum(bool value);
    // Automatic ends are overwritten with the series' extremes by every frame drawn.
    double Minimum() const { return minimum_; }
    void setMinimum(double value);
    double Maximum() const { return maximum_; }
    void setMaximum(double value);
    double Increment() const { return increment_; }
    void setIncrement(double value);

    // parts
    TChartFontObject &LabelsFont() { return labelsFont_; }
    TChartAxisPen &Axis() { return axis_; }
    TDarkGrayPen &Ticks() { return ticks_; }
    TDarkGrayPen &TicksInner() { return ticksInner_; }
    TDarkGrayPen &MinorTicks() { return minorTicks_; }
    TDottedGrayPen &Grid() { return grid_; }
    TChartHiddenPen &MinorGrid() { return minorGrid_; }
    TChartAxisTitle &Title() { return title_; }

    // the frame's steps, in the order the chart takes them
    bool IsVisible() const;
    // The range from the series (or the fixed ends); no pixel span yet.
    TAxisScale AutoRange() const;
    // length: the axis length the labels' width is estimated with (0 while none is known).
    TAxisRoom CalcRoom(const TRect &plot, const TAxisScale &range, const TChartTextMetrics &metrics,
                       int length) const;
    TAxisScale CalcScreenPositions(TAxisScale scale, const TRect &plot) const;
    // Wider, so that the series' extremes keep the pixel margins the series ask for.
    TAxisScale WidenBySeriesMargins(const TAxisScale &scale) const;
    // The axis with its line position, title, labels, ticks and grid, once the plot rectangle,
    // every scale and the series' visible points are final.
    TAxisLayout LayoutLabels(const TAxisLayout &axis, const TChartLayout &frame,
                             const TChartTextMetrics &metrics) const;
    void Paint(TChartCanvas &canvas, const TAxisLayout &axis, const TRect &plot) const;
    // What a drawn frame leaves behind: the automatic ends, read back by Minimum and Maximum.
    void FrameDrawn(const TAxisLayout &axis);

    // parts of the layout that the tests and the width estimate use
    TAxisLabelStyle ResolvedLabelStyle() const;
    double CalcLabelStep(const TAxisScale &scale, const TChartTextMetrics &metrics) const;
    int MaxLabelsWidth(const TAxisScale &scale, const TChartTextMetrics &metrics) const;

private:
    // An active series of this axis that holds labels, with its visible points.
    struct TLabelledSeries
    {
        const TChartSeries *series;
        TVisibleRange visible;
    };

    int labelLines(const QString &text) const;
    int labelExtent(const TChartTextMetrics &metrics, const QString &text) const;
    std::vector<TTextLine> placeLabel(const TChartTextMetrics &metrics, int labelsPos, int pixel,
                                      const QString &text) const;
    std::vector<TAxisLabel> valueLabels(const TAxisScale &scale, double step) const;
    std::vector<TLabelledSeries> labelledSeries(const TChartLayout &frame) const;
    std::vector<TAxisLabel> markLabels(const TAxisScale &scale, const TChartLayout &frame,
                                       const TChartTextMetrics &metrics, bool rawText) const;
    // Ticks where labels are (or are considered), minor ticks between them, and the grids.
    void placeTicks(TAxisLayout &axis) const;
    TAxisTitleLayout layoutTitle(const TAxisScale &scale, int titlePos,
                                 const TChartTextMetrics &metrics) const;
    void paintTitle(TChartCanvas &canvas, const TAxisTitleLayout &title) const;
    void paintTick(TChartCanvas &canvas, int pixel, int from, int length, bool inner) const;
    void paintGridLines(TChartCanvas &canvas, const TChartPen &pen, const std::vector<int> &at,
                        const TRect &plot) const;

    TCustomAxisPanel *chart_;
    bool horizontal_;
    bool otherSide_;
    bool automatic_ = true;
    bool automaticMinimum_ = true;
    bool automaticMaximum_ = true;
    double minimum_ = 0;
    double maximum_ = 0;
    double increment_ = 0;
    TChartFontObject labelsFont_;
    TChartAxisPen axis_;
    TDarkGrayPen ticks_;
    TDarkGrayPen ticksInner_;
    TDarkGrayPen minorTicks_;
    TDottedGrayPen grid_;
    TChartHiddenPen minorGrid_;
    TChartAxisTitle title_;
};

// The four side axes.
class TChartAxis : public TCustomChartAxis
{
public:
    using TCustomChartAxis::TCustomChartAxis;
};

// The depth axis of the three-dimensional view: hidden, and never drawn flat.
class TChartDepthAxis : public TCustomChartAxis
{
public:
    explicit TChartDepthAxis(TCustomAxisPanel *chart);
};
