#pragma once

#include "protocol/receiverdata.h"

namespace kavro {

// The calibration words that the conversions read from the instrument memory
// image. The instrument writes them big-endian into its calibration block
// (image index 128 onward); the offsets below are image indexes.
struct Calibration
{
    int ChScale = 0; // channel 3 before the CH curve
    int CoScale = 0; // channel 1 before the CO curve
    int Co2Scale = 0; // channel 0 before the CO2 thresholds
    int O2Scale = 0; // channel 2
    int RpmTrim = 0; // engine speed gain trim, 128 is unity (one byte)
    int RpmScale = 0; // channel 6
    int TempScale = 0; // channel 7
    int CompScale = 0; // compensation reading (channel 4)
    int RpmMinimum = 0; // engine speeds below it read 0
    int ChCompCoefficient = 0; // signed compensation divisors
    int CoCompCoefficient = 0;
    int Co2CompCoefficient = 0;
};

namespace CalibrationOffset {
constexpr int ChScale = 129;
constexpr int CoScale = 131;
constexpr int Co2Scale = 133;
constexpr int O2Scale = 135;
constexpr int RpmTrim = 137;
constexpr int RpmScale = 138;
constexpr int TempScale = 140;
constexpr int CompScale = 167;
constexpr int RpmMinimum = 169;
constexpr int ChCompCoefficient = 171;
constexpr int CoCompCoefficient = 173;
constexpr int Co2CompCoefficient = 176; // byte 175 is not a calibration word
} // namespace CalibrationOffset

Calibration ReadCalibration(const TInstrumentImage &image);

// The inverse, for whoever has to build an image: the instrument simulator
// and the tests. Values are stored modulo their width (16 bits, 8 for RpmTrim).
void WriteCalibration(const Calibration &calibration, TInstrumentImage &image);

} // namespace kavro
