#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <map>
#include <memory>

namespace kavro {

// Windows code page numbers as RTF uses them (\ansicpg, \cpg, \fcharset).
namespace RtfCodePage {
constexpr int Ansi = 1252;
constexpr int Symbol = 42; // the Symbol font's own glyph order
constexpr int Utf8 = 65001;

// The code page of a font's \fcharset; ANSI and "default" fonts use the
// document's \ansicpg, which is what Windows means by its ANSI code page.
int forCharset(int charset, int documentCodePage);
} // namespace RtfCodePage

// Turns bytes of a given code page into text. Decoders are made once per
// code page; unknown code pages fall back to windows-1252 so that no text is lost.
class RtfTextDecoder
{
public:
    QString decode(QByteArrayView bytes, int codePage);

private:
    QStringDecoder &decoderFor(int codePage);

    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};

} // namespace kavro
