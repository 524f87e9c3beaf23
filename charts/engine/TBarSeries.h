#pragma once

#include "TChartSeries.h"

enum class TMultiBar { mbNone, mbSide, mbStacked, mbStacked100 };

// The bar width in pixels for an axis of axisLength pixels holding pointCount slots' worth of
// points, shared by groupSize side-by-side bars; always even.
int barWidthFor(int axisLength, int pointCount, int groupSize, int barWidthPercent,
                bool sideMargins);

// Offset of a bar's left edge from its point's axis pixel, for the bar at position (1-based)
// in a side-by-side group.
int sideBarOffset(int position, int groupSize, int barWidth);

// Bars from an origin value to each point's value.
class TCustomBarSeries : public TChartSeries
{
    TCHART_PROPERTY(TMultiBar, MultiBar, TMultiBar::mbSide)
    TCHART_PROPERTY(bool, UseYOrigin, true)
    TCHART_PROPERTY(double, YOrigin, 0)
    TCHART_PROPERTY(bool, SideMargins, true)
    TCHART_PROPERTY(bool, AutoBarSize, false)
    TCHART_PROPERTY(int, CustomBarWidth, 0)

public:
    explicit TCustomBarSeries(const QString &name = {});

    int BarWidthPercent() const { return barWidthPercent_; }
    void setBarWidthPercent(int value);
    int OffsetPercent() const { return offsetPercent_; }
    void setOffsetPercent(int value);
    TChartPen &BarPen() { return barPen_; }
    TChartBrush &BarBrush() { return barBrush_; }

    // The bar width on an X axis of this scale.
    int CalcBarWidth(const TAxisScale &horiz) const;
    // Side-by-side group: how many active bar series, and this one's place among them.
    int GroupSize() const;
    int GroupPosition() const;
    // The bar of point index: from its left edge and the value's pixel to its right edge and
    // the origin's pixel.
    TRect BarBounds(int index, const TAxisScale &horiz, const TAxisScale &vert, int barWidth) const;

    double MinYValue() const override;
    double MaxYValue() const override;
    TSeriesMargins CalcHorizMargins(const TAxisScale &horiz) const override;
    TSeriesLayout Layout(const TAxisScale &horiz, const TAxisScale &vert,
                         const TRect &plot) const override;
    void DrawValue(TChartCanvas &canvas, const TSeriesLayout &layout,
                   std::size_t point) const override;
    void DrawLegendSymbol(TChartCanvas &canvas, int valueIndex, const TRect &rect) const override;

private:
    int groupPointCount() const;

    int barWidthPercent_ = 70;
    int offsetPercent_ = 0;
    TChartPen barPen_{this};
    TChartBrush barBrush_{this};
};

// A bar's target mark: black, this many pixels high from the target value's row down, across
// the bar's width.
inline constexpr int kTargetMarkHeight = 2;

// Vertical bars.
class TBarSeries : public TCustomBarSeries
{
public:
    explicit TBarSeries(const QString &name = {});
};
