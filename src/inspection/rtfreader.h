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
// any input gives either a document or an error message.
RtfReadResult ReadRtf(const QByteArray &data);

} // namespace kavro
