#include "inverseconversion.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace kavro::sim {

InverseConversion::InverseConversion(const Conversion &conversion)
{
    for (int raw = 0; raw < RawCount; ++raw)
        m_values[static_cast<std::size_t>(raw)] = conversion(raw);
}

int InverseConversion::NearestRaw(double target, int hint) const
{
    int best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int raw = 0; raw < RawCount; ++raw) {
        const double distance = std::abs(m_values[static_cast<std::size_t>(raw)] - target);
        const bool nearer = distance < bestDistance;
        const bool asNearButCloserToHint
            = distance == bestDistance && std::abs(raw - hint) < std::abs(best - hint);
        if (nearer || asNearButCloserToHint) {
            best = raw;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace kavro::sim
