#include "TLineSeries.h"

#include "TChartCanvas.h"

TLineSeries::TLineSeries(const QString &name) : TChartSeries(name) {}

void TLineSeries::DrawValue(TChartCanvas &canvas, const TSeriesLayout &layout,
                            std::size_t point) const
{
    const TPlacedPoint &p = layout.Points[point];
    if (p.Color == clNone)
        return;
    const int x = p.Bounds.Left;
    const int y = p.Bounds.Top;
    // Joined to the point before, from the second visible point on.
    if (point > 0) {
        const TRect &before = layout.Points[point - 1].Bounds;
        canvas.AssignPen(linePen_);
        canvas.SetPenColor(p.Color);
        canvas.Line(before.Left, before.Top, x, y);
    }
    if (pointer_.Visible()) {
        canvas.SetPen(clBlack);
        canvas.SetBrush(p.Color);
        const int hx = pointer_.HorizSize();
        const int hy = pointer_.VertSize();
        canvas.Rectangle({x - hx, y - hy, x + hx + 1, y + hy + 1});
    }
}
