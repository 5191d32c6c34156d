#include "device/portindexstore.h"

#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
const QString IndexValue = u"COM"_s;
constexpr int NoDefinedPort = -1;

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

PortIndexStore::PortIndexStore(QString programFolder)
    : programFolder_(std::move(programFolder))
{ }

std::unique_ptr<QSettings> PortIndexStore::OpenSettings() const
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(ParentKey + u'\\' + KeyName, QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(SettingsFilePath(programFolder_), QSettings::IniFormat);
#endif
}

bool PortIndexStore::KeyExists() const
{
#ifdef Q_OS_WIN
    return QSettings(ParentKey, QSettings::NativeFormat).childGroups().contains(KeyName);
#else
    return QFileInfo::exists(SettingsFilePath(programFolder_));
#endif
}

std::optional<int> PortIndexStore::ReadIndex() const
{
    if (!KeyExists())
        return std::nullopt;
    const auto settings = OpenSettings();
    const QVariant value = settings->value(IndexValue);
    if (!value.isValid())
        return std::nullopt;
    bool isNumber = false;
    const int index = value.toInt(&isNumber);
    return isNumber ? index : NoDefinedPort;
}

void PortIndexStore::WriteIndex(int index)
{
    const auto settings = OpenSettings();
    settings->setValue(IndexValue, index);
    settings->sync();
}

} // namespace kavro
