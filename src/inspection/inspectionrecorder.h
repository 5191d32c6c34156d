#pragma once

#include "inspection/inspectionarchive.h"
#include "inspection/reportfilling.h"
#include "inspection/verdict.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace kavro {

class ReportSource;

// What recording a completed measurement gave: the verdict, and whether the
// archive took it (the database's text when it did not).
struct RecordingOutcome
{
    InspectionVerdict verdict;
    StoreStatus stored;
};

// Keeps the current registration's inspection in the archive: the first
// measurement completed with a result after adjustment adds it, every later
// one until the next registration writes over it.
class InspectionRecorder
{
public:
    explicit InspectionRecorder(QString programFolder);

    // A vehicle was registered: its data go into its inspection, which is
    // new.
    void VehicleRegistered(const VehicleRecord &vehicle);

    // A measurement was completed (source holds its results and the limits
    // and category of the moment). Nothing happens until a measurement after
    // adjustment exists for this vehicle; then the inspection is decided and
    // stored with the date now and the template file of the program folder
    // (when it reads and fills).
    std::optional<RecordingOutcome> MeasurementCompleted(
        const ReportSource &source, const QDateTime &now);

    // The row of the current registration's inspection; 0 while none is stored.
    qint64 CurrentInspectionId() const { return inspectionId_; }

    // The inspection as it would be stored now.
    InspectionRecord MakeRecord(const ReportSource &source, const QDateTime &now) const;

private:
    QByteArray UsableTemplate(const ReportInputs &inputs) const;

    QString programFolder_;
    InspectionArchive archive_;
    VehicleRecord vehicle_;
    qint64 inspectionId_ = 0;
};

} // namespace kavro
