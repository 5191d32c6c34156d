#pragma once

#include "inspection/measurementhost.h"

namespace kavro {

struct MeasurementResults;

// What the report reads, besides the vehicle's data, at the moment it is filled.
class ReportSource
{
public:
    virtual ~ReportSource() = default;

    // The current vehicle's category code (the main window's CurrentVehicleCategory).
    virtual int CurrentVehicleCategory() const = 0;

    // The stored measurement (owned by the measurement dialog).
    virtual const MeasurementResults &Results() const = 0;

    // LowLimit or HighLimit of the CO (0) and CH (1) gauges.
    virtual double GaugeScaleValue(GaugeScaleChoice choice, int quantity) const = 0;
};

} // namespace kavro
