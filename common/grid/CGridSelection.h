// The set of selected cells of a grid, kept as disjoint rectangles so that selecting whole columns
// or all of a grid with millions of rows costs no more than selecting one cell.
#pragma once

#include "grid/GridItem.h"

#include <vector>

class CGridSelection {
public:
    void Clear() { m_Ranges.clear(); }
    bool IsEmpty() const { return m_Ranges.empty(); }
    void Add(const CCellRange& range);
    void Remove(const CCellRange& range);
    // Adds the cell when it is not selected, removes it when it is.
    void Toggle(int row, int col);
    bool Contains(int row, int col) const;
    // Bounding range; an invalid range (all -1) when nothing is selected.
    CCellRange Bounds() const;
    int64_t CellCount() const;
    // Keeps only the cells inside the given range.
    void Clip(const CCellRange& range);
    const std::vector<CCellRange>& Ranges() const { return m_Ranges; }

private:
    std::vector<CCellRange> m_Ranges; // disjoint
};
