#pragma once

#include <QByteArray>
#include <QString>
#include <QTextDocument>
#include <memory>

namespace kavro {

// Page size and margins of an RTF document, in twips (1/1440 inch).
// Defaults are those RTF readers assume when the file names none.
struct RtfPageLayout
{
    int paperWidth = 12240; // \paperw
    int paperHeight = 15840; // \paperh
    int marginLeft = 1800; // \margl
    int marginRight = 1800; // \margr
    int marginTop = 1440; // \margt
    int marginBottom = 1440; // \margb
};

struct RtfReadResult
{
    std::unique_ptr<QTextDocument> document; // null when the data is not RTF
    RtfPageLayout page;
    QString error; // a clear message when document is null

    bool ok() const { return document != nullptr; }
};

// Reads the bytes of an RTF file into a rich-text document. Never throws;
// any input gives either a document or an error message, in time and memory
// linear in the size of the data.
//
// The document holds the body text only: hidden text (\v), headers, footers,
// footnotes and annotations are left out; a field shows its result. Lengths
// (indents, spacing, tab stops, column widths) are in document units, pixels
// at 96 dpi (15 twips each), which QTextDocument scales from when printing;
// font sizes are in points. PNG and JPEG pictures are image resources named
// "rtf-picture:N".
RtfReadResult ReadRtf(const QByteArray &data);

} // namespace kavro
