#include "compute/currentreadings.h"

namespace kavro {

double CurrentReadings::Store(int quantity, double value)
{
    if (!IsQuantity(quantity))
        return 0;
    const auto index = std::size_t(quantity);
    chartValues_[index] = value;
    shownValues_[index] = LimitToDisplayRange(quantity, value);
    return shownValues_[index];
}

double CurrentReadings::ShownValue(int quantity) const
{
    return IsQuantity(quantity) ? shownValues_[std::size_t(quantity)] : 0;
}

double CurrentReadings::ChartValue(int quantity) const
{
    return IsQuantity(quantity) ? chartValues_[std::size_t(quantity)] : 0;
}

} // namespace kavro
