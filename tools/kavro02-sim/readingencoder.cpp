#include "readingencoder.h"

namespace kavro::sim {

ReadingEncoder::ReadingEncoder(ConversionFactory factory)
    : m_factory(std::move(factory))
{ }

const InverseConversion &ReadingEncoder::TableFor(
    int channel, const ZeroLevels &zeroReadings, int compensationRaw)
{
    Conditions conditions;
    if (channel == chCO || channel == chCH || channel == chCO2) {
        conditions = { zeroReadings[chCO], zeroReadings[chCH], compensationRaw };
    }
    Table &table = m_tables[static_cast<std::size_t>(channel)];
    if (!table.inverse || !(table.conditions == conditions)) {
        table.inverse = std::make_unique<InverseConversion>(
            m_factory(channel, zeroReadings, compensationRaw));
        table.conditions = conditions;
    }
    return *table.inverse;
}

int ReadingEncoder::Encode(
    int channel, double value, const ZeroLevels &zeroReadings, int compensationRaw)
{
    int &lastRaw = m_lastRaw[static_cast<std::size_t>(channel)];
    lastRaw = TableFor(channel, zeroReadings, compensationRaw).NearestRaw(value, lastRaw);
    return lastRaw;
}

} // namespace kavro::sim
