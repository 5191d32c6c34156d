#pragma once

#include "inspection/measurementhost.h"
#include "inspection/reportsource.h"

#include <QObject>
#include <memory>

namespace kavro {

class AppEnvironment;
class InspectionArchiving;
class TEditCarForm;
class TMainForm;
class TNewMesForm;
class TPrintForm;
class UserDialogs;
class VehicleStore;

// The windows of a vehicle's test and the main window's commands that open
// them: "Новый автомобиль" (the vehicle dialog and the registration),
// "Новое измерение" (the measurement dialog), "Печать" (the report window)
// and "Архив проверок" (the archive of completed inspections). It serves the measurement dialog and
// the report with what they read from the main window: the shown values, the gauges' limits, the
// vehicle's category.
class InspectionWindows : public QObject, public MeasurementHost, public ReportSource
{
    Q_OBJECT

public:
    // Creates the measurement dialog and the report window, owned by the
    // main window, and connects the commands.
    InspectionWindows(TMainForm &mainForm, UserDialogs &dialogs, AppEnvironment &environment);
    ~InspectionWindows() override;

    // The vehicle dialog and its register, created once the instrument is
    // connected; the first "Новый автомобиль" creates them otherwise.
    void CreateVehicleDialog();

    void actNewCarExecute();
    void actNewMesurmentExecute();
    void actPrintExecute();

    TNewMesForm &MeasurementDialog() const { return *newMesForm_; }
    TPrintForm &ReportWindow() const { return *printForm_; }
    TEditCarForm *VehicleDialog() const { return editCarForm_; }
    InspectionArchiving &Archiving() const { return *archiving_; }

    // MeasurementHost and ReportSource
    double CurrentValue(int quantity) const override;
    double GaugeScaleValue(GaugeScaleChoice choice, int quantity) const override;
    void SetPrintEnabled(bool enabled) override;
    void MeasurementDialogClosed() override;
    int CurrentVehicleCategory() const override;
    const MeasurementResults &Results() const override;

private:
    TMainForm &mainForm_;
    UserDialogs &dialogs_;
    AppEnvironment &environment_;
    TNewMesForm *newMesForm_ = nullptr;
    TPrintForm *printForm_ = nullptr;
    std::unique_ptr<VehicleStore> vehicleStore_;
    TEditCarForm *editCarForm_ = nullptr;
    InspectionArchiving *archiving_ = nullptr;
};

} // namespace kavro
