#pragma once

#include <cmath>
#include <limits>

// Rounding to the nearest whole number, exact halves to the even neighbour, as every pixel rule
// of the diagram and the chart rounds. Values beyond the int range saturate and NaN gives 0, so
// a wild score can never turn into undefined behaviour on its way to a coordinate.
inline int roundHalfEven(double v)
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
