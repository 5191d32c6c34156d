#pragma once

#include "rtf/rtfreader.h"

#include <QPageLayout>
#include <QString>

class QTextDocument;

namespace kavro {

// The PDF page for an RTF page: paper size and margins in points (1/20 of a twip).
// Invalid when the paper is empty or implausibly large, or the margins leave no room for text.
QPageLayout PdfPageLayout(const RtfPageLayout &page);

// Prints the document, paginated on the file's own page, into a PDF file.
// Returns an empty string on success, otherwise what went wrong.
QString PrintToPdf(QTextDocument &document, const RtfPageLayout &page, const QString &pdfPath);

} // namespace kavro
