#include "inspection/archivedreportsource.h"

namespace kavro {

double ArchivedReportSource::GaugeScaleValue(GaugeScaleChoice choice, int quantity) const
{
    const VerdictLimits &limits = inspection_.limits;
    const GaugeScale *scale = quantity == qnCO ? &limits.co
        : quantity == qnCH                     ? &limits.ch
        : quantity == qnEngineSpeed            ? &limits.engineSpeed
                                               : nullptr;
    if (!scale)
        return 0;
    switch (choice) {
    case gsLowLimit:
        return scale->LowLimit;
    case gsHighLimit:
        return scale->HighLimit;
    case gsMaxValue:
        return scale->MaxValue;
    }
    return 0;
}

std::optional<QByteArray> ArchivedReportSource::StoredTemplate() const
{
    if (inspection_.templateRtf.isEmpty())
        return std::nullopt;
    return inspection_.templateRtf;
}

} // namespace kavro
