#pragma once

#include "AxisMath.h"
#include "ChartElements.h"

#include <vector>

class TChartCanvas;
class TChartCanvas3D;
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

// One axis: turns values into pixels and back, takes room at its side of the plot rectangle
// and draws its line, labels, ticks and grid.
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
    TCHART_PROPERTY(bool, LabelsMultiLine, false)
    TCHART_PROPERTY(bool, RoundFirstLabel, true)
    TCHART_PROPERTY(bool, ExactDateTime, true)
    TCHART_PROPERTY(bool, Logarithmic, false)
    TCHART_PROPERTY(double, LogarithmicBase, 10)
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

    // frame values
    const TAxisScale &Scale() const { return scale_; }
    double RangeMin() const { return scale_.RangeMin; }
    double RangeMax() const { return scale_.RangeMax; }
    double RangeSize() const { return scale_.RangeSize(); }
    int StartPixel() const { return scale_.StartPixel; }
    int EndPixel() const { return scale_.EndPixel; }
    int LengthPixels() const { return scale_.LengthPixels(); }
    int CenterPixel() const { return scale_.CenterPixel(); }
    int LinePos() const { return linePos_; }
    int LabelsPos() const { return labelsPos_; }
    int TitlePos() const { return titlePos_; }
    const std::vector<int> &TickPositions() const { return tickPositions_; }
    int CalcPosValue(double value) const { return scale_.CalcPosValue(value); }
    double CalcPosPoint(int pixel) const { return scale_.CalcPosPoint(pixel); }

    // the frame, in the order the chart calls them
    bool IsVisible() const;
    virtual void AdjustMaxMin();
    virtual void CalcRect(TRect &plot, TChartCanvas &canvas);
    virtual void CalcScreenPositions(const TRect &plot);
    virtual void AdjustMaxMinRect(const TRect &plot);
    virtual void Draw(TChartCanvas3D &canvas, const TRect &plot);

    // parts of the frame that the tests and the width estimate use
    TAxisLabelStyle ResolvedLabelStyle() const;
    double CalcLabelStep(TChartCanvas &canvas) const;
    double CalcLabelStep(TChartCanvas &canvas, int lengthPixels) const;
    int MaxLabelsWidth(TChartCanvas &canvas) const;

private:
    int labelLines(const QString &text) const;
    int labelExtent(TChartCanvas &canvas, const QString &text) const;
    void drawLabelText(TChartCanvas &canvas, int pixel, const QString &text);
    void drawValueLabels(TChartCanvas3D &canvas, double step);
    void drawMarkLabels(TChartCanvas3D &canvas, bool rawText);
    void drawTitle(TChartCanvas3D &canvas, const TRect &plot);
    void drawTick(TChartCanvas &canvas, int pixel, int from, int length, bool inner);
    void drawGridLines(TChartCanvas &canvas, const TChartPen &pen, const std::vector<int> &at,
                       const TRect &plot, bool centered);
    void recordTick(int pixel);
    bool loading() const;

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

    TAxisScale scale_;
    int linePos_ = 0;
    int labelsPos_ = 0;
    int titlePos_ = 0;
    std::vector<int> tickPositions_;
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
