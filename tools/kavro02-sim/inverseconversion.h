#pragma once

#include <array>
#include <functional>

namespace kavro::sim {

// A conversion of the program (raw reading -> physical value), tabulated
// over the whole 12-bit range so that it can be searched in reverse. The
// conversions are not monotonic everywhere (odd curve codes lie one unit
// above their neighbours), so the search looks at every raw value.
class InverseConversion
{
public:
    static constexpr int RawCount = 4096;
    using Conversion = std::function<double(int raw)>;

    explicit InverseConversion(const Conversion &conversion);

    // The raw reading whose value is nearest to target; among equally near
    // ones, the one nearest to hint (the previous reading keeps the sensor
    // steady).
    int NearestRaw(double target, int hint) const;

private:
    std::array<double, RawCount> m_values {};
};

} // namespace kavro::sim
