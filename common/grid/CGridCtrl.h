// The general grid window: a scrollable table of text cells with fixed heading rows and columns,
// selection by mouse and keyboard, sizing, sorting, copying, title tips and printing. The cells
// live in a window-free CGridModel; painting and scrolling touch only the visible cells.
#pragma once

#include "grid/CGridModel.h"
#include "grid/CGridNavigation.h"

#include <QAbstractScrollArea>

#include <memory>
#include <optional>

class QPainter;
class QPrinter;

class CGridCtrl : public QAbstractScrollArea {
    Q_OBJECT
public:
    // The grid owns its model; a null model makes a plain CGridModel.
    explicit CGridCtrl(QWidget* parent = nullptr, std::unique_ptr<CGridModel> model = nullptr);
    ~CGridCtrl() override;

    CGridModel& Model() { return *m_pModel; }
    const CGridModel& Model() const { return *m_pModel; }

    // --- structure (forwarded to the model, then the scroll bars are reset)
    int GetRowCount() const { return m_pModel->GetRowCount(); }
    int GetColumnCount() const { return m_pModel->GetColumnCount(); }
    int GetFixedRowCount() const { return m_pModel->GetFixedRowCount(); }
    int GetFixedColumnCount() const { return m_pModel->GetFixedColumnCount(); }
    bool SetRowCount(int rows);
    bool SetColumnCount(int cols);
    bool SetFixedRowCount(int rows);
    bool SetFixedColumnCount(int cols);
    int InsertRow(const CString& heading, int before = -1);
    bool DeleteRow(int row);
    void DeleteAllItems();
    bool IsValid(int row, int col) const { return m_pModel->IsValid(row, col); }

    // --- cells
    bool SetItem(const _GV_ITEM& item);
    bool GetItem(_GV_ITEM& item) const { return m_pModel->GetItem(item); }
    bool SetItemText(int row, int col, const CString& text);
    CString GetItemText(int row, int col) const { return m_pModel->GetItemText(row, col); }
    bool SetItemFormat(int row, int col, unsigned format);
    unsigned GetItemFormat(int row, int col) const { return m_pModel->GetItemFormat(row, col); }
    bool SetItemState(int row, int col, unsigned state);
    unsigned GetItemState(int row, int col) const { return m_pModel->GetItemState(row, col); }
    CGridCell GetCell(int row, int col) const { return m_pModel->GetCell(row, col); }

    // --- sizes
    int GetRowHeight(int row) const { return m_pModel->GetRowHeight(row); }
    bool SetRowHeight(int row, int height);
    int GetColumnWidth(int col) const { return m_pModel->GetColumnWidth(col); }
    bool SetColumnWidth(int col, int width);
    // Fits every visible column and row to its largest text extent, fixed cells included.
    void AutoSize();
    void AutoSizeColumn(int col);
    void AutoSizeRow(int row);
    // Extent of a cell's text with its padding: the smallest cell that paints the text whole.
    QSize GetTextExtent(int row, int col) const;
    // The part of a cell's rectangle that its text is painted into; sizing keeps the same padding.
    QRect TextRect(const QRect& cell) const;
    // The font cell texts are painted and measured with: the grid's font without kerning, so that a
    // text's width is the sum of its characters' advances.
    const QFont& TextFont() const { return m_TextFont; }

    // --- selection and focus
    CCellRange GetCellRange() const { return m_pModel->GetCellRange(); }
    CCellRange GetSelectedCellRange() const { return m_pModel->GetSelectedCellRange(); }
    void SetSelectedRange(const CCellRange& range);
    void SelectAllCells();
    void ClearSelection();
    CCellID GetFocusCell() const { return m_pModel->GetFocusCell(); }
    void SetFocusCell(int row, int col);
    bool IsCellSelected(int row, int col) const { return m_pModel->IsCellSelected(row, col); }
    void EnsureVisible(int row, int col);
    // Cell under a point of the viewport; -1, -1 outside the cells.
    CCellID GetCellFromPt(const QPoint& point) const;
    // Rectangle of a cell in viewport coordinates (empty when not on screen).
    QRect GetCellRect(int row, int col) const;
    int GetTopRow() const { return m_nTopRow; }

    // --- sorting, tips
    bool SortTextItems(int col, bool ascending);
    void SetColTip(int col, const CString& tip) { m_pModel->SetColTip(col, tip); }
    CString GetColTip(int col) const { return m_pModel->GetColTip(col); }
    // What the title tip shows for a cell: the heading tip of its column, or its whole text when it
    // doesn't fit; empty for nothing.
    CString GetTitleTipText(int row, int col) const;

    // --- switches
    void SetEditable(bool on) { m_bEditable = on; }
    bool IsEditable() const { return m_bEditable; }
    void SetListMode(bool on) { m_Navigation.SetListMode(on); }
    bool GetListMode() const { return m_Navigation.GetListMode(); }
    void SetHeaderSort(bool on) { m_Navigation.SetHeaderSort(on); }
    bool GetHeaderSort() const { return m_Navigation.GetHeaderSort(); }
    void EnableDragAndDrop(bool on) { m_bAllowDragAndDrop = on; }
    bool GetDragAndDrop() const { return m_bAllowDragAndDrop; }
    void EnableTitleTips(bool on) { m_bTitleTips = on; }
    void SetRowResize(bool on) { m_bAllowRowResize = on; }
    void SetColumnResize(bool on) { m_bAllowColumnResize = on; }
    // Lines per wheel notch; -1 scrolls a page per notch.
    void SetWheelScrollLines(int lines) { m_nRowsPerWheelNotch = lines; }
    int GetWheelScrollLines() const { return m_nRowsPerWheelNotch; }

    // --- colours (0x00BBGGRR)
    void SetTextColor(uint32_t c) { m_crTextColour = c; }
    void SetTextBkColor(uint32_t c) { m_crTextBkColour = c; }
    void SetFixedBkColor(uint32_t c) { m_crFixedBkColour = c; }
    void SetGridLineColor(uint32_t c) { m_crGridColour = c; }
    uint32_t GetGridLineColor() const { return m_crGridColour; }

    // --- commands and clipboard
    void Refresh();
    // After the model's content was exchanged: scrolls to the top left, forgets a drag and repaints.
    void ContentReplaced();
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditSelectAll() { SelectAllCells(); }
    // The grid's own handling of the edit command ids; returns true when the id was handled.
    virtual bool OnCommand(int id, long param = 0);

    // --- printing; print margins in character heights and widths of the print font
    // Prints the whole grid after the print dialog; a given printer is used instead of a new one.
    bool Print(QPrinter* printer = nullptr);
    void SetPrintMarginInfo(int header, int footer, int left, int right, int top, int bottom, int gap);
    int m_nHeaderHeight = 2, m_nFooterHeight = 2, m_nLeftMargin = 4, m_nRightMargin = 4, m_nTopMargin = 1,
        m_nBottomMargin = 1, m_nGap = 1;
    bool m_bShadedPrintOut = true;

    // Draws one cell into a rectangle (used for the screen and for printing).
    void DrawCell(QPainter& painter, int row, int col, const QRect& rect, bool printing) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;

    void ResetScrollBars();
    // Resets the scroll bars and repaints once the pending events are processed; cheap to call per cell.
    void ScheduleLayout();
    bool focusNextPrevChild(bool next) override;
    // Called when a heading is clicked with list mode and header sort on.
    virtual void OnHeaderSort(int col);

private:
    enum class MouseMode { None, ResizeColumn, ResizeRow };

    int FixedWidth() const;
    int FixedHeight() const;
    int ColumnLeft(int col) const;
    int RowTop(int row) const;
    int MaxTopRow() const;
    int VisibleRowsFrom(int top) const;
    void SetTopRow(int row);
    void UpdateFontMetrics();
    // Width of one line of text as painting lays it out, rounded up to whole pixels; null for the
    // grid's text font.
    int LineWidth(std::string_view line, const QFont* font) const;
    // The font a cell's own font description makes of the grid's font; nullopt without one.
    std::optional<QFont> CellFont(const CGridCellBase* attr) const;
    // Padding around a cell's text: the cell's size less that of its text rectangle.
    QSize TextPadding() const;
    int ResizeColumnAt(const QPoint& p) const;
    int ResizeRowAt(const QPoint& p) const;

    std::unique_ptr<CGridModel> m_pModel;
    CGridNavigation m_Navigation;
    int m_nTopRow = 0; // first non-fixed row shown

    bool m_bEditable = true;
    bool m_bAllowDragAndDrop = false;
    bool m_bTitleTips = true;
    bool m_bAllowRowResize = true;
    bool m_bAllowColumnResize = true;
    bool m_bHiddenReopen = true;
    int m_nRowsPerWheelNotch = 3;
    int m_nWheelRemainder = 0;

    uint32_t m_crTextColour;
    uint32_t m_crTextBkColour;
    uint32_t m_crFixedBkColour;
    uint32_t m_crGridColour;
    int m_nMargin = 3;
    QFont m_TextFont;
    double m_AsciiAdvance[128] = {};
    double m_MaxAsciiAdvance = 0;
    int m_nLineHeight = 10;

    MouseMode m_MouseMode = MouseMode::None;
    int m_nResizeIndex = -1;
    int m_nResizeOrigin = 0;
    bool m_bLayoutPending = false;
};
