// The content of a grid without any window: rows and columns, fixed counts, sizes, cell texts and
// attributes, the selection and the focus cell. Texts of one row share a single allocation, so a
// cell with only text and the common format costs four bytes beside its text.
#pragma once

#include "grid/CGridCell.h"
#include "grid/CGridSelection.h"
#include "grid/GridItem.h"

#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

class CGridModel {
public:
    CGridModel();
    virtual ~CGridModel();
    CGridModel(const CGridModel&) = delete;
    CGridModel& operator=(const CGridModel&) = delete;
    // Exchanges the whole content with another model: rows, sizes, selection, focus and sort state.
    void SwapContent(CGridModel& other);

    // --- rows and columns
    int GetRowCount() const { return static_cast<int>(m_Rows.size()); }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    bool SetRowCount(int rows);
    bool SetColumnCount(int cols);
    // Growing the fixed counts grows the totals.
    bool SetFixedRowCount(int rows);
    bool SetFixedColumnCount(int cols);
    // Inserts a row before `before` (-1 appends) with the text in column 0; returns its index or -1.
    int InsertRow(std::string_view heading, int before = -1);
    bool DeleteRow(int row);
    // Removes all rows, columns and their sizes; resets selection, focus and sort column.
    void DeleteAllItems();
    bool IsValid(int row, int col) const {
        return row >= 0 && col >= 0 && row < GetRowCount() && col < m_nCols;
    }
    void SwapRows(int a, int b);

    // --- cells
    // The text stays valid until the row is changed; empty outside the grid.
    std::string_view TextView(int row, int col) const;
    CString GetItemText(int row, int col) const { return CString(TextView(row, col)); }
    bool SetItemText(int row, int col, std::string_view text);
    bool SetItem(const _GV_ITEM& item);
    bool GetItem(_GV_ITEM& item) const;
    CGridCell GetCell(int row, int col) const;
    // All texts of a row back to back (for quick scans of a whole row).
    std::string_view RowText(int row) const;
    bool RowHasAttributes(int row) const {
        return row >= 0 && row < GetRowCount() && m_Rows[size_t(row)].attr;
    }
    // Attributes beyond text and the common format, or nullptr when the cell has none.
    const CGridCellBase* Attributes(int row, int col) const;

    unsigned GetItemFormat(int row, int col) const;
    bool SetItemFormat(int row, int col, unsigned format);
    // Stored flags plus GVIS_SELECTED and GVIS_FOCUSED from the selection and focus.
    unsigned GetItemState(int row, int col) const;
    bool SetItemState(int row, int col, unsigned state);
    int GetItemImage(int row, int col) const;
    bool SetItemImage(int row, int col, int image);
    uint32_t GetItemData(int row, int col) const;
    bool SetItemData(int row, int col, uint32_t data);
    uint32_t GetItemBkColour(int row, int col) const;
    bool SetItemBkColour(int row, int col, uint32_t colour);
    uint32_t GetItemFgColour(int row, int col) const;
    bool SetItemFgColour(int row, int col, uint32_t colour);
    const CFontDesc* GetItemFont(int row, int col) const;
    bool SetItemFont(int row, int col, std::optional<CFontDesc> font);

    // The format of a fresh cell: single line, vertically centred, left, no prefix, end ellipsis.
    static constexpr unsigned kCommonFormat =
        DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

    // --- sizes (0 hides a row or column)
    int GetRowHeight(int row) const;
    bool SetRowHeight(int row, int height);
    int GetColumnWidth(int col) const;
    bool SetColumnWidth(int col, int width);
    int GetDefaultRowHeight() const { return m_nDefRowHeight; }
    int GetDefaultColumnWidth() const { return m_nDefColWidth; }
    void SetDefaultCellSize(int width, int height);

    // --- selection and focus
    CGridSelection& Selection() { return m_Selection; }
    const CGridSelection& Selection() const { return m_Selection; }
    bool IsCellSelected(int row, int col) const { return m_Selection.Contains(row, col); }
    CCellID GetFocusCell() const { return m_FocusCell; }
    void SetFocusCell(CCellID cell) { m_FocusCell = IsValid(cell.row, cell.col) ? cell : CCellID(); }
    // Rows 0..rows-1, columns 0..cols-1.
    CCellRange GetCellRange() const { return {0, 0, GetRowCount() - 1, m_nCols - 1}; }
    // Bounding range of the selection; when empty: minRow = row count, minCol = column count, maxima -1.
    CCellRange GetSelectedCellRange() const;
    // All non-fixed cells.
    CCellRange GetNonFixedRange() const {
        return {m_nFixedRows, m_nFixedCols, GetRowCount() - 1, m_nCols - 1};
    }

    // --- sorting
    // Sorts rows low..high on one column (quicksort; equal texts are never swapped): by text, or by
    // value in a column that sorts by value.
    void SortTextItems(int col, bool ascending, int low, int high);
    // Sorts all non-fixed rows and records the sort column; false when the column doesn't exist.
    bool SortTextItems(int col, bool ascending);
    // Orders two texts by the numbers they hold: negative, zero or positive. Texts that are no
    // numbers (NULL, a failed read) come first, among themselves in byte order.
    static int CompareByValue(std::string_view a, std::string_view b);
    int GetSortColumn() const { return m_nSortColumn; }
    bool GetSortAscending() const { return m_bSortAscending; }

    // The control's own copy text: selected cells of the bounding range, hidden rows and columns
    // skipped, tabs between columns and CR LF between rows, nothing after the last.
    CString SelectedText() const;

    // --- heading tips, one per column
    void SetColTip(int col, const CString& tip);
    CString GetColTip(int col) const;

    // Total bytes of all cell texts.
    size_t TextBytes() const;

protected:
    // Called after rows were removed or reordered, so that subclasses can drop what refers to them.
    virtual void OnRowsChanged() {}
    // Whether a column holds numbers that sort by value rather than by their text.
    virtual bool SortsByValue(int col) const { return false; }

private:
    struct FreeDeleter {
        void operator()(char* p) const { std::free(p); }
    };
    struct RowAttributes {
        std::vector<std::pair<int, CGridCellBase>> cells; // sorted by column
    };
    struct Row {
        std::unique_ptr<char, FreeDeleter> text; // count, end offsets, then the texts
        std::unique_ptr<RowAttributes> attr;
    };

    template <class Less> void QuickSort(int col, int low, int high, Less less);
    CGridCellBase* EditAttributes(int row, int col);
    void ReleaseIfDefault(int row, int col);
    void TruncateColumns(Row& row, int cols);
    void ClipToGrid();
    static void ShrinkToFit(Row& row);

    std::vector<Row> m_Rows;
    std::vector<int> m_RowHeights;
    std::vector<int> m_ColWidths;
    std::vector<CString> m_ColTips;
    int m_nCols = 0;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;
    int m_nDefRowHeight = 10;
    int m_nDefColWidth = 30;
    size_t m_nBlockHint = 0;
    CGridSelection m_Selection;
    CCellID m_FocusCell;
    int m_nSortColumn = -1;
    bool m_bSortAscending = true;
};
