#include "inspection/reporttags.h"

namespace kavro {

namespace {

constexpr ReportTag plainTag(QStringView text, ReportTagSource source)
{
    // The cell is never read for these sources.
    return { text, source,
        { ReportTableRow::Standard, ReportEngineSpeed::MinimumIdle, ReportQuantity::CO } };
}

constexpr ReportTag valueTag(
    QStringView text, ReportTableRow row, ReportEngineSpeed speed, ReportQuantity quantity)
{
    return { text, ReportTagSource::TableValue, { row, speed, quantity } };
}

using Row = ReportTableRow;
using Speed = ReportEngineSpeed;
using Quantity = ReportQuantity;

// A value tag's name is the quantity, the table row and the engine speed
// (CO12: CO, before adjustment, increased idle); the λ tags keep a 1 in the
// speed place although λ is taken at increased idle.
constexpr std::array<ReportTag, ReportTagCount> reportTags { {
    plainTag(u"#date#", ReportTagSource::FillingTime),
    plainTag(u"#model#", ReportTagSource::Model),
    plainTag(u"#number#", ReportTagSource::RegistrationNumber),
    plainTag(u"#owner#", ReportTagSource::Owner),
    plainTag(u"#category#", ReportTagSource::Category),
    plainTag(u"#neutralization#", ReportTagSource::Neutralization),
    plainTag(u"#makedate#", ReportTagSource::MakeDate),
    valueTag(u"#CO11#", Row::BeforeAdjustment, Speed::MinimumIdle, Quantity::CO),
    valueTag(u"#CO12#", Row::BeforeAdjustment, Speed::IncreasedIdle, Quantity::CO),
    valueTag(u"#CH11#", Row::BeforeAdjustment, Speed::MinimumIdle, Quantity::CH),
    valueTag(u"#CH12#", Row::BeforeAdjustment, Speed::IncreasedIdle, Quantity::CH),
    valueTag(u"#L11#", Row::BeforeAdjustment, Speed::IncreasedIdle, Quantity::Lambda),
    valueTag(u"#CO21#", Row::AfterAdjustment, Speed::MinimumIdle, Quantity::CO),
    valueTag(u"#CO22#", Row::AfterAdjustment, Speed::IncreasedIdle, Quantity::CO),
    valueTag(u"#CH21#", Row::AfterAdjustment, Speed::MinimumIdle, Quantity::CH),
    valueTag(u"#CH22#", Row::AfterAdjustment, Speed::IncreasedIdle, Quantity::CH),
    valueTag(u"#L21#", Row::AfterAdjustment, Speed::IncreasedIdle, Quantity::Lambda),
    valueTag(u"#CO31#", Row::Standard, Speed::MinimumIdle, Quantity::CO),
    valueTag(u"#CO32#", Row::Standard, Speed::IncreasedIdle, Quantity::CO),
    valueTag(u"#CH31#", Row::Standard, Speed::MinimumIdle, Quantity::CH),
    valueTag(u"#CH32#", Row::Standard, Speed::IncreasedIdle, Quantity::CH),
    valueTag(u"#L31#", Row::Standard, Speed::IncreasedIdle, Quantity::Lambda),
} };

} // namespace

const std::array<ReportTag, ReportTagCount> &ReportTags()
{
    return reportTags;
}

} // namespace kavro
