#include "inspection/reportfilling.h"

#include "compute/numberformat.h"
#include "inspection/vehiclecategory.h"

#include "inspection/reporttags.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr int HighestClassNumber = 2; // M3, N3; the number field can also hold 3

ReportFillResult TagMissing(QStringView tag)
{
    return { ReportFillResult::Status::TagMissing, tag.toString(), {} };
}

ReportFillResult ValueUnwritable(QStringView tag, const QString &reason)
{
    return { ReportFillResult::Status::ValueUnwritable, tag.toString(), reason };
}

// The number a table cell shows; λ's standard is a text, not a number.
double CellValue(const ReportTableCell &cell, const ReportInputs &inputs)
{
    const bool minimumIdle = cell.speed == ReportEngineSpeed::MinimumIdle;
    if (cell.row == ReportTableRow::Standard) {
        const ReportLimits &limits = cell.quantity == ReportQuantity::CO ? inputs.co : inputs.ch;
        return minimumIdle ? limits.LowLimit : limits.HighLimit;
    }
    const AdjustmentKind adjustment
        = cell.row == ReportTableRow::BeforeAdjustment ? BeforeAdjustment : AfterAdjustment;
    const IdlePhase phase = minimumIdle ? MinimumIdle : IncreasedIdle;
    return inputs.results.Readings[adjustment][phase][std::size_t(cell.quantity)];
}

bool ReplaceTableValue(ReportFiller &filler, const ReportTag &tag, double value)
{
    switch (tag.cell.quantity) {
    case ReportQuantity::CO:
        return filler.ReplaceTagPercent(tag.text, value);
    case ReportQuantity::CH:
        return filler.ReplaceTagPpm(tag.text, value);
    case ReportQuantity::Lambda:
        return filler.ReplaceTagRatio(tag.text, value);
    }
    return false;
}

// Fills one table cell: " - " for a measurement before adjustment that was
// not made, the fixed λ standard, or the number.
ReportFillResult FillTableCell(
    ReportFiller &filler, const ReportTag &tag, const ReportInputs &inputs)
{
    const ReportTableCell &cell = tag.cell;
    bool found = false;
    if (cell.row == ReportTableRow::BeforeAdjustment && !inputs.results.BeforeAdjustmentDone) {
        found = filler.ReplaceTag(tag.text, ReportNoValue.toString());
    } else if (cell.row == ReportTableRow::Standard && cell.quantity == ReportQuantity::Lambda) {
        found = filler.ReplaceTag(tag.text, ReportLambdaStandard.toString());
    } else {
        const double value = CellValue(cell, inputs);
        // "nan %" in a signed report would pass for a value; it is none.
        if (!std::isfinite(value))
            return ValueUnwritable(tag.text, u"значение не является числом"_s);
        found = ReplaceTableValue(filler, tag, value);
    }
    return found ? ReportFillResult {} : TagMissing(tag.text);
}

// The text of a tag that is not a table cell, or why there is none.
std::optional<QString> PlainTagText(ReportTagSource source, const ReportInputs &inputs)
{
    const VehicleRecord &vehicle = inputs.vehicle;
    switch (source) {
    case ReportTagSource::FillingTime:
        return ReportDateTimeText(inputs.fillingTime);
    case ReportTagSource::Model:
        return vehicle.Mark;
    case ReportTagSource::RegistrationNumber:
        return vehicle.FederalNumber + QString::number(vehicle.Region);
    case ReportTagSource::Owner:
        return vehicle.OwnerTName + u' ' + vehicle.OwnerFName + u' ' + vehicle.OwnerSName;
    case ReportTagSource::Category:
        return CategoryText(inputs.categoryCode);
    case ReportTagSource::Neutralization:
        return NeutralizationText(inputs.categoryCode);
    case ReportTagSource::MakeDate:
        return MakeDateText(inputs.categoryCode);
    case ReportTagSource::TableValue:
        break;
    }
    return std::nullopt;
}

ReportFillResult FillPlainTag(
    ReportFiller &filler, const ReportTag &tag, const ReportInputs &inputs)
{
    const std::optional<QString> text = PlainTagText(tag.source, inputs);
    if (!text) {
        const QString part = tag.source == ReportTagSource::Category ? u"категорию автомобиля"_s
                                                                     : u"систему нейтрализации"_s;
        return ValueUnwritable(
            tag.text, u"код комплектации %1 не задает %2"_s.arg(inputs.categoryCode).arg(part));
    }
    return filler.ReplaceTag(tag.text, *text) ? ReportFillResult {} : TagMissing(tag.text);
}

} // namespace

ReportFiller::ReportFiller(QTextDocument &document)
    : document_(document)
{ }

bool ReportFiller::ReplaceTag(QStringView tag, const QString &text)
{
    // Positions in the visible text are positions in the document.
    const QString visibleText = document_.toPlainText();
    qsizetype start = FindReportTag(visibleText, tag);
    while (start >= 0 && CrossesWrittenText(start, tag.size()))
        start = FindReportTag(visibleText, tag, start + 1);
    if (start < 0)
        return false;

    QTextCursor cursor(&document_);
    cursor.setPosition(int(start + 1));
    const QTextCharFormat tagFormat = cursor.charFormat(); // of the tag's first character
    cursor.setPosition(int(start));
    cursor.setPosition(int(start + tag.size()), QTextCursor::KeepAnchor);
    cursor.insertText(text, tagFormat);

    const qsizetype shift = text.size() - tag.size();
    for (Range &range : written_) {
        if (range.start > start)
            range.start += shift;
    }
    written_.append({ start, text.size() });
    return true;
}

bool ReportFiller::ReplaceTagPercent(QStringView tag, double value)
{
    return ReplaceTag(tag, PercentText(value));
}

bool ReportFiller::ReplaceTagPpm(QStringView tag, double value)
{
    return ReplaceTag(tag, PpmText(value));
}

bool ReportFiller::ReplaceTagRatio(QStringView tag, double value)
{
    return ReplaceTag(tag, RatioText(value));
}

bool ReportFiller::CrossesWrittenText(qsizetype start, qsizetype length) const
{
    // Also true for a match that spans the place of an empty value.
    for (const Range &range : written_) {
        if (start < range.start + range.length && range.start < start + length)
            return true;
    }
    return false;
}

ReportFillResult FillReport(QTextDocument &document, const ReportInputs &inputs)
{
    ReportFiller filler(document);
    for (const ReportTag &tag : ReportTags()) {
        const ReportFillResult result = tag.source == ReportTagSource::TableValue
            ? FillTableCell(filler, tag, inputs)
            : FillPlainTag(filler, tag, inputs);
        if (!result.ok())
            return result;
    }
    filler.ReplaceTag(ReportVerdictTag, inputs.verdict.text);
    filler.ReplaceTag(ReportReasonsTag, inputs.verdict.ReasonsText());
    return {};
}

QString ReportDateTimeText(const QDateTime &time)
{
    // The long time format without its time zone ("t"), which Windows' long
    // time format, the one operators know from the report, does not show.
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(u"\\s*t+"_s));
    return locale.toString(time.date(), QLocale::ShortFormat) + u' '
        + locale.toString(time.time(), timeFormat.trimmed());
}

QString PercentText(double value)
{
    return FormatFixed("%4.2f %%", value);
}

QString PpmText(double value)
{
    return FormatFixed("%4.0f ppm", value);
}

QString RatioText(double value)
{
    return FormatFixed("%3.2f", value);
}

std::optional<QString> CategoryText(int categoryCode)
{
    const int classNumber = categoryCode & VehicleCode::NumberMask;
    if (classNumber > HighestClassNumber)
        return std::nullopt;
    return ((categoryCode & VehicleCode::ClassN) ? u"N"_s : u"M"_s)
        + QString::number(classNumber + 1);
}

std::optional<QString> NeutralizationText(int categoryCode)
{
    switch (categoryCode & VehicleCode::AfterTreatmentMask) {
    case 0:
        return u"отсутствует"_s;
    case 8:
        return u"двухкомпонентная"_s;
    case 16:
        return u"трехкомпонентная"_s;
    default:
        return std::nullopt;
    }
}

QString MakeDateText(int categoryCode)
{
    return !IsMadeAfter1986(categoryCode) ? u"произведен до 01.10.1986"_s
                                          : u"произведен после 01.10.1986"_s;
}

} // namespace kavro
