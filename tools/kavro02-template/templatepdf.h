#pragma once

#include "rtf/rtfreader.h"

#include <QString>

class QTextDocument;

namespace kavro {

// Prints the document, paginated on the file's own page, into a PDF file.
// Returns an empty string on success, otherwise what went wrong.
QString PrintToPdf(QTextDocument &document, const RtfPageLayout &page, const QString &pdfPath);

} // namespace kavro
