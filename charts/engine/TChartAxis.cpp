#include "TChartAxis.h"

#include "TChartCanvas.h"
#include "TChartSeries.h"
#include "TCustomAxisPanel.h"

#include <QTransform>
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
    scale_.Horizontal = horizontal;
}

bool TCustomChartAxis::loading() const
{
    return chart_ && chart_->Loading();
}

// ---- checked range settings

void TCustomChartAxis::setAutomatic(bool value)
{
    automatic_ = value;
    if (!loading()) {
        automaticMinimum_ = value;
        automaticMaximum_ = value;
    }
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
    if (!loading() && value > maximum_)
        throw EChartError(QStringLiteral("Axis Minimum Value must be <= Maximum"));
    store(minimum_, value);
}

void TCustomChartAxis::setMaximum(double value)
{
    if (!loading() && value < minimum_)
        throw EChartError(QStringLiteral("Axis Maximum Value must be >= Minimum"));
    store(maximum_, value);
}

void TCustomChartAxis::setIncrement(double value)
{
    if (value < 0)
        throw EChartError(QStringLiteral("Axis increment must be >= 0"));
    store(increment_, value);
}

// ---- frame

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

void TCustomChartAxis::AdjustMaxMin()
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
    // Automatic ends follow the data without a repaint request: this runs inside a paint.
    if (automatic_ || automaticMaximum_)
        maximum_ = high;
    if (automatic_ || automaticMinimum_)
        minimum_ = low;
    scale_.RangeMin = minimum_;
    scale_.RangeMax = maximum_;
    scale_.Inverted = Inverted();
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
int TCustomChartAxis::labelExtent(TChartCanvas &canvas, const QString &text) const
{
    int widest = 0;
    for (const QString &line : text.split(kLineSeparator))
        widest = std::max(widest, canvas.TextWidth(line));
    return widest;
}

double TCustomChartAxis::CalcLabelStep(TChartCanvas &canvas) const
{
    return CalcLabelStep(canvas, scale_.LengthPixels());
}

double TCustomChartAxis::CalcLabelStep(TChartCanvas &canvas, int lengthPixels) const
{
    int size = 0;
    const bool upright = LabelsAngle() == 90 || LabelsAngle() == 270;
    const int lineHeight = canvas.TextHeight(QStringLiteral("W"));
    if (horizontal_ && !upright) {
        const QString a = formatAxisValue(scale_.RangeMin, AxisValuesFormat());
        const QString b = formatAxisValue(scale_.RangeMax, AxisValuesFormat());
        size = std::max(labelExtent(canvas, a), labelExtent(canvas, b));
    } else if (horizontal_) {
        size = lineHeight;
    } else if (!upright) {
        size = lineHeight;
    } else {
        size = std::max(canvas.TextWidth(formatAxisValue(scale_.RangeMin, AxisValuesFormat())),
                        canvas.TextWidth(formatAxisValue(scale_.RangeMax, AxisValuesFormat())));
    }
    return axisLabelStep(scale_.RangeSize(), increment_, lengthPixels, size, LabelsSeparation());
}

int TCustomChartAxis::MaxLabelsWidth(TChartCanvas &canvas) const
{
    int widest = 0;
    switch (ResolvedLabelStyle()) {
    case TAxisLabelStyle::talValue:
    case TAxisLabelStyle::talAuto: {
        const double step = CalcLabelStep(canvas);
        for (double end : {scale_.RangeMin, scale_.RangeMax}) {
            const double v = RoundFirstLabel() ? std::trunc(end / step) * step : end;
            widest = std::max(widest, labelExtent(canvas, formatAxisValue(v, AxisValuesFormat())));
        }
        return widest + canvas.TextWidth(QStringLiteral(" "));
    }
    case TAxisLabelStyle::talMark:
        for (const auto &s : chart_->SeriesList())
            if (s->Active() && s->AssociatedToAxis(this))
                for (int i = 0; i < s->Count(); ++i)
                    widest = std::max(widest, labelExtent(canvas, s->MarkText(i)));
        return widest;
    case TAxisLabelStyle::talText:
        for (const auto &s : chart_->SeriesList())
            for (int i = 0; i < s->Count(); ++i)
                widest = std::max(widest, labelExtent(canvas, s->Label(i)));
        return widest;
    case TAxisLabelStyle::talNone:
        return 0;
    }
    return widest;
}

void TCustomChartAxis::CalcRect(TRect &plot, TChartCanvas &canvas)
{
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
        canvas.SetFont(title_.Font());
        const bool along = horizontal_ ? (title_.Angle() == 0 || title_.Angle() == 180)
                                       : (title_.Angle() == 90 || title_.Angle() == 270);
        const int size = TitleSize() != 0 ? TitleSize()
                         : along          ? canvas.TextHeight(QStringLiteral("W"))
                                          : canvas.TextWidth(title_.Caption());
        titlePos_ = moveIn(size);
    }
    if (Labels()) {
        canvas.SetFont(labelsFont_.Font());
        const bool along = horizontal_ ? (LabelsAngle() == 0 || LabelsAngle() == 180)
                                       : (LabelsAngle() == 90 || LabelsAngle() == 270);
        const int size = LabelsSize() != 0 ? LabelsSize()
                         : along           ? canvas.TextHeight(QStringLiteral("W"))
                                           : MaxLabelsWidth(canvas);
        labelsPos_ = moveIn(size);
    }
    int tickRoom = axis_.Visible() ? axis_.Width() : 0;
    tickRoom += std::max(ticks_.Visible() ? TickLength() : 0,
                         minorTicks_.Visible() ? MinorTickLength() : 0);
    moveIn(tickRoom);
    plot.Left = std::max(plot.Left, r.Left);
    plot.Top = std::max(plot.Top, r.Top);
    plot.Right = std::min(plot.Right, r.Right);
    plot.Bottom = std::min(plot.Bottom, r.Bottom);
}

void TCustomChartAxis::CalcScreenPositions(const TRect &plot)
{
    const int origin = horizontal_ ? plot.Left : plot.Top;
    const int size = horizontal_ ? plot.width() : plot.height();
    scale_.StartPixel = origin + roundToEvenPixel(size * StartPosition() / 100.0);
    scale_.EndPixel = origin + roundToEvenPixel(size * EndPosition() / 100.0);
}

void TCustomChartAxis::AdjustMaxMinRect(const TRect &)
{
    int low = 0;
    int high = 0;
    for (const auto &s : chart_->SeriesList()) {
        if (!s->Active() || !s->AssociatedToAxis(this))
            continue;
        const TSeriesMargins m = horizontal_ ? s->CalcHorizMargins() : s->CalcVertMargins();
        low = std::max(low, m.Low);
        high = std::max(high, m.High);
    }
    if (!(horizontal_ ? automaticMinimum_ : automaticMaximum_))
        low = 0;
    if (!(horizontal_ ? automaticMaximum_ : automaticMinimum_))
        high = 0;
    scale_ = widenByMargins(scale_, low, high);
}

// ---- drawing

void TCustomChartAxis::recordTick(int pixel)
{
    constexpr std::size_t kMaxTicks = 2000;
    if (tickPositions_.size() < kMaxTicks)
        tickPositions_.push_back(pixel);
}

void TCustomChartAxis::drawLabelText(TChartCanvas &canvas, int pixel, const QString &text)
{
    const QStringList lines = text.split(kLineSeparator);
    const int h = canvas.TextHeight(QStringLiteral("W"));
    const int count = static_cast<int>(lines.size());
    for (int k = 0; k < count; ++k) {
        const QString &line = lines[k];
        if (horizontal_) {
            canvas.SetTextAlign(TChartCanvas::TextAlign::Center);
            const int top = otherSide_ ? labelsPos_ - (count - k) * h : labelsPos_ + k * h;
            canvas.TextOut(pixel, top, line);
        } else {
            canvas.SetTextAlign(otherSide_ ? TChartCanvas::TextAlign::Left
                                           : TChartCanvas::TextAlign::Right);
            canvas.TextOut(labelsPos_, pixel - h / 2 + k * h, line);
        }
    }
    canvas.SetTextAlign(TChartCanvas::TextAlign::Left);
}

void TCustomChartAxis::drawValueLabels(TChartCanvas3D &canvas, double step)
{
    for (double value :
         valueLabelValues(scale_.RangeMin, scale_.RangeMax, step, RoundFirstLabel())) {
        const int pixel = CalcPosValue(value);
        const bool drawn = LabelsOnAxis() || (pixel > scale_.StartPixel && pixel < scale_.EndPixel);
        if (drawn)
            drawLabelText(canvas, pixel, formatAxisValue(value, AxisValuesFormat()));
        if (drawn || !TickOnLabelsOnly())
            recordTick(pixel);
    }
}

void TCustomChartAxis::drawMarkLabels(TChartCanvas3D &canvas, bool rawText)
{
    std::vector<TChartSeries *> labelled;
    for (const auto &s : chart_->SeriesList()) {
        if (!s->Active() || !s->AssociatedToAxis(this))
            continue;
        for (int i = 0; i < s->Count(); ++i)
            if (!s->Label(i).isEmpty()) {
                labelled.push_back(s.get());
                break;
            }
    }
    int first = -1;
    int last = -1;
    for (TChartSeries *s : labelled) {
        const TVisibleRange r = s->CalcVisibleRange();
        if (first < 0 && r.First >= 0)
            first = r.First;
        last = std::max(last, r.Last);
    }
    if (first < 0)
        return;

    struct Candidate
    {
        int pixel;
        QString text;
    };
    std::vector<Candidate> candidates;
    std::vector<std::pair<int, int>> placement;
    const int lineHeight = canvas.TextHeight(QStringLiteral("W"));
    for (int i = first; i <= last; ++i) {
        for (TChartSeries *s : labelled) {
            if (i >= s->Count())
                continue;
            const QString text = rawText ? s->Label(i) : s->MarkText(i);
            const double value = horizontal_ ? s->XValues().Value(i) : s->YValues().Value(i);
            if (value >= scale_.RangeMin && value <= scale_.RangeMax) {
                const int pixel = CalcPosValue(value);
                const int size =
                    horizontal_ ? labelExtent(canvas, text) : lineHeight * labelLines(text);
                candidates.push_back({pixel, text});
                placement.emplace_back(pixel, size);
            }
            break;
        }
    }
    const std::vector<bool> shown = markLabelsShown(placement, LabelsSeparation());
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (shown[k])
            drawLabelText(canvas, candidates[k].pixel, candidates[k].text);
        if (shown[k] || !TickOnLabelsOnly())
            recordTick(candidates[k].pixel);
    }
}

void TCustomChartAxis::drawTitle(TChartCanvas3D &canvas, const TRect &plot)
{
    canvas.SetFont(title_.Font());
    const QString &caption = title_.Caption();
    const int h = canvas.TextHeight(caption);
    const int w = canvas.TextWidth(caption);
    if (horizontal_) {
        canvas.TextOut(CenterPixel() - w / 2, otherSide_ ? titlePos_ - h : titlePos_, caption);
        return;
    }
    // Along a vertical axis the caption reads upwards (left) or downwards (right).
    QPainter &p = canvas.painter();
    p.save();
    const int x = otherSide_ ? titlePos_ + h : titlePos_ - h;
    p.translate(x, CenterPixel());
    p.rotate(otherSide_ ? 90 : -90);
    canvas.TextOut(-w / 2, 0, caption);
    p.restore();
    Q_UNUSED(plot);
}

void TCustomChartAxis::drawTick(TChartCanvas &canvas, int pixel, int from, int length, bool inner)
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

void TCustomChartAxis::drawGridLines(TChartCanvas &canvas, const TChartPen &pen,
                                     const std::vector<int> &at, const TRect &plot, bool centered)
{
    canvas.SetBrushClear();
    canvas.SetBackMode(true);
    canvas.AssignPen(pen);
    if (pen.Color() == AutoColor)
        canvas.SetPenColor(clGray);
    std::vector<int> lines = at;
    if (centered) {
        lines.clear();
        for (std::size_t i = 1; i < at.size(); ++i)
            lines.push_back((at[i - 1] + at[i]) / 2);
    }
    for (int p : lines) {
        if (horizontal_)
            canvas.Line(p, plot.Top, p, plot.Bottom);
        else
            canvas.Line(plot.Left, p, plot.Right, p);
    }
    canvas.SetBackMode(false);
}

void TCustomChartAxis::Draw(TChartCanvas3D &canvas, const TRect &plot)
{
    canvas.SetFont(labelsFont_.Font());
    const double step = CalcLabelStep(canvas);
    if (horizontal_) {
        const int shift = roundToEvenPixel(plot.height() * PositionPercent() / 100.0);
        linePos_ = otherSide_ ? plot.Top + shift : plot.Bottom - shift;
    } else {
        const int shift = roundToEvenPixel(plot.width() * PositionPercent() / 100.0);
        linePos_ = otherSide_ ? plot.Right - shift : plot.Left + shift;
    }
    if (!title_.Caption().isEmpty() && title_.Visible())
        drawTitle(canvas, plot);

    tickPositions_.clear();
    canvas.SetFont(labelsFont_.Font());
    canvas.SetBrushClear();
    canvas.SetBackMode(true);
    if (Labels() && step > 0 && scale_.RangeMax >= scale_.RangeMin) {
        switch (ResolvedLabelStyle()) {
        case TAxisLabelStyle::talValue:
        case TAxisLabelStyle::talAuto:
            drawValueLabels(canvas, step);
            break;
        case TAxisLabelStyle::talMark:
            drawMarkLabels(canvas, false);
            break;
        case TAxisLabelStyle::talText:
            drawMarkLabels(canvas, true);
            break;
        case TAxisLabelStyle::talNone:
            break;
        }
    }

    if (axis_.Visible()) {
        canvas.AssignPen(axis_);
        if (horizontal_)
            canvas.Line(scale_.StartPixel, linePos_, scale_.EndPixel, linePos_);
        else
            canvas.Line(linePos_, scale_.StartPixel, linePos_, scale_.EndPixel);
    }
    if (ticks_.Visible()) {
        canvas.AssignPen(ticks_);
        for (int p : tickPositions_)
            drawTick(canvas, p, linePos_, TickLength(), false);
    }
    if (grid_.Visible())
        drawGridLines(canvas, grid_, tickPositions_, plot, GridCentered());
    if (ticksInner_.Visible() && TickInnerLength() != 0) {
        canvas.AssignPen(ticksInner_);
        for (int p : tickPositions_)
            drawTick(canvas, p, linePos_, TickInnerLength(), true);
    }
    const std::vector<int> minor = minorTickPositions(
        tickPositions_, MinorTickCount(), scale_.StartPixel, scale_.EndPixel, Logarithmic());
    if (minorTicks_.Visible()) {
        canvas.AssignPen(minorTicks_);
        for (int p : minor)
            drawTick(canvas, p, linePos_, MinorTickLength(), false);
    }
    if (minorGrid_.Visible())
        drawGridLines(canvas, minorGrid_, minor, plot, false);
}

TChartDepthAxis::TChartDepthAxis(TCustomAxisPanel *chart) : TCustomChartAxis(chart, false, false)
{
    setVisible(false);
}
