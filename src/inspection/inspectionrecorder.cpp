#include "inspection/inspectionrecorder.h"

#include "inspection/reportsource.h"
#include "inspection/reporttemplate.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
const QString TemplateFileName = u"template.rtf"_s;
} // namespace

InspectionRecorder::InspectionRecorder(QString programFolder)
    : programFolder_(std::move(programFolder))
    , archive_(programFolder_)
{ }

void InspectionRecorder::VehicleRegistered(const VehicleRecord &vehicle)
{
    vehicle_ = vehicle;
    inspectionId_ = 0;
}

InspectionRecord InspectionRecorder::MakeRecord(
    const ReportSource &source, const QDateTime &now) const
{
    InspectionRecord record;
    record.ID = inspectionId_;
    record.inspectedAt = now;
    record.vehicle = vehicle_;
    record.categoryCode = source.CurrentVehicleCategory();
    record.results = source.Results();
    record.limits = LimitsOfGauges(source);
    record.verdict = DecideVerdict(
        record.categoryCode, record.results.Readings[AfterAdjustment], record.limits);
    ReportInputs inputs = CollectReportInputs(vehicle_, source, now);
    inputs.verdict = record.verdict;
    record.templateRtf = UsableTemplate(inputs);
    return record;
}

QByteArray InspectionRecorder::UsableTemplate(const ReportInputs &inputs) const
{
    // A template that does not fill would refuse the stored report for good;
    // without one the report takes the template file of its moment.
    QFile file(QDir(programFolder_).filePath(TemplateFileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray rtf = file.read(MaxTemplateFileBytes + 1);
    ReportTemplate loaded = ReadReportTemplate(rtf);
    if (!loaded.ok() || !FillReport(*loaded.document, inputs).ok())
        return {};
    return rtf;
}

std::optional<RecordingOutcome> InspectionRecorder::MeasurementCompleted(
    const ReportSource &source, const QDateTime &now)
{
    if (!source.Results().AfterAdjustmentDone)
        return std::nullopt;
    const InspectionRecord record = MakeRecord(source, now);
    RecordingOutcome outcome { record.verdict, {} };
    // Connected anew each time, as the vehicle dialog does, so that a server
    // that has come back is found.
    outcome.stored = archive_.Open(true);
    if (outcome.stored.Ok()) {
        const StoreAnswer<qint64> saved = archive_.Save(record);
        if (saved.Ok())
            inspectionId_ = saved.value;
        outcome.stored = { saved.error };
    }
    archive_.Close();
    return outcome;
}

} // namespace kavro
