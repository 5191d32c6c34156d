#pragma once

#include "inspection/measurementresults.h"
#include "inspection/reportfilling.h"
#include "inspection/verdict.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

namespace kavro {

// One inspection as the archive keeps it: everything its report needs, as it
// was when the measurement was completed, so that neither a later template
// nor a later table of limits changes what it says.
struct InspectionRecord
{
    qint64 ID = 0; // assigned by the database; 0 until stored
    QDateTime inspectedAt; // local date and time of the last completed measurement
    VehicleRecord vehicle; // as registered
    int categoryCode = 0;
    MeasurementResults results; // all 28 readings and both flags
    VerdictLimits limits; // the gauges' limits that applied
    InspectionVerdict verdict;
    // The report template the measurement was made with; empty when it
    // could not be read or did not fill (the report then uses the template
    // file of the moment).
    QByteArray templateRtf;
};

// One line of the archive's list.
struct InspectionListEntry
{
    qint64 ID = 0;
    QDateTime inspectedAt;
    QString federalNumber;
    int region = 0;
    QString mark;
    QString owner; // surname, first name, patronymic
    int categoryCode = 0;
    bool passed = false;
    QString verdictText;
};

// Which inspections the list shows. A null date leaves that end open.
struct InspectionFilter
{
    QString numberPart; // part of the registration number (with the region)
    QDate from; // first day shown
    QDate to; // last day shown
    bool operator==(const InspectionFilter &) const = default;
};

// The key a registration number is searched by: upper case, without blanks,
// and with the Latin letters that plates share with Cyrillic (A B E K M H O P
// C T Y X) written as the Cyrillic ones, so that "а123вс", "A123BC" and
// "А 123 ВС" all find "А123ВС".
QString RegistrationSearchKey(const QString &text);

} // namespace kavro
