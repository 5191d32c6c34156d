#include "inspection/reportsource.h"

namespace kavro {

ReportInputs CollectReportInputs(
    const VehicleRecord &vehicle, const ReportSource &source, const QDateTime &now)
{
    ReportInputs inputs;
    inputs.vehicle = vehicle;
    inputs.categoryCode = source.CurrentVehicleCategory();
    inputs.results = source.Results();
    inputs.co
        = { source.GaugeScaleValue(gsLowLimit, qnCO), source.GaugeScaleValue(gsHighLimit, qnCO) };
    inputs.ch
        = { source.GaugeScaleValue(gsLowLimit, qnCH), source.GaugeScaleValue(gsHighLimit, qnCH) };
    inputs.fillingTime = source.ReportTime().value_or(now);
    inputs.verdict = source.Verdict();
    return inputs;
}

} // namespace kavro
