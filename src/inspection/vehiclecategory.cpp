#include "inspection/vehiclecategory.h"

using namespace Qt::StringLiterals;

namespace kavro {

const std::array<QString, CategoryItemCount> CategoryDescriptions {
    u"Автотранспортное средство для перевозки пассажиров, имеющее не более 8 мест для сидения, кроме места водителя"_s,
    u"Автотранспортное средство для перевозки пассажиров, имеющее более 8 мест для сидения, кроме места водителя, с разрешенной максимальной массой до 5 т."_s,
    u"Автотранспортное средство для перевозки пассажиров, имеющее более 8 мест для сидения, кроме места водителя, с разрешенной максимальной массой свыше 5 т."_s,
    u"Автотранспортное средство для перевозки грузов с разрешенной максимальной массой до 3,5 т."_s,
    u"Автотранспортное средство для перевозки грузов с разрешенной максимальной массой от 3,5 т. до 12 т."_s,
    u"Автотранспортное средство для перевозки грузов с разрешенной максимальной массой свыше 12 т."_s,
};

namespace {

// The category-dependent part of a table row: CO and CH limits in % vol and
// ppm, the engine speed limits in rpm.
struct CategoryLimits
{
    double CoLow, CoHigh, ChLow, ChHigh, SpeedLow, SpeedHigh;
};

constexpr CategoryLimits Before1986Limits { 4.5, 4.5, 600, 600, 900, 900 };

// [first in class (M1, N1) or not][after-treatment 0, 1, 2]
constexpr CategoryLimits After1986Limits[2][3] = {
    {
        { 2.0, 3.5, 600, 1200, 1100, 2500 },
        { 0.6, 1.0, 200, 400, 1100, 2000 },
        { 0.3, 0.5, 100, 100, 1100, 2000 },
    },
    {
        { 2.0, 3.5, 1000, 2500, 900, 2000 },
        { 3.5, 3.5, 250, 1200, 900, 2000 },
        { 0.3, 0.3, 200, 200, 900, 2000 },
    },
};

constexpr double CoMaximum = 7;
constexpr double ChMaximum = 3000;
constexpr double SpeedMaximum = 9999;

void SetCategoryLimits(GaugeScales &scales, const CategoryLimits &limits)
{
    scales[qnCO] = { CoMaximum, limits.CoLow, limits.CoHigh };
    scales[qnCH] = { ChMaximum, limits.ChLow, limits.ChHigh };
    scales[qnEngineSpeed] = { SpeedMaximum, limits.SpeedLow, limits.SpeedHigh };
}

} // namespace

int EncodeVehicleCategory(const CategoryChoice &choice)
{
    if (!choice.MadeAfter1986)
        return VehicleCode::Before1986;
    const int c = choice.CategoryItem;
    const int t = choice.AfterTreatmentItem;
    if (c < 0 || c >= CategoryItemCount || t < 0 || t >= AfterTreatmentItemCount)
        return VehicleCode::NotChosen;
    return VehicleCode::MadeAfter1986 + c % 3 + (t << VehicleCode::AfterTreatmentShift)
        + (c > 2 ? VehicleCode::ClassN : 0);
}

CategoryChoice DecodeVehicleCategory(int code)
{
    if (!IsMadeAfter1986(code))
        return {};
    CategoryChoice choice;
    choice.MadeAfter1986 = true;
    choice.CategoryItem = (code & VehicleCode::NumberMask)
        + 3 * ((code & VehicleCode::ClassN) / VehicleCode::ClassN);
    if (choice.CategoryItem >= CategoryItemCount)
        choice.CategoryItem = -1; // number field 3 of class N
    const int treatment = (code >> VehicleCode::AfterTreatmentShift) & 3;
    choice.AfterTreatmentItem = treatment < AfterTreatmentItemCount ? treatment : -1;
    return choice;
}

QString CategoryDescription(int categoryItem)
{
    if (categoryItem < 0 || categoryItem >= CategoryItemCount)
        return {};
    return CategoryDescriptions[std::size_t(categoryItem)];
}

GaugeScales ScalesForCategory(int code, const GaugeScales &previous)
{
    GaugeScales scales = previous;
    scales[qnCO2] = { 15.5, 14, 14 };
    scales[qnO2] = { 22, 3, 3 };
    scales[qnLambda] = { 2, 0.8, 1.2 };
    scales[qnTemperature] = { 99.99, 80, 80 };
    if (!IsMadeAfter1986(code)) {
        SetCategoryLimits(scales, Before1986Limits);
        return scales;
    }
    const int treatment
        = (code & VehicleCode::AfterTreatmentMask) >> VehicleCode::AfterTreatmentShift;
    if (treatment >= AfterTreatmentItemCount)
        return scales; // field value 24: no row, CO, CH and engine speed unchanged
    const int firstInClass = (code & VehicleCode::NumberMask) == 0 ? 0 : 1;
    SetCategoryLimits(scales, After1986Limits[firstInClass][treatment]);
    return scales;
}

} // namespace kavro
