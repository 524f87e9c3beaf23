#include "AxisMath.h"

#include "ChartTypes.h"

#include <QLocale>
#include <cmath>

namespace {

constexpr double kMinStep = 1e-12;
constexpr double kMaxQuotient = 2147483647.0;
constexpr double kMaxLabels = 10000.0;

} // namespace

QString formatAxisValue(double value, const QString &format)
{
    const int point = format.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? format : format.left(point);
    const QString fraction = point < 0 ? QString() : format.mid(point + 1);
    const int minDecimals = static_cast<int>(fraction.count(QLatin1Char('0')));
    const int maxDecimals = minDecimals + static_cast<int>(fraction.count(QLatin1Char('#')));
    const bool grouped = whole.contains(QLatin1Char(','));

    // Round on the decimal expansion, halves away from zero.
    const double scale = std::pow(10.0, maxDecimals);
    const double rounded = std::round(std::fabs(value) * scale) / scale;
    QString digits = QString::number(rounded, 'f', maxDecimals);
    QString intPart = digits;
    QString fracPart;
    if (maxDecimals > 0) {
        intPart = digits.left(digits.indexOf(QLatin1Char('.')));
        fracPart = digits.mid(digits.indexOf(QLatin1Char('.')) + 1);
        while (fracPart.size() > minDecimals && fracPart.endsWith(QLatin1Char('0')))
            fracPart.chop(1);
    }
    const QLocale locale;
    if (grouped) {
        for (int i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, locale.groupSeparator());
    }
    QString text = intPart;
    if (!fracPart.isEmpty())
        text += locale.decimalPoint() + fracPart;
    if (value < 0 && rounded != 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

double nextAxisStep(double x)
{
    // Only a finite positive step has a next one; anything else stays as it is, so a caller's
    // loop ends on it rather than recursing for ever.
    if (!(x > 0) || !std::isfinite(x))
        return x;
    double scale = 1;
    while (x >= 10) {
        x /= 10;
        scale *= 10;
    }
    while (x < 1) {
        x *= 10;
        scale /= 10;
    }
    return (x < 2 ? 2 : x < 5 ? 5 : 10) * scale;
}

double axisLabelStep(double rangeSize, double increment, int lengthPixels, int labelSize,
                     int separationPercent)
{
    int fit = 1;
    if (labelSize != 0) {
        int room = labelSize;
        if (separationPercent > 0)
            room += roundHalfEven(labelSize * separationPercent / 100.0);
        fit = room == 0 ? 1 : roundHalfEven(static_cast<double>(lengthPixels) / room);
    }
    if (fit < 1)
        return kMinStep;
    // A range too wide for a double (values near the largest doubles, or not numbers at all)
    // gets the smallest step; the label count check then draws no labels on it.
    if (!std::isfinite(rangeSize))
        return kMinStep;
    double step = increment > 0 ? increment : (std::fabs(rangeSize) >= 1 ? 1 : kMinStep);
    while (separationPercent > 0 && std::isfinite(step)) {
        const double quotient = rangeSize / step;
        if (std::fabs(quotient) < kMaxQuotient && std::nearbyint(quotient) <= fit)
            break;
        step = nextAxisStep(step);
    }
    return step < kMinStep ? kMinStep : step;
}

int TAxisScale::CalcPosValue(double value) const
{
    const double size = RangeSize();
    if (size == 0)
        return CenterPixel();
    const double distance = (value - RangeMin) * LengthPixels() / size;
    if (std::fabs(distance) >= kMaxQuotient)
        return CenterPixel();
    const int d = roundHalfEven(distance);
    const bool fromStart = Horizontal != Inverted;
    return fromStart ? StartPixel + d : EndPixel - d;
}

double TAxisScale::CalcPosPoint(int pixel) const
{
    if (LengthPixels() < 1)
        return 0;
    const int offset = Inverted ? EndPixel - pixel : pixel - StartPixel;
    const double d = offset * RangeSize() / LengthPixels();
    return Horizontal ? RangeMin + d : RangeMax - d;
}

TAxisScale widenByMargins(const TAxisScale &scale, int low, int high)
{
    if (low == 0 && high == 0)
        return scale;
    TAxisScale narrowed = scale;
    narrowed.StartPixel += low;
    narrowed.EndPixel -= high;
    const double a = narrowed.CalcPosPoint(scale.StartPixel);
    const double b = narrowed.CalcPosPoint(scale.EndPixel);
    TAxisScale widened = scale;
    widened.RangeMin = a < b ? a : b;
    widened.RangeMax = a < b ? b : a;
    return widened;
}

std::vector<double> valueLabelValues(double rangeMin, double rangeMax, double step,
                                     bool roundFirstLabel)
{
    std::vector<double> values;
    if (step <= 0 || rangeMax < rangeMin || std::fabs((rangeMax - rangeMin) / step) >= kMaxLabels)
        return values;
    double value = rangeMax;
    if (rangeMin != rangeMax && roundFirstLabel)
        value = std::trunc(rangeMax / step) * step;
    while (value > rangeMax)
        value -= step;
    // A little below the minimum, so that a label on the minimum itself survives rounding. A
    // relative allowance taken by division would move a negative minimum up instead and lose
    // its label; it is taken by magnitude here.
    const double lowest = rangeMin - kMinStep - std::fabs(rangeMin) * 1e-12;
    // A step below the spacing of doubles at these values would never move on: stop at the
    // label count limit whatever happens.
    for (; value >= lowest && values.size() < std::size_t(kMaxLabels); value -= step) {
        values.push_back(value);
        if (value - step == value)
            break;
    }
    return values;
}

std::vector<bool> markLabelsShown(const std::vector<std::pair<int, int>> &pixelAndSize,
                                  int separationPercent)
{
    std::vector<bool> shown(pixelAndSize.size(), separationPercent == 0);
    if (separationPercent == 0 || pixelAndSize.empty())
        return shown;
    int previous = pixelAndSize[0].first;
    int previousHalf = pixelAndSize[0].second / 2;
    shown[0] = true;
    for (std::size_t i = 1; i < pixelAndSize.size(); ++i) {
        const auto [pixel, size] = pixelAndSize[i];
        const int d = (size + static_cast<int>(std::trunc(size * 0.02 * separationPercent))) / 2;
        const bool fits = pixel < previous ? previous - previousHalf >= pixel + d
                                           : pixel - d >= previous + previousHalf;
        if (fits) {
            shown[i] = true;
            previous = pixel;
            previousHalf = d;
        }
    }
    return shown;
}

std::vector<int> minorTickPositions(const std::vector<int> &ticks, int count, int startPixel,
                                    int endPixel, bool logarithmic)
{
    std::vector<int> minor;
    if (count <= 0 || ticks.empty())
        return minor;
    const auto add = [&](int p) {
        if (p > startPixel && p < endPixel)
            minor.push_back(p);
    };
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const int a = ticks[i - 1];
        const int b = ticks[i];
        for (int j = 1; j <= count; ++j)
            add(b - roundHalfEven(j * static_cast<double>(b - a) / (count + 1)));
    }
    if (ticks.size() >= 2 && !logarithmic) {
        const int first = ticks[0];
        const int second = ticks[1];
        const int last = ticks.back();
        for (int j = 1; j <= count; ++j) {
            const int distance =
                roundHalfEven(j * static_cast<double>(second - first) / (count + 1));
            add(first - distance);
            add(last + distance);
        }
    }
    return minor;
}
