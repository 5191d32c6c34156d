#pragma once

#include "rtf/rtfreader.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>
#include <memory>

namespace kavro {

// The report template is the operator's to edit, so it may be anything. These
// bounds keep loading, filling and laying it out well under a second, so the
// report window never freezes:
// - the file size bounds the reading time (about 0.1 s per MiB of text) and
//   leaves room for a logo picture (stored in hexadecimal, twice its size);
// - a paragraph without break opportunities takes time growing with the square
//   of its length to lay out (20 000 characters: about 15 ms, 200 000: over a
//   second), so no paragraph (table cells included) may be longer;
// - the whole text bounds the layout and printing of many paragraphs (100 000
//   characters, some 30 pages where a report has one: at worst about 0.06 s
//   to lay out and 0.3 s to print).
// tools/reportbench prints these figures.
inline constexpr qint64 MaxTemplateFileBytes = 4 * 1024 * 1024;
inline constexpr int MaxTemplateParagraphCharacters = 20'000;
inline constexpr int MaxTemplateCharacters = 100'000;

struct ReportTemplate
{
    std::unique_ptr<QTextDocument> document; // null when the template cannot be used
    RtfPageLayout page;
    QString error; // why not, when document is null

    bool ok() const { return document != nullptr; }
};

// Reads a report template file: missing, unreadable, not RTF, beyond the
// bounds above or on a page that leaves no room for text gives an error.
ReportTemplate LoadReportTemplate(const QString &path);

// The same for a template's bytes.
ReportTemplate ReadReportTemplate(const QByteArray &data);

} // namespace kavro
