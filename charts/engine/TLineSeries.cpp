#include "TLineSeries.h"

#include "AxisMath.h"
#include "TChartCanvas.h"

#include <algorithm>

TLineSeries::TLineSeries(const QString &name) : TChartSeries(name) {}

TRect TLineSeries::MarkerRect(const TPlacedPoint &point) const
{
    const int x = point.Bounds.Left, y = point.Bounds.Top;
    const int hx = pointer_.HorizSize(), hy = pointer_.VertSize();
    return {x - hx, y - hy, x + hx + 1, y + hy + 1};
}

QString TLineSeries::valueText(int index) const
{
    return formatAxisValue(YValues().Value(index), ValueFormat());
}

TTextLine TLineSeries::ValueLabel(const TPlacedPoint &point, const TChartTextMetrics &metrics) const
{
    const QString text = valueText(point.Index);
    const TChartFont &font = valueFont_.Font();
    return {point.Bounds.Left - metrics.TextWidth(font, text) / 2,
            point.Bounds.Top - ValueGap_ - metrics.LineHeight(font), text};
}

TSeriesMargins TLineSeries::CalcHorizMargins(const TAxisScale &) const
{
    int room = pointer_.Visible() && pointer_.InflateMargins() ? pointer_.HorizSize() + 1 : 0;
    // A value is centred over its point: the first and the last need half their width.
    if (ShowValues_ && Count() > 0) {
        const TChartTextMetrics metrics;
        for (int i : {0, Count() - 1})
            room = std::max(room, metrics.TextWidth(valueFont_.Font(), valueText(i)) / 2 + 1);
    }
    return {room, room};
}

TSeriesMargins TLineSeries::CalcVertMargins() const
{
    const int marker =
        pointer_.Visible() && pointer_.InflateMargins() ? pointer_.VertSize() + 1 : 0;
    int top = marker;
    if (ShowValues_)
        top = std::max(top, ValueGap_ + TChartTextMetrics().LineHeight(valueFont_.Font()));
    return {top, marker};
}

void TLineSeries::drawLine(TChartCanvas &canvas, const TSeriesLayout &layout) const
{
    canvas.AssignPen(linePen_);
    for (std::size_t k = 1; k < layout.Points.size(); ++k) {
        const TPlacedPoint &from = layout.Points[k - 1], &to = layout.Points[k];
        // A point without a colour is a gap: no line reaches it.
        if (from.Color == clNone || to.Color == clNone)
            continue;
        canvas.SetPenColor(to.Color);
        canvas.Line(from.Bounds.Left, from.Bounds.Top, to.Bounds.Left, to.Bounds.Top);
    }
}

void TLineSeries::DrawValue(TChartCanvas &canvas, const TSeriesLayout &layout,
                            std::size_t point) const
{
    if (point == (layout.Forward ? 0 : layout.Points.size() - 1))
        drawLine(canvas, layout);
    const TPlacedPoint &p = layout.Points[point];
    if (p.Color == clNone)
        return;
    if (pointer_.Visible()) {
        canvas.SetPen(clBlack);
        canvas.SetBrush(p.Color);
        canvas.Rectangle(MarkerRect(p));
    }
    if (ShowValues_) {
        const TTextLine label = ValueLabel(p, TChartTextMetrics(canvas.painter().device()));
        canvas.SetFont(valueFont_.Font());
        canvas.SetBackMode(true);
        canvas.TextOut(label.Left, label.Top, label.Text);
    }
}

void TLineSeries::DrawLegendSymbol(TChartCanvas &canvas, int valueIndex, const TRect &rect) const
{
    if (valueIndex < 0 && ColorEachPoint())
        return;
    const TColor color = valueIndex < 0 ? SeriesColor() : PointColor(valueIndex);
    // The line through the middle of the box, and the marker on it.
    const int y = (rect.Top + rect.Bottom) / 2;
    canvas.AssignPen(linePen_);
    canvas.SetPenColor(color);
    canvas.Line(rect.Left, y, rect.Right, y);
    if (pointer_.Visible()) {
        const int x = (rect.Left + rect.Right) / 2;
        const int h = std::min({pointer_.HorizSize(), pointer_.VertSize(), rect.height() / 2});
        canvas.SetPen(clBlack);
        canvas.SetBrush(color);
        canvas.Rectangle({x - h, y - h, x + h + 1, y + h + 1});
    }
}
