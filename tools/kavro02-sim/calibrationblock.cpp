#include "calibrationblock.h"

#include "compute/calibration.h"

namespace kavro::sim {

namespace {

constexpr std::uint8_t BlockFormat = 0x02; // first byte; 255 would mean "erased"

// The scales map each sensor's 12-bit range onto its measuring range.
Calibration ServicedCalibration()
{
    Calibration calibration;
    calibration.ChScale = 54740; // 3600 counts above zero -> curve code 3007 (3296 ppm)
    calibration.CoScale = 29456; // 3700 counts above zero -> curve code 1663
    calibration.Co2Scale = 35200; // 4095 counts -> code 2199, above 17 %
    calibration.O2Scale = 35328; // 4095 counts -> 22.07 %
    calibration.RpmTrim = 130; // 128 is unity
    calibration.RpmScale = 32000; // 4095 counts -> about 8000 rpm
    calibration.TempScale = 22400; // 4095 counts -> t = 1399, above 100 °C
    calibration.CompScale = 32768; // 2440 counts -> 1220: no compensation
    calibration.RpmMinimum = 200;
    calibration.ChCompCoefficient = 1500;
    calibration.CoCompCoefficient = 1800;
    calibration.Co2CompCoefficient = -2400;
    return calibration;
}

// Pump window of the automatic zero setting: upper = 256 * [162] + [163],
// lower = 256 * [163] + [164]; the pump runs for countdown words 60 to 256.
constexpr std::uint8_t PumpWindow[] = { 1, 0, 60 };

} // namespace

CalibrationBlock::CalibrationBlock(QByteArray bytes)
    : m_bytes(std::move(bytes))
{ }

CalibrationBlock CalibrationBlock::Serviced()
{
    TInstrumentImage image {};
    WriteCalibration(ServicedCalibration(), image);
    image[BlockStart] = BlockFormat;
    for (int i = 0; i < 3; ++i)
        image[static_cast<std::size_t>(162 + i)] = PumpWindow[i];
    return CalibrationBlock(
        QByteArray(reinterpret_cast<const char *>(image.data()) + BlockStart, BlockSize));
}

CalibrationBlock CalibrationBlock::Erased()
{
    return CalibrationBlock(QByteArray(BlockSize, static_cast<char>(0xFF)));
}

std::uint8_t CalibrationBlock::TrailerByte() const
{
    unsigned sum = 0;
    for (char byte : m_bytes)
        sum += static_cast<std::uint8_t>(byte);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

TInstrumentImage CalibrationBlock::Image() const
{
    TInstrumentImage image {};
    for (int i = 0; i < BlockSize; ++i)
        image[static_cast<std::size_t>(BlockStart + i)] = static_cast<std::uint8_t>(m_bytes[i]);
    return image;
}

std::uint8_t CalibrationBlock::At(int imageIndex) const
{
    return static_cast<std::uint8_t>(m_bytes[imageIndex - BlockStart]);
}

int CalibrationBlock::PumpWindowUpper() const
{
    return 256 * At(162) + At(163);
}

int CalibrationBlock::PumpWindowLower() const
{
    return 256 * At(163) + At(164);
}

} // namespace kavro::sim
