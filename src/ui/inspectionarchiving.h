#pragma once

#include "inspection/inspectionrecorder.h"

#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

namespace kavro {

class AppEnvironment;
class ReportSource;
class TArchiveForm;
class TNewMesForm;
class UserDialogs;

// The inspection archive as the main window uses it: every measurement the
// measurement dialog completes (with a result after adjustment) is decided
// and stored as the current registration's inspection, its verdict shown in
// the dialog; the action "Архив проверок" opens the archive window.
//
// The main window owns one, created after the measurement dialog, and
//   - puts actArchive into its "Файл" menu (and its own actions, for the
//     tool tip and status tip);
//   - calls VehicleRegistered with the report data at every registration.
// The rest is connected here.
class InspectionArchiving : public QObject
{
    Q_OBJECT

public:
    // source: the main window's view of the current vehicle's category,
    // results and gauge limits (the one the report window uses); dialogParent:
    // the main window, owner of the messages and the archive window.
    InspectionArchiving(UserDialogs &dialogs, AppEnvironment &environment,
        const ReportSource &source, TNewMesForm &measurementDialog, QWidget *dialogParent);
    ~InspectionArchiving() override;

    QAction *actArchive; // "Архив проверок"

    void VehicleRegistered(const VehicleRecord &vehicle);
    const InspectionRecorder &Recorder() const { return recorder_; }
    // The archive window, created at its first opening (nullptr until then).
    TArchiveForm *ArchiveWindow() const;

public Q_SLOTS:
    void actArchiveExecute();

private:
    void MeasurementCompleted();

    UserDialogs &dialogs_;
    AppEnvironment &environment_;
    const ReportSource &source_;
    TNewMesForm &measurementDialog_;
    QPointer<QWidget> dialogParent_;
    InspectionRecorder recorder_;
    QPointer<TArchiveForm> archiveWindow_;
};

} // namespace kavro
