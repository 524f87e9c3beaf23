#pragma once

#include "TChartSeries.h"

enum class TSeriesPointerStyle {
    psRectangle,
    psCircle,
    psTriangle,
    psDownTriangle,
    psCross,
    psDiagCross,
    psStar,
    psDiamond,
    psSmallDot
};

// The marker drawn at each point of a line: a rectangle.
class TSeriesPointer : public TChartPersistent
{
    TCHART_PROPERTY(bool, Visible, true)
    TCHART_PROPERTY(int, HorizSize, 4)
    TCHART_PROPERTY(int, VertSize, 4)
    // stored, not drawn: every marker is a rectangle and asks no margins
    TCHART_PROPERTY(TSeriesPointerStyle, Style, TSeriesPointerStyle::psRectangle)
    TCHART_PROPERTY(bool, InflateMargins, true)

public:
    using TChartPersistent::TChartPersistent;
};

// Points joined by a line.
class TLineSeries : public TChartSeries
{
public:
    explicit TLineSeries(const QString &name = {});

    TChartPen &LinePen() { return linePen_; }
    TSeriesPointer &Pointer() { return pointer_; }

    void DrawValue(TChartCanvas &canvas, const TSeriesLayout &layout,
                   std::size_t point) const override;

protected:
    bool KeepsPointBeyondEdge() const override { return true; }

private:
    TChartPen linePen_{this};
    TSeriesPointer pointer_{this};
};
