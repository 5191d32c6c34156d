#include "rtftablegrid.h"

#include "rtfrowdefbuilder.h"

#include <algorithm>
#include <map>

namespace kavro {

namespace {

constexpr int MaxColumns = 64;
constexpr int DefaultCellWidth = 1440; // twips, for cells the row does not define

// A cell of a row with its horizontal extent, after \clmrg cells have been
// folded into the cell they continue.
struct PlacedCell
{
    int left = 0;
    int right = 0;
    RtfCellDef def;
    std::vector<const RtfCell *> sources;
};

std::vector<PlacedCell> placeRow(const RtfRow &row)
{
    // Only cells the row really has count: a definition is reused by every
    // row that follows it, and padding each row to it would let a few bytes
    // of input make hundreds of cells.
    const int count = qMin(RtfRowDefBuilder::MaxCells, static_cast<int>(row.cells.size()));
    std::vector<PlacedCell> placed;
    int left = row.def.left;
    int lastWidth = DefaultCellWidth;
    for (int i = 0; i < count; ++i) {
        RtfCellDef def = i < row.def.cells.size() ? row.def.cells[i] : RtfCellDef {};
        if (i >= row.def.cells.size())
            def.right = left + lastWidth;
        const int right = qMax(def.right, left + 1);
        lastWidth = right - left;
        const RtfCell *source = &row.cells[i];
        if (def.merged && !placed.empty()) {
            placed.back().right = right;
            placed.back().sources.push_back(source);
        } else {
            placed.push_back({ left, right, def, { source } });
        }
        left = right;
    }
    // Cells beyond the limit still show their text, in the last cell.
    for (std::size_t i = count; i < row.cells.size() && !placed.empty(); ++i)
        placed.back().sources.push_back(&row.cells[i]);
    return placed;
}

int columnOf(const std::vector<int> &boundaries, int position)
{
    return static_cast<int>(
        std::lower_bound(boundaries.begin(), boundaries.end(), position) - boundaries.begin());
}

// Merges vertically: a \clvmrg cell continues the cell above it when both
// cover the same columns.
void addCell(RtfTableGrid &grid, std::map<int, std::size_t> &openMerges, RtfGridCell cell)
{
    if (cell.def.vMerged) {
        const auto above = openMerges.find(cell.column);
        if (above != openMerges.end()) {
            RtfGridCell &anchor = grid.cells[above->second];
            if (anchor.columnSpan == cell.columnSpan && anchor.row + anchor.rowSpan == cell.row) {
                anchor.rowSpan += 1;
                anchor.sources.insert(
                    anchor.sources.end(), cell.sources.begin(), cell.sources.end());
                return;
            }
        }
    }
    if (cell.def.vMergeFirst || cell.def.vMerged)
        openMerges[cell.column] = grid.cells.size();
    else
        openMerges.erase(cell.column);
    grid.cells.push_back(std::move(cell));
}

} // namespace

RtfTableGrid LayOutRtfTable(const RtfTable &table)
{
    std::vector<std::vector<PlacedCell>> rows;
    rows.reserve(table.rows.size());
    std::vector<int> boundaries;
    std::size_t placedCount = 0;
    std::size_t widestRow = 1;
    for (const RtfRow &row : table.rows) {
        rows.push_back(placeRow(row));
        placedCount += rows.back().size();
        widestRow = qMax(widestRow, rows.back().size());
        for (const PlacedCell &cell : rows.back()) {
            boundaries.push_back(cell.left);
            boundaries.push_back(cell.right);
        }
    }
    std::sort(boundaries.begin(), boundaries.end());
    boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());

    RtfTableGrid grid;
    grid.rows = static_cast<int>(rows.size());
    const std::size_t budget = 4 * placedCount + 16;
    const std::size_t exactColumns = boundaries.empty() ? 0 : boundaries.size() - 1;
    enum class Layout { Exact, CellPerColumn, SingleColumn } layout = Layout::Exact;
    if (exactColumns == 0 || exactColumns > MaxColumns || exactColumns * rows.size() > budget)
        layout = Layout::CellPerColumn;
    if (layout == Layout::CellPerColumn
        && (widestRow > MaxColumns || widestRow * rows.size() > budget))
        layout = Layout::SingleColumn;

    switch (layout) {
    case Layout::Exact:
        grid.columns = static_cast<int>(exactColumns);
        grid.left = boundaries.front();
        for (std::size_t i = 0; i + 1 < boundaries.size(); ++i)
            grid.columnWidths.append(boundaries[i + 1] - boundaries[i]);
        break;
    case Layout::CellPerColumn:
        grid.columns = static_cast<int>(widestRow);
        break;
    case Layout::SingleColumn:
        grid.columns = 1;
        break;
    }

    std::map<int, std::size_t> openMerges;
    for (int r = 0; r < grid.rows; ++r) {
        std::vector<PlacedCell> &row = rows[r];
        if (layout == Layout::SingleColumn) {
            RtfGridCell cell { r, 0, 1, 1, row.empty() ? RtfCellDef {} : row.front().def, {} };
            for (PlacedCell &placed : row)
                cell.sources.insert(
                    cell.sources.end(), placed.sources.begin(), placed.sources.end());
            cell.def.vMerged = cell.def.vMergeFirst = false;
            grid.cells.push_back(std::move(cell));
            continue;
        }
        for (std::size_t i = 0; i < row.size(); ++i) {
            PlacedCell &placed = row[i];
            RtfGridCell cell { r, static_cast<int>(i), 1, 1, placed.def,
                std::move(placed.sources) };
            if (layout == Layout::Exact) {
                cell.column = columnOf(boundaries, placed.left);
                cell.columnSpan = columnOf(boundaries, placed.right) - cell.column;
            }
            addCell(grid, openMerges, std::move(cell));
        }
    }
    return grid;
}

} // namespace kavro
