#include "grid/CGridNavigation.h"

#include "grid/CGridModel.h"

#include <algorithm>
#include <cstdlib>

bool CGridNavigation::OnKey(Key key, unsigned modifiers, int pageRows) {
    const bool ctrl = modifiers & Ctrl;
    const bool shift = modifiers & Shift;
    const int firstRow = m_Model.GetFixedRowCount(), firstCol = m_Model.GetFixedColumnCount();
    if (m_Model.GetRowCount() <= firstRow || m_Model.GetColumnCount() <= firstCol)
        return false;
    const CCellID focus = m_Model.GetFocusCell();
    if (!focus.IsValid() || focus.row < firstRow || focus.col < firstCol) {
        const int col = NextVisibleColumn(firstCol - 1, 1);
        MoveFocus(firstRow, col >= firstCol ? col : firstCol, false);
        return true;
    }
    int row = focus.row, col = focus.col;
    const int page = std::max(1, pageRows);
    auto firstVisibleCol = [&] {
        return m_Model.GetColumnWidth(firstCol) > 0 ? firstCol : NextVisibleColumn(firstCol, 1);
    };
    auto lastVisibleCol = [&] {
        const int last = m_Model.GetColumnCount() - 1;
        return m_Model.GetColumnWidth(last) > 0 ? last : NextVisibleColumn(last, -1);
    };
    bool extend = shift;
    switch (key) {
    case Key::Down:
        row = NextVisibleRow(row, 1);
        break;
    case Key::Up:
        row = NextVisibleRow(row, -1);
        break;
    case Key::Right:
        col = NextVisibleColumn(col, 1);
        break;
    case Key::Left:
        col = NextVisibleColumn(col, -1);
        break;
    case Key::PageDown:
        row = NextVisibleRow(row, page);
        break;
    case Key::PageUp:
        row = NextVisibleRow(row, -page);
        break;
    case Key::Home:
        col = firstVisibleCol();
        if (ctrl)
            row = m_Model.GetRowHeight(firstRow) > 0 ? firstRow : NextVisibleRow(firstRow, 1);
        break;
    case Key::End:
        col = lastVisibleCol();
        if (ctrl) {
            const int last = m_Model.GetRowCount() - 1;
            row = m_Model.GetRowHeight(last) > 0 ? last : NextVisibleRow(last, -1);
        }
        break;
    case Key::Tab:
        extend = false;
        if (NextVisibleColumn(col, 1) != col) {
            col = NextVisibleColumn(col, 1);
        } else if (NextVisibleRow(row, 1) != row) {
            row = NextVisibleRow(row, 1);
            col = firstVisibleCol();
        }
        break;
    case Key::Backtab:
        extend = false;
        if (NextVisibleColumn(col, -1) != col) {
            col = NextVisibleColumn(col, -1);
        } else if (NextVisibleRow(row, -1) != row) {
            row = NextVisibleRow(row, -1);
            col = lastVisibleCol();
        }
        break;
    }
    if (!extend)
        m_SelectionStart = CCellID();
    MoveFocus(row, col, extend);
    return true;
}

CGridNavigation::Click CGridNavigation::OnLeftClick(CCellID cell, unsigned modifiers) {
    if (!cell.IsValid())
        return Click::Nothing;
    const bool ctrl = modifiers & Ctrl;
    const bool shift = modifiers & Shift;
    const int fixedRows = m_Model.GetFixedRowCount(), fixedCols = m_Model.GetFixedColumnCount();
    if (cell.row < fixedRows && cell.col < fixedCols) {
        SelectAll();
        return Click::SelectedAll;
    }
    if (cell.row < fixedRows) {
        if (m_bListMode && m_bHeaderSort)
            return Click::SortColumn;
        m_PrevSelection = ctrl ? m_Model.Selection() : CGridSelection();
        const CCellID focus = m_Model.GetFocusCell();
        m_SelectionStart = CCellID(fixedRows, shift && focus.IsValid() ? focus.col : cell.col);
        m_Drag = Drag::Columns;
        SelectDrag(cell, m_Drag);
        return Click::Selected;
    }
    if (cell.col < fixedCols) {
        m_PrevSelection = ctrl ? m_Model.Selection() : CGridSelection();
        const CCellID focus = m_Model.GetFocusCell();
        m_SelectionStart = CCellID(shift && focus.IsValid() ? focus.row : cell.row, fixedCols);
        m_Drag = Drag::Rows;
        SelectDrag(cell, m_Drag);
        return Click::Selected;
    }
    if (shift && m_Model.GetFocusCell().IsValid()) {
        m_PrevSelection = ctrl ? m_Model.Selection() : CGridSelection();
        if (!m_SelectionStart.IsValid() || !m_Model.IsValid(m_SelectionStart.row, m_SelectionStart.col))
            m_SelectionStart = m_Model.GetFocusCell();
        m_Drag = Drag::Cells;
        SelectDrag(cell, m_Drag);
    } else if (ctrl) {
        if (m_bListMode) {
            const CCellRange row(cell.row, fixedCols, cell.row, m_Model.GetColumnCount() - 1);
            if (m_Model.IsCellSelected(cell.row, cell.col))
                m_Model.Selection().Remove(row);
            else
                m_Model.Selection().Add(row);
        } else {
            m_Model.Selection().Toggle(cell.row, cell.col);
        }
        m_SelectionStart = cell;
        m_Drag = Drag::None;
    } else {
        m_PrevSelection.Clear();
        m_SelectionStart = cell;
        m_Drag = Drag::Cells;
        SelectDrag(cell, m_Drag);
    }
    m_Model.SetFocusCell(cell);
    return Click::Selected;
}

void CGridNavigation::OnRightClick(CCellID cell) {
    if (cell.IsValid() && cell.row >= m_Model.GetFixedRowCount() &&
        cell.col >= m_Model.GetFixedColumnCount() && !m_Model.IsCellSelected(cell.row, cell.col)) {
        m_Model.Selection().Clear();
        m_Model.Selection().Add(CCellRange(cell.row, cell.col, cell.row, cell.col));
        m_Model.SetFocusCell(cell);
    }
}

void CGridNavigation::DragTo(CCellID cell) {
    if (m_Drag == Drag::None || !cell.IsValid())
        return;
    if (m_Drag == Drag::Cells)
        m_Model.SetFocusCell(cell);
    SelectDrag(cell, m_Drag);
}

void CGridNavigation::SelectAll() {
    m_Model.Selection().Clear();
    m_Model.Selection().Add(m_Model.GetNonFixedRange());
}

void CGridNavigation::Reset() {
    m_Drag = Drag::None;
    m_SelectionStart = CCellID();
    m_PrevSelection.Clear();
}

int CGridNavigation::NextVisibleRow(int row, int step) const {
    const int first = m_Model.GetFixedRowCount(), last = m_Model.GetRowCount() - 1;
    int r = row;
    int moved = 0;
    while (moved < std::abs(step)) {
        const int n = r + (step > 0 ? 1 : -1);
        if (n < first || n > last)
            break;
        r = n;
        if (m_Model.GetRowHeight(r) > 0)
            ++moved;
    }
    return m_Model.GetRowHeight(r) > 0 ? r : row;
}

int CGridNavigation::NextVisibleColumn(int col, int step) const {
    const int first = m_Model.GetFixedColumnCount(), last = m_Model.GetColumnCount() - 1;
    int c = col;
    for (;;) {
        const int n = c + step;
        if (n < first || n > last)
            return col;
        c = n;
        if (m_Model.GetColumnWidth(c) > 0)
            return c;
    }
}

void CGridNavigation::MoveFocus(int row, int col, bool extend) {
    if (!m_Model.IsValid(row, col))
        return;
    const CCellID cell(row, col);
    if (extend) {
        if (!m_SelectionStart.IsValid() || !m_Model.IsValid(m_SelectionStart.row, m_SelectionStart.col))
            m_SelectionStart = m_Model.GetFocusCell().IsValid() ? m_Model.GetFocusCell() : cell;
        m_PrevSelection.Clear();
        SelectDrag(cell, Drag::Cells);
    } else {
        m_SelectionStart = cell;
        m_Model.Selection().Clear();
        CCellRange r(row, col, row, col);
        if (m_bListMode) {
            r.minCol = m_Model.GetFixedColumnCount();
            r.maxCol = m_Model.GetColumnCount() - 1;
        }
        m_Model.Selection().Add(r);
    }
    m_Model.SetFocusCell(cell);
}

void CGridNavigation::SelectDrag(CCellID cell, Drag mode) {
    const int fixedRows = m_Model.GetFixedRowCount(), fixedCols = m_Model.GetFixedColumnCount();
    const int lastRow = m_Model.GetRowCount() - 1, lastCol = m_Model.GetColumnCount() - 1;
    CCellRange r;
    switch (mode) {
    case Drag::Columns:
        r = CCellRange(fixedRows, std::min(m_SelectionStart.col, cell.col), lastRow,
                       std::max(m_SelectionStart.col, cell.col));
        break;
    case Drag::Rows:
        r = CCellRange(std::min(m_SelectionStart.row, cell.row), fixedCols,
                       std::max(m_SelectionStart.row, cell.row), lastCol);
        break;
    default:
        r = CCellRange(std::min(m_SelectionStart.row, cell.row), std::min(m_SelectionStart.col, cell.col),
                       std::max(m_SelectionStart.row, cell.row), std::max(m_SelectionStart.col, cell.col));
        if (m_bListMode) {
            r.minCol = fixedCols;
            r.maxCol = lastCol;
        }
        break;
    }
    r.minRow = std::max(r.minRow, fixedRows);
    r.minCol = std::max(r.minCol, fixedCols);
    CGridSelection sel = m_PrevSelection;
    sel.Add(r);
    m_Model.Selection() = sel;
}
