#pragma once

#include <QString>

namespace kavro {

// The vehicle under test, as the vehicle dialog hands it to the registration.
struct VehicleRecord
{
    // CarCategory before the operator has chosen one; such a vehicle cannot
    // be registered.
    static constexpr int NoCategory = -1;

    QString FederalNumber; // registration number, as typed or picked
    int Region = 0; // region code of the registration
    QString Mark; // make
    QString OwnerTName; // surname
    QString OwnerFName; // first name, may be empty
    QString OwnerSName; // patronymic, may be empty
    int CarCategory = NoCategory; // VehicleCategory code
};

} // namespace kavro
