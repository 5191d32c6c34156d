#pragma once

#include <cstdint>

namespace kavro::sim {

// Byte codes on the line between the instrument and the program.
namespace code {
constexpr std::uint8_t ModeMeasuring = 128; // readings are live values
constexpr std::uint8_t ModeZeroReadings = 133; // readings are the sensors' zero levels
constexpr std::uint8_t MaintenanceNoticeOn = 193;
constexpr std::uint8_t MaintenanceNoticeOff = 194;
constexpr std::uint8_t CalibrationBlock = 196; // request / "block follows"
constexpr std::uint8_t PumpSwitch = 208; // request / "pump switched"
constexpr std::uint8_t ZeroSetting = 210; // request / "zero setting started"
constexpr std::uint8_t SelectChannel0 = 224; // 224 to 231 select channels 0 to 7
constexpr std::uint8_t DiagnosticDefault = 150;

// Data bytes carry a nibble; bits 4 and 5 say which one.
constexpr std::uint8_t HighNibble = 0x20;
constexpr std::uint8_t MiddleNibble = 0x10;
constexpr std::uint8_t LowNibble = 0x00;
} // namespace code

} // namespace kavro::sim
