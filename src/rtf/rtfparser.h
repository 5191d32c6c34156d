#pragma once

#include "rtfcodepage.h"
#include "rtfcontent.h"
#include "rtfcontrolword.h"
#include "rtfheadertables.h"
#include "rtfpicturecollector.h"
#include "rtfrowdefbuilder.h"
#include "rtftableassembler.h"
#include "rtftokenizer.h"

#include <map>

namespace kavro {

// Where the text of a group goes.
enum class RtfDestination {
    Body,
    Skip,
    FontTable,
    ColorTable,
    StyleSheet,
    Picture,
    DefaultCharFormat,
    DefaultParaFormat,
};

// What a group saves and its closing brace restores.
struct RtfGroupState
{
    RtfDestination destination = RtfDestination::Body;
    RtfDestination uprResume = RtfDestination::Body; // where \ud continues
    RtfCharProps chars;
    RtfParaProps para;
    int unicodeSkip = 1; // \uc
    bool nestedTableProps = false;
};

// Reads an RTF stream (known to start with "{\rtf") into RtfContent.
// One pass over the tokens; every structure it keeps is bounded by the input
// size, and group nesting beyond MaxGroupDepth stops saving state.
class RtfParser
{
public:
    static constexpr int MaxGroupDepth = 300;

    explicit RtfParser(QByteArrayView data);
    RtfContent parse();

private:
    void groupStart();
    void groupEnd();
    void controlWord(const RtfToken &token);
    void controlSymbol(char symbol);
    void text(QByteArrayView bytes);
    void hexByte(char byte);
    void binary(QByteArrayView bytes);

    void destinationWord(RtfWord word);
    bool headerTableLeftOpen(RtfWord word);
    bool documentWord(RtfWord word, int parameter);
    bool tableWord(RtfWord word, int parameter, bool hasParameter);
    bool characterWord(RtfWord word, int parameter, bool hasParameter);
    bool paragraphWord(RtfWord word, int parameter, bool hasParameter);
    bool breakWord(RtfWord word);
    bool specialCharacterWord(RtfWord word);
    void unicodeCharacter(int value, bool hasParameter);

    void flushText();
    void deliver(const QString &text);
    void appendToBody(const QString &text);
    void endParagraph();
    void endCell(int depth);
    void endRow(int depth);
    void pageBreak();
    void finishDestination(const RtfGroupState &closed);
    void finishPicture(const RtfGroupState &closed);
    RtfParagraph takeParagraph();

    int currentCodePage() const;
    bool skipping() const;
    bool fallbackConsumes();
    RtfGroupState &state() { return m_stack.back(); }
    const RtfGroupState &state() const { return m_stack.back(); }

    RtfTokenizer m_tokens;
    std::vector<RtfGroupState> m_stack;
    int m_overflowDepth = 0; // groups opened beyond MaxGroupDepth
    int m_overflowSkipFrom = 0; // overflow depth of a destination being skipped
    bool m_ignorable = false; // \* seen, its destination word not yet
    bool m_finished = false;
    int m_fallbackLeft = 0; // \uc characters still to skip after \u

    RtfContent m_content;
    RtfTableAssembler m_tables { m_content.body };
    RtfRowDefBuilder m_rowDefs;
    RtfParagraph m_paragraph;
    int m_footnoteCount = 0;

    RtfTextDecoder m_decoder;
    QByteArray m_pendingBytes;
    char16_t m_highSurrogate = 0;
    int m_documentCodePage = RtfCodePage::Ansi;
    int m_defaultFont = -1;
    RtfCharProps m_defaultChars;
    RtfParaProps m_defaultPara;

    RtfHeaderTables m_headerTables { m_content };

    RtfPictureCollector m_picture;
};

} // namespace kavro
