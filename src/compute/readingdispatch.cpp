#include "compute/readingdispatch.h"

namespace kavro {

namespace {

bool IsChannel(int channel)
{
    return channel >= 0 && channel < ChannelCount;
}

} // namespace

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
    ConvertAndShow(channel, rawValue);
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

void ReadingDispatch::ConvertAndShow(int channel, int rawValue)
{
    const int compensation = RawReading(4);
    const TInstrumentImage &image = m_receiver.InstrumentImage;
    switch (channel) {
    case 0:
        m_sink.ShowValue(qnCO2, ConvertCO2(m_receiver, rawValue, compensation));
        break;
    case 1:
        m_sink.ShowValue(qnCO, ConvertCO(m_receiver, rawValue, compensation));
        break;
    case 2:
        m_sink.ShowValue(qnO2, ConvertO2(image, rawValue));
        break;
    case 3:
        m_sink.ShowValue(qnCH, ConvertCH(m_receiver, rawValue, compensation));
        break;
    case 4:
        m_sink.ShowValue(qnLambda, ComputeLambda(m_receiver, m_rawReadings));
        break;
    case 6:
        m_sink.ShowValue(qnEngineSpeed, ConvertEngineSpeed(image, rawValue));
        break;
    case 7:
        m_sink.ShowValue(qnTemperature, ConvertTemperature(image, rawValue));
        break;
    default: // channel 5 and 8 to 15 are only stored
        break;
    }
}

} // namespace kavro
