// The grid that shows one query result as text: heading row, row-number column and one text row
// per fetched row. It adds to the grid control the read-only result layout, sorting on one column,
// "Copy selected", the context menu, the export commands and the export object it owns.
#pragma once

#include "grid/CExport.h"
#include "grid/CGridCtrl.h"
#include "grid/CResultTable.h"

#include <memory>

class QMenu;

// Grid command identifiers, shared with the program's menus and tool bars.
enum : int {
    ID_GRID_COPYSELECTED = 1028,
    ID_GRID_EXPORT = 1029,
    ID_EXPORT_TEXT = 32821,
    ID_EXPORT_SQL = 32822,
    ID_EXPORT_XML = 32823,
    ID_EXPORT_HTML = 32825,
    ID_EXPORT_EXCEL = 32827,
    ID_EDIT_COPY = 57634,
};

class coreDBgrid : public CGridCtrl {
    Q_OBJECT
public:
    explicit coreDBgrid(QWidget* parent = nullptr);
    ~coreDBgrid() override;

    // The window-free result that this grid shows.
    CResultTable& Table() { return static_cast<CResultTable&>(Model()); }
    const CResultTable& Table() const { return static_cast<const CResultTable&>(Model()); }
    CExport* GetExport() { return m_pExport.get(); }

    // Removes all rows and columns, fixed ones included, sizes, selection, focus and descriptions.
    void Clear();
    // Shows another result: the grid's table and `other` exchange their content.
    void SwapTable(CResultTable& other) {
        Table().SwapResult(other);
        ContentReplaced();
    }
    void ViewNull(int on) { Table().ViewNull(on); }
    void SetBlobAsText(int on) { Table().SetBlobAsText(on); }
    void AssignSQL(const CString& sql) { Table().AssignSQL(sql); }
    void AssignTables(const CString& tables) { Table().AssignTables(tables); }
    // Sorts the data rows on a grid column; a negative column means the leftmost selected one.
    void Sort(int column, int ascending);
    // Carries out a grid command; 1 when the id is one of the grid's.
    int ProceedCommand(int id);
    bool OnCommand(int id, long param = 0) override;
    void OnContextMenu(QWidget* window, const QPoint& point);
    // The context menu's entries; each action's data is its command id.
    std::unique_ptr<QMenu> CreateContextMenu();

protected:
    // One heading row, one row-number column, read-only; replaces the export object.
    void Initialize();
    // Heading of grid column column + 1.
    void AddColumn(int column, const CString& name);
    // Appends a row numbered index + 1 ("%3d"); returns the new row.
    int NextRow(int index);
    // Stores a value cell with the common format; cheap enough to call for every cell of a load.
    bool SetCellText(int row, int col, std::string_view text);
    // Shows the export dialog over the export object.
    virtual void OpenExportDialog();
    // Puts the selected block on the clipboard ("Copy selected").
    void CopyToClipBoard();
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::unique_ptr<CExport> m_pExport;
};
