// The window-free core of the script editor: the text, the caret and the anchor, undo recording and every
// editing operation. The editor window forwards keys, clicks and commands to it and paints its text.
#pragma once

#include "CommonTypes.h"
#include "editor/CScriptText.h"
#include "editor/CUndoFrame.h"
#include "editor/CUndoStack.h"

#include <functional>
#include <string_view>

class CEditModel {
public:
    explicit CEditModel(int tabSize = 4);

    // Notifications the window passes on to its parent.
    std::function<void()> OnChange;           // the text changed or may have changed
    std::function<void()> OnUserChange;       // an action made by the user ended
    std::function<void(int line)> OnUndoLine; // undo or redo is about to change this line

    CScriptText& Text() { return m_Text; }
    const CScriptText& Text() const { return m_Text; }
    int GetLineCount() const { return static_cast<int>(m_Text._GetSize()); }
    CString GetLine(int line) const { return m_Text._GetLine(line); }
    // Length in characters; 0 for a line outside the text (the line after the last).
    int GetLineLength(int line) const;
    void SetTabSize(int tabSize) { m_TabSize = tabSize > 0 ? tabSize : 4; }
    int GetTabSize() const { return m_TabSize; }

    // Caret and anchor, as (column, line) from 0. The setters clip.
    int GetCursorX() const { return m_CursorX; }
    int GetCursorY() const { return m_CursorY; }
    int GetAnchorX() const { return m_AnchorX; }
    int GetAnchorY() const { return m_AnchorY; }
    void SetCursorPos(int x, int y);
    void SetAnchorPos(int x, int y);
    void SetSelection(int anchorX, int anchorY, int cursorX, int cursorY);
    void ClipCursorPosition();
    void ClipAnchorPosition();
    // After a caret move: the anchor stays when keepAnchor (Shift held), else it moves to the caret.
    void UpdateAnchor(bool keepAnchor);
    bool HasSelection() const { return m_CursorX != m_AnchorX || m_CursorY != m_AnchorY; }
    // Start and end of the selection in document order (equal when nothing is selected).
    void GetSelection(int& startX, int& startY, int& endX, int& endY) const;
    bool IsSelected(int column, int line) const;
    // The selected text, lines joined with carriage return and line feed.
    CString GetSelectedText() const;

    // Caret moves of the keys; they leave the anchor to UpdateAnchor.
    void MoveLeft(bool ctrl);
    void MoveRight(bool ctrl);
    void MoveUp();
    void MoveDown();
    void MoveHome(bool ctrl);
    void MoveEnd(bool ctrl);
    // By `lines` lines (the visible line count), the column clipped.
    void MovePageUp(int lines);
    void MovePageDown(int lines);
    void WordLeft();
    void WordRight();
    void SelectAll();
    // Double click: the run of letters and digits around the position, or the one character there.
    void SelectWordAt(int column, int line);

    // User actions, each one undo step followed by both notifications. The window checks read-only first.
    // Returns false when the character is ignored (a control character other than tab and carriage return).
    bool TypeChar(char32_t ch);
    void Backspace();
    void Delete();
    // Removes the selection and returns it (empty, and nothing changes, without a selection).
    CString Cut();
    void Paste(const CString& text);
    void ReplaceSelText(const char* text);
    void SetLine(const char* text, int line);

    // Building blocks, to be called between StartAction and EndAction.
    void RemoveSelected();
    void _ReplaceSelText(const char* text);
    void InsertChar(char32_t ch);
    void InsertTab();
    void SplitLine();
    void DeleteCharBefore();
    void DeleteCharAfter();

    // Whole text.
    void Reset();
    void LoadText(const char* text);
    // The same for text that may hold NUL bytes (kept as characters, like every other byte).
    void LoadText(std::string_view text);
    void UnloadText(CString& out) const;

    // Undo recording.
    void StartAction();
    void EndAction(bool byUser);
    void StartUndoFrame();
    void EndUndoFrame();
    void InsertTextLine(const CString& text, int line, bool update, bool noUndo);
    void SetTextLine(const CString& text, int line, bool noUndo, bool update);
    void RemoveTextLine(int line, bool noUndo, bool update);
    void RemoveAllText();
    void DoUndo();
    void DoRedo();
    void DoUndoRedo(CUndoStack& from, CUndoStack& to);
    void ClearUndoStack(CUndoStack& stack) { stack.Clear(); }
    void ClearUndoHistory();
    bool CanUndo() const { return !m_UndoStack.IsEmpty(); }
    bool CanRedo() const { return !m_RedoStack.IsEmpty(); }
    const CUndoFrame& UndoFrame() const { return m_UndoFrame; }
    const CUndoStack& UndoStack() const { return m_UndoStack; }
    const CUndoStack& RedoStack() const { return m_RedoStack; }

    // Search. Find selects the next occurrence after the selection (or the caret); false when none.
    bool Find(const CString& what, int matchCase, int wholeWord);
    // Replaces every occurrence from the caret on, each as one user action; returns the count.
    int ReplaceAll(const CString& what, const CString& replacement, int matchCase, int wholeWord);

private:
    void Notify(const std::function<void()>& f) const;

    CScriptText m_Text;
    int m_TabSize;
    int m_CursorX = 0;
    int m_CursorY = 0;
    int m_AnchorX = 0;
    int m_AnchorY = 0;
    CUndoFrame m_UndoFrame;
    CUndoStack m_UndoStack;
    CUndoStack m_RedoStack;
};
