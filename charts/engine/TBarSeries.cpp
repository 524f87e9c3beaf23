#include "TBarSeries.h"

#include "TChartCanvas.h"
#include "TCustomAxisPanel.h"

#include <algorithm>
#include <typeinfo>

int barWidthFor(int axisLength, int pointCount, int groupSize, int barWidthPercent,
                bool sideMargins)
{
    if (pointCount <= 0 || groupSize <= 0)
        return 0;
    const int slotCount = sideMargins ? pointCount + 1 : pointCount;
    const int slot = axisLength / slotCount;
    // percent x slot / 100 is exact for whole numbers, so halves round to even as they should.
    int width = roundToEvenPixel(static_cast<double>(barWidthPercent) * slot / 100.0) / groupSize;
    if (width % 2 != 0)
        width += width > 0 ? 1 : -1;
    return width;
}

int sideBarOffset(int position, int groupSize, int barWidth)
{
    return roundToEvenPixel((position - groupSize * 0.5 - 1) * barWidth);
}

TCustomBarSeries::TCustomBarSeries(const QString &name) : TChartSeries(name)
{
    YValues().setName(QStringLiteral("Bar"));
}

void TCustomBarSeries::setBarWidthPercent(int value)
{
    if (value < 1 || value > 100)
        throw EChartError(QStringLiteral("Bar Width Percent must be between 1 and 100"));
    store(barWidthPercent_, value);
}

void TCustomBarSeries::setOffsetPercent(int value)
{
    if (value < -100 || value > 100)
        throw EChartError(QStringLiteral("Bar Offset Percent must be between -100% and 100%"));
    store(offsetPercent_, value);
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

int TCustomBarSeries::CalcBarWidth()
{
    if (CustomBarWidth() != 0) {
        barWidth_ = CustomBarWidth();
        return barWidth_;
    }
    const bool side = MultiBar() == TMultiBar::mbSide && ParentChart();
    const int groupSize = side ? GroupSize() : 1;
    int n = side ? groupPointCount() : Count();
    if (ParentChart() && ParentChart()->MaxPointsPerPage() > 0)
        n = ParentChart()->MaxPointsPerPage();
    const TCustomChartAxis *axis = GetHorizAxis();
    const int length = axis ? axis->LengthPixels() : 0;
    if (AutoBarSize() && axis && n > 0) {
        const int slot = roundToEvenPixel(length / (axis->RangeMax() + 2 - axis->RangeMin()));
        int width = roundToEvenPixel(static_cast<double>(barWidthPercent_) * slot / 100.0) / groupSize;
        barWidth_ = width % 2 != 0 ? width + 1 : width;
        return barWidth_;
    }
    barWidth_ = barWidthFor(length, n, groupSize, barWidthPercent_, SideMargins());
    return barWidth_;
}

double TCustomBarSeries::MinYValue() const
{
    if (Count() == 0)
        return 0;
    const double low = TChartSeries::MinYValue();
    return UseYOrigin() ? std::min(low, YOrigin()) : low;
}

double TCustomBarSeries::MaxYValue() const
{
    if (Count() == 0)
        return 0;
    const double high = TChartSeries::MaxYValue();
    return UseYOrigin() ? std::max(high, YOrigin()) : high;
}

TSeriesMargins TCustomBarSeries::CalcHorizMargins()
{
    CalcBarWidth();
    const int group = MultiBar() == TMultiBar::mbSide ? GroupSize() : 1;
    const int room = SideMargins() ? group * barWidth_ : group * barWidth_ / 2;
    return {room, room};
}

int TCustomBarSeries::CalcXPos(int index) const
{
    int x = TChartSeries::CalcXPos(index);
    if (MultiBar() == TMultiBar::mbSide)
        x += sideBarOffset(GroupPosition(), GroupSize(), barWidth_);
    else
        x -= barWidth_ / 2;
    if (offsetPercent_ != 0)
        x += roundToEvenPixel(offsetPercent_ * barWidth_ * 0.01);
    return x;
}

TRect TCustomBarSeries::BarBounds(int index) const
{
    const int left = CalcXPos(index);
    const int top = CalcYPos(index);
    const TCustomChartAxis *vertical = GetVertAxis();
    const int bottom = UseYOrigin() ? vertical->CalcPosValue(YOrigin()) : vertical->EndPixel();
    return {left, top, left + barWidth_, bottom};
}

void TCustomBarSeries::DrawValue(TChartCanvas3D &canvas, int index)
{
    const TColor color = PointColor(index);
    if (color == clNone)
        return;
    const TRect bar = BarBounds(index);
    // A negative value's bar hangs below the origin.
    const TRect r{bar.Left, std::min(bar.Top, bar.Bottom), bar.Right,
                  std::max(bar.Top, bar.Bottom)};
    canvas.AssignPen(barPen_);
    canvas.SetBrush(color, barBrush_.Style());
    const auto outlineInBarColour = [&] {
        canvas.SetPen(color, barPen_.Width(),
                      barPen_.Visible() ? barPen_.Style() : TPenStyle::psSolid);
    };
    if (r.Left == r.Right || r.Top == r.Bottom) {
        outlineInBarColour();
        canvas.Line(bar.Left, bar.Top, bar.Right, bar.Bottom);
        canvas.Rectangle(r);
        return;
    }
    const int penWidth = barPen_.Visible() ? barPen_.Width() : 1;
    if (r.width() < penWidth || r.height() < penWidth) {
        outlineInBarColour();
        canvas.SetBrushClear();
        canvas.Rectangle(r);
        return;
    }
    canvas.Rectangle(r);
}

void TCustomBarSeries::DrawLegendSymbol(TChartCanvas3D &canvas, int valueIndex, const TRect &rect)
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
