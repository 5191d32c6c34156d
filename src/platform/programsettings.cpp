#include "platform/programsettings.h"

#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
#ifdef Q_OS_WIN
const QString ParentKey = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\TORVEL"_s;
const QString KeyName = u"KAVRO02"_s;
#else
QString SettingsFilePath(const QString &programFolder)
{
    return programFolder + u"/KAVRO02.ini"_s;
}
#endif
} // namespace

std::unique_ptr<QSettings> OpenProgramSettings([[maybe_unused]] const QString &programFolder)
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(ParentKey + u'\\' + KeyName, QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(SettingsFilePath(programFolder), QSettings::IniFormat);
#endif
}

bool ProgramSettingsExist([[maybe_unused]] const QString &programFolder)
{
#ifdef Q_OS_WIN
    return QSettings(ParentKey, QSettings::NativeFormat).childGroups().contains(KeyName);
#else
    return QFileInfo::exists(SettingsFilePath(programFolder));
#endif
}

} // namespace kavro
