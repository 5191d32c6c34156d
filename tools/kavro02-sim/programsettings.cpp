#include "programsettings.h"

#include "device/portdevicemap.h"
#include "device/portindexstore.h"

#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace kavro::sim {

namespace {
constexpr int Com1Index = 0;
constexpr int Com1Number = 1;
} // namespace

QString ConnectProgramToDevice(const QString &programFolder, const QString &devicePath)
{
    if (!QFileInfo(programFolder).isDir())
        return u"program folder "_s + programFolder + u" does not exist"_s;
    PortIndexStore store(programFolder);
    store.WriteIndex(Com1Index);
    const auto settings = store.OpenSettings();
    PortDeviceMap ports = PortDeviceMap::Load(*settings);
    ports.SetDevicePath(Com1Number, devicePath);
    ports.Store(*settings);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        return u"cannot write the settings in "_s + programFolder;
    return {};
}

} // namespace kavro::sim
