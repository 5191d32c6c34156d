#pragma once

#include "compute/quantities.h"

#include <array>

namespace kavro {

// Whether a measurement was made before or after the engine was adjusted
// (the choices "До регулировки" and "После регулировки").
enum AdjustmentKind : int {
    BeforeAdjustment = 0,
    AfterAdjustment = 1,
};

// The engine speed of a measurement step. Minimum idle is measured first;
// the values are the second index of MeasurementResults::Readings.
enum IdlePhase : int {
    IncreasedIdle = 0,
    MinimumIdle = 1,
};

// What "Запомнить" stored: one record for the whole run of the program.
// Each cell keeps the last value stored into it; a new vehicle clears only
// the two flags.
struct MeasurementResults
{
    using QuantityValues = std::array<double, QuantityCount>;
    using PhaseValues = std::array<QuantityValues, 2>;

    // Readings[AdjustmentKind][IdlePhase][quantity]: the values as the main
    // window showed them (limited to their display ranges).
    std::array<PhaseValues, 2> Readings {};
    bool BeforeAdjustmentDone = false; // a measurement "До регулировки" was completed
    bool AfterAdjustmentDone = false; // a measurement "После регулировки" was completed
};

} // namespace kavro
