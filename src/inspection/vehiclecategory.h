#pragma once

#include "compute/quantities.h"

#include <QString>
#include <array>

namespace kavro {

// VehicleCategory: what a vehicle's emission limits depend on, as one
// integer. -1: nothing chosen yet (only inside the vehicle dialog). Below 32
// (0 as written): made before 01.10.1986, category and after-treatment not
// recorded. 32 and more: made after 01.10.1986, with the bit fields
//   bits 0-1  number within the class minus one (M1/N1 0, M2/N2 1, M3/N3 2)
//   bit 2     class N (clear: class M)
//   bits 3-4  after-treatment: 0 none, 1 two-component, 2 three-component
//   bit 5     made after 01.10.1986
// Every reader takes any code below 32 as made before 01.10.1986.
namespace VehicleCode {
constexpr int NotChosen = -1;
constexpr int Before1986 = 0;
constexpr int MadeAfter1986 = 32;
constexpr int ClassN = 4;
constexpr int NumberMask = 3;
constexpr int AfterTreatmentShift = 3;
constexpr int AfterTreatmentMask = 24;
} // namespace VehicleCode

// The items of the category dialog: categories M1, M2, M3, N1, N2, N3 and
// after-treatments none, two-component, three-component.
constexpr int CategoryItemCount = 6;
constexpr int AfterTreatmentItemCount = 3;

// The choices of the category dialog; -1 for a group without a selection.
struct CategoryChoice
{
    bool MadeAfter1986 = false;
    int CategoryItem = -1;
    int AfterTreatmentItem = -1;
    bool operator==(const CategoryChoice &) const = default;
};

constexpr bool IsMadeAfter1986(int code)
{
    return code >= VehicleCode::MadeAfter1986;
}

// The code of a choice: 0 for a vehicle made before 01.10.1986, else
// 32 + (item mod 3) + 8 × after-treatment, plus 4 for class N. A choice after
// 01.10.1986 without both a category and an after-treatment has no code
// (-1), since the dialog does not let it be confirmed.
int EncodeVehicleCategory(const CategoryChoice &choice);

// The choices a code stands for: category item (code AND 3) + 3 for class N,
// after-treatment item (code / 8) AND 3. A code below 32 gives "before
// 01.10.1986" with nothing else selected; a field that names no item (class
// N with number field 3, after-treatment field 3) gives no selection.
CategoryChoice DecodeVehicleCategory(int code);

// The description of a category item (0 = M1 ... 5 = N3); empty for another
// number.
QString CategoryDescription(int categoryItem);
extern const std::array<QString, CategoryItemCount> CategoryDescriptions;

// One gauge's scale: the end of the scale and the two zone limits.
struct GaugeScale
{
    double MaxValue = 0;
    double LowLimit = 0;
    double HighLimit = 0;
    bool operator==(const GaugeScale &) const = default;
};
using GaugeScales = std::array<GaugeScale, QuantityCount>;

// The scales and limits of all seven gauges for a vehicle category. CO2, O2,
// λ and temperature never depend on it. CO, CH and engine speed come from
// the vehicle's row of the limits table; a code of 32 or more whose
// after-treatment field is 3 has no row, and these three keep their scales
// from previous.
GaugeScales ScalesForCategory(int code, const GaugeScales &previous);

} // namespace kavro
