#pragma once

#include "rtfcontent.h"
#include "rtfcontrolword.h"

#include <map>

namespace kavro {

// Reads the tables at the head of a document: fonts and colours go straight
// into the content, paragraph and character styles are kept for \s and \cs.
// Each table is capped, since a hostile file may declare any number of entries.
class RtfHeaderTables
{
public:
    struct Style
    {
        RtfCharProps chars;
        RtfParaProps para;
    };

    explicit RtfHeaderTables(RtfContent &content)
        : m_content(content)
    { }

    // Font table: {\fN\fcharsetN\cpgN name;}
    void beginFontTable();
    void setFontNumber(int number);
    void setFontCharset(int charset) { m_font.charset = charset; }
    void setFontCodePage(int codePage) { m_font.codePage = qMax(0, codePage); }
    void addFontText(const QString &text);
    void endFontEntry(); // an entry whose group closes without ';'
    const RtfFont &fontBeingRead() const { return m_font; }

    // Colour table: \redN\greenN\blueN; (an entry without them is "automatic")
    void beginColorTable();
    void setColorPart(RtfWord word, int value);
    void addColorText(const QString &text);

    // Stylesheet: {\sN ... name;} and {\*\csN ... name;}
    void beginStyleSheet() { m_styleNumber = 0; }
    void setParagraphStyleNumber(int number) { m_styleNumber = qMax(0, number); }
    void setCharacterStyleNumber(int number) { m_styleNumber = characterStyleKey(number); }
    void addStyleText(const QString &text, const RtfCharProps &chars, const RtfParaProps &para);
    const Style *paragraphStyle(int number) const { return style(number); }
    const Style *characterStyle(int number) const { return style(characterStyleKey(number)); }

private:
    // Character styles are kept under negative numbers, apart from paragraph styles.
    static int characterStyleKey(int number) { return -1 - qMax(0, number); }
    const Style *style(int key) const;
    void commitFont();
    void commitColor();

    RtfContent &m_content;
    RtfFont m_font;
    int m_fontNumber = -1;
    int m_colorParts[3] = { 0, 0, 0 };
    bool m_colorGiven = false;
    std::map<int, Style> m_styles;
    int m_styleNumber = 0;
};

} // namespace kavro
