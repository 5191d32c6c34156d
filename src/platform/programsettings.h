#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace kavro {

// The program's settings key: on Windows the registry key
// HKEY_LOCAL_MACHINE\SOFTWARE\TORVEL\KAVRO02; elsewhere the file KAVRO02.ini in
// the program folder. It holds the port index "COM", the device path of each
// port (group "Ports") and the register's database server (group "Database").
std::unique_ptr<QSettings> OpenProgramSettings(const QString &programFolder);

// Whether the key exists; elsewhere than on Windows a missing file is a
// missing key.
bool ProgramSettingsExist(const QString &programFolder);

} // namespace kavro
