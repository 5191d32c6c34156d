#include "compute/readingdispatch.h"

namespace kavro {

namespace {

bool IsChannel(int channel)
{
    return channel >= 0 && channel < ChannelCount;
}

} // namespace

std::optional<QuantityValue> ConvertReading(
    const ReceiverData &receiver, const TRawReadings &rawReadings, int channel)
{
    if (!IsChannel(channel))
        return std::nullopt;
    const int raw = rawReadings[static_cast<std::size_t>(channel)];
    const int compensation = rawReadings[4];
    const TInstrumentImage &image = receiver.InstrumentImage;
    switch (channel) {
    case 0:
        return QuantityValue { qnCO2, ConvertCO2(receiver, raw, compensation) };
    case 1:
        return QuantityValue { qnCO, ConvertCO(receiver, raw, compensation) };
    case 2:
        return QuantityValue { qnO2, ConvertO2(image, raw) };
    case 3:
        return QuantityValue { qnCH, ConvertCH(receiver, raw, compensation) };
    case 4:
        return QuantityValue { qnLambda, ComputeLambda(receiver, rawReadings) };
    case 6:
        return QuantityValue { qnEngineSpeed, ConvertEngineSpeed(image, raw) };
    case 7:
        return QuantityValue { qnTemperature, ConvertTemperature(image, raw) };
    default: // channel 5 and 8 to 15 are not converted
        return std::nullopt;
    }
}

ReadingDispatch::ReadingDispatch(ReceiverData &receiver, ReadingSink &sink)
    : m_receiver(receiver)
    , m_sink(sink)
{ }

void ReadingDispatch::ChannelReading(int channel, int rawValue)
{
    if (!IsChannel(channel))
        return;
    if (m_receiver.ZeroCapture) {
        CaptureZero(channel, rawValue);
        return;
    }
    m_rawReadings[static_cast<std::size_t>(channel)] = rawValue;
    if (const std::optional<QuantityValue> converted
        = ConvertReading(m_receiver, m_rawReadings, channel))
        m_sink.ShowValue(converted->Quantity, converted->Value);
}

int ReadingDispatch::RawReading(int channel) const
{
    return IsChannel(channel) ? m_rawReadings[static_cast<std::size_t>(channel)] : 0;
}

void ReadingDispatch::CaptureZero(int channel, int rawValue)
{
    // ZeroReadings has no slot for channels 14 and 15: their readings are dropped.
    if (channel >= ZeroReadingChannels)
        return;
    m_receiver.ZeroReadings[static_cast<std::size_t>(channel)] = rawValue;
    m_sink.ZeroReadingStored(channel, rawValue);
}

} // namespace kavro
