#pragma once

#include "compute/quantities.h"
#include "inspection/measurementhost.h"
#include "inspection/measurementresults.h"
#include "inspection/reportsource.h"
#include "inspection/vehiclecategory.h"

#include <QList>
#include <array>

namespace kavro::test {

// The main window as the measurement dialog and the report see it: shown
// values and gauge scales set by the test, print command and closings recorded.
class FakeMeasurementHost : public MeasurementHost, public ReportSource
{
public:
    std::array<double, QuantityCount> shown {};
    std::array<std::array<double, QuantityCount>, 3> scales {}; // [GaugeScaleChoice][quantity]
    QList<bool> printEnabledCalls;
    bool printEnabled = false;
    int closings = 0;
    int categoryCode = 0;
    const MeasurementResults *results = nullptr;

    // Engine speed gauge limits of a vehicle category.
    void SetSpeedScale(double lowLimit, double highLimit, double maxValue = 9999)
    {
        scales[gsLowLimit][qnEngineSpeed] = lowLimit;
        scales[gsHighLimit][qnEngineSpeed] = highLimit;
        scales[gsMaxValue][qnEngineSpeed] = maxValue;
    }

    // A registered vehicle's category: its code, and the gauges' scales it sets.
    void SetCategory(int code)
    {
        categoryCode = code;
        const GaugeScales gauges = ScalesForCategory(code, {});
        for (std::size_t quantity = 0; quantity < gauges.size(); ++quantity) {
            scales[gsLowLimit][quantity] = gauges[quantity].LowLimit;
            scales[gsHighLimit][quantity] = gauges[quantity].HighLimit;
            scales[gsMaxValue][quantity] = gauges[quantity].MaxValue;
        }
    }

    double CurrentValue(int quantity) const override { return shown.at(std::size_t(quantity)); }
    double GaugeScaleValue(GaugeScaleChoice choice, int quantity) const override
    {
        return scales.at(std::size_t(choice)).at(std::size_t(quantity));
    }
    void SetPrintEnabled(bool enabled) override
    {
        printEnabledCalls.append(enabled);
        printEnabled = enabled;
    }
    void MeasurementDialogClosed() override { ++closings; }

    int CurrentVehicleCategory() const override { return categoryCode; }
    const MeasurementResults &Results() const override
    {
        static const MeasurementResults none;
        return results ? *results : none;
    }
};

} // namespace kavro::test
