#include "device/portindexstore.h"

#include "platform/programsettings.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
const QString IndexValue = u"COM"_s;
constexpr int NoDefinedPort = -1;
} // namespace

PortIndexStore::PortIndexStore(QString programFolder)
    : programFolder_(std::move(programFolder))
{ }

std::unique_ptr<QSettings> PortIndexStore::OpenSettings() const
{
    return OpenProgramSettings(programFolder_);
}

bool PortIndexStore::KeyExists() const
{
    return ProgramSettingsExist(programFolder_);
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
