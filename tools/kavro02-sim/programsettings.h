#pragma once

#include <QString>

namespace kavro::sim {

// Points the program in a folder at the simulated instrument: its settings
// file (beside the executable) gets port index 0 (COM1) and COM1 leads to
// the given device. Other settings stay as they are. Returns an error
// text, empty on success.
QString ConnectProgramToDevice(const QString &programFolder, const QString &devicePath);

} // namespace kavro::sim
