#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kavro {

// A curve packed as 2-bit increments: byte 64 * s + k / 4 holds increment k
// of segment s at bit 2 * (k % 4), lowest bit pair first. Each segment of 512
// codes starts from its base value.
struct PackedCurve
{
    std::span<const std::uint8_t> Increments;
    std::span<const int> Bases;
};

constexpr int ZeroGainEntries = 180;
constexpr int Co2ThresholdEntries = 171;

using TZeroGainTable = std::array<int, ZeroGainEntries>;

// Hydrocarbon (ppm) and carbon monoxide (hundredths of % vol) curves over the
// scaled raw code.
extern const PackedCurve ChCurve;
extern const PackedCurve CoCurve;

// Gain factors in units of 1/32768, chosen by the zero reading divided by 16.
extern const TZeroGainTable ChZeroGain;
extern const TZeroGainTable CoZeroGain;

// Entry k is the code at which CO2 reaches k tenths of a per cent.
extern const std::array<int, Co2ThresholdEntries> Co2Thresholds;

} // namespace kavro
