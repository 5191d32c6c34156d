#include "rtftableassembler.h"

namespace kavro {

void RtfTableAssembler::addParagraph(RtfParagraph paragraph, int depth)
{
    openTo(depth);
    container(depth).push_back(std::move(paragraph));
}

void RtfTableAssembler::endCell(RtfParagraph lastParagraph, int depth)
{
    openTo(depth);
    OpenTable &open = m_open.back();
    open.cell.blocks.push_back(std::move(lastParagraph));
    open.row.cells.push_back(std::move(open.cell));
    open.cell = {};
}

void RtfTableAssembler::endRow(const RtfRowDef &def, int depth)
{
    openTo(depth);
    OpenTable &open = m_open.back();
    if (!open.cell.blocks.empty()) {
        open.row.cells.push_back(std::move(open.cell));
        open.cell = {};
    }
    if (open.row.cells.empty())
        return;
    open.row.def = def;
    open.table.rows.push_back(std::move(open.row));
    open.row = {};
}

void RtfTableAssembler::openTo(int depth)
{
    while (openDepth() > depth)
        closeInnermost();
    while (openDepth() < depth)
        m_open.emplace_back();
}

void RtfTableAssembler::closeInnermost()
{
    OpenTable open = std::move(m_open.back());
    m_open.pop_back();
    // A row the file never ended with \row still shows its cells.
    if (!open.cell.blocks.empty())
        open.row.cells.push_back(std::move(open.cell));
    if (!open.row.cells.empty())
        open.table.rows.push_back(std::move(open.row));
    if (!open.table.rows.empty())
        container(openDepth()).push_back(std::make_unique<RtfTable>(std::move(open.table)));
}

std::vector<RtfBlock> &RtfTableAssembler::container(int depth)
{
    return depth == 0 ? m_body : m_open[depth - 1].cell.blocks;
}

} // namespace kavro
