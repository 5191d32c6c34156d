#include "compute/calibration.h"

namespace kavro {

namespace {

int UnsignedWord(const TInstrumentImage &image, int offset)
{
    return image[offset] * 256 + image[offset + 1];
}

int SignedWord(const TInstrumentImage &image, int offset)
{
    const int word = UnsignedWord(image, offset);
    return word > 32767 ? word - 65536 : word;
}

void PutWord(TInstrumentImage &image, int offset, int value)
{
    image[offset] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace

Calibration ReadCalibration(const TInstrumentImage &image)
{
    namespace at = CalibrationOffset;
    Calibration c;
    c.ChScale = UnsignedWord(image, at::ChScale);
    c.CoScale = UnsignedWord(image, at::CoScale);
    c.Co2Scale = UnsignedWord(image, at::Co2Scale);
    c.O2Scale = UnsignedWord(image, at::O2Scale);
    c.RpmTrim = image[at::RpmTrim];
    c.RpmScale = UnsignedWord(image, at::RpmScale);
    c.TempScale = UnsignedWord(image, at::TempScale);
    c.CompScale = UnsignedWord(image, at::CompScale);
    c.RpmMinimum = UnsignedWord(image, at::RpmMinimum);
    c.ChCompCoefficient = SignedWord(image, at::ChCompCoefficient);
    c.CoCompCoefficient = SignedWord(image, at::CoCompCoefficient);
    c.Co2CompCoefficient = SignedWord(image, at::Co2CompCoefficient);
    return c;
}

void WriteCalibration(const Calibration &c, TInstrumentImage &image)
{
    namespace at = CalibrationOffset;
    PutWord(image, at::ChScale, c.ChScale);
    PutWord(image, at::CoScale, c.CoScale);
    PutWord(image, at::Co2Scale, c.Co2Scale);
    PutWord(image, at::O2Scale, c.O2Scale);
    image[at::RpmTrim] = static_cast<std::uint8_t>(c.RpmTrim & 0xFF);
    PutWord(image, at::RpmScale, c.RpmScale);
    PutWord(image, at::TempScale, c.TempScale);
    PutWord(image, at::CompScale, c.CompScale);
    PutWord(image, at::RpmMinimum, c.RpmMinimum);
    PutWord(image, at::ChCompCoefficient, c.ChCompCoefficient);
    PutWord(image, at::CoCompCoefficient, c.CoCompCoefficient);
    PutWord(image, at::Co2CompCoefficient, c.Co2CompCoefficient);
}

} // namespace kavro
