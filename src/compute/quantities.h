#pragma once

#include <algorithm>
#include <array>

namespace kavro {

// Quantity numbers: the index under which a converted value is shown, stored
// and reported. Not the channel number.
enum TQuantity : int {
    qnCO = 0, // % vol
    qnCH = 1, // ppm
    qnCO2 = 2, // % vol
    qnO2 = 3, // % vol
    qnLambda = 4,
    qnEngineSpeed = 5, // rpm
    qnTemperature = 6, // °C
};
constexpr int QuantityCount = 7;

constexpr bool IsQuantity(int quantity)
{
    return quantity >= 0 && quantity < QuantityCount;
}

// Upper end of each quantity's display range (the lower end is 0); also the
// end of its gauge's scale.
constexpr std::array<double, QuantityCount> DisplayMaximum { 7, 3000, 15.5, 22, 2, 9999, 99.99 };

// A converted value as the displays show it: limited to 0 ... DisplayMaximum.
// InvalidValue thus shows as the top of the range.
inline double LimitToDisplayRange(int quantity, double value)
{
    return std::clamp(value, 0.0, DisplayMaximum[std::size_t(quantity)]);
}

} // namespace kavro
