#include "TLineSeries.h"

#include "TChartCanvas.h"

TLineSeries::TLineSeries(const QString &name) : TChartSeries(name) {}

void TLineSeries::DrawValue(TChartCanvas3D &canvas, int index)
{
    const TColor color = PointColor(index);
    if (color == clNone)
        return;
    const int x = CalcXPos(index);
    const int y = CalcYPos(index);
    if (index > Visible().First) {
        canvas.AssignPen(linePen_);
        canvas.SetPenColor(color);
        canvas.Line(CalcXPos(index - 1), CalcYPos(index - 1), x, y);
    }
    if (pointer_.Visible()) {
        canvas.SetPen(clBlack);
        canvas.SetBrush(color);
        const int hx = pointer_.HorizSize();
        const int hy = pointer_.VertSize();
        canvas.Rectangle({x - hx, y - hy, x + hx + 1, y + hy + 1});
    }
}
