#pragma once

#include <QStringView>
#include <array>

namespace kavro {

// What a report tag is replaced by when the report is filled.
enum class ReportTagSource {
    FillingTime, // local date and time at the moment of filling
    Model, // the vehicle's model
    RegistrationNumber, // registration number immediately followed by the region
    Owner, // surname, first name and patronymic, blank-separated
    Category, // "M" or "N" and the class digit, from the category code
    Neutralization, // after-treatment system, from the category code
    MakeDate, // made before or after 01.10.1986, from the category code
    TableValue, // a cell of the emissions table, see ReportTableCell
};

// Row of the emissions table: the first digit of a value tag's name.
enum class ReportTableRow {
    BeforeAdjustment = 1, // stored reading before adjustment (may be absent)
    AfterAdjustment = 2, // stored reading after adjustment
    Standard = 3, // the limits of the vehicle's category
};

// Engine speed: the second digit of a value tag's name. In the row Standard it
// chooses the gauge's LowLimit (minimum idle) or HighLimit (increased idle).
enum class ReportEngineSpeed {
    MinimumIdle = 1,
    IncreasedIdle = 2,
};

// The gas or ratio of a table column. The values are the quantity indices of
// the stored readings and of the gauges (0 CO, 1 CH, 4 λ).
enum class ReportQuantity {
    CO = 0, // percent, "%4.2f %%"
    CH = 1, // ppm, "%4.0f ppm"
    Lambda = 4, // ratio, "%3.2f"; reported at increased idle only
};

struct ReportTableCell
{
    ReportTableRow row;
    ReportEngineSpeed speed;
    ReportQuantity quantity;
};

struct ReportTag
{
    QStringView text; // the tag as it stands in the template, "#" name "#"
    ReportTagSource source;
    ReportTableCell cell; // meaningful for TableValue only
};

// Tags are looked for in the document's visible text without regard to case,
// as the original rich text control's find without options did: "#DATE#" is
// the tag "#date#".
inline constexpr Qt::CaseSensitivity ReportTagCase = Qt::CaseInsensitive;

// Where tag first occurs in a document's visible text at or after from, by
// the rule above; -1 when it does not.
inline qsizetype FindReportTag(QStringView visibleText, QStringView tag, qsizetype from = 0)
{
    return visibleText.indexOf(tag, from, ReportTagCase);
}

// λ has no gauge: its standard is this fixed text.
inline constexpr QStringView ReportLambdaStandard = u"0.97-1.03";
// Written into each cell of the row BeforeAdjustment when that measurement was not made.
inline constexpr QStringView ReportNoValue = u" - ";

inline constexpr int ReportTagCount = 22;

// Tags a template may hold besides those above: the verdict ("соответствует"
// or "не соответствует") and its reasons. Each is replaced at its first
// occurrence when present; a template without them is complete.
inline constexpr QStringView ReportVerdictTag = u"#verdict#";
inline constexpr QStringView ReportReasonsTag = u"#reasons#";

// The tags every template must hold, in the order in which they are replaced.
const std::array<ReportTag, ReportTagCount> &ReportTags();

} // namespace kavro
