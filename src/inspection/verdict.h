#pragma once

#include "inspection/measurementhost.h"
#include "inspection/measurementresults.h"
#include "inspection/vehiclecategory.h"

#include <QString>
#include <QStringList>

namespace kavro {

// The λ range a vehicle with three-component after-treatment must keep at
// increased idle; the report prints it as "0.97-1.03".
inline constexpr double LambdaLowest = 0.97;
inline constexpr double LambdaHighest = 1.03;

// The limits a verdict is decided by: the CO, CH and engine speed gauges'
// scales as the vehicle's category set them, and the λ range.
struct VerdictLimits
{
    GaugeScale co;
    GaugeScale ch;
    GaugeScale engineSpeed;
    double lambdaLowest = LambdaLowest;
    double lambdaHighest = LambdaHighest;
    bool operator==(const VerdictLimits &) const = default;
};

// The limits of the gauges as a host shows them (anything with
// GaugeScaleValue(choice, quantity), as MeasurementHost and ReportSource have).
template<typename Gauges>
VerdictLimits LimitsOfGauges(const Gauges &gauges)
{
    const auto scale = [&gauges](int quantity) {
        return GaugeScale { gauges.GaugeScaleValue(gsMaxValue, quantity),
            gauges.GaugeScaleValue(gsLowLimit, quantity),
            gauges.GaugeScaleValue(gsHighLimit, quantity) };
    };
    return { scale(qnCO), scale(qnCH), scale(qnEngineSpeed) };
}

// Whether the vehicle passed, in the words the report and the measurement
// dialog show, with every reason found.
struct InspectionVerdict
{
    bool passed = false;
    QString text; // "соответствует" or "не соответствует"
    QStringList reasons; // the failed limits first, then engine speeds out of range

    // "Соответствует" or "Не соответствует", then ": " and the first reason if any.
    QString Line() const;
    // The reasons joined by "; ", or " - " when there are none.
    QString ReasonsText() const;
    bool operator==(const InspectionVerdict &) const = default;
};

// Vehicles with three-component after-treatment (made after 01.10.1986,
// after-treatment field 16) are also judged by λ.
bool IsJudgedByLambda(int categoryCode);

// Decides from the readings after adjustment (Readings[AfterAdjustment]):
// CO and CH at minimum idle at most the gauges' LowLimit, at increased idle
// at most HighLimit; λ at increased idle within the λ range when the category
// asks for it. Values are judged as the report prints them (CO and λ to two
// decimals, CH and engine speed to whole numbers), so a report never shows a
// value equal to its limit next to a failure; equal to a limit passes. An
// engine speed outside the operator's instruction (minimum idle 100 to the
// speed gauge's LowLimit, increased idle HighLimit to MaxValue) is named
// among the reasons but does not fail the vehicle. A value that is not a
// number fails (or, for the engine speed, is out of range).
InspectionVerdict DecideVerdict(int categoryCode,
    const MeasurementResults::PhaseValues &afterAdjustment, const VerdictLimits &limits);

} // namespace kavro
