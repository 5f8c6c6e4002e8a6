// The grid's keyboard and mouse rules: which cell takes the focus and which cells are selected for a
// key, a click or a drag, worked on the grid's model without a window. The grid control forwards to it.
#pragma once

#include "grid/CGridSelection.h"
#include "grid/GridItem.h"

class CGridModel;

class CGridNavigation {
public:
    // The keys that move the focus.
    enum class Key { Up, Down, Left, Right, PageUp, PageDown, Home, End, Tab, Backtab };
    // Modifier flags of a key or a click, or-ed together.
    enum Modifier : unsigned { NoModifier = 0, Shift = 1, Ctrl = 2 };
    // What a drag with the left button held selects.
    enum class Drag { None, Cells, Columns, Rows };
    // What a left click did.
    enum class Click { Nothing, Selected, SelectedAll, SortColumn };

    explicit CGridNavigation(CGridModel& model) : m_Model(model) {}
    CGridNavigation(const CGridNavigation&) = delete;
    CGridNavigation& operator=(const CGridNavigation&) = delete;

    // In list mode whole rows are selected.
    void SetListMode(bool on) { m_bListMode = on; }
    bool GetListMode() const { return m_bListMode; }
    // With list mode, a click on a column heading sorts by the column instead of selecting it.
    void SetHeaderSort(bool on) { m_bHeaderSort = on; }
    bool GetHeaderSort() const { return m_bHeaderSort; }

    // Moves the focus for a key; `pageRows` is how many rows a page moves. False when the grid has no
    // cell to move to, so the key is left to others.
    bool OnKey(Key key, unsigned modifiers, int pageRows);
    // A left click on a cell, heading cells included; an invalid cell does nothing.
    Click OnLeftClick(CCellID cell, unsigned modifiers);
    // A right click selects the cell alone unless it is already selected.
    void OnRightClick(CCellID cell);
    // Extends the selection of the current drag to the cell under the mouse.
    void DragTo(CCellID cell);
    void EndDrag() { m_Drag = Drag::None; }
    Drag GetDrag() const { return m_Drag; }

    void SelectAll();
    // Forgets the anchor and the drag, as after the grid's cells are replaced.
    void Reset();

    // The next row or column of a non-zero size `step` away, fixed ones excluded; the given one when
    // there is none.
    int NextVisibleRow(int row, int step) const;
    int NextVisibleColumn(int col, int step) const;

private:
    void MoveFocus(int row, int col, bool extend);
    void SelectDrag(CCellID cell, Drag mode);

    CGridModel& m_Model;
    bool m_bListMode = false;
    bool m_bHeaderSort = true;
    Drag m_Drag = Drag::None;
    CCellID m_SelectionStart;
    CGridSelection m_PrevSelection;
};
