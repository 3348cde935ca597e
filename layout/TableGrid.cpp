// The grid of a table, made once before it is first measured: every position a spanning cell reaches gets a
// filler, so that position c of every row is column c; a short row's last cell stretches to the last column; and
// spans are cut to the grid.
#include "layout/Table.h"

#include "layout/Document.h"

#include <algorithm>

namespace lantern {

void THtmlTable::ExpandSpans()
{
    // 1.
    InsertColumnFillers();
    // 2.
    InsertRowFillers();
    // 3.
    StretchShortRows();
    // 4.
    LimitSpansToGrid();
    GridReady = true;
}

// Fillers to the right of every cell that spans columns; they carry its row span, so that the rows below are
// filled under them too.
void THtmlTable::InsertColumnFillers()
{
    const int rowCount = static_cast<int>(Rows.size());
    ColumnCount = 0;
    for (int r = 0; r < rowCount; ++r) {
        TCellList& row = *Rows[static_cast<std::size_t>(r)];
        std::vector<std::unique_ptr<TCellObj>> cells;
        cells.reserve(row.Cells.size());
        for (auto& cell : row.Cells) {
            if (cell->Content && !cell->Content->HasBgColor && row.HasBgColor) {
                cell->Content->HasBgColor = true;
                cell->Content->BgColor = row.BgColor;
            }
            ApplyTableDefaults(*cell, row);
            cell->RowSpan = std::min(cell->RowSpan, rowCount - r);
            const int columns = cell->ColSpan, rows = cell->RowSpan;
            cells.push_back(std::move(cell));
            for (int k = 1; k < columns; ++k)
                cells.push_back(TCellObj::Filler(std::max(1, rows)));
        }
        row.Cells = std::move(cells);
        ColumnCount = std::max(ColumnCount, row.Count());
    }
}

// Column by column, a cell spanning rows pushes the cells below it one column to the right.
void THtmlTable::InsertRowFillers()
{
    const int rowCount = static_cast<int>(Rows.size());
    for (int c = 0; c < ColumnCount; ++c)
        for (int r = 0; r < rowCount; ++r) {
            auto& cells = Rows[static_cast<std::size_t>(r)]->Cells;
            if (c >= static_cast<int>(cells.size()))
                continue;
            TCellObj& cell = *cells[static_cast<std::size_t>(c)];
            cell.RowSpan = std::min(cell.RowSpan, rowCount - r);
            for (int k = 1; k < cell.RowSpan; ++k) {
                auto& below = Rows[static_cast<std::size_t>(r + k)]->Cells;
                while (static_cast<int>(below.size()) < c)
                    below.push_back(TCellObj::Filler(0));
                below.insert(below.begin() + c, TCellObj::Filler(0));
                ColumnCount = std::max(ColumnCount, static_cast<int>(below.size()));
            }
        }
}

// A row that ends in its last cell is short of columns only because it has fewer cells: that cell reaches to the
// last column. It does so only where the rows it spans have nothing to its right either.
void THtmlTable::StretchShortRows()
{
    const int rowCount = static_cast<int>(Rows.size());
    for (int r = 0; r < rowCount;) {
        auto& cells = Rows[static_cast<std::size_t>(r)]->Cells;
        const int count = static_cast<int>(cells.size());
        int last = count - 1;
        while (last >= 0 && cells[static_cast<std::size_t>(last)]->IsFiller())
            --last;
        int skip = 1;
        if (count < ColumnCount && last >= 0) {
            TCellObj& cell = *cells[static_cast<std::size_t>(last)];
            const int end = last + cell.ColSpan;
            const int rows = std::max(1, cell.RowSpan);
            bool room = end == count;
            for (int k = 1; room && k < rows; ++k)
                room = Rows[static_cast<std::size_t>(r + k)]->Count() <= end;
            if (room) {
                for (int k = 0; k < rows; ++k) {
                    auto& row = Rows[static_cast<std::size_t>(r + k)]->Cells;
                    while (static_cast<int>(row.size()) < ColumnCount)
                        row.push_back(TCellObj::Filler(k == 0 ? rows : 0));
                }
                cell.ColSpan = ColumnCount - last;
                skip = rows;
            }
        }
        r += skip;
    }
}

void THtmlTable::LimitSpansToGrid()
{
    const int rowCount = static_cast<int>(Rows.size());
    for (int r = 0; r < rowCount; ++r) {
        auto& cells = Rows[static_cast<std::size_t>(r)]->Cells;
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            TCellObj& cell = *cells[static_cast<std::size_t>(c)];
            if (cell.IsFiller())
                continue;
            cell.ColSpan = std::min(cell.ColSpan, ColumnCount - c);
            cell.RowSpan = std::min(cell.RowSpan, rowCount - r);
        }
    }
    SizeColumnArrays();
}

void THtmlTable::SizeColumnArrays()
{
    const auto columns = static_cast<std::size_t>(ColumnCount);
    ColPercents.assign(columns, 0);
    ColWeights.assign(columns, 0);
    ColMinWidths.assign(columns, 0);
    ColMaxWidths.assign(columns, 0);
    ColTypes.assign(columns, TWidthType::wtNone);
    ColWidths.assign(columns, 0);
}

// What a cell takes from its table and row: the cell padding (resolved per layout), a hairline of border in a
// bordered table when it has no border styles of its own, and the row's picture when it has none.
void THtmlTable::ApplyTableDefaults(TCellObj& cell, const TCellList& row)
{
    if (cell.IsFiller())
        return;
    if (BorderWidth > 0 && !cell.HasAnyBorderStyle) {
        cell.BrdLeft = std::max(cell.BrdLeft, 1);
        cell.BrdTop = std::max(cell.BrdTop, 1);
        cell.BrdRight = std::max(cell.BrdRight, 1);
        cell.BrdBottom = std::max(cell.BrdBottom, 1);
    }
    cell.ResolvePaddings(CellPadding, 0);
    if (std::any_of(cell.GivenPad.begin(), cell.GivenPad.end(), [](int given) { return given < -1; }))
        percentPaddings_ = true;
    if (cell.BackgroundUrl.empty() && !row.BgImageName.empty()) {
        cell.BackgroundUrl = row.BgImageName;
        cell.BackgroundPlacement = row.BackgroundPlacement;
        if (Document->MakeBackgroundSource)
            cell.BackgroundImage = Document->MakeBackgroundSource(cell.BackgroundUrl);
    }
}

} // namespace lantern
