#pragma once

#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace kavro {

// The one thing the program remembers between runs: the index of the serial
// port (0 to 3 for COM1 to COM4), kept as the integer value "COM" of the
// program's settings key. On Windows the key is the registry key
// HKEY_LOCAL_MACHINE\SOFTWARE\TORVEL\KAVRO02; elsewhere it is the file
// KAVRO02.ini in the program folder, and a missing file is a missing key.
// The same file keeps the device path of each port (group "Ports").
class PortIndexStore
{
public:
    explicit PortIndexStore(QString programFolder);

    bool KeyExists() const;
    // The stored index; nothing when the key or the value is missing. A value
    // that is not a number reads as -1, an index of no defined port.
    std::optional<int> ReadIndex() const;
    // Writes "COM", creating the key when it is missing.
    void WriteIndex(int index);

    // The settings key itself, for the other values kept beside "COM".
    std::unique_ptr<QSettings> OpenSettings() const;

private:
    QString programFolder_;
};

} // namespace kavro
