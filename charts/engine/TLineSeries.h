#pragma once

#include "TChartSeries.h"

class TChartTextMetrics;

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

// The marker drawn at each point of a line: a rectangle HorizSize pixels either side of the
// point and VertSize above and below it, outlined in black and filled in the point's colour.
// With InflateMargins the axes leave room for it at their ends.
class TSeriesPointer : public TChartPersistent
{
    TCHART_PROPERTY(bool, Visible, true)
    TCHART_PROPERTY(int, HorizSize, 4)
    TCHART_PROPERTY(int, VertSize, 4)
    // stored, not drawn: every marker is a rectangle
    TCHART_PROPERTY(TSeriesPointerStyle, Style, TSeriesPointerStyle::psRectangle)
    TCHART_PROPERTY(bool, InflateMargins, true)

public:
    using TChartPersistent::TChartPersistent;
};

// Points joined by a line, with a marker at each point and, with ShowValues, the point's value
// written over it (ValueFormat, in ValueFont, its box ending ValueGap pixels above the point).
// The points lie where the axes map their values, as a bar's value does.
class TLineSeries : public TChartSeries
{
    TCHART_PROPERTY(bool, ShowValues, false)
    TCHART_PROPERTY(int, ValueGap, 8)

public:
    explicit TLineSeries(const QString &name = {});

    TChartPen &LinePen() { return linePen_; }
    TSeriesPointer &Pointer() { return pointer_; }
    TChartFontObject &ValueFont() { return valueFont_; }

    // The marker of a placed point, in the chart's rectangle rule (right and bottom excluded).
    TRect MarkerRect(const TPlacedPoint &point) const;
    // The value over a placed point, by the top-left corner of its text box.
    TTextLine ValueLabel(const TPlacedPoint &point, const TChartTextMetrics &metrics) const;

    TSeriesMargins CalcHorizMargins(const TAxisScale &horiz) const override;
    TSeriesMargins CalcVertMargins() const override;
    // The first point painted draws the whole line, so that every marker and value lies over
    // it; each point then draws its marker and its value.
    void DrawValue(TChartCanvas &canvas, const TSeriesLayout &layout,
                   std::size_t point) const override;
    void DrawLegendSymbol(TChartCanvas &canvas, int valueIndex, const TRect &rect) const override;

protected:
    bool KeepsPointBeyondEdge() const override { return true; }

private:
    QString valueText(int index) const;
    void drawLine(TChartCanvas &canvas, const TSeriesLayout &layout) const;

    TChartPen linePen_{this};
    TSeriesPointer pointer_{this};
    TChartFontObject valueFont_{this};
};
