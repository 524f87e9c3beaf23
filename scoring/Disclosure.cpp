#include "Disclosure.h"

#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

double parsed(const QString &text)
{
    const std::string bytes = text.trimmed().toStdString();
    double value = 0;
    std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
    return value;
}

// Rounded to decimals as the views round it, read back.
double roundedAsShown(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const double rounded = parsed(formatFixed(value, decimals, 0, QStringLiteral(".")));
    // A small negative value rounds to "-0.0": published as 0.
    return rounded == 0 ? 0.0 : rounded;
}

} // namespace

bool differenceMarked(bool significant, double shownDifference, const Disclosure &disclosure)
{
    // The shown difference has one decimal; the minimum is compared as the reader would.
    return significant && std::fabs(shownDifference) >= disclosure.minDiff - 1e-9;
}

QString disclosureProblem(const Disclosure &disclosure)
{
    if (disclosure.minSpread < disclosure.minSize)
        return QStringLiteral("--min-spread (%1) may not be below --min-size (%2): a subgroup's "
                              "spread needs at least as many files as its mean")
            .arg(disclosure.minSpread)
            .arg(disclosure.minSize);
    return {};
}

double publishedPercent(double value)
{
    return roundedAsShown(value, 1);
}

double publishedShare(double value)
{
    return roundedAsShown(value, 2);
}

double publishedP(double p)
{
    if (!std::isfinite(p) || p == 0)
        return p;
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, p, std::chars_format::scientific, 1);
    double value = 0;
    std::from_chars(buf, written.ptr, value);
    return value;
}

QString pointsText(double points, const QLocale &locale)
{
    return formatFixed(points, points == std::floor(points) ? 0 : 1, 0, locale.decimalPoint());
}
