#include "ui/inspectionwindows.h"

#include "inspection/vehiclestore.h"
#include "platform/appenvironment.h"
#include "platform/userdialogs.h"
#include "ui/categoryform.h"
#include "ui/editcarform.h"
#include "ui/inspectionarchiving.h"
#include "ui/mainform.h"
#include "ui/newmesform.h"
#include "ui/printform.h"

#include <QAction>
#include <QMenu>

namespace kavro {

InspectionWindows::InspectionWindows(
    TMainForm &mainForm, UserDialogs &dialogs, AppEnvironment &environment)
    : QObject(&mainForm)
    , mainForm_(mainForm)
    , dialogs_(dialogs)
    , environment_(environment)
    , newMesForm_(new TNewMesForm(*this, &mainForm))
    , printForm_(new TPrintForm(dialogs, environment, *this, &mainForm))
    , archiving_(new InspectionArchiving(dialogs, environment, *this, *newMesForm_, &mainForm))
{
    mainForm.SetMeasurementDialogVisibleQuery([this] { return newMesForm_->isVisible(); });
    mainForm.SetMeasurementFieldWriter(
        [this](int quantity, const QString &text) { newMesForm_->ShowReading(quantity, text); });
    connect(mainForm.actNewCar, &QAction::triggered, this, &InspectionWindows::actNewCarExecute);
    connect(mainForm.actNewMesurment, &QAction::triggered, this,
        &InspectionWindows::actNewMesurmentExecute);
    connect(mainForm.actPrint, &QAction::triggered, this, &InspectionWindows::actPrintExecute);
    // Completed measurements are archived by themselves; the archive opens
    // from the "Файл" menu, after "Печать".
    mainForm.mnuFile->insertAction(mainForm.actClose, archiving_->actArchive);
    mainForm.addAction(archiving_->actArchive);
}

InspectionWindows::~InspectionWindows() = default;

void InspectionWindows::CreateVehicleDialog()
{
    if (editCarForm_)
        return;
    vehicleStore_ = std::make_unique<VehicleStore>(environment_.ProgramFolder());
    editCarForm_ = new TEditCarForm(
        *vehicleStore_, dialogs_,
        [this](QWidget *parent, int code) { return ChooseVehicleCategory(dialogs_, parent, code); },
        &mainForm_);
}

void InspectionWindows::actNewCarExecute()
{
    CreateVehicleDialog();
    if (dialogs_.ExecModal(*editCarForm_) != QDialog::Accepted)
        return;
    const VehicleRecord &vehicle = editCarForm_->Vehicle();
    printForm_->SetReportData(vehicle); // also its caption
    mainForm_.ApplyVehicleCategory(editCarForm_->CategoryCode());
    // Measurement actions on, the scales page laid out and shown, the
    // registration number in the status bar.
    mainForm_.VehicleRegistered(vehicle.FederalNumber);
    mainForm_.RedrawGauges();
    newMesForm_->ResetForNewVehicle();
    archiving_->VehicleRegistered(vehicle);
}

void InspectionWindows::actNewMesurmentExecute()
{
    // The pump first, and the commands a measurement excludes.
    mainForm_.MeasurementDialogOpened();
    newMesForm_->show();
}

void InspectionWindows::actPrintExecute()
{
    kavro::actPrintExecute(dialogs_, *printForm_);
}

double InspectionWindows::CurrentValue(int quantity) const
{
    return mainForm_.CurrentValue(quantity);
}

double InspectionWindows::GaugeScaleValue(GaugeScaleChoice choice, int quantity) const
{
    return mainForm_.GaugeScaleValue(choice, quantity);
}

void InspectionWindows::SetPrintEnabled(bool enabled)
{
    mainForm_.actPrint->setEnabled(enabled);
}

void InspectionWindows::MeasurementDialogClosed()
{
    mainForm_.MeasurementDialogClosed();
}

int InspectionWindows::CurrentVehicleCategory() const
{
    return mainForm_.CurrentVehicleCategory();
}

const MeasurementResults &InspectionWindows::Results() const
{
    return newMesForm_->Results();
}

} // namespace kavro
