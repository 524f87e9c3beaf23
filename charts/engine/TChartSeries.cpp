#include "TChartSeries.h"

#include "AxisMath.h"
#include "TChartAxis.h"
#include "TChartCanvas.h"
#include "TCustomAxisPanel.h"

#include <algorithm>
#include <cmath>
#include <limits>

// ---- value list

void TChartValueList::setMultiplier(double value)
{
    multiplier_ = value;
    dirty_ = true;
}

int TChartValueList::InsertionIndex(double value) const
{
    const int count = Count();
    if (order_ == TChartListOrder::loNone || count == 0)
        return count;
    const auto at = [&](int i) { return values_[static_cast<std::size_t>(i)]; };
    if (order_ == TChartListOrder::loAscending) {
        if (value >= at(count - 1))
            return count;
        // Right after the last value (seen from the end) that is not greater: equal values
        // keep the order they were added in.
        for (int i = count - 1; i >= 0; --i)
            if (at(i) <= value)
                return i + 1;
        return 0;
    }
    if (value <= at(count - 1))
        return count;
    for (int i = count - 1; i >= 0; --i)
        if (at(i) >= value)
            return i + 1;
    return 0;
}

void TChartValueList::Insert(int index, double value)
{
    values_.insert(values_.begin() + index, value);
    dirty_ = true;
}

int TChartValueList::AddChartValue(double value)
{
    const int index = InsertionIndex(value);
    Insert(index, value);
    return index;
}

void TChartValueList::SetValue(int index, double value)
{
    values_[static_cast<std::size_t>(index)] = value;
    dirty_ = true;
}

void TChartValueList::Delete(int index)
{
    values_.erase(values_.begin() + index);
    dirty_ = true;
}

void TChartValueList::Clear()
{
    values_.clear();
    dirty_ = true;
}

void TChartValueList::recalc() const
{
    if (!dirty_)
        return;
    ++statisticsRuns_;
    min_ = max_ = total_ = totalAbs_ = 0;
    if (!values_.empty()) {
        min_ = max_ = total_ = Value(0);
        totalAbs_ = std::fabs(total_);
        for (int i = 1; i < Count(); ++i) {
            const double v = Value(i);
            if (v < min_)
                min_ = v;
            else if (v > max_)
                max_ = v;
            total_ += v;
            totalAbs_ += std::fabs(v);
        }
    }
    dirty_ = false;
}

double TChartValueList::MinValue() const
{
    recalc();
    return min_;
}

double TChartValueList::MaxValue() const
{
    recalc();
    return max_;
}

double TChartValueList::Total() const
{
    recalc();
    return total_;
}

double TChartValueList::TotalABS() const
{
    recalc();
    return totalAbs_;
}

// ---- series

TChartSeries::TChartSeries(const QString &name) : name_(name) {}

TChartSeries::~TChartSeries() = default;

void TChartSeries::RequestRepaint()
{
    if (chart_)
        chart_->RequestRepaint();
}

void TChartSeries::RepaintIfActive()
{
    if (active_ && chart_ && !chart_->Destroying())
        chart_->RequestRepaint();
}

void TChartSeries::setActive(bool value)
{
    storeSetting(this, active_, value);
}

void TChartSeries::setTitle(const QString &value)
{
    storeSetting(this, title_, value);
}

void TChartSeries::setShowInLegend(bool value)
{
    storeSetting(this, showInLegend_, value);
}

void TChartSeries::setSeriesColor(TColor value)
{
    storeSetting(this, seriesColor_, value);
}

void TChartSeries::setColorEachPoint(bool value)
{
    if (colorEachPoint_ == value)
        return;
    colorEachPoint_ = value;
    // Points take the series colour again.
    if (!value)
        std::fill(colors_.begin(), colors_.end(), AutoColor);
    RequestRepaint();
}

void TChartSeries::setValueFormat(const QString &value)
{
    storeSetting(this, valueFormat_, value);
}

void TChartSeries::setHorizAxis(THorizAxis value)
{
    storeSetting(this, horizAxis_, value);
}

void TChartSeries::setVertAxis(TVertAxis value)
{
    storeSetting(this, vertAxis_, value);
}

void TChartSeries::Clear()
{
    xValues_.Clear();
    yValues_.Clear();
    colors_.clear();
    labels_.clear();
    targets_.clear();
    RepaintIfActive();
}

int TChartSeries::AddValue(double value, const QString &label, TColor color)
{
    return AddXY(Count(), value, label, color);
}

int TChartSeries::AddXY(double x, double y, const QString &label, TColor color)
{
    const int index = xValues_.AddChartValue(x);
    yValues_.Insert(index, y);
    colors_.insert(colors_.begin() + index, color);
    labels_.insert(labels_.begin() + index, label);
    targets_.insert(targets_.begin() + index, std::numeric_limits<double>::quiet_NaN());
    RepaintIfActive();
    return index;
}

void TChartSeries::SetTarget(int index, double value)
{
    if (index < 0 || index >= Count())
        return;
    double &target = targets_[static_cast<std::size_t>(index)];
    if (target == value || (std::isnan(target) && std::isnan(value)))
        return;
    target = value;
    RepaintIfActive();
}

TColor TChartSeries::PointColor(int index) const
{
    if (index < 0 || index >= static_cast<int>(colors_.size()))
        return seriesColor_;
    const TColor stored = colors_[static_cast<std::size_t>(index)];
    if (stored != AutoColor)
        return stored;
    if (colorEachPoint_)
        return paletteColor(index % kPaletteSize);
    return seriesColor_;
}

QString TChartSeries::MarkText(int index) const
{
    const QString &label = Label(index);
    if (!label.isEmpty())
        return label;
    return formatAxisValue(yValues_.Value(index), valueFormat_);
}

TCustomChartAxis *TChartSeries::GetHorizAxis() const
{
    if (!chart_)
        return nullptr;
    return horizAxis_ == THorizAxis::aBottomAxis ? &chart_->BottomAxis() : &chart_->TopAxis();
}

TCustomChartAxis *TChartSeries::GetVertAxis() const
{
    if (!chart_)
        return nullptr;
    return vertAxis_ == TVertAxis::aLeftAxis ? &chart_->LeftAxis() : &chart_->RightAxis();
}

int TChartSeries::HorizAxisIndex() const
{
    return horizAxis_ == THorizAxis::aBottomAxis ? kBottomAxis : kTopAxis;
}

int TChartSeries::VertAxisIndex() const
{
    return vertAxis_ == TVertAxis::aLeftAxis ? kLeftAxis : kRightAxis;
}

bool TChartSeries::AssociatedToAxis(const TCustomChartAxis *axis) const
{
    return axis && (axis == GetHorizAxis() || axis == GetVertAxis());
}

int TChartSeries::CalcXPos(int index, const TAxisScale &horiz) const
{
    return horiz.CalcPosValue(xValues_.Value(index));
}

int TChartSeries::CalcYPos(int index, const TAxisScale &vert) const
{
    return vert.CalcPosValue(yValues_.Value(index));
}

bool TChartSeries::DrawValuesForward() const
{
    return !GetHorizAxis()->Inverted();
}

void TChartSeries::DrawLegendSymbol(TChartCanvas &canvas, int valueIndex, const TRect &rect) const
{
    // A series that colours each point has no one colour to show for itself.
    if (valueIndex < 0 && colorEachPoint_)
        return;
    canvas.SetBrush(valueIndex < 0 ? seriesColor_ : PointColor(valueIndex));
    canvas.Rectangle(rect);
}

TVisibleRange TChartSeries::CalcVisibleRange(const TAxisScale &horiz, const TRect &plot) const
{
    const int count = Count();
    if (count == 0)
        return {};
    if (xValues_.Order() == TChartListOrder::loNone)
        return {0, count - 1};
    double lo = horiz.CalcPosPoint(plot.Left);
    double hi = horiz.CalcPosPoint(plot.Right);
    if (horiz.Inverted)
        std::swap(lo, hi);
    TVisibleRange range;
    for (int i = 0; i < count; ++i)
        if (xValues_.Value(i) >= lo) {
            range.First = i;
            break;
        }
    if (range.First < 0)
        return {};
    if (xValues_.Value(count - 1) <= hi) {
        range.Last = count - 1;
        return range;
    }
    range.Last = count - 1;
    for (int i = range.First; i < count; ++i)
        if (xValues_.Value(i) >= hi) {
            range.Last = i;
            break;
        }
    if (!KeepsPointBeyondEdge() && xValues_.Value(range.Last) > hi)
        --range.Last;
    return range;
}

TSeriesLayout TChartSeries::Layout(const TAxisScale &horiz, const TAxisScale &vert,
                                   const TRect &plot) const
{
    TSeriesLayout layout;
    layout.Visible = CalcVisibleRange(horiz, plot);
    layout.Forward = DrawValuesForward();
    if (layout.Visible.First < 0)
        return layout;
    for (int i = layout.Visible.First; i <= layout.Visible.Last; ++i) {
        const int x = CalcXPos(i, horiz);
        const int y = CalcYPos(i, vert);
        layout.Points.push_back({i, PointColor(i), {x, y, x, y}, {}});
    }
    return layout;
}

// ---- series list

TChartSeries *TChartSeriesList::Add(std::unique_ptr<TChartSeries> series)
{
    TChartSeries *added = series.get();
    if (added->SeriesColor() == AutoColor) {
        TColor color = paletteColor(0);
        for (int i = 0; i < kPaletteSize; ++i) {
            const TColor candidate = paletteColor(i);
            const bool used = std::any_of(items_.begin(), items_.end(), [&](const auto &s) {
                return s->SeriesColor() == candidate;
            });
            if (!used) {
                color = candidate;
                break;
            }
        }
        added->setSeriesColor(color);
    }
    added->setParentChart(chart_);
    items_.push_back(std::move(series));
    chart_->RequestRepaint();
    return added;
}

void TChartSeriesList::Remove(TChartSeries *series)
{
    const int index = IndexOf(series);
    if (index < 0)
        return;
    items_.erase(items_.begin() + index);
    chart_->RequestRepaint();
}

int TChartSeriesList::IndexOf(const TChartSeries *series) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<std::size_t>(i)].get() == series)
            return i;
    return -1;
}
