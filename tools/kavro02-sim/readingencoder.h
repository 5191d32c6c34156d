#pragma once

#include "inverseconversion.h"
#include "protocol/receiverdata.h"

#include <array>
#include <functional>
#include <memory>

namespace kavro::sim {

// The instrument's channels 0 to 7.
enum Channel {
    chCO2 = 0,
    chCO = 1,
    chO2 = 2,
    chCH = 3,
    chCompensation = 4,
    chUnconverted = 5,
    chEngineSpeed = 6,
    chTemperature = 7,
};
constexpr int LiveChannelCount = 8;

using ZeroLevels = std::array<std::int32_t, ZeroReadingChannels>;

// Finds the raw readings the program will convert into given physical
// values, by searching the program's own conversions in reverse. The
// conversions of CO, CH and CO2 depend on the zero readings the program
// captured and on the latest compensation reading, so their tables are
// rebuilt when those change.
class ReadingEncoder
{
public:
    // The program's conversion of a channel under given zero readings and
    // compensation reading.
    using ConversionFactory = std::function<InverseConversion::Conversion(
        int channel, const ZeroLevels &zeroReadings, int compensationRaw)>;

    explicit ReadingEncoder(ConversionFactory factory);

    int Encode(int channel, double value, const ZeroLevels &zeroReadings, int compensationRaw);

private:
    struct Conditions
    {
        std::int32_t coZero = 0;
        std::int32_t chZero = 0;
        int compensationRaw = 0;
        bool operator==(const Conditions &) const = default;
    };
    struct Table
    {
        Conditions conditions;
        std::unique_ptr<InverseConversion> inverse;
    };

    const InverseConversion &TableFor(
        int channel, const ZeroLevels &zeroReadings, int compensationRaw);

    ConversionFactory m_factory;
    std::array<Table, LiveChannelCount> m_tables;
    std::array<int, LiveChannelCount> m_lastRaw {};
};

} // namespace kavro::sim
