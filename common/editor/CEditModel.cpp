#include "editor/CEditModel.h"

// Bodies being written.

int CEditModel::GetLineLength(int line) const {
    return 0;
}
void CEditModel::SetCursorPos(int x, int y) {}
void CEditModel::SetAnchorPos(int x, int y) {}
void CEditModel::SetSelection(int anchorX, int anchorY, int cursorX, int cursorY) {}
void CEditModel::ClipCursorPosition() {}
void CEditModel::ClipAnchorPosition() {}
void CEditModel::UpdateAnchor(bool keepAnchor) {}
void CEditModel::GetSelection(int& startX, int& startY, int& endX, int& endY) const {}
bool CEditModel::IsSelected(int column, int line) const {
    return false;
}
CString CEditModel::GetSelectedText() const {
    return {};
}
void CEditModel::MoveLeft(bool ctrl) {}
void CEditModel::MoveRight(bool ctrl) {}
void CEditModel::MoveUp() {}
void CEditModel::MoveDown() {}
void CEditModel::MoveHome(bool ctrl) {}
void CEditModel::MoveEnd(bool ctrl) {}
void CEditModel::MovePageUp(int lines) {}
void CEditModel::MovePageDown(int lines) {}
void CEditModel::WordLeft() {}
void CEditModel::WordRight() {}
void CEditModel::SelectAll() {}
void CEditModel::SelectWordAt(int column, int line) {}
bool CEditModel::TypeChar(char32_t ch) {
    return false;
}
void CEditModel::Backspace() {}
void CEditModel::Delete() {}
CString CEditModel::Cut() {
    return {};
}
void CEditModel::Paste(const CString& text) {}
void CEditModel::ReplaceSelText(const char* text) {}
void CEditModel::SetLine(const char* text, int line) {}
void CEditModel::RemoveSelected() {}
void CEditModel::_ReplaceSelText(const char* text) {}
void CEditModel::InsertChar(char32_t ch) {}
void CEditModel::InsertTab() {}
void CEditModel::SplitLine() {}
void CEditModel::DeleteCharBefore() {}
void CEditModel::DeleteCharAfter() {}
void CEditModel::Reset() {}
void CEditModel::LoadText(const char* text) {}
void CEditModel::UnloadText(CString& out) const {}
void CEditModel::StartAction() {}
void CEditModel::EndAction(bool byUser) {}
void CEditModel::StartUndoFrame() {}
void CEditModel::EndUndoFrame() {}
void CEditModel::InsertTextLine(const CString& text, int line, bool update, bool noUndo) {}
void CEditModel::SetTextLine(const CString& text, int line, bool noUndo, bool update) {}
void CEditModel::RemoveTextLine(int line, bool noUndo, bool update) {}
void CEditModel::RemoveAllText() {}
void CEditModel::DoUndo() {}
void CEditModel::DoRedo() {}
void CEditModel::DoUndoRedo(CUndoStack& from, CUndoStack& to) {}
void CEditModel::ClearUndoHistory() {}
bool CEditModel::Find(const CString& what, int matchCase, int wholeWord) {
    return false;
}
int CEditModel::ReplaceAll(const CString& what, const CString& replacement, int matchCase, int wholeWord) {
    return 0;
}
CEditModel::CEditModel(int tabSize) : m_TabSize(tabSize > 0 ? tabSize : 4) {
    Reset();
}
void CEditModel::Notify(const std::function<void()>& f) const {
    if (f)
        f();
}
