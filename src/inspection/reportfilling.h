#pragma once

#include "inspection/measurementresults.h"
#include "inspection/vehiclerecord.h"
#include "inspection/verdict.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

class QTextDocument;

namespace kavro {

// The registered vehicle as the report prints it.
// The zone limits of a gauge: the report prints LowLimit under minimum idle
// and HighLimit under increased idle.
struct ReportLimits
{
    double LowLimit = 0;
    double HighLimit = 0;
};

// Everything a filled report shows, taken at the moment of filling.
struct ReportInputs
{
    VehicleRecord vehicle; // CarCategory is not used: categoryCode is the category applied
    int categoryCode = 0; // the vehicle's category code
    MeasurementResults results;
    ReportLimits co; // CO gauge, %
    ReportLimits ch; // CH gauge, ppm
    QDateTime fillingTime; // what "#date#" says
    InspectionVerdict verdict; // for the optional tags "#verdict#" and "#reasons#"
};

struct ReportFillResult
{
    enum class Status {
        Filled, // every tag replaced
        TagMissing, // tag does not occur in the template
        ValueUnwritable, // the value for tag cannot be written (reason says why)
    };
    Status status = Status::Filled;
    QString tag; // the tag at which filling stopped
    QString reason; // ValueUnwritable: why, as the operator is told

    bool ok() const { return status == Status::Filled; }
};

// Replaces tags in a document, each at its first occurrence in the visible
// text (found as FindReportTag finds it), by plain text in the character
// format of the tag's first character. Text the filler wrote is never
// searched again, so a value that looks like a tag stays as written.
class ReportFiller
{
public:
    explicit ReportFiller(QTextDocument &document);

    // False when tag does not occur outside the text already written.
    bool ReplaceTag(QStringView tag, const QString &text);
    bool ReplaceTagPercent(QStringView tag, double value); // "%4.2f %%"
    bool ReplaceTagPpm(QStringView tag, double value); // "%4.0f ppm"
    bool ReplaceTagRatio(QStringView tag, double value); // "%3.2f"

private:
    struct Range
    {
        qsizetype start;
        qsizetype length;
    };
    bool CrossesWrittenText(qsizetype start, qsizetype length) const;

    QTextDocument &document_;
    QList<Range> written_;
};

// Replaces the report tags in their order; stops at the first tag that is
// missing or whose value cannot be written, leaving the document as far as
// it was filled. Then the optional verdict tags, where the template has them.
ReportFillResult FillReport(QTextDocument &document, const ReportInputs &inputs);

// The replacement texts. Numbers use the decimal separator of QLocale().
QString ReportDateTimeText(const QDateTime &time); // short date, blank, long time
QString PercentText(double value);
QString PpmText(double value);
QString RatioText(double value);
// "M1" ... "N3"; none for a class number of 4 (bits 0-1 set), which no category has.
std::optional<QString> CategoryText(int categoryCode);
// The after-treatment system; none for the field value 24, which no system has.
std::optional<QString> NeutralizationText(int categoryCode);
QString MakeDateText(int categoryCode);

} // namespace kavro
