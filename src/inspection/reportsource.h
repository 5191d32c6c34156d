#pragma once

#include "inspection/measurementhost.h"
#include "inspection/measurementresults.h"
#include "inspection/reportfilling.h"
#include "inspection/verdict.h"

#include <QByteArray>
#include <QDateTime>
#include <optional>

namespace kavro {

// What the report reads, besides the vehicle's data, at the moment it is filled.
class ReportSource
{
public:
    virtual ~ReportSource() = default;

    // The current vehicle's category code (the main window's CurrentVehicleCategory).
    virtual int CurrentVehicleCategory() const = 0;

    // The stored measurement (owned by the measurement dialog).
    virtual const MeasurementResults &Results() const = 0;

    // LowLimit, HighLimit or MaxValue of a gauge (CO, CH and engine speed are read).
    virtual double GaugeScaleValue(GaugeScaleChoice choice, int quantity) const = 0;

    // An inspection kept in the archive is reported as it was: with the date
    // it was measured at and the template it was measured with. The current
    // vehicle's report has neither: it gives the moment of filling and the
    // template file in the program folder.
    virtual std::optional<QDateTime> ReportTime() const { return std::nullopt; }
    virtual std::optional<QByteArray> StoredTemplate() const { return std::nullopt; }

    // The verdict the optional tags print: by default decided now from the
    // results after adjustment and the gauges' limits.
    virtual InspectionVerdict Verdict() const
    {
        return DecideVerdict(
            CurrentVehicleCategory(), Results().Readings[AfterAdjustment], LimitsOfGauges(*this));
    }
};

// Everything a report of vehicle shows when it is filled at now: the stored
// date instead of now where source has one.
ReportInputs CollectReportInputs(
    const VehicleRecord &vehicle, const ReportSource &source, const QDateTime &now);

} // namespace kavro
