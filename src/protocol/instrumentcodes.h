#pragma once

#include <QtGlobal>

namespace kavro {

// Single-byte codes of the instrument protocol. Codes 196, 208 and 210 are
// both the instrument's reports and the program's commands.
namespace InstrumentCode {
constexpr quint8 FirstStatusCode = 128; // below: data bytes of a reading
constexpr quint8 ModeEndZeroCapture = 128;
constexpr quint8 ModeZeroCapture = 133;
constexpr quint8 LastOperatingMode = 143;
constexpr quint8 FirstDiagnosticMode = 144;
constexpr quint8 LastDiagnosticMode = 175;
constexpr quint8 NoticeOn = 193;
constexpr quint8 NoticeOff = 194;
constexpr quint8 CalibrationBlock = 196; // "block follows" / "send the block"
constexpr quint8 PumpSwitch = 208; // "pump switched over" / "switch it over"
constexpr quint8 StartZeroSetting = 210; // "zero setting started" / "start it"
constexpr quint8 FirstChannelSelectLow = 224; // 224..231 select channels 0..7
constexpr quint8 FirstChannelSelectHigh = 240; // 240..247 select channels 8..15
constexpr quint8 EmptyBlockMarker = 255; // first block byte of an instrument without calibration
} // namespace InstrumentCode

} // namespace kavro
