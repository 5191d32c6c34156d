#include "rtfparser.h"

#include "rtfformatwords.h"

#include <algorithm>
#include <utility>

namespace kavro {

namespace {

bool isDestination(RtfWord word)
{
    switch (word) {
    case RtfWord::FontTable:
    case RtfWord::ColorTable:
    case RtfWord::StyleSheet:
    case RtfWord::Picture:
    case RtfWord::FieldResult:
    case RtfWord::DefaultCharFormat:
    case RtfWord::DefaultParaFormat:
    case RtfWord::NestedTableProps:
    case RtfWord::ShapePicture:
    case RtfWord::Upr:
    case RtfWord::UprUnicode:
    case RtfWord::SkippedDestination:
        return true;
    default:
        return false;
    }
}

// Destinations whose text is not body text.
bool divertsText(RtfWord word)
{
    switch (word) {
    case RtfWord::FieldResult:
    case RtfWord::NestedTableProps:
    case RtfWord::ShapePicture:
    case RtfWord::UprUnicode:
        return false;
    default:
        return isDestination(word);
    }
}

} // namespace

RtfParser::RtfParser(QByteArrayView data)
    : m_tokens(data)
{ }

RtfContent RtfParser::parse()
{
    while (!m_finished) {
        const RtfToken token = m_tokens.next();
        if (token.type == RtfToken::Type::End)
            break;
        if (m_stack.empty() && token.type != RtfToken::Type::GroupStart)
            continue;
        switch (token.type) {
        case RtfToken::Type::GroupStart:
            groupStart();
            break;
        case RtfToken::Type::GroupEnd:
            groupEnd();
            break;
        case RtfToken::Type::ControlWord:
            controlWord(token);
            break;
        case RtfToken::Type::ControlSymbol:
            controlSymbol(token.symbol);
            break;
        case RtfToken::Type::Text:
            text(token.text);
            break;
        case RtfToken::Type::HexByte:
            hexByte(token.symbol);
            break;
        case RtfToken::Type::Binary:
            binary(token.text);
            break;
        case RtfToken::Type::End:
            break;
        }
    }
    if (!m_stack.empty()) {
        flushText();
        if (!m_paragraph.runs.empty())
            endParagraph();
    }
    m_tables.finish();
    return std::move(m_content);
}

void RtfParser::groupStart()
{
    if (m_stack.empty()) {
        m_stack.emplace_back();
        return;
    }
    flushText();
    m_fallbackLeft = 0;
    m_ignorable = false;
    if (m_overflowDepth > 0 || m_stack.size() >= MaxGroupDepth) {
        ++m_overflowDepth;
        return;
    }
    RtfGroupState inner = state();
    m_stack.push_back(std::move(inner));
}

void RtfParser::groupEnd()
{
    flushText();
    m_fallbackLeft = 0;
    m_ignorable = false;
    if (m_overflowDepth > 0) {
        if (m_overflowSkipFrom == m_overflowDepth)
            m_overflowSkipFrom = 0;
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() == 1) {
        // The document ends with its outermost group; what follows is not part of it.
        m_finished = true;
        return;
    }
    const RtfGroupState closed = std::move(m_stack.back());
    m_stack.pop_back();
    finishDestination(closed);
}

void RtfParser::finishDestination(const RtfGroupState &closed)
{
    const RtfDestination outer = state().destination;
    switch (closed.destination) {
    case RtfDestination::FontTable:
        m_headerTables.endFontEntry();
        break;
    case RtfDestination::Picture:
        if (outer != RtfDestination::Picture)
            finishPicture(closed);
        break;
    case RtfDestination::DefaultCharFormat:
        if (outer != RtfDestination::DefaultCharFormat) {
            m_defaultChars = closed.chars;
            if (m_stack.size() == 1)
                state().chars = m_defaultChars;
        }
        break;
    case RtfDestination::DefaultParaFormat:
        if (outer != RtfDestination::DefaultParaFormat) {
            m_defaultPara = closed.para;
            m_defaultPara.inTable = false;
            m_defaultPara.nestingLevel = 1;
            if (m_stack.size() == 1)
                state().para = m_defaultPara;
        }
        break;
    default:
        break;
    }
}

void RtfParser::controlWord(const RtfToken &token)
{
    flushText();
    const bool ignorable = std::exchange(m_ignorable, false);
    if (fallbackConsumes() || m_overflowSkipFrom > 0)
        return;
    const RtfWord word = LookUpRtfWord(token.text);
    if (state().destination == RtfDestination::Skip) {
        if (word == RtfWord::UprUnicode)
            state().destination = state().uprResume;
        return;
    }
    const int parameter = token.parameter;
    const bool hasParameter = token.hasParameter;
    if (m_overflowDepth > 0) {
        // Beyond the nesting limit nothing is saved, so only words that
        // produce text are obeyed; a destination is skipped as a whole.
        if (divertsText(word) || (word == RtfWord::Unknown && ignorable))
            m_overflowSkipFrom = m_overflowDepth;
        else if (word == RtfWord::Unicode)
            unicodeCharacter(parameter, hasParameter);
        else if (!breakWord(word))
            specialCharacterWord(word);
        return;
    }
    if (headerTableLeftOpen(word))
        state().destination = RtfDestination::Body;
    if (word == RtfWord::Unknown) {
        if (ignorable && m_stack.size() > 1)
            state().destination = RtfDestination::Skip;
        return;
    }
    if (isDestination(word)) {
        destinationWord(word);
        return;
    }
    if (word == RtfWord::Unicode) {
        unicodeCharacter(parameter, hasParameter);
        return;
    }
    if (state().destination == RtfDestination::Picture && m_picture.handleWord(word, parameter))
        return;
    if (documentWord(word, parameter) || tableWord(word, parameter, hasParameter)
        || characterWord(word, parameter, hasParameter)
        || paragraphWord(word, parameter, hasParameter) || breakWord(word))
        return;
    specialCharacterWord(word);
}

bool RtfParser::headerTableLeftOpen(RtfWord word)
{
    // Paragraph words never occur in a font or colour table: the file forgot
    // to close the table, and the text that follows is the document's.
    const RtfDestination destination = state().destination;
    if ((destination != RtfDestination::FontTable && destination != RtfDestination::ColorTable)
        || (word != RtfWord::ParagraphDefault && word != RtfWord::Par))
        return false;
    if (destination == RtfDestination::FontTable)
        m_headerTables.endFontEntry();
    return true;
}

void RtfParser::destinationWord(RtfWord word)
{
    // A destination word outside any group would take the whole document with it.
    if (m_stack.size() == 1)
        return;
    RtfGroupState &current = state();
    switch (word) {
    case RtfWord::FontTable:
        current.destination = RtfDestination::FontTable;
        m_headerTables.beginFontTable();
        break;
    case RtfWord::ColorTable:
        current.destination = RtfDestination::ColorTable;
        m_headerTables.beginColorTable();
        break;
    case RtfWord::StyleSheet:
        current.destination = RtfDestination::StyleSheet;
        m_headerTables.beginStyleSheet();
        break;
    case RtfWord::Picture:
        current.destination = RtfDestination::Picture;
        m_picture.begin();
        break;
    case RtfWord::DefaultCharFormat:
        current.destination = RtfDestination::DefaultCharFormat;
        break;
    case RtfWord::DefaultParaFormat:
        current.destination = RtfDestination::DefaultParaFormat;
        break;
    case RtfWord::NestedTableProps:
        current.nestedTableProps = true;
        break;
    case RtfWord::Upr:
        current.uprResume = current.destination;
        current.destination = RtfDestination::Skip;
        break;
    case RtfWord::SkippedDestination:
        current.destination = RtfDestination::Skip;
        break;
    default: // field results, shape pictures and \ud hold ordinary content
        break;
    }
}

bool RtfParser::documentWord(RtfWord word, int parameter)
{
    RtfPageLayout &page = m_content.page;
    const bool pageLength = parameter >= 0 && parameter <= RtfMaxTwips;
    switch (word) {
    case RtfWord::Ansi:
        m_documentCodePage = RtfCodePage::Ansi;
        return true;
    case RtfWord::Mac:
        m_documentCodePage = 10000;
        return true;
    case RtfWord::Pc:
        m_documentCodePage = 437;
        return true;
    case RtfWord::Pca:
        m_documentCodePage = 850;
        return true;
    case RtfWord::AnsiCodePage:
        if (parameter > 0)
            m_documentCodePage = parameter;
        return true;
    case RtfWord::DefaultFont:
        m_defaultFont = parameter;
        if (state().chars.font < 0)
            state().chars.font = parameter;
        return true;
    case RtfWord::PaperWidth:
        if (pageLength && parameter > 0)
            page.paperWidth = parameter;
        return true;
    case RtfWord::PaperHeight:
        if (pageLength && parameter > 0)
            page.paperHeight = parameter;
        return true;
    case RtfWord::MarginLeft:
        if (pageLength)
            page.marginLeft = parameter;
        return true;
    case RtfWord::MarginRight:
        if (pageLength)
            page.marginRight = parameter;
        return true;
    case RtfWord::MarginTop:
        if (pageLength)
            page.marginTop = parameter;
        return true;
    case RtfWord::MarginBottom:
        if (pageLength)
            page.marginBottom = parameter;
        return true;
    case RtfWord::DefaultTab:
        if (pageLength && parameter > 0)
            m_content.defaultTabWidth = parameter;
        return true;
    case RtfWord::UnicodeSkip:
        if (parameter >= 0)
            state().unicodeSkip = parameter;
        return true;
    case RtfWord::FontCharset:
        m_headerTables.setFontCharset(parameter);
        return true;
    case RtfWord::FontCodePage:
        m_headerTables.setFontCodePage(parameter);
        return true;
    case RtfWord::Red:
    case RtfWord::Green:
    case RtfWord::Blue:
        m_headerTables.setColorPart(word, parameter);
        return true;
    default:
        return false;
    }
}

bool RtfParser::tableWord(RtfWord word, int parameter, bool hasParameter)
{
    const int depth = state().nestedTableProps ? qMax(1, state().para.tableDepth()) : 1;
    return m_rowDefs.handle(word, parameter, hasParameter, depth);
}

bool RtfParser::characterWord(RtfWord word, int parameter, bool hasParameter)
{
    RtfCharProps &chars = state().chars;
    switch (word) {
    case RtfWord::Plain:
        chars = m_defaultChars;
        if (chars.font < 0)
            chars.font = m_defaultFont;
        return true;
    case RtfWord::Font:
        if (state().destination == RtfDestination::FontTable) {
            m_headerTables.setFontNumber(parameter);
        } else {
            chars.font = parameter;
        }
        return true;
    case RtfWord::CharStyle:
        if (state().destination == RtfDestination::StyleSheet)
            m_headerTables.setCharacterStyleNumber(parameter);
        else if (const RtfHeaderTables::Style *style = m_headerTables.characterStyle(parameter))
            chars = style->chars;
        return true;
    default:
        return ApplyRtfCharacterWord(chars, word, parameter, hasParameter);
    }
}

bool RtfParser::paragraphWord(RtfWord word, int parameter, bool hasParameter)
{
    RtfParaProps &para = state().para;
    switch (word) {
    case RtfWord::ParagraphDefault:
        para = m_defaultPara;
        return true;
    case RtfWord::ParagraphStyle:
        if (state().destination == RtfDestination::StyleSheet) {
            m_headerTables.setParagraphStyleNumber(parameter);
        } else if (const RtfHeaderTables::Style *style = m_headerTables.paragraphStyle(parameter)) {
            const bool inTable = para.inTable;
            const int nestingLevel = para.nestingLevel;
            para = style->para;
            para.inTable = inTable;
            para.nestingLevel = nestingLevel;
            state().chars = style->chars;
        }
        return true;
    default:
        return ApplyRtfParagraphWord(para, word, parameter, hasParameter);
    }
}

bool RtfParser::breakWord(RtfWord word)
{
    switch (word) {
    case RtfWord::Par:
    case RtfWord::Line:
    case RtfWord::Tab:
    case RtfWord::Page:
    case RtfWord::Section:
    case RtfWord::Cell:
    case RtfWord::NestedCell:
    case RtfWord::Row:
    case RtfWord::NestedRow:
    case RtfWord::FootnoteNumber:
        break;
    default:
        return false;
    }
    if (state().destination != RtfDestination::Body)
        return true;
    const int depth = qMax(1, state().para.tableDepth());
    switch (word) {
    case RtfWord::Par:
        endParagraph();
        break;
    case RtfWord::Section:
        if (!m_paragraph.runs.empty())
            endParagraph();
        break;
    case RtfWord::Line:
        appendToBody(QString(QChar::LineSeparator));
        break;
    case RtfWord::Tab:
        appendToBody(QStringLiteral("\t"));
        break;
    case RtfWord::Page:
        pageBreak();
        break;
    case RtfWord::Cell:
        endCell(1);
        break;
    case RtfWord::NestedCell:
        endCell(depth);
        break;
    case RtfWord::Row:
        endRow(1);
        break;
    case RtfWord::NestedRow:
        endRow(depth);
        break;
    case RtfWord::FootnoteNumber:
        appendToBody(QString::number(++m_footnoteCount));
        break;
    default:
        break;
    }
    return true;
}

bool RtfParser::specialCharacterWord(RtfWord word)
{
    char16_t character = 0;
    switch (word) {
    case RtfWord::EmDash:
        character = u'\u2014';
        break;
    case RtfWord::EnDash:
        character = u'\u2013';
        break;
    case RtfWord::Bullet:
        character = u'\u2022';
        break;
    case RtfWord::LeftQuote:
        character = u'\u2018';
        break;
    case RtfWord::RightQuote:
        character = u'\u2019';
        break;
    case RtfWord::LeftDoubleQuote:
        character = u'\u201C';
        break;
    case RtfWord::RightDoubleQuote:
        character = u'\u201D';
        break;
    case RtfWord::EmSpace:
        character = u'\u2003';
        break;
    case RtfWord::EnSpace:
        character = u'\u2002';
        break;
    case RtfWord::ZeroWidthJoiner:
        character = u'\u200D';
        break;
    case RtfWord::ZeroWidthNonJoiner:
        character = u'\u200C';
        break;
    default:
        return false;
    }
    deliver(QString(QChar(character)));
    return true;
}

void RtfParser::unicodeCharacter(int value, bool hasParameter)
{
    // Negative values are how RTF writes code units above 32767. A value that
    // is no character at all is ignored, so its fallback text shows instead.
    if (value < 0 && value >= -0x8000)
        value += 0x10000;
    if (!hasParameter || value < 0 || value > 0xFFFF)
        return;
    m_fallbackLeft = state().unicodeSkip;
    if (value == 0)
        return;
    if (QChar::isHighSurrogate(static_cast<char32_t>(value))) {
        if (m_highSurrogate)
            deliver(QString(QChar::ReplacementCharacter));
        m_highSurrogate = static_cast<char16_t>(value);
        return;
    }
    QString text;
    if (QChar::isLowSurrogate(static_cast<char32_t>(value))) {
        if (m_highSurrogate) {
            const QChar pair[] = { QChar(std::exchange(m_highSurrogate, 0)), QChar(value) };
            text = QString(pair, 2);
        } else {
            text = QString(QChar::ReplacementCharacter);
        }
    } else {
        const char32_t codePoint = static_cast<char32_t>(value);
        text = QString::fromUcs4(&codePoint, 1);
    }
    deliver(text);
}

void RtfParser::controlSymbol(char symbol)
{
    if (symbol == '*') {
        m_ignorable = true;
        return;
    }
    m_ignorable = false;
    if (fallbackConsumes() || skipping())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        m_pendingBytes.append(symbol);
        return;
    default:
        break;
    }
    flushText();
    switch (symbol) {
    case '~':
        deliver(QString(QChar::Nbsp));
        break;
    case '-':
        deliver(QString(QChar::SoftHyphen));
        break;
    case '_':
        deliver(QString(QChar(u'\u2011')));
        break;
    case '\r':
    case '\n':
        if (state().destination == RtfDestination::Body)
            endParagraph();
        break;
    case '\t':
        appendToBody(QStringLiteral("\t"));
        break;
    default:
        break;
    }
}

void RtfParser::text(QByteArrayView bytes)
{
    m_ignorable = false;
    if (m_fallbackLeft > 0) {
        const qsizetype skipped = qMin<qsizetype>(m_fallbackLeft, bytes.size());
        m_fallbackLeft -= static_cast<int>(skipped);
        bytes = bytes.sliced(skipped);
    }
    if (bytes.isEmpty() || skipping())
        return;
    if (state().destination == RtfDestination::Picture) {
        m_picture.addHexText(bytes);
        return;
    }
    m_pendingBytes.append(bytes);
}

void RtfParser::hexByte(char byte)
{
    m_ignorable = false;
    if (fallbackConsumes() || skipping() || byte == 0
        || state().destination == RtfDestination::Picture)
        return;
    m_pendingBytes.append(byte);
}

void RtfParser::binary(QByteArrayView bytes)
{
    m_ignorable = false;
    if (fallbackConsumes() || skipping())
        return;
    if (state().destination == RtfDestination::Picture)
        m_picture.setBinary(bytes);
}

bool RtfParser::fallbackConsumes()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

bool RtfParser::skipping() const
{
    return m_overflowSkipFrom > 0 || state().destination == RtfDestination::Skip;
}

void RtfParser::flushText()
{
    if (m_pendingBytes.isEmpty())
        return;
    const QString decoded = m_decoder.decode(m_pendingBytes, currentCodePage());
    m_pendingBytes.clear();
    deliver(decoded);
}

int RtfParser::currentCodePage() const
{
    const auto codePageOf = [this](const RtfFont &font) {
        return font.codePage > 0 ? font.codePage
                                 : RtfCodePage::forCharset(font.charset, m_documentCodePage);
    };
    if (state().destination == RtfDestination::FontTable)
        return codePageOf(m_headerTables.fontBeingRead());
    const auto font = m_content.fonts.find(state().chars.font);
    return font != m_content.fonts.end() ? codePageOf(font->second) : m_documentCodePage;
}

void RtfParser::deliver(const QString &text)
{
    QString complete = text;
    if (m_highSurrogate) {
        complete.prepend(QChar::ReplacementCharacter);
        m_highSurrogate = 0;
    }
    switch (state().destination) {
    case RtfDestination::Body:
        appendToBody(complete);
        break;
    case RtfDestination::FontTable:
        m_headerTables.addFontText(complete);
        break;
    case RtfDestination::ColorTable:
        m_headerTables.addColorText(complete);
        break;
    case RtfDestination::StyleSheet:
        m_headerTables.addStyleText(complete, state().chars, state().para);
        break;
    default:
        break;
    }
}

void RtfParser::appendToBody(const QString &text)
{
    if (state().chars.hidden || text.isEmpty())
        return;
    const RtfCharProps &props = state().chars;
    if (!m_paragraph.runs.empty()) {
        RtfRun &last = m_paragraph.runs.back();
        if (last.image < 0 && last.props == props) {
            last.text.append(text);
            return;
        }
    }
    m_paragraph.runs.push_back({ text, props, -1 });
}

RtfParagraph RtfParser::takeParagraph()
{
    RtfParagraph paragraph = std::move(m_paragraph);
    paragraph.props = state().para;
    paragraph.markProps = state().chars;
    m_paragraph = {};
    return paragraph;
}

void RtfParser::endParagraph()
{
    m_tables.addParagraph(takeParagraph(), state().para.tableDepth());
}

void RtfParser::endCell(int depth)
{
    m_tables.endCell(takeParagraph(), depth);
}

void RtfParser::endRow(int depth)
{
    if (!m_paragraph.runs.empty())
        endCell(depth);
    m_tables.endRow(m_rowDefs.definition(depth), depth);
}

void RtfParser::pageBreak()
{
    if (!m_paragraph.runs.empty())
        endParagraph();
    m_paragraph.pageBreakBefore = true;
}

void RtfParser::finishPicture(const RtfGroupState &closed)
{
    std::optional<RtfPicture> picture = m_picture.finish();
    if (!picture || state().destination != RtfDestination::Body || closed.chars.hidden)
        return;
    m_content.pictures.push_back(std::move(*picture));
    m_paragraph.runs.push_back({ QString(QChar::ObjectReplacementCharacter), closed.chars,
        static_cast<int>(m_content.pictures.size()) - 1 });
}

} // namespace kavro
