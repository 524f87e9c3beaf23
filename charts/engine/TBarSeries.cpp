#include "TBarSeries.h"

#include "TChartCanvas.h"
#include "TCustomAxisPanel.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

int barWidthFor(int axisLength, int pointCount, int groupSize, int barWidthPercent,
                bool sideMargins)
{
    if (pointCount <= 0 || groupSize <= 0)
        return 0;
    const int slotCount = sideMargins ? pointCount + 1 : pointCount;
    const int slot = axisLength / slotCount;
    // percent x slot / 100 is exact for whole numbers, so halves round to even as they should.
    int width = roundHalfEven(static_cast<double>(barWidthPercent) * slot / 100.0) / groupSize;
    if (width % 2 != 0)
        width += width > 0 ? 1 : -1;
    return width;
}

int sideBarOffset(int position, int groupSize, int barWidth)
{
    return roundHalfEven((position - groupSize * 0.5 - 1) * barWidth);
}

TCustomBarSeries::TCustomBarSeries(const QString &name) : TChartSeries(name)
{
    YValues().setName(QStringLiteral("Bar"));
}

void TCustomBarSeries::setBarWidthPercent(int value)
{
    if (value < 1 || value > 100)
        throw EChartError(QStringLiteral("Bar Width Percent must be between 1 and 100"));
    storeSetting(this, barWidthPercent_, value);
}

void TCustomBarSeries::setOffsetPercent(int value)
{
    if (value < -100 || value > 100)
        throw EChartError(QStringLiteral("Bar Offset Percent must be between -100% and 100%"));
    storeSetting(this, offsetPercent_, value);
}

int TCustomBarSeries::GroupSize() const
{
    if (!ParentChart())
        return 1;
    int size = 0;
    for (const auto &s : ParentChart()->SeriesList())
        if (s->Active() && typeid(*s) == typeid(*this))
            ++size;
    return std::max(size, 1);
}

int TCustomBarSeries::GroupPosition() const
{
    if (!ParentChart())
        return 1;
    int position = 1;
    for (const auto &s : ParentChart()->SeriesList()) {
        if (s.get() == this)
            break;
        if (s->Active() && typeid(*s) == typeid(*this))
            ++position;
    }
    return position;
}

int TCustomBarSeries::groupPointCount() const
{
    int n = 0;
    for (const auto &s : ParentChart()->SeriesList())
        if (s->Active() && typeid(*s) == typeid(*this))
            n = std::max(n, s->Count());
    return n;
}

int TCustomBarSeries::CalcBarWidth(const TAxisScale &horiz) const
{
    if (CustomBarWidth() != 0)
        return CustomBarWidth();
    const bool side = MultiBar() == TMultiBar::mbSide && ParentChart();
    const int groupSize = side ? GroupSize() : 1;
    int n = side ? groupPointCount() : Count();
    if (ParentChart() && ParentChart()->MaxPointsPerPage() > 0)
        n = ParentChart()->MaxPointsPerPage();
    const int length = horiz.LengthPixels();
    if (AutoBarSize() && n > 0) {
        const int slot = roundHalfEven(length / (horiz.RangeMax + 2 - horiz.RangeMin));
        const int width =
            roundHalfEven(static_cast<double>(barWidthPercent_) * slot / 100.0) / groupSize;
        return width % 2 != 0 ? width + 1 : width;
    }
    return barWidthFor(length, n, groupSize, barWidthPercent_, SideMargins());
}

double TCustomBarSeries::MinYValue() const
{
    if (Count() == 0)
        return 0;
    double low = TChartSeries::MinYValue();
    // The axis covers the targets too, so that every mark falls inside the plot.
    for (int i = 0; i < Count(); ++i)
        if (!std::isnan(Target(i)))
            low = std::min(low, Target(i));
    return UseYOrigin() ? std::min(low, YOrigin()) : low;
}

double TCustomBarSeries::MaxYValue() const
{
    if (Count() == 0)
        return 0;
    double high = TChartSeries::MaxYValue();
    for (int i = 0; i < Count(); ++i)
        if (!std::isnan(Target(i)))
            high = std::max(high, Target(i));
    return UseYOrigin() ? std::max(high, YOrigin()) : high;
}

TSeriesMargins TCustomBarSeries::CalcHorizMargins(const TAxisScale &horiz) const
{
    const int width = CalcBarWidth(horiz);
    const int group = MultiBar() == TMultiBar::mbSide ? GroupSize() : 1;
    const int room = SideMargins() ? group * width : group * width / 2;
    return {room, room};
}

TRect TCustomBarSeries::BarBounds(int index, const TAxisScale &horiz, const TAxisScale &vert,
                                  int barWidth) const
{
    int left = CalcXPos(index, horiz);
    if (MultiBar() == TMultiBar::mbSide)
        left += sideBarOffset(GroupPosition(), GroupSize(), barWidth);
    else
        left -= barWidth / 2;
    if (offsetPercent_ != 0)
        left += roundHalfEven(offsetPercent_ * barWidth * 0.01);
    const int top = CalcYPos(index, vert);
    const int bottom = UseYOrigin() ? vert.CalcPosValue(YOrigin()) : vert.EndPixel;
    return {left, top, left + barWidth, bottom};
}

TSeriesLayout TCustomBarSeries::Layout(const TAxisScale &horiz, const TAxisScale &vert,
                                       const TRect &plot) const
{
    TSeriesLayout layout;
    layout.Visible = CalcVisibleRange(horiz, plot);
    layout.Forward = DrawValuesForward();
    // On the final scale: with AutoBarSize the width follows the range the margins widened.
    layout.BarWidth = CalcBarWidth(horiz);
    if (layout.Visible.First < 0)
        return layout;
    for (int i = layout.Visible.First; i <= layout.Visible.Last; ++i) {
        TPlacedPoint p{i, PointColor(i), BarBounds(i, horiz, vert, layout.BarWidth), {}};
        if (!std::isnan(Target(i))) {
            // A target at the foot of the scale would lie on the axis line, black on black:
            // it stays above, a pixel of air between them.
            const int row =
                std::min(vert.CalcPosValue(Target(i)), vert.EndPixel - kTargetMarkHeight - 1);
            p.Target = {p.Bounds.Left, row, p.Bounds.Right, row + kTargetMarkHeight};
        }
        layout.Points.push_back(p);
    }
    return layout;
}

void TCustomBarSeries::DrawValue(TChartCanvas &canvas, const TSeriesLayout &layout,
                                 std::size_t point) const
{
    const TPlacedPoint &p = layout.Points[point];
    const TColor color = p.Color;
    if (color == clNone)
        return;
    const TRect &bar = p.Bounds;
    // A negative value's bar hangs below the origin.
    const TRect r{bar.Left, std::min(bar.Top, bar.Bottom), bar.Right,
                  std::max(bar.Top, bar.Bottom)};
    canvas.AssignPen(barPen_);
    canvas.SetBrush(color, barBrush_.Style());
    const auto outlineInBarColour = [&] {
        canvas.SetPen(color, barPen_.Width(),
                      barPen_.Visible() ? barPen_.Style() : TPenStyle::psSolid);
    };
    const int penWidth = barPen_.Visible() ? barPen_.Width() : 1;
    if (r.Left == r.Right || r.Top == r.Bottom) {
        outlineInBarColour();
        canvas.Line(bar.Left, bar.Top, bar.Right, bar.Bottom);
        canvas.Rectangle(r);
    } else if (r.width() < penWidth || r.height() < penWidth) {
        outlineInBarColour();
        canvas.SetBrushClear();
        canvas.Rectangle(r);
    } else {
        canvas.Rectangle(r);
    }
    // Over the bar, so a bar that passes its target still shows where the target lies.
    canvas.FillRect(p.Target, clBlack);
}

void TCustomBarSeries::DrawLegendSymbol(TChartCanvas &canvas, int valueIndex,
                                        const TRect &rect) const
{
    if (valueIndex < 0 && ColorEachPoint())
        return;
    const TColor color = valueIndex < 0 ? SeriesColor() : PointColor(valueIndex);
    canvas.AssignPen(barPen_);
    canvas.SetBrush(color, barBrush_.Style());
    if (barBrush_.Style() != TBrushStyle::bsSolid) {
        const TColor back = barBrush_.Color() == AutoColor
                                ? (ParentChart() ? ParentChart()->Color() : clWhite)
                                : barBrush_.Color();
        canvas.SetBackMode(false);
        canvas.SetBackColor(back);
    }
    canvas.Rectangle(rect);
    canvas.SetBackMode(true);
}

TBarSeries::TBarSeries(const QString &name) : TCustomBarSeries(name) {}
