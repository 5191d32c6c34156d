#include "ui/actionimages.h"

#include <QHash>
#include <QString>

using namespace Qt::StringLiterals;

// Resources of a static library are registered explicitly (outside any namespace).
static void InitIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace kavro {

namespace {

void RegisterResources()
{
    static const bool registered = (InitIconResources(), true);
    Q_UNUSED(registered);
}

} // namespace

QIcon ActionImage(int position)
{
    RegisterResources();
    static const QHash<int, QString> files = {
        { 0, u"newcar"_s },
        { 2, u"newmeasurement"_s },
        { 4, u"print"_s },
        { 6, u"exit"_s },
        { 8, u"levels"_s },
        { 10, u"numbers"_s },
        { 12, u"graphics"_s },
        { 14, u"calibration"_s },
        { 16, u"pumpstopped"_s },
        { 18, u"pumprunning"_s },
        { 20, u"savepicture"_s },
    };
    const auto file = files.constFind(position);
    if (file == files.constEnd())
        return {};
    return QIcon(u":/icons/"_s + *file + u".svg"_s);
}

QIcon MonitoringToolBarImage()
{
    RegisterResources();
    return QIcon(u":/icons/monitoring.svg"_s);
}

} // namespace kavro
