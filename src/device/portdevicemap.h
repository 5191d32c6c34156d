#pragma once

#include <QString>
#include <array>

class QSettings;

namespace kavro {

// Where the port names "\\.\COM1" … "\\.\COMn" lead on this machine.
// Windows opens those names as they are. Elsewhere COM1…COM4 lead to device
// paths kept in the settings file (group "Ports", keys "COM1"…"COM4"), by
// default /dev/ttyS0…/dev/ttyS3; higher numbers lead to /dev/ttyS<n−1>.
// Any other name (a pseudo-terminal path, for instance) is opened as given.
class PortDeviceMap
{
public:
    static constexpr int MappedPorts = 4; // COM1…COM4

    PortDeviceMap();

    // The device path of COMn (n ≥ 1); for n ≤ MappedPorts the stored one.
    QString DevicePath(int comNumber) const;
    // Ignored for n outside 1…MappedPorts; an empty path restores the default.
    void SetDevicePath(int comNumber, const QString &path);

    // The name to hand to the operating system for a port name.
    QString DeviceForPortName(const QString &portName) const;

    // n for a name of the form "\\.\COMn" (n ≥ 1, case-insensitive), else 0.
    static int ComNumber(const QString &portName);
    static QString DefaultDevicePath(int comNumber);

    static PortDeviceMap Load(QSettings &settings);
    void Store(QSettings &settings) const;

    bool operator==(const PortDeviceMap &) const = default;

private:
    std::array<QString, MappedPorts> m_paths;
};

} // namespace kavro
