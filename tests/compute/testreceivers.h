#pragma once

#include "compute/calibration.h"
#include "protocol/receiverdata.h"

namespace kavro::test {

// A compensation reading that CompScale 32768 scales to 1220: no correction.
constexpr int NeutralCompensationRaw = 2440;

// Scales of 32768 halve a raw reading, so a code c is reached with raw 2c;
// unity engine speed trim; compensation divisors of 1000.
inline Calibration HalvingCalibration()
{
    Calibration c;
    c.ChScale = c.CoScale = c.Co2Scale = c.O2Scale = 32768;
    c.RpmScale = c.TempScale = c.CompScale = 32768;
    c.RpmTrim = 128;
    c.RpmMinimum = 0;
    c.ChCompCoefficient = c.CoCompCoefficient = c.Co2CompCoefficient = 1000;
    return c;
}

inline ReceiverData CalibratedReceiver(const Calibration &calibration = HalvingCalibration())
{
    ReceiverData receiver;
    WriteCalibration(calibration, receiver.InstrumentImage);
    receiver.BlockReceived = true;
    return receiver;
}

} // namespace kavro::test
