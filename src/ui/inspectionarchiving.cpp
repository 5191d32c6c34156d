#include "ui/inspectionarchiving.h"

#include "platform/appenvironment.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"
#include "ui/archiveform.h"
#include "ui/newmesform.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace kavro {

InspectionArchiving::InspectionArchiving(UserDialogs &dialogs, AppEnvironment &environment,
    const ReportSource &source, TNewMesForm &measurementDialog, QWidget *dialogParent)
    : QObject(dialogParent)
    , dialogs_(dialogs)
    , environment_(environment)
    , source_(source)
    , measurementDialog_(measurementDialog)
    , dialogParent_(dialogParent)
    , recorder_(environment.ProgramFolder())
{
    setObjectName(u"InspectionArchiving"_s);
    actArchive = new QAction(u"Архив проверок"_s, this);
    actArchive->setObjectName(u"actArchive"_s);
    actArchive->setProperty("category", u"catFile"_s);
    actArchive->setProperty("imageIndex", -1);
    const QString hint = u"Просмотр и печать сохраненных проверок"_s;
    actArchive->setStatusTip(hint);
    actArchive->setToolTip(hint);
    connect(actArchive, &QAction::triggered, this, &InspectionArchiving::actArchiveExecute);
    connect(&measurementDialog_, &TNewMesForm::MeasurementCompleted, this,
        &InspectionArchiving::MeasurementCompleted);
}

InspectionArchiving::~InspectionArchiving()
{
    delete archiveWindow_.data();
}

TArchiveForm *InspectionArchiving::ArchiveWindow() const
{
    return archiveWindow_;
}

void InspectionArchiving::VehicleRegistered(const VehicleRecord &vehicle)
{
    recorder_.VehicleRegistered(vehicle);
}

void InspectionArchiving::MeasurementCompleted()
{
    const std::optional<RecordingOutcome> outcome
        = recorder_.MeasurementCompleted(source_, environment_.Now());
    if (!outcome)
        return; // no result after adjustment yet
    measurementDialog_.ShowVerdict(outcome->verdict);
    // The measurement stays as it is: shown, stored in the results and printable.
    if (!outcome->stored.Ok()) {
        dialogs_.Message(dialogParent_, ProgramName,
            u"Результаты проверки не сохранены в архиве проверок.\r"_s + outcome->stored.error,
            UserDialogs::Icon::Warning, UserDialogs::Ok);
    }
}

void InspectionArchiving::actArchiveExecute()
{
    if (!archiveWindow_)
        archiveWindow_ = new TArchiveForm(dialogs_, environment_, dialogParent_);
    kavro::actArchiveExecute(dialogs_, *archiveWindow_);
}

} // namespace kavro
