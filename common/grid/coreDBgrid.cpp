#include "grid/coreDBgrid.h"

#include "grid/CExportDlg.h"
#include "services/Helpers.h"
#include "toolkit/MessageBox.h"

#include <QContextMenuEvent>
#include <QMenu>

coreDBgrid::coreDBgrid(QWidget* parent) : CGridCtrl(parent, std::make_unique<CResultTable>()) {}

coreDBgrid::~coreDBgrid() = default;

void coreDBgrid::Clear() {
    Table().Clear();
    DeleteAllItems();
}

void coreDBgrid::Initialize() {
    Table().Initialize();
    SetEditable(false);
    SetListMode(false);
    EnableDragAndDrop(false);
    SetHeaderSort(false);
    m_pExport.reset();
    m_pExport = std::make_unique<CExport>(&Table(), EXP_TEXT);
    ScheduleLayout();
}

void coreDBgrid::AddColumn(int column, const CString& name) {
    Table().AddColumn(column, name);
    ScheduleLayout();
}

int coreDBgrid::NextRow(int index) {
    const int row = Table().NextRow(index);
    ScheduleLayout();
    return row;
}

bool coreDBgrid::SetCellText(int row, int col, std::string_view text) {
    const bool ok = Table().SetCellText(row, col, text);
    ScheduleLayout();
    return ok;
}

void coreDBgrid::Sort(int column, int ascending) {
    if (column < 0)
        column = GetSelectedCellRange().minCol;
    if (column < 0 || column >= GetColumnCount()) {
        ShowMessage("Select column first!", "Error!", MB_OK | MB_ICONERROR, this);
        return;
    }
    Table().Selection().Clear();
    Table().SetFocusCell(CCellID());
    Table().SortTextItems(column, ascending != 0);
    Refresh();
    // The top of the new order is what the user wants to see.
    EnsureVisible(GetFixedRowCount(), column);
}

void coreDBgrid::CopyToClipBoard() {
    ::CopyToClipBoard(Table().CopySelectedText());
}

void coreDBgrid::OpenExportDialog() {
    CExportDlg dialog(*m_pExport, this);
    dialog.DoModal();
}

int coreDBgrid::ProceedCommand(int id) {
    EXP_TYPE target = EXP_NONE;
    switch (id) {
    case ID_GRID_COPYSELECTED:
    case ID_EDIT_COPY:
        CopyToClipBoard();
        return 1;
    case ID_GRID_EXPORT:
        break;
    case ID_EXPORT_TEXT:
        target = EXP_TEXT;
        break;
    case ID_EXPORT_SQL:
        target = EXP_SQL;
        break;
    case ID_EXPORT_XML:
        target = EXP_XML;
        break;
    case ID_EXPORT_HTML:
        target = EXP_HTML;
        break;
    case ID_EXPORT_EXCEL:
        target = EXP_EXCEL;
        break;
    default:
        return 0;
    }
    if (!m_pExport)
        m_pExport = std::make_unique<CExport>(&Table(), EXP_TEXT);
    if (target != EXP_NONE)
        m_pExport->SetMode(target);
    OpenExportDialog();
    return 1;
}

bool coreDBgrid::OnCommand(int id, long param) {
    return ProceedCommand(id) || CGridCtrl::OnCommand(id, param);
}

std::unique_ptr<QMenu> coreDBgrid::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction("Copy selected")->setData(int(ID_GRID_COPYSELECTED));
    menu->addAction("Export...")->setData(int(ID_GRID_EXPORT));
    return menu;
}

void coreDBgrid::OnContextMenu(QWidget* window, const QPoint& point) {
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    if (QAction* chosen = menu->exec(point))
        ProceedCommand(chosen->data().toInt());
}

void coreDBgrid::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? viewport()->mapToGlobal(QPoint(10, 10))
                                                                     : event->globalPos();
    OnContextMenu(this, at);
}
