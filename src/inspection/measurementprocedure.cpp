#include "inspection/measurementprocedure.h"

#include "inspection/measurementhost.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace kavro {

MeasurementProcedure::MeasurementProcedure(MeasurementHost &host)
    : host_(host)
{ }

void MeasurementProcedure::Start()
{
    phase_ = MinimumIdle;
    UpdatePrintAvailability(false);
}

bool MeasurementProcedure::Remember(AdjustmentKind adjustment)
{
    if (phase_ == MinimumIdle) {
        StoreReadings(adjustment);
        phase_ = IncreasedIdle;
        return false;
    }
    results_.BeforeAdjustmentDone = results_.BeforeAdjustmentDone || adjustment == BeforeAdjustment;
    results_.AfterAdjustmentDone = results_.AfterAdjustmentDone || adjustment == AfterAdjustment;
    StoreReadings(adjustment);
    UpdatePrintAvailability(true);
    return true;
}

void MeasurementProcedure::StoreReadings(AdjustmentKind adjustment)
{
    MeasurementResults::QuantityValues &cells = results_.Readings[adjustment][phase_];
    for (int quantity = 0; quantity < QuantityCount; ++quantity)
        cells[std::size_t(quantity)] = host_.CurrentValue(quantity);
}

void MeasurementProcedure::UpdatePrintAvailability(bool available)
{
    host_.SetPrintEnabled(available && results_.AfterAdjustmentDone);
}

void MeasurementProcedure::ResetForNewVehicle()
{
    results_.BeforeAdjustmentDone = false;
    results_.AfterAdjustmentDone = false;
    UpdatePrintAvailability(false);
}

QString MeasurementProcedure::PhaseHeading() const
{
    return phase_ == MinimumIdle ? u"Измерение на минимальных оборотах"_s
                                 : u"Измерение на максимальных оборотах"_s;
}

QString MeasurementProcedure::Instruction() const
{
    // The ranges follow the engine speed gauge, whose limits the vehicle's
    // category set: minimum idle up to LowLimit, increased idle from
    // HighLimit to the end of the scale.
    if (phase_ == MinimumIdle) {
        return SpeedInstruction(
            LowestMinimumIdleSpeed, RoundToInt(host_.GaugeScaleValue(gsLowLimit, qnEngineSpeed)));
    }
    return SpeedInstruction(RoundToInt(host_.GaugeScaleValue(gsHighLimit, qnEngineSpeed)),
        RoundToInt(host_.GaugeScaleValue(gsMaxValue, qnEngineSpeed)));
}

QString SpeedInstruction(int lowest, int highest)
{
    return u"Установите частоту вращения коленчатого вала двигателя в пределах %1-%2 об/мин."_s
        .arg(lowest)
        .arg(highest);
}

int RoundToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return int(std::clamp(std::nearbyint(value), lowest, highest));
}

} // namespace kavro
