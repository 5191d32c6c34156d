#include "rtfheadertables.h"

namespace kavro {

namespace {

constexpr std::size_t MaxEntries = 4096; // per table

} // namespace

void RtfHeaderTables::beginFontTable()
{
    m_font = {};
    m_fontNumber = -1;
}

void RtfHeaderTables::setFontNumber(int number)
{
    // Tables written without a group per font: "\f0 Arial;\f1 Courier;".
    endFontEntry();
    m_fontNumber = number;
}

void RtfHeaderTables::addFontText(const QString &text)
{
    for (const QChar c : text) {
        if (c == u';')
            commitFont();
        else
            m_font.name.append(c);
    }
}

void RtfHeaderTables::endFontEntry()
{
    if (!m_font.name.isEmpty())
        commitFont();
}

void RtfHeaderTables::commitFont()
{
    if (m_fontNumber >= 0 && m_content.fonts.size() < MaxEntries) {
        m_font.name = m_font.name.trimmed();
        m_content.fonts[m_fontNumber] = m_font;
    }
    m_font = {};
    m_fontNumber = -1;
}

void RtfHeaderTables::beginColorTable()
{
    m_content.colors.clear();
    m_colorParts[0] = m_colorParts[1] = m_colorParts[2] = 0;
    m_colorGiven = false;
}

void RtfHeaderTables::setColorPart(RtfWord word, int value)
{
    const int part = word == RtfWord::Red ? 0 : word == RtfWord::Green ? 1 : 2;
    m_colorParts[part] = qBound(0, value, 255);
    m_colorGiven = true;
}

void RtfHeaderTables::addColorText(const QString &text)
{
    for (qsizetype i = text.count(u';'); i > 0; --i)
        commitColor();
}

void RtfHeaderTables::commitColor()
{
    if (static_cast<std::size_t>(m_content.colors.size()) < MaxEntries) {
        m_content.colors.append(
            m_colorGiven ? QColor(m_colorParts[0], m_colorParts[1], m_colorParts[2]) : QColor());
    }
    m_colorParts[0] = m_colorParts[1] = m_colorParts[2] = 0;
    m_colorGiven = false;
}

void RtfHeaderTables::addStyleText(
    const QString &text, const RtfCharProps &chars, const RtfParaProps &para)
{
    if (!text.contains(u';'))
        return;
    if (m_styles.size() < MaxEntries)
        m_styles[m_styleNumber] = { chars, para };
    m_styleNumber = 0;
}

const RtfHeaderTables::Style *RtfHeaderTables::style(int key) const
{
    const auto found = m_styles.find(key);
    return found != m_styles.end() ? &found->second : nullptr;
}

} // namespace kavro
