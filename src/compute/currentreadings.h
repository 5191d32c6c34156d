#pragma once

#include "compute/quantities.h"

#include <array>

namespace kavro {

// The last converted value of each quantity, as two views of the same
// reading: unlimited (what the trend chart samples) and limited to the
// display range (what the gauges, the panels, the measurement dialog and the
// report show). Both are 0 until the first value of a quantity.
class CurrentReadings
{
public:
    using Values = std::array<double, QuantityCount>;

    // Keeps value unlimited, then limited to the quantity's display range,
    // and returns the limited value. A number that is not a quantity is
    // ignored (returns 0).
    double Store(int quantity, double value);

    // The last value shown (after limiting); 0 for a number that is not a
    // quantity.
    double ShownValue(int quantity) const;
    // The last converted value before limiting; 0 for a number that is not
    // a quantity.
    double ChartValue(int quantity) const;

    const Values &ShownValues() const { return shownValues_; }
    const Values &ChartValues() const { return chartValues_; }

private:
    Values shownValues_ {};
    Values chartValues_ {};
};

} // namespace kavro
