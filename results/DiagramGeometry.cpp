#include "DiagramGeometry.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = kPi / 2;

} // namespace

int roundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    // rint rounds in the default mode, to nearest with ties to even.
    const double n = std::rint(v);
    if (n <= lo)
        return std::numeric_limits<int>::min();
    if (n >= hi)
        return std::numeric_limits<int>::max();
    return int(n);
}

DiagramPoint DiagramCentre(int width, int height)
{
    return {roundHalfEven(width / 2.0 - 2) + 3, roundHalfEven(height / 2.0) + 2};
}

double SectorAngle(int sectorCount)
{
    return 2 * kPi / sectorCount;
}

double SectorRadius(double P)
{
    if (!(P > 0))
        return 0;
    const double r = 3.7 * (P / 2 + 0.5) + 2 / (P + 1);
    return r < kMaxDiagramRadius ? r : kMaxDiagramRadius;
}

void PlaceOnCircle(DiagramPointArray &DiagramPoints, DiagramPoint centre, double sectorAngle, int i,
                   double r)
{
    if (i < 0 || i >= kMaxSectors)
        return;
    const double s = sectorAngle;
    const double d = i * s;
    const double cx = centre.X;
    const double cy = centre.Y;
    // Each quadrant measures its angle from the nearest axis, so sin and cos work on small
    // angles; every case lands on the point of the plain form cx + r sin(d + s/2),
    // cy - r cos(d + s/2).
    double x = 0;
    double y = 0;
    if (d <= kHalfPi) {
        const double t = kHalfPi - d - s / 2;
        x = cx + r * std::cos(t);
        y = cy - r * std::sin(t);
    } else if (d <= kPi) {
        const double t = d - kHalfPi + s / 2;
        x = cx + r * std::cos(t);
        y = cy + r * std::sin(t);
    } else if (d <= 3 * kHalfPi) {
        const double t = 3 * kHalfPi - d - s / 2;
        x = cx - r * std::cos(t);
        y = cy + r * std::sin(t);
    } else if (d <= 2 * kPi) {
        const double t = kHalfPi - (2 * kPi - d - s / 2);
        x = cx - r * std::cos(t);
        y = cy - r * std::sin(t);
    } else {
        return;
    }
    DiagramPoints[std::size_t(i)] = {roundHalfEven(x), roundHalfEven(y)};
}
