#pragma once

#include <algorithm>
#include <cmath>

namespace kavro {

// A screen position from a real: to the nearest integer, halves to even
// (176.5 gives 176). Not a number (as a scale maximum of 0 would give) reads
// 0 and magnitudes beyond any screen are pinned, so that nothing undefined
// reaches the conversion to int.
inline int RoundToPixel(double value)
{
    constexpr double Limit = 1 << 24;
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp(value, -Limit, Limit)));
}

} // namespace kavro
