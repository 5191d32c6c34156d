#include "compute/conversions.h"

#include "compute/calibration.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavro {

Q_LOGGING_CATEGORY(lcKavroCo, "kavro.co", QtInfoMsg)

namespace {

// The level of the compensation reading at which nothing is corrected.
constexpr double NeutralCompensation = 1220.0;

int FitOrInvalid(std::int64_t value)
{
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return InvalidValue;
    return static_cast<int>(value);
}

// What distinguishes the two zero-corrected gases.
struct ZeroCorrectedGas
{
    int ZeroSlot;
    const PackedCurve &Curve;
    const TZeroGainTable &Gain;
    int Scale;
    int CompCoefficient;
};

// Curve value of a gas above its zero reading, after gain and compensation;
// 0 when the reading exceeds the zero reading by less than 2 counts.
int ZeroCorrectedValue(const ReceiverData &receiver, const ZeroCorrectedGas &gas, int raw,
    int compensationRaw, int compensationScale)
{
    const std::int32_t zeroReading = receiver.ZeroReadings[gas.ZeroSlot];
    const std::int64_t aboveZero = std::max<std::int64_t>(std::int64_t { raw } - zeroReading, 0);
    if (aboveZero <= 1)
        return 0;
    const std::int64_t code = (aboveZero * gas.Scale) >> 16;
    int value = CurveValue(gas.Curve, code);
    value = ZeroLevelGain(value, zeroReading, gas.Gain);
    return Compensate(value, compensationRaw, compensationScale, gas.CompCoefficient);
}

} // namespace

int CurveValue(const PackedCurve &curve, std::int64_t code)
{
    if (code < 0 || static_cast<std::uint64_t>(code >> 3) >= curve.Increments.size())
        return InvalidValue;
    const auto segment = static_cast<std::size_t>(code >> 9);
    if (segment >= curve.Bases.size())
        return InvalidValue;
    const int lastPair = static_cast<int>((code >> 1) & 255);
    int sum = 0;
    for (int k = 0; k <= lastPair; ++k) {
        const std::uint8_t packed
            = curve.Increments[64 * segment + static_cast<std::size_t>(k / 4)];
        sum += (packed >> (2 * (k % 4))) & 3;
    }
    return curve.Bases[segment] + sum + static_cast<int>(code % 2);
}

int ZeroLevelGain(int value, int zeroReading, const TZeroGainTable &gainTable)
{
    if (value == InvalidValue)
        return InvalidValue;
    // The receiver delivers zero readings of 0 to 4095; anything else still
    // selects an entry of the table.
    const int index = std::clamp(zeroReading >> 4, 0, ZeroGainEntries - 1);
    return FitOrInvalid(
        (std::int64_t { value } * gainTable[static_cast<std::size_t>(index)]) >> 15);
}

int Compensate(int value, int compensationRaw, int compensationScale, int coefficient)
{
    if (value == InvalidValue || coefficient == 0)
        return InvalidValue;
    const double scaled = std::nearbyint(
        static_cast<double>(std::int64_t { compensationRaw } * compensationScale) / 65536.0);
    const double compensated
        = std::trunc(value * (1.0 + (scaled - NeutralCompensation) / coefficient));
    // Also false for NaN, so nothing undefined reaches the conversion to int.
    if (!(compensated >= std::numeric_limits<int>::min()
            && compensated <= std::numeric_limits<int>::max()))
        return InvalidValue;
    return static_cast<int>(compensated);
}

double ConvertCH(const ReceiverData &receiver, int raw, int compensationRaw)
{
    if (!receiver.BlockReceived)
        return InvalidValue;
    const Calibration calibration = ReadCalibration(receiver.InstrumentImage);
    const ZeroCorrectedGas ch { 3, ChCurve, ChZeroGain, calibration.ChScale,
        calibration.ChCompCoefficient };
    return ZeroCorrectedValue(receiver, ch, raw, compensationRaw, calibration.CompScale);
}

double ConvertCO(const ReceiverData &receiver, int raw, int compensationRaw)
{
    qCDebug(lcKavroCo, "%d", raw);
    if (!receiver.BlockReceived)
        return InvalidValue;
    const Calibration calibration = ReadCalibration(receiver.InstrumentImage);
    const ZeroCorrectedGas co { 1, CoCurve, CoZeroGain, calibration.CoScale,
        calibration.CoCompCoefficient };
    return ZeroCorrectedValue(receiver, co, raw, compensationRaw, calibration.CompScale) / 100.0;
}

double ConvertCO2(const ReceiverData &receiver, int raw, int compensationRaw)
{
    if (!receiver.BlockReceived)
        return InvalidValue;
    const Calibration calibration = ReadCalibration(receiver.InstrumentImage);
    const double code = std::nearbyint(
        static_cast<double>(std::int64_t { raw } * calibration.Co2Scale) / 65536.0);
    const auto reached = std::lower_bound(Co2Thresholds.begin(), Co2Thresholds.end(), code);
    const int tenths = static_cast<int>(reached - Co2Thresholds.begin()) - 1;
    return Compensate(
               tenths, compensationRaw, calibration.CompScale, calibration.Co2CompCoefficient)
        / 10.0;
}

double ConvertO2(const TInstrumentImage &image, int raw)
{
    // Integer division cuts toward zero, as Trunc does.
    const std::int64_t hundredths = std::int64_t { raw } * ReadCalibration(image).O2Scale / 65536;
    return static_cast<double>(hundredths) * 0.01;
}

double ConvertEngineSpeed(const TInstrumentImage &image, int raw)
{
    constexpr std::int64_t TrimPivot = 6000; // rpm that the trim leaves unchanged
    const Calibration calibration = ReadCalibration(image);
    const std::int64_t untrimmed = 4 * ((std::int64_t { raw } * calibration.RpmScale) >> 16);
    const std::int64_t gain = 30720 + 16 * calibration.RpmTrim; // 32768 is unity
    const std::int64_t rpm = untrimmed < TrimPivot
        ? TrimPivot - (((TrimPivot - untrimmed) * gain) >> 15)
        : TrimPivot + (((untrimmed - TrimPivot) * gain) >> 15);
    if (rpm < calibration.RpmMinimum)
        return 0.0;
    return static_cast<double>(rpm);
}

double ConvertTemperature(const TInstrumentImage &image, int raw)
{
    const std::int64_t t = (std::int64_t { raw } * ReadCalibration(image).TempScale) >> 16;
    // c = (27 t - 26837) / 100 °C, kept in hundredths so that Floor(10 c) is
    // exact instead of depending on how 10 c rounds in binary.
    const std::int64_t hundredths = 27 * t - 26837;
    if (hundredths < 0)
        return 0.0;
    if (hundredths > 10000)
        return 99.9;
    return static_cast<double>(hundredths / 10) / 10.0;
}

double LambdaFromGases(double co, double co2, double o2, double ch)
{
    constexpr double HydrogenPerCarbon = 0.431525; // 1.7261 / 4
    constexpr double OxygenPerCarbon = 0.0088; // 0.0176 / 2
    constexpr double CarbonTotal = 1.422725; // 1 + 0.431525 - 0.0088
    constexpr double ChWeight = 0.0006; // ppm to % vol, six carbons
    if (co == 0.0 || co2 == 0.0)
        return 0.0;
    const double waterGasDivisor = co / co2 + 3.5;
    const double denominator = (co2 + co + ChWeight * ch) * CarbonTotal;
    if (waterGasDivisor == 0.0 || denominator == 0.0)
        return 0.0;
    const double numerator = co / 2 + co2 + o2
        + (3.5 / waterGasDivisor * HydrogenPerCarbon - OxygenPerCarbon) * (co2 + co);
    return numerator / denominator;
}

double ComputeLambda(const ReceiverData &receiver, const TRawReadings &raw)
{
    const int compensation = raw[4];
    const double ch = ConvertCH(receiver, raw[3], compensation);
    const double co = ConvertCO(receiver, raw[1], compensation);
    const double co2 = ConvertCO2(receiver, raw[0], compensation);
    const double o2 = ConvertO2(receiver.InstrumentImage, raw[2]);
    return LambdaFromGases(co, co2, o2, ch);
}

} // namespace kavro
