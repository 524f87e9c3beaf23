#include "TChartAxis.h"

#include "TChartCanvas.h"
#include "TChartSeries.h"
#include "TCustomAxisPanel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr QChar kLineSeparator(13);

} // namespace

TCustomChartAxis::TCustomChartAxis(TCustomAxisPanel *chart, bool horizontal, bool otherSide)
    : TChartPersistent(chart), chart_(chart), horizontal_(horizontal), otherSide_(otherSide),
      labelsFont_(chart), axis_(chart), ticks_(chart), ticksInner_(chart), minorTicks_(chart),
      grid_(chart), minorGrid_(chart), title_(chart, horizontal ? 0 : (otherSide ? 270 : 90))
{
}

// ---- checked range settings

void TCustomChartAxis::setAutomatic(bool value)
{
    automatic_ = value;
    automaticMinimum_ = value;
    automaticMaximum_ = value;
    Changed();
}

void TCustomChartAxis::setAutomaticMinimum(bool value)
{
    automaticMinimum_ = value;
    automatic_ = value ? automaticMaximum_ : false;
    Changed();
}

void TCustomChartAxis::setAutomaticMaximum(bool value)
{
    automaticMaximum_ = value;
    automatic_ = value ? automaticMinimum_ : false;
    Changed();
}

void TCustomChartAxis::setMinimum(double value)
{
    if (value > maximum_)
        throw EChartError(QStringLiteral("Axis Minimum Value must be <= Maximum"));
    storeSetting(repaintTarget(), minimum_, value);
}

void TCustomChartAxis::setMaximum(double value)
{
    if (value < minimum_)
        throw EChartError(QStringLiteral("Axis Maximum Value must be >= Minimum"));
    storeSetting(repaintTarget(), maximum_, value);
}

void TCustomChartAxis::setIncrement(double value)
{
    if (value < 0)
        throw EChartError(QStringLiteral("Axis increment must be >= 0"));
    storeSetting(repaintTarget(), increment_, value);
}

// ---- layout

bool TCustomChartAxis::IsVisible() const
{
    if (!chart_->AxisVisible() || !Visible())
        return false;
    if (this == &chart_->DepthAxis())
        return chart_->View3D();
    const auto &list = chart_->SeriesList();
    return std::any_of(list.begin(), list.end(),
                       [&](const auto &s) { return s->Active() && s->AssociatedToAxis(this); });
}

TAxisScale TCustomChartAxis::AutoRange() const
{
    const auto &list = chart_->SeriesList();
    const bool anyActive = std::any_of(list.begin(), list.end(), [&](const auto &s) {
        return s->Active() && s->AssociatedToAxis(this);
    });
    double low = 0;
    double high = 0;
    bool first = true;
    for (const auto &s : list) {
        if (s->Count() == 0 || !s->AssociatedToAxis(this) || !(s->Active() || !anyActive))
            continue;
        const double sMin = horizontal_ ? s->MinXValue() : s->MinYValue();
        const double sMax = horizontal_ ? s->MaxXValue() : s->MaxYValue();
        low = first ? sMin : std::min(low, sMin);
        high = first ? sMax : std::max(high, sMax);
        first = false;
    }
    TAxisScale scale;
    scale.Horizontal = horizontal_;
    scale.Inverted = Inverted();
    scale.RangeMin = automatic_ || automaticMinimum_ ? low : minimum_;
    scale.RangeMax = automatic_ || automaticMaximum_ ? high : maximum_;
    return scale;
}

TAxisLabelStyle TCustomChartAxis::ResolvedLabelStyle() const
{
    if (LabelStyle() != TAxisLabelStyle::talAuto)
        return LabelStyle();
    bool tied = false;
    for (const auto &s : chart_->SeriesList()) {
        if (!s->Active() || !s->AssociatedToAxis(this))
            continue;
        tied = true;
        // An ordinary series takes its labels along its X axis.
        const bool alongThis = s->GetHorizAxis() == this;
        if (alongThis && s->Count() > 0 && !s->Label(0).isEmpty())
            return TAxisLabelStyle::talText;
    }
    return tied ? TAxisLabelStyle::talValue : TAxisLabelStyle::talNone;
}

int TCustomChartAxis::labelLines(const QString &text) const
{
    return static_cast<int>(text.count(kLineSeparator)) + 1;
}

// Width of a label: its widest line.
int TCustomChartAxis::labelExtent(const TChartTextMetrics &metrics, const QString &text) const
{
    int widest = 0;
    for (const QString &line : text.split(kLineSeparator))
        widest = std::max(widest, metrics.TextWidth(labelsFont_.Font(), line));
    return widest;
}

double TCustomChartAxis::CalcLabelStep(const TAxisScale &scale,
                                       const TChartTextMetrics &metrics) const
{
    const TChartFont &font = labelsFont_.Font();
    int size = 0;
    const bool upright = LabelsAngle() == 90 || LabelsAngle() == 270;
    if (horizontal_ && !upright) {
        const QString a = formatAxisValue(scale.RangeMin, AxisValuesFormat());
        const QString b = formatAxisValue(scale.RangeMax, AxisValuesFormat());
        size = std::max(labelExtent(metrics, a), labelExtent(metrics, b));
    } else if (horizontal_ || !upright) {
        size = metrics.LineHeight(font);
    } else {
        size =
            std::max(metrics.TextWidth(font, formatAxisValue(scale.RangeMin, AxisValuesFormat())),
                     metrics.TextWidth(font, formatAxisValue(scale.RangeMax, AxisValuesFormat())));
    }
    return axisLabelStep(scale.RangeSize(), increment_, scale.LengthPixels(), size,
                         LabelsSeparation());
}

int TCustomChartAxis::MaxLabelsWidth(const TAxisScale &scale,
                                     const TChartTextMetrics &metrics) const
{
    int widest = 0;
    switch (ResolvedLabelStyle()) {
    case TAxisLabelStyle::talValue:
    case TAxisLabelStyle::talAuto: {
        const double step = CalcLabelStep(scale, metrics);
        for (double end : {scale.RangeMin, scale.RangeMax}) {
            const double v = RoundFirstLabel() ? std::trunc(end / step) * step : end;
            widest = std::max(widest, labelExtent(metrics, formatAxisValue(v, AxisValuesFormat())));
        }
        return widest + metrics.TextWidth(labelsFont_.Font(), QStringLiteral(" "));
    }
    case TAxisLabelStyle::talMark:
        for (const auto &s : chart_->SeriesList())
            if (s->Active() && s->AssociatedToAxis(this))
                for (int i = 0; i < s->Count(); ++i)
                    widest = std::max(widest, labelExtent(metrics, s->MarkText(i)));
        return widest;
    case TAxisLabelStyle::talText:
        for (const auto &s : chart_->SeriesList())
            for (int i = 0; i < s->Count(); ++i)
                widest = std::max(widest, labelExtent(metrics, s->Label(i)));
        return widest;
    case TAxisLabelStyle::talNone:
        return 0;
    }
    return widest;
}

TAxisRoom TCustomChartAxis::CalcRoom(const TRect &plot, const TAxisScale &range,
                                     const TChartTextMetrics &metrics, int length) const
{
    TAxisRoom room;
    TRect r = plot;
    const auto moveIn = [&](int size) -> int {
        if (horizontal_) {
            if (otherSide_)
                return r.Top += size;
            return r.Bottom -= size;
        }
        if (otherSide_)
            return r.Right -= size;
        return r.Left += size;
    };
    if (!title_.Caption().isEmpty()) {
        const bool along = horizontal_ ? (title_.Angle() == 0 || title_.Angle() == 180)
                                       : (title_.Angle() == 90 || title_.Angle() == 270);
        const int size = TitleSize() != 0 ? TitleSize()
                         : along          ? metrics.LineHeight(title_.Font())
                                          : metrics.TextWidth(title_.Font(), title_.Caption());
        room.TitlePos = moveIn(size);
    }
    if (Labels()) {
        const bool along = horizontal_ ? (LabelsAngle() == 0 || LabelsAngle() == 180)
                                       : (LabelsAngle() == 90 || LabelsAngle() == 270);
        // Across the axis the labels' width is estimated with the step of the length given:
        // the final length is known only once every axis has taken its room.
        TAxisScale estimate = range;
        estimate.StartPixel = 0;
        estimate.EndPixel = length;
        const int size = LabelsSize() != 0 ? LabelsSize()
                         : along           ? metrics.LineHeight(labelsFont_.Font())
                                           : MaxLabelsWidth(estimate, metrics);
        room.LabelsPos = moveIn(size);
    }
    int tickRoom = axis_.Visible() ? axis_.Width() : 0;
    tickRoom += std::max(ticks_.Visible() ? TickLength() : 0,
                         minorTicks_.Visible() ? MinorTickLength() : 0);
    moveIn(tickRoom);
    room.Plot = {std::max(plot.Left, r.Left), std::max(plot.Top, r.Top),
                 std::min(plot.Right, r.Right), std::min(plot.Bottom, r.Bottom)};
    return room;
}

TAxisScale TCustomChartAxis::CalcScreenPositions(TAxisScale scale, const TRect &plot) const
{
    const int origin = horizontal_ ? plot.Left : plot.Top;
    const int size = horizontal_ ? plot.width() : plot.height();
    scale.StartPixel = origin + roundHalfEven(size * StartPosition() / 100.0);
    scale.EndPixel = origin + roundHalfEven(size * EndPosition() / 100.0);
    return scale;
}

TAxisScale TCustomChartAxis::WidenBySeriesMargins(const TAxisScale &scale) const
{
    int low = 0;
    int high = 0;
    for (const auto &s : chart_->SeriesList()) {
        if (!s->Active() || !s->AssociatedToAxis(this))
            continue;
        // A series tied to a horizontal axis has it as its X axis.
        const TSeriesMargins m = horizontal_ ? s->CalcHorizMargins(scale) : s->CalcVertMargins();
        low = std::max(low, m.Low);
        high = std::max(high, m.High);
    }
    if (!(horizontal_ ? automaticMinimum_ : automaticMaximum_))
        low = 0;
    if (!(horizontal_ ? automaticMaximum_ : automaticMinimum_))
        high = 0;
    return widenByMargins(scale, low, high);
}

std::vector<TTextLine> TCustomChartAxis::placeLabel(const TChartTextMetrics &metrics, int labelsPos,
                                                    int pixel, const QString &text) const
{
    const TChartFont &font = labelsFont_.Font();
    const QStringList lines = text.split(kLineSeparator);
    const int h = metrics.LineHeight(font);
    const int count = static_cast<int>(lines.size());
    std::vector<TTextLine> placed;
    for (int k = 0; k < count; ++k) {
        const QString &line = lines[k];
        const int width = metrics.TextWidth(font, line);
        if (horizontal_) {
            // centred on the pixel, stacked away from the plot
            const int top = otherSide_ ? labelsPos - (count - k) * h : labelsPos + k * h;
            placed.push_back({pixel - width / 2, top, line});
        } else {
            // against the labels' edge, centred on the pixel
            const int left = otherSide_ ? labelsPos : labelsPos - width;
            placed.push_back({left, pixel - h / 2 + k * h, line});
        }
    }
    return placed;
}

std::vector<TAxisLabel> TCustomChartAxis::valueLabels(const TAxisScale &scale, double step) const
{
    std::vector<TAxisLabel> labels;
    for (double value : valueLabelValues(scale.RangeMin, scale.RangeMax, step, RoundFirstLabel())) {
        const int pixel = scale.CalcPosValue(value);
        const bool shown = LabelsOnAxis() || (pixel > scale.StartPixel && pixel < scale.EndPixel);
        labels.push_back({pixel, formatAxisValue(value, AxisValuesFormat()), shown, {}});
    }
    return labels;
}

std::vector<TCustomChartAxis::TLabelledSeries>
TCustomChartAxis::labelledSeries(const TChartLayout &frame) const
{
    std::vector<TLabelledSeries> labelled;
    const TChartSeriesList &list = chart_->SeriesList();
    for (int i = 0; i < list.Count(); ++i) {
        const TChartSeries *s = list[i];
        if (!s->Active() || !s->AssociatedToAxis(this))
            continue;
        for (int j = 0; j < s->Count(); ++j)
            if (!s->Label(j).isEmpty()) {
                labelled.push_back({s, frame.Series[static_cast<std::size_t>(i)].Visible});
                break;
            }
    }
    return labelled;
}

std::vector<TAxisLabel> TCustomChartAxis::markLabels(const TAxisScale &scale,
                                                     const TChartLayout &frame,
                                                     const TChartTextMetrics &metrics,
                                                     bool rawText) const
{
    const std::vector<TLabelledSeries> labelled = labelledSeries(frame);
    int first = -1;
    int last = -1;
    for (const TLabelledSeries &l : labelled) {
        if (first < 0 && l.visible.First >= 0)
            first = l.visible.First;
        last = std::max(last, l.visible.Last);
    }
    std::vector<TAxisLabel> labels;
    if (first < 0)
        return labels;

    std::vector<std::pair<int, int>> placement;
    const int lineHeight = metrics.LineHeight(labelsFont_.Font());
    for (int i = first; i <= last; ++i) {
        for (const TLabelledSeries &l : labelled) {
            const TChartSeries *s = l.series;
            if (i >= s->Count())
                continue;
            const QString text = rawText ? s->Label(i) : s->MarkText(i);
            const double value = horizontal_ ? s->XValues().Value(i) : s->YValues().Value(i);
            if (value >= scale.RangeMin && value <= scale.RangeMax) {
                const int pixel = scale.CalcPosValue(value);
                const int size =
                    horizontal_ ? labelExtent(metrics, text) : lineHeight * labelLines(text);
                labels.push_back({pixel, text, false, {}});
                placement.emplace_back(pixel, size);
            }
            break;
        }
    }
    const std::vector<bool> shown = markLabelsShown(placement, LabelsSeparation());
    for (std::size_t k = 0; k < labels.size(); ++k)
        labels[k].Shown = shown[k];
    return labels;
}

TAxisTitleLayout TCustomChartAxis::layoutTitle(const TAxisScale &scale, int titlePos,
                                               const TChartTextMetrics &metrics) const
{
    TAxisTitleLayout t;
    t.Shown = true;
    const QString &caption = title_.Caption();
    const int h = metrics.LineHeight(title_.Font());
    const int w = metrics.TextWidth(title_.Font(), caption);
    if (horizontal_) {
        t.Text = {scale.CenterPixel() - w / 2, otherSide_ ? titlePos - h : titlePos, caption};
        return t;
    }
    // Along a vertical axis the caption reads upwards (left) or downwards (right).
    t.Rotation = otherSide_ ? 90 : -90;
    t.OriginX = otherSide_ ? titlePos + h : titlePos - h;
    t.OriginY = scale.CenterPixel();
    t.Text = {-w / 2, 0, caption};
    return t;
}

TAxisLayout TCustomChartAxis::LayoutLabels(const TAxisLayout &in, const TChartLayout &frame,
                                           const TChartTextMetrics &metrics) const
{
    TAxisLayout axis = in;
    const TAxisScale &scale = axis.Scale;
    const TRect &plot = frame.Plot;
    axis.Step = CalcLabelStep(scale, metrics);
    if (horizontal_) {
        const int shift = roundHalfEven(plot.height() * PositionPercent() / 100.0);
        axis.LinePos = otherSide_ ? plot.Top + shift : plot.Bottom - shift;
    } else {
        const int shift = roundHalfEven(plot.width() * PositionPercent() / 100.0);
        axis.LinePos = otherSide_ ? plot.Right - shift : plot.Left + shift;
    }
    if (!title_.Caption().isEmpty() && title_.Visible())
        axis.Title = layoutTitle(scale, axis.TitlePos, metrics);

    if (Labels() && axis.Step > 0 && scale.RangeMax >= scale.RangeMin) {
        switch (ResolvedLabelStyle()) {
        case TAxisLabelStyle::talValue:
        case TAxisLabelStyle::talAuto:
            axis.Labels = valueLabels(scale, axis.Step);
            break;
        case TAxisLabelStyle::talMark:
            axis.Labels = markLabels(scale, frame, metrics, false);
            break;
        case TAxisLabelStyle::talText:
            axis.Labels = markLabels(scale, frame, metrics, true);
            break;
        case TAxisLabelStyle::talNone:
            break;
        }
    }
    for (TAxisLabel &label : axis.Labels)
        if (label.Shown)
            label.Lines = placeLabel(metrics, axis.LabelsPos, label.Pixel, label.Text);
    placeTicks(axis);
    return axis;
}

void TCustomChartAxis::placeTicks(TAxisLayout &axis) const
{
    constexpr std::size_t kMaxTicks = 2000;
    for (const TAxisLabel &label : axis.Labels)
        if ((label.Shown || !TickOnLabelsOnly()) && axis.Ticks.size() < kMaxTicks)
            axis.Ticks.push_back(label.Pixel);
    axis.MinorTicks = minorTickPositions(axis.Ticks, MinorTickCount(), axis.Scale.StartPixel,
                                         axis.Scale.EndPixel, Logarithmic());
    if (grid_.Visible()) {
        if (!GridCentered())
            axis.Grid = axis.Ticks;
        else
            for (std::size_t i = 1; i < axis.Ticks.size(); ++i)
                axis.Grid.push_back((axis.Ticks[i - 1] + axis.Ticks[i]) / 2);
    }
    if (minorGrid_.Visible())
        axis.MinorGrid = axis.MinorTicks;
}

void TCustomChartAxis::FrameDrawn(const TAxisLayout &axis)
{
    // Written back without a repaint request: this is the end of a paint.
    if (automatic_ || automaticMaximum_)
        maximum_ = axis.Maximum;
    if (automatic_ || automaticMinimum_)
        minimum_ = axis.Minimum;
}

// ---- painting

void TCustomChartAxis::paintTitle(TChartCanvas &canvas, const TAxisTitleLayout &title) const
{
    canvas.SetFont(title_.Font());
    const TTextLine &t = title.Text;
    if (title.Rotation == 0) {
        canvas.TextOut(t.Left, t.Top, t.Text);
        return;
    }
    QPainter &p = canvas.painter();
    p.save();
    p.translate(title.OriginX, title.OriginY);
    p.rotate(title.Rotation);
    canvas.TextOut(t.Left, t.Top, t.Text);
    p.restore();
}

void TCustomChartAxis::paintTick(TChartCanvas &canvas, int pixel, int from, int length,
                                 bool inner) const
{
    // Outer ticks point away from the plot, inner ones into it.
    const bool down = horizontal_ ? (otherSide_ == inner) : (otherSide_ != inner);
    const int sign = down ? 1 : -1;
    const int start = from + sign;
    const int end = start + sign * length;
    if (horizontal_)
        canvas.Line(pixel, start, pixel, end);
    else
        canvas.Line(start, pixel, end, pixel);
}

void TCustomChartAxis::paintGridLines(TChartCanvas &canvas, const TChartPen &pen,
                                      const std::vector<int> &at, const TRect &plot) const
{
    canvas.SetBrushClear();
    canvas.SetBackMode(true);
    canvas.AssignPen(pen);
    if (pen.Color() == AutoColor)
        canvas.SetPenColor(clGray);
    for (int p : at) {
        if (horizontal_)
            canvas.Line(p, plot.Top, p, plot.Bottom);
        else
            canvas.Line(plot.Left, p, plot.Right, p);
    }
    canvas.SetBackMode(false);
}

void TCustomChartAxis::Paint(TChartCanvas &canvas, const TAxisLayout &axis, const TRect &plot) const
{
    if (axis.Title.Shown)
        paintTitle(canvas, axis.Title);
    canvas.SetFont(labelsFont_.Font());
    canvas.SetBrushClear();
    canvas.SetBackMode(true);
    for (const TAxisLabel &label : axis.Labels)
        for (const TTextLine &line : label.Lines)
            canvas.TextOut(line.Left, line.Top, line.Text);

    const int linePos = axis.LinePos;
    const TAxisScale &scale = axis.Scale;
    if (axis_.Visible()) {
        canvas.AssignPen(axis_);
        if (horizontal_)
            canvas.Line(scale.StartPixel, linePos, scale.EndPixel, linePos);
        else
            canvas.Line(linePos, scale.StartPixel, linePos, scale.EndPixel);
    }
    if (ticks_.Visible()) {
        canvas.AssignPen(ticks_);
        for (int p : axis.Ticks)
            paintTick(canvas, p, linePos, TickLength(), false);
    }
    if (grid_.Visible())
        paintGridLines(canvas, grid_, axis.Grid, plot);
    if (ticksInner_.Visible() && TickInnerLength() != 0) {
        canvas.AssignPen(ticksInner_);
        for (int p : axis.Ticks)
            paintTick(canvas, p, linePos, TickInnerLength(), true);
    }
    if (minorTicks_.Visible()) {
        canvas.AssignPen(minorTicks_);
        for (int p : axis.MinorTicks)
            paintTick(canvas, p, linePos, MinorTickLength(), false);
    }
    if (minorGrid_.Visible())
        paintGridLines(canvas, minorGrid_, axis.MinorGrid, plot);
}

TChartDepthAxis::TChartDepthAxis(TCustomAxisPanel *chart) : TCustomChartAxis(chart, false, false)
{
    setVisible(false);
}
