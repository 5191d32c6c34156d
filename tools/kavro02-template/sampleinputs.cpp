#include "sampleinputs.h"

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

// CO, CH, CO2, O2, λ, engine speed, temperature.
constexpr MeasurementResults::QuantityValues BeforeMinimumIdle { 0.85, 310, 13.9, 1.2, 0.96, 850,
    86 };
constexpr MeasurementResults::QuantityValues BeforeIncreasedIdle { 0.62, 240, 14.1, 0.9, 0.98, 2150,
    88 };
constexpr MeasurementResults::QuantityValues AfterMinimumIdle { 0.18, 95, 14.6, 0.4, 1.01, 820,
    89 };
constexpr MeasurementResults::QuantityValues AfterIncreasedIdle { 0.12, 60, 14.8, 0.3, 1.0, 2100,
    90 };

constexpr int CategoryN3ThreeComponent = 32 + 2 + 4 + 16;

} // namespace

ReportInputs SampleReportInputs()
{
    ReportInputs inputs;
    inputs.vehicle
        = { u"А123ВС"_s, 77, u"КамАЗ-6520"_s, u"Петров"_s, u"Сергей"_s, u"Николаевич"_s };
    inputs.categoryCode = CategoryN3ThreeComponent;
    MeasurementResults &results = inputs.results;
    results.Readings[BeforeAdjustment][MinimumIdle] = BeforeMinimumIdle;
    results.Readings[BeforeAdjustment][IncreasedIdle] = BeforeIncreasedIdle;
    results.Readings[AfterAdjustment][MinimumIdle] = AfterMinimumIdle;
    results.Readings[AfterAdjustment][IncreasedIdle] = AfterIncreasedIdle;
    results.BeforeAdjustmentDone = true;
    results.AfterAdjustmentDone = true;
    // The limits of N3 with three-component after-treatment.
    inputs.co = { 0.3, 0.3 };
    inputs.ch = { 200, 200 };
    inputs.fillingTime = QDateTime(QDate(2026, 12, 8), QTime(10, 30));
    return inputs;
}

} // namespace kavro
