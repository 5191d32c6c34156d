#include "device/portdevicemap.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr auto SettingsGroup = "Ports"_L1;
constexpr auto ComPrefix = R"(\\.\COM)"_L1;
constexpr int MaxComDigits = 5; // more would not name a port, and cannot overflow

QString settingsKey(int comNumber)
{
    return u"COM"_s + QString::number(comNumber);
}

} // namespace

PortDeviceMap::PortDeviceMap()
{
    for (int n = 1; n <= MappedPorts; ++n)
        m_paths[n - 1] = DefaultDevicePath(n);
}

QString PortDeviceMap::DevicePath(int comNumber) const
{
    if (comNumber >= 1 && comNumber <= MappedPorts)
        return m_paths[comNumber - 1];
    return DefaultDevicePath(comNumber);
}

void PortDeviceMap::SetDevicePath(int comNumber, const QString &path)
{
    if (comNumber < 1 || comNumber > MappedPorts)
        return;
    const QString trimmed = path.trimmed();
    m_paths[comNumber - 1] = trimmed.isEmpty() ? DefaultDevicePath(comNumber) : trimmed;
}

QString PortDeviceMap::DeviceForPortName(const QString &portName) const
{
#ifdef Q_OS_WIN
    return portName;
#else
    const int comNumber = ComNumber(portName);
    return comNumber > 0 ? DevicePath(comNumber) : portName;
#endif
}

int PortDeviceMap::ComNumber(const QString &portName)
{
    if (!portName.startsWith(ComPrefix, Qt::CaseInsensitive))
        return 0;
    const QStringView digits = QStringView(portName).mid(ComPrefix.size());
    if (digits.isEmpty() || digits.size() > MaxComDigits || digits.front() == u'0')
        return 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    return digits.toInt();
}

QString PortDeviceMap::DefaultDevicePath(int comNumber)
{
    return u"/dev/ttyS"_s + QString::number(comNumber - 1);
}

PortDeviceMap PortDeviceMap::Load(QSettings &settings)
{
    PortDeviceMap map;
    settings.beginGroup(SettingsGroup);
    for (int n = 1; n <= MappedPorts; ++n)
        map.SetDevicePath(n, settings.value(settingsKey(n)).toString());
    settings.endGroup();
    return map;
}

void PortDeviceMap::Store(QSettings &settings) const
{
    settings.beginGroup(SettingsGroup);
    for (int n = 1; n <= MappedPorts; ++n)
        settings.setValue(settingsKey(n), m_paths[n - 1]);
    settings.endGroup();
}

} // namespace kavro
