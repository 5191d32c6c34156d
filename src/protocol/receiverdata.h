#pragma once

#include <array>
#include <cstdint>

namespace kavro {

constexpr int InstrumentImageSize = 256;
constexpr int ZeroReadingChannels = 14; // channels 0 to 13

using TInstrumentImage = std::array<std::uint8_t, InstrumentImageSize>;

enum TReceiverState {
    rsDetecting,
    rsZeroPrefix,
    rsCountdown,
    rsCalibrationBlock,
    rsStreaming,
    rsHalted,
};

// The receiver's program-wide data. The conversions and the reading
// dispatch read InstrumentImage, BlockReceived, ZeroCapture and
// ZeroReadings; the dispatch also writes ZeroReadings.
struct ReceiverData
{
    TInstrumentImage InstrumentImage {};
    TReceiverState ReceiverState = rsDetecting;
    std::int32_t ImagePos = 0;
    bool ZeroPrefixSeen = false;
    bool CountdownLowNext = false;
    std::uint16_t CountdownValue = 0;
    bool ZeroCapture = false;
    std::array<std::int32_t, ZeroReadingChannels> ZeroReadings {};
    bool BlockReceived = false;
    int CurrentChannel = 0;
    std::uint16_t ReadingValue = 0; // 12 bits
    int LastModeCode = 0;
};

} // namespace kavro
