#pragma once

// Units and numbers in the conversions
//
// Raw counts: the instrument sends every channel as a 12-bit count (0 to
// 4095). The calibration words of the instrument image are 16-bit counts
// (some signed), the curves and tables of constanttables.h count in their own
// units: CH curve in ppm, CO curve in hundredths of % vol, CO2 thresholds
// give tenths of % vol, gains in 1/32768.
//
// Engineering units: what the conversions return, as a double: CO, CO2 and
// O2 in % vol, CH in ppm, engine speed in rpm, temperature in °C, λ without
// a unit.
//
// Integer steps stay integers: products and shifts (a >> n divides a
// non-negative count by 2^n, rounding down) are formed in 64 bits, so no
// input of any size overflows. Round is to the nearest integer with ties to
// the even one (std::nearbyint under the default rounding mode; qRound would
// round halves away from zero), Trunc cuts toward zero, Floor rounds down.
//
// InvalidValue (2147483647) stands for "no value": no calibration block yet,
// a code beyond a curve, or an integer step whose result does not fit in 32
// bits. It passes unchanged through the later steps, reads 2147483647.0
// as CH and 21474836.47 as CO, and every display limit pins it at its top.
//
// Zero divisors, which the instrument's data can produce:
// - a compensation coefficient of 0 in the image gives InvalidValue (the
//   compensation cannot be computed, and a silently uncompensated value would
//   look valid);
// - a λ equation whose divisor is 0 (CO / CO2 = -3.5, or CO2 + CO +
//   0.0006 * CH = 0, possible with the -0.1 % that a CO2 code of 0 reads)
//   gives λ = 0.0, the value that already stands for "λ cannot be computed"
//   when CO or CO2 is 0.
// Nothing here converts an infinite, NaN or out-of-range real to an integer.

#include "compute/constanttables.h"
#include "protocol/receiverdata.h"

#include <QLoggingCategory>

#include <array>
#include <cstdint>

namespace kavro {

// Each raw CO reading goes to this debug category; it is off unless enabled,
// e.g. with QT_LOGGING_RULES="kavro.co.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcKavroCo)

constexpr int InvalidValue = 2147483647;
constexpr int ChannelCount = 16;

// The latest raw reading of each channel 0 to 15.
using TRawReadings = std::array<std::int32_t, ChannelCount>;

// Steps shared by the conversions.
int CurveValue(const PackedCurve &curve, std::int64_t code);
int ZeroLevelGain(int value, int zeroReading, const TZeroGainTable &gainTable);
int Compensate(int value, int compensationRaw, int compensationScale, int coefficient);

// The gas conversions read the calibration block, BlockReceived and (CO, CH)
// ZeroReadings; compensationRaw is the latest raw reading of channel 4.
double ConvertCH(const ReceiverData &receiver, int raw, int compensationRaw);
double ConvertCO(const ReceiverData &receiver, int raw, int compensationRaw);
double ConvertCO2(const ReceiverData &receiver, int raw, int compensationRaw);

// These read the image whether or not a calibration block has arrived.
double ConvertO2(const TInstrumentImage &image, int raw);
double ConvertEngineSpeed(const TInstrumentImage &image, int raw);
double ConvertTemperature(const TInstrumentImage &image, int raw);

// λ from the gas values (CO, CO2, O2 in % vol, CH in ppm) by the
// Brettschneider equation; 0.0 when CO or CO2 is 0 or a divisor is 0.
double LambdaFromGases(double co, double co2, double o2, double ch);

// λ from the latest raw readings of channels 0 to 4 (converts CO, and so
// writes its debug line, like any other CO conversion).
double ComputeLambda(const ReceiverData &receiver, const TRawReadings &rawReadings);

} // namespace kavro
