#include "programconversions.h"

#include "compute/conversions.h"

namespace kavro::sim {

ReadingEncoder::ConversionFactory ProgramConversions(const TInstrumentImage &image)
{
    return [image](int channel, const ZeroLevels &zeroReadings,
               int compensationRaw) -> InverseConversion::Conversion {
        ReceiverData receiver;
        receiver.InstrumentImage = image;
        receiver.BlockReceived = true;
        receiver.ZeroReadings = zeroReadings;
        switch (channel) {
        case chCO2:
            return [receiver, compensationRaw](
                       int raw) { return ConvertCO2(receiver, raw, compensationRaw); };
        case chCO:
            return [receiver, compensationRaw](
                       int raw) { return ConvertCO(receiver, raw, compensationRaw); };
        case chCH:
            return [receiver, compensationRaw](
                       int raw) { return ConvertCH(receiver, raw, compensationRaw); };
        case chO2:
            return [image](int raw) { return ConvertO2(image, raw); };
        case chEngineSpeed:
            return [image](int raw) { return ConvertEngineSpeed(image, raw); };
        case chTemperature:
            return [image](int raw) { return ConvertTemperature(image, raw); };
        default:
            return [](int raw) { return static_cast<double>(raw); }; // sent as is
        }
    };
}

} // namespace kavro::sim
