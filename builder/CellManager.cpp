#include "builder/CellManager.h"

#include "layout/Table.h"

#include <algorithm>

namespace lantern {

void TCellManager::EnsureRows(int count)
{
    if (static_cast<int>(Rows.size()) < count)
        Rows.resize(static_cast<std::size_t>(count));
}

int TCellManager::FindColumn(int row)
{
    EnsureRows(row + 1);
    const std::string& marks = Rows[static_cast<std::size_t>(row)];
    const std::size_t free = marks.find('o');
    return static_cast<int>(free == std::string::npos ? marks.size() : free);
}

void TCellManager::AddCell(int row, TCellObj& cell)
{
    const int start = FindColumn(row);
    EnsureRows(row + std::max(cell.RowSpan, 1));
    for (int r = row; r < row + std::max(cell.RowSpan, 1); ++r) {
        std::string& marks = Rows[static_cast<std::size_t>(r)];
        if (static_cast<int>(marks.size()) < start + cell.ColSpan)
            marks.resize(static_cast<std::size_t>(start + cell.ColSpan), 'o');
        int taken = 0;
        while (taken < cell.ColSpan && marks[static_cast<std::size_t>(start + taken)] == 'o')
            marks[static_cast<std::size_t>(start + taken++)] = 'x';
        // Cut where another cell already stands; a cell keeps at least its own position.
        cell.ColSpan = std::max(taken, 1);
    }
}

} // namespace lantern
