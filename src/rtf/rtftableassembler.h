#pragma once

#include "rtfcontent.h"

namespace kavro {

// Collects paragraphs, cells and rows into (nested) tables. Depth 0 is the
// body; depth n is a cell of a table nested n - 1 times. Tables open as soon
// as content at their depth arrives and close when content of a shallower
// depth follows, so no text is lost when a file ends a table sloppily.
class RtfTableAssembler
{
public:
    explicit RtfTableAssembler(std::vector<RtfBlock> &body)
        : m_body(body)
    { }

    void addParagraph(RtfParagraph paragraph, int depth);
    void endCell(RtfParagraph lastParagraph, int depth);
    void endRow(const RtfRowDef &def, int depth);
    void finish() { openTo(0); }

private:
    struct OpenTable
    {
        RtfTable table;
        RtfRow row;
        RtfCell cell;
    };

    void openTo(int depth);
    void closeInnermost();
    std::vector<RtfBlock> &container(int depth);
    int openDepth() const { return static_cast<int>(m_open.size()); }

    std::vector<RtfBlock> &m_body;
    std::vector<OpenTable> m_open;
};

} // namespace kavro
