#pragma once

#include "rtf/rtfreader.h"

#include <QDate>
#include <QString>

class QTextDocument;

namespace kavro {

// The folder under the program folder that saved reports are proposed in.
inline constexpr QStringView ReportPdfFolderName = u"Протоколы";

// The proposed file name of a saved report: the registration number, a
// blank and the report's date (2026-12-08), made safe for a file name as a
// chart picture's name is, and ".pdf". Without a number, the date alone.
QString ReportPdfFileName(const QString &registrationNumber, QDate date);

// Writes the whole document as a PDF file on the template's page, as it
// would be printed. A file already at path is replaced only by a complete
// report. Returns the reason for the operator when it cannot be written
// (the system's text), empty on success.
QString SaveReportPdf(
    QTextDocument &document, const RtfPageLayout &page, const QString &path, const QString &title);

} // namespace kavro
