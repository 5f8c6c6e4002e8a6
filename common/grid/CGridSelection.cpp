#include "grid/CGridSelection.h"

#include <algorithm>

namespace {
bool Intersects(const CCellRange& a, const CCellRange& b) {
    return a.minRow <= b.maxRow && b.minRow <= a.maxRow && a.minCol <= b.maxCol && b.minCol <= a.maxCol;
}

// The parts of a that lie outside b (at most four rectangles).
void Subtract(const CCellRange& a, const CCellRange& b, std::vector<CCellRange>& out) {
    if (!Intersects(a, b)) {
        out.push_back(a);
        return;
    }
    if (a.minRow < b.minRow)
        out.emplace_back(a.minRow, a.minCol, b.minRow - 1, a.maxCol);
    if (a.maxRow > b.maxRow)
        out.emplace_back(b.maxRow + 1, a.minCol, a.maxRow, a.maxCol);
    const int top = std::max(a.minRow, b.minRow);
    const int bottom = std::min(a.maxRow, b.maxRow);
    if (a.minCol < b.minCol)
        out.emplace_back(top, a.minCol, bottom, b.minCol - 1);
    if (a.maxCol > b.maxCol)
        out.emplace_back(top, b.maxCol + 1, bottom, a.maxCol);
}
} // namespace

void CGridSelection::Remove(const CCellRange& range) {
    if (!range.IsValid())
        return;
    std::vector<CCellRange> kept;
    kept.reserve(m_Ranges.size() + 4);
    for (const CCellRange& r : m_Ranges)
        Subtract(r, range, kept);
    m_Ranges.swap(kept);
}

void CGridSelection::Add(const CCellRange& range) {
    if (!range.IsValid())
        return;
    Remove(range);
    m_Ranges.push_back(range);
}

void CGridSelection::Toggle(int row, int col) {
    if (Contains(row, col))
        Remove(CCellRange(row, col, row, col));
    else
        Add(CCellRange(row, col, row, col));
}

bool CGridSelection::Contains(int row, int col) const {
    return std::any_of(m_Ranges.begin(), m_Ranges.end(),
                       [&](const CCellRange& r) { return r.InRange(row, col); });
}

CCellRange CGridSelection::Bounds() const {
    if (m_Ranges.empty())
        return {};
    CCellRange b = m_Ranges.front();
    for (const CCellRange& r : m_Ranges) {
        b.minRow = std::min(b.minRow, r.minRow);
        b.minCol = std::min(b.minCol, r.minCol);
        b.maxRow = std::max(b.maxRow, r.maxRow);
        b.maxCol = std::max(b.maxCol, r.maxCol);
    }
    return b;
}

int64_t CGridSelection::CellCount() const {
    int64_t n = 0;
    for (const CCellRange& r : m_Ranges)
        n += r.Count();
    return n;
}

void CGridSelection::Clip(const CCellRange& range) {
    std::vector<CCellRange> kept;
    for (CCellRange r : m_Ranges) {
        r.minRow = std::max(r.minRow, range.minRow);
        r.minCol = std::max(r.minCol, range.minCol);
        r.maxRow = std::min(r.maxRow, range.maxRow);
        r.maxCol = std::min(r.maxCol, range.maxCol);
        if (r.IsValid())
            kept.push_back(r);
    }
    m_Ranges.swap(kept);
}
