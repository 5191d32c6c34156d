#pragma once

#include "compute/conversions.h"
#include "compute/quantities.h"
#include "protocol/receiverdata.h"

#include <optional>

namespace kavro {

struct QuantityValue
{
    int Quantity;
    double Value;
};

// What the latest reading of a channel converts to, given the latest raw
// readings of all channels (the channel's own included, and channel 4 as the
// compensation reading); none for channels 5 and 8 to 15. Also usable for a
// reverse search over candidate raw readings.
std::optional<QuantityValue> ConvertReading(
    const ReceiverData &receiver, const TRawReadings &rawReadings, int channel);

// Whatever shows the converted values (the main window, the decoder tool).
class ReadingSink
{
public:
    virtual ~ReadingSink() = default;
    // A converted value, before any display limit.
    virtual void ShowValue(int quantity, double value) = 0;
    // A raw reading was stored as the zero reading of its channel.
    virtual void ZeroReadingStored(int /*channel*/, int /*rawValue*/) { }
};

// Takes every decoded reading: stores it, converts it by channel and hands
// the value to the sink; while the receiver captures zero readings it only
// fills ZeroReadings.
class ReadingDispatch
{
public:
    ReadingDispatch(ReceiverData &receiver, ReadingSink &sink);

    // channel 0 to 15, rawValue 0 to 4095 as the receiver delivers them; a
    // channel outside 0 to 15 is ignored.
    void ChannelReading(int channel, int rawValue);

    // The latest raw reading of the channel, 0 before the first one (and for
    // a channel outside 0 to 15).
    int RawReading(int channel) const;
    const TRawReadings &RawReadings() const { return m_rawReadings; }

private:
    void CaptureZero(int channel, int rawValue);

    ReceiverData &m_receiver;
    ReadingSink &m_sink;
    TRawReadings m_rawReadings {};
};

} // namespace kavro
