#pragma once

#include "protocol/receiverdata.h"

#include <QByteArray>
#include <cstdint>

namespace kavro::sim {

// The 64-byte calibration block the instrument keeps in its memory from
// address 128 on, and sends after code 196. The words are big-endian, as
// the program reads them.
class CalibrationBlock
{
public:
    static constexpr int BlockStart = 128;
    static constexpr int BlockSize = 64;

    // Calibration of a serviced instrument: the scales map the sensors'
    // 12-bit range onto realistic ranges (CH up to about 3000 ppm, CO up
    // to about 9 %, CO2 up to 17 %, O2 up to 22 %, 8000 rpm, 0 to 100 °C).
    static CalibrationBlock Serviced();
    // An instrument that lost its calibration: erased memory reads 255.
    static CalibrationBlock Erased();

    const QByteArray &Bytes() const { return m_bytes; }
    // Byte sent after the block: the sum of its bytes modulo 256. The
    // program drops it; it completes the block on the wire.
    std::uint8_t TrailerByte() const;
    // The instrument memory image as the program holds it after receiving
    // the block (everything outside the block zero).
    TInstrumentImage Image() const;

    // The countdown window in which the pump runs during the automatic
    // zero setting (image bytes 162 to 164).
    int PumpWindowUpper() const;
    int PumpWindowLower() const;

private:
    explicit CalibrationBlock(QByteArray bytes);
    std::uint8_t At(int imageIndex) const;

    QByteArray m_bytes;
};

} // namespace kavro::sim
