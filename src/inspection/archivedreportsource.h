#pragma once

#include "inspection/inspectionrecord.h"
#include "inspection/reportsource.h"

namespace kavro {

// The report's view of an inspection from the archive: its category,
// readings, limits, verdict, date and template as they were stored.
class ArchivedReportSource : public ReportSource
{
public:
    void SetInspection(InspectionRecord inspection) { inspection_ = std::move(inspection); }
    const InspectionRecord &Inspection() const { return inspection_; }

    int CurrentVehicleCategory() const override { return inspection_.categoryCode; }
    const MeasurementResults &Results() const override { return inspection_.results; }
    // The stored scale of CO, CH and engine speed; 0 for the other gauges,
    // which a report does not read.
    double GaugeScaleValue(GaugeScaleChoice choice, int quantity) const override;
    std::optional<QDateTime> ReportTime() const override { return inspection_.inspectedAt; }
    std::optional<QByteArray> StoredTemplate() const override;
    InspectionVerdict Verdict() const override { return inspection_.verdict; }

private:
    InspectionRecord inspection_;
};

} // namespace kavro
