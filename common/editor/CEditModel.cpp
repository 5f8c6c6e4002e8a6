#include "editor/CEditModel.h"

#include "editor/CUtf8.h"

#include <algorithm>

namespace {

// Characters that typing and pasting drop: the control characters of ASCII and Latin-1.
bool IsControl(char32_t ch) {
    return ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch <= 0x9F);
}

// Tabs to blanks (stops every tabSize characters from the line start) and no control characters.
CString CleanLine(const char* text, int tabSize) {
    CString out;
    int column = 0;
    const char* p = text;
    const char* end = text + std::char_traits<char>::length(text);
    while (p < end) {
        int n = 1;
        const char32_t ch = CUtf8::Decode(p, end, &n);
        if (ch == '\t') {
            const int blanks = tabSize - column % tabSize;
            out.append(blanks, ' ');
            column += blanks;
        } else if (!IsControl(ch)) {
            out.append(p, n);
            ++column;
        }
        p += n;
    }
    return out;
}

} // namespace

CEditModel::CEditModel(int tabSize) : m_TabSize(tabSize > 0 ? tabSize : 4) {
    Reset();
}

void CEditModel::Notify(const std::function<void()>& f) const {
    if (f)
        f();
}

int CEditModel::GetLineLength(int line) const {
    return line >= 0 && line < GetLineCount() ? m_Text._GetLineLength(line) : 0;
}

// ---- caret and anchor ----

void CEditModel::ClipCursorPosition() {
    m_CursorY = std::clamp(m_CursorY, 0, GetLineCount() - 1);
    m_CursorX = std::clamp(m_CursorX, 0, GetLineLength(m_CursorY));
}

void CEditModel::ClipAnchorPosition() {
    m_AnchorY = std::clamp(m_AnchorY, 0, GetLineCount() - 1);
    m_AnchorX = std::clamp(m_AnchorX, 0, GetLineLength(m_AnchorY));
}

void CEditModel::SetCursorPos(int x, int y) {
    m_CursorX = x;
    m_CursorY = y;
    ClipCursorPosition();
}

void CEditModel::SetAnchorPos(int x, int y) {
    m_AnchorX = x;
    m_AnchorY = y;
    ClipAnchorPosition();
}

void CEditModel::SetSelection(int anchorX, int anchorY, int cursorX, int cursorY) {
    SetAnchorPos(anchorX, anchorY);
    SetCursorPos(cursorX, cursorY);
}

void CEditModel::UpdateAnchor(bool keepAnchor) {
    if (!keepAnchor) {
        m_AnchorX = m_CursorX;
        m_AnchorY = m_CursorY;
    }
}

void CEditModel::GetSelection(int& startX, int& startY, int& endX, int& endY) const {
    const bool cursorFirst = m_CursorY < m_AnchorY || (m_CursorY == m_AnchorY && m_CursorX < m_AnchorX);
    startX = cursorFirst ? m_CursorX : m_AnchorX;
    startY = cursorFirst ? m_CursorY : m_AnchorY;
    endX = cursorFirst ? m_AnchorX : m_CursorX;
    endY = cursorFirst ? m_AnchorY : m_CursorY;
}

bool CEditModel::IsSelected(int column, int line) const {
    if (!HasSelection())
        return false;
    int sx, sy, ex, ey;
    GetSelection(sx, sy, ex, ey);
    const bool afterStart = line > sy || (line == sy && column >= sx);
    const bool beforeEnd = line < ey || (line == ey && column < ex);
    return afterStart && beforeEnd;
}

CString CEditModel::GetSelectedText() const {
    if (!HasSelection())
        return CString();
    int sx, sy, ex, ey;
    GetSelection(sx, sy, ex, ey);
    const int count = GetLineCount();
    auto line = [&](int y) -> CString { return y < count ? m_Text._GetLineRef(y) : CString(); };
    if (sy == ey)
        return CUtf8::Mid(line(sy), sx, ex - sx);
    CString out = CUtf8::Mid(line(sy), sx);
    for (int y = sy + 1; y < ey; ++y) {
        out += "\r\n";
        out += line(y);
    }
    out += "\r\n";
    out += CUtf8::Left(line(ey), ex);
    return out;
}

// ---- caret moves ----

void CEditModel::MoveLeft(bool ctrl) {
    if (m_CursorX == 0 || m_CursorY >= GetLineCount()) {
        if (m_CursorY > 0) {
            --m_CursorY;
            m_CursorX = GetLineLength(m_CursorY);
        }
        return;
    }
    m_CursorX = std::min(m_CursorX, GetLineLength(m_CursorY));
    if (ctrl)
        WordLeft();
    else if (m_CursorX > 0)
        --m_CursorX;
}

void CEditModel::MoveRight(bool ctrl) {
    const int count = GetLineCount();
    if (m_CursorY >= count) {
        m_CursorY = count - 1;
        m_CursorX = GetLineLength(m_CursorY);
        return;
    }
    const int len = GetLineLength(m_CursorY);
    if (m_CursorX >= len) {
        if (m_CursorY < count - 1) {
            ++m_CursorY;
            m_CursorX = 0;
        } else {
            m_CursorX = len;
        }
        return;
    }
    if (ctrl)
        WordRight();
    else
        ++m_CursorX;
}

void CEditModel::MoveUp() {
    if (m_CursorY > 0) {
        --m_CursorY;
        m_CursorX = std::min(m_CursorX, GetLineLength(m_CursorY));
    }
}

void CEditModel::MoveDown() {
    if (m_CursorY < GetLineCount() - 1) {
        ++m_CursorY;
        m_CursorX = std::min(m_CursorX, GetLineLength(m_CursorY));
    }
}

void CEditModel::MoveHome(bool ctrl) {
    m_CursorX = 0;
    if (ctrl)
        m_CursorY = 0;
}

void CEditModel::MoveEnd(bool ctrl) {
    if (ctrl)
        m_CursorY = GetLineCount() - 1;
    m_CursorX = GetLineLength(m_CursorY);
}

void CEditModel::MovePageUp(int lines) {
    m_CursorY = std::max(0, std::min(m_CursorY, GetLineCount()) - std::max(lines, 0));
    m_CursorX = std::min(m_CursorX, GetLineLength(m_CursorY));
}

void CEditModel::MovePageDown(int lines) {
    m_CursorY = std::min(GetLineCount() - 1, m_CursorY + std::max(lines, 0));
    m_CursorX = std::min(m_CursorX, GetLineLength(m_CursorY));
}

void CEditModel::WordLeft() {
    if (m_CursorY >= GetLineCount())
        return;
    std::u32string chars;
    CUtf8::ToChars(m_Text._GetLineRef(m_CursorY), chars);
    const int x = std::min<int>(m_CursorX, static_cast<int>(chars.size()));
    bool seen = false;
    for (int i = x - 1; i >= 0; --i) {
        const char32_t ch = chars[i];
        if (!CUtf8::IsBlank(ch))
            seen = true;
        if (seen && !CUtf8::IsAsciiAlnum(ch)) {
            m_CursorX = i == x - 1 ? i : i + 1;
            return;
        }
    }
    m_CursorX = 0;
}

void CEditModel::WordRight() {
    if (m_CursorY >= GetLineCount())
        return;
    std::u32string chars;
    CUtf8::ToChars(m_Text._GetLineRef(m_CursorY), chars);
    const int n = static_cast<int>(chars.size());
    const int x = std::min(m_CursorX, n);
    bool seen = false;
    for (int i = x; i < n; ++i) {
        const char32_t ch = chars[i];
        if (!CUtf8::IsBlank(ch))
            seen = true;
        if (seen && !CUtf8::IsAsciiAlnum(ch)) {
            m_CursorX = i == x ? i + 1 : i;
            return;
        }
    }
    m_CursorX = n;
}

void CEditModel::SelectAll() {
    m_AnchorX = 0;
    m_AnchorY = 0;
    m_CursorY = GetLineCount() - 1;
    m_CursorX = GetLineLength(m_CursorY);
}

void CEditModel::SelectWordAt(int column, int line) {
    SetCursorPos(column, line);
    const int y = m_CursorY;
    const int x = m_CursorX;
    std::u32string chars;
    CUtf8::ToChars(m_Text._GetLineRef(y), chars);
    const int n = static_cast<int>(chars.size());
    if (x >= n) {
        m_AnchorX = x;
        m_AnchorY = y;
        return;
    }
    int start = x;
    int end = x + 1;
    if (CUtf8::IsAsciiAlnum(chars[x])) {
        while (start > 0 && CUtf8::IsAsciiAlnum(chars[start - 1]))
            --start;
        while (end < n && CUtf8::IsAsciiAlnum(chars[end]))
            ++end;
    }
    m_CursorX = start;
    m_AnchorX = end;
    m_AnchorY = y;
}

// ---- user actions ----

bool CEditModel::TypeChar(char32_t ch) {
    if (ch != '\r' && ch != '\t' && IsControl(ch))
        return false;
    if (ch >= 0xD800 && ch <= 0xDFFF)
        return false;
    StartAction();
    RemoveSelected();
    if (ch == '\t')
        InsertTab();
    else if (ch == '\r')
        SplitLine();
    else
        InsertChar(ch);
    UpdateAnchor(false);
    EndAction(true);
    return true;
}

void CEditModel::Backspace() {
    StartAction();
    if (HasSelection())
        RemoveSelected();
    else
        DeleteCharBefore();
    UpdateAnchor(false);
    EndAction(true);
}

void CEditModel::Delete() {
    StartAction();
    if (HasSelection())
        RemoveSelected();
    else
        DeleteCharAfter();
    UpdateAnchor(false);
    EndAction(true);
}

CString CEditModel::Cut() {
    if (!HasSelection())
        return CString();
    CString text = GetSelectedText();
    StartAction();
    RemoveSelected();
    EndAction(true);
    return text;
}

void CEditModel::Paste(const CString& text) {
    ReplaceSelText(text.c_str());
}

void CEditModel::ReplaceSelText(const char* text) {
    StartAction();
    _ReplaceSelText(text ? text : "");
    EndAction(true);
}

void CEditModel::SetLine(const char* text, int line) {
    StartAction();
    if (line >= 0 && line < GetLineCount()) {
        SetTextLine(CleanLine(text ? text : "", m_TabSize), line, false, true);
        if (m_CursorY < GetLineCount())
            ClipCursorPosition();
        if (m_AnchorY < GetLineCount())
            ClipAnchorPosition();
    }
    EndAction(true);
}

// ---- building blocks ----

void CEditModel::RemoveSelected() {
    if (!HasSelection())
        return;
    int sx, sy, ex, ey;
    GetSelection(sx, sy, ex, ey);
    const int count = GetLineCount();
    if (sy >= count) {
        // Both ends on the line after the last: there is nothing to remove.
    } else if (sy == ey) {
        CString line = m_Text._GetLineRef(sy);
        CUtf8::Erase(line, sx, ex - sx);
        SetTextLine(line, sy, false, true);
    } else {
        for (int y = sy + 1; y < ey && sy + 1 < GetLineCount(); ++y)
            RemoveTextLine(sy + 1, false, true);
        const bool endIsLine = ey < count;
        const CString tail = endIsLine ? CUtf8::Mid(m_Text._GetLineRef(sy + 1), ex) : CString();
        SetTextLine(CUtf8::Left(m_Text._GetLineRef(sy), sx) + tail, sy, false, true);
        if (endIsLine)
            RemoveTextLine(sy + 1, false, true);
    }
    m_CursorX = m_AnchorX = sx;
    m_CursorY = m_AnchorY = sy;
}

void CEditModel::_ReplaceSelText(const char* text) {
    RemoveSelected();
    const char* p = text;
    const char* end = text + std::char_traits<char>::length(text);
    CString pending;
    CString tail;
    bool sawLineFeed = false;
    int column = m_CursorX;
    while (p < end) {
        int n = 1;
        const char32_t ch = CUtf8::Decode(p, end, &n);
        if (ch == '\n') {
            if (!sawLineFeed) {
                const bool real = m_CursorY < GetLineCount();
                const CString line = real ? m_Text._GetLineRef(m_CursorY) : CString();
                const size_t cut = CUtf8::ByteOffset(line, m_CursorX);
                tail = line.substr(cut);
                CString first = line.substr(0, cut) + pending;
                if (real)
                    SetTextLine(first, m_CursorY, false, true);
                else
                    InsertTextLine(first, m_CursorY, true, false);
                sawLineFeed = true;
            } else {
                InsertTextLine(pending, m_CursorY, true, false);
            }
            pending.clear();
            ++m_CursorY;
            m_CursorX = 0;
            column = 0;
        } else if (ch == '\t') {
            const int blanks = m_TabSize - column % m_TabSize;
            pending.append(blanks, ' ');
            column += blanks;
        } else if (!IsControl(ch)) {
            pending.append(p, n);
            ++column;
        }
        p += n;
    }
    if (sawLineFeed) {
        // At the end of the text a trailing line feed leaves the caret on the line after the last; inside
        // the text the line break it stands for must be kept, so the line is inserted even when empty.
        const bool atEnd = m_CursorY >= GetLineCount();
        if (!(atEnd && pending.empty() && tail.empty()))
            InsertTextLine(pending + tail, m_CursorY, true, false);
        m_CursorX = CUtf8::Length(pending);
    } else if (!pending.empty()) {
        if (m_CursorY < GetLineCount()) {
            CString line = m_Text._GetLineRef(m_CursorY);
            CUtf8::Insert(line, m_CursorX, pending);
            SetTextLine(line, m_CursorY, false, true);
            m_CursorX += CUtf8::Length(pending);
        } else {
            InsertTextLine(pending, m_CursorY, true, false);
            m_CursorX = CUtf8::Length(pending);
        }
    }
    m_AnchorX = m_CursorX;
    m_AnchorY = m_CursorY;
}

void CEditModel::InsertChar(char32_t ch) {
    const CString bytes = CUtf8::Encode(ch);
    if (m_CursorY >= GetLineCount()) {
        InsertTextLine(bytes, m_CursorY, true, false);
        m_CursorX = 1;
        return;
    }
    CString line = m_Text._GetLineRef(m_CursorY);
    m_CursorX = std::min(m_CursorX, m_Text._GetLineLength(m_CursorY));
    CUtf8::Insert(line, m_CursorX, bytes);
    SetTextLine(line, m_CursorY, false, true);
    ++m_CursorX;
}

void CEditModel::InsertTab() {
    const int blanks = m_TabSize - m_CursorX % m_TabSize;
    const CString spaces(blanks, ' ');
    if (m_CursorY >= GetLineCount()) {
        InsertTextLine(spaces, m_CursorY, true, false);
        m_CursorX = blanks;
        return;
    }
    CString line = m_Text._GetLineRef(m_CursorY);
    m_CursorX = std::min(m_CursorX, m_Text._GetLineLength(m_CursorY));
    CUtf8::Insert(line, m_CursorX, spaces);
    SetTextLine(line, m_CursorY, false, true);
    m_CursorX += blanks;
}

void CEditModel::SplitLine() {
    if (m_CursorY >= GetLineCount()) {
        // The line after the last becomes a real, empty line.
        InsertTextLine(CString(), m_CursorY, true, false);
        ++m_CursorY;
        m_CursorX = 0;
        return;
    }
    const CString& line = m_Text._GetLineRef(m_CursorY);
    const size_t cut = CUtf8::ByteOffset(line, m_CursorX);
    const CString head = line.substr(0, cut);
    const CString rest = line.substr(cut);
    SetTextLine(head, m_CursorY, false, true);
    InsertTextLine(rest, m_CursorY + 1, true, false);
    ++m_CursorY;
    m_CursorX = 0;
}

void CEditModel::DeleteCharBefore() {
    const int count = GetLineCount();
    if (m_CursorY >= count) {
        // Nothing to delete on the line after the last: the caret goes back to the end of the text.
        m_CursorY = count - 1;
        m_CursorX = GetLineLength(m_CursorY);
        return;
    }
    m_CursorX = std::min(m_CursorX, m_Text._GetLineLength(m_CursorY));
    if (m_CursorX == 0) {
        if (m_CursorY == 0)
            return;
        const CString line = m_Text._GetLineRef(m_CursorY);
        const CString previous = m_Text._GetLineRef(m_CursorY - 1);
        const int join = m_Text._GetLineLength(m_CursorY - 1);
        SetTextLine(line, m_CursorY, false, true);
        SetTextLine(previous + line, m_CursorY - 1, false, true);
        RemoveTextLine(m_CursorY, false, true);
        --m_CursorY;
        m_CursorX = join;
        return;
    }
    CString line = m_Text._GetLineRef(m_CursorY);
    CUtf8::Erase(line, m_CursorX - 1, 1);
    SetTextLine(line, m_CursorY, false, true);
    --m_CursorX;
}

void CEditModel::DeleteCharAfter() {
    const int count = GetLineCount();
    if (m_CursorY >= count)
        return;
    const int len = m_Text._GetLineLength(m_CursorY);
    m_CursorX = std::min(m_CursorX, len);
    if (m_CursorX == len) {
        if (m_CursorY + 1 < count) {
            SetTextLine(m_Text._GetLineRef(m_CursorY) + m_Text._GetLineRef(m_CursorY + 1), m_CursorY, false,
                        true);
            RemoveTextLine(m_CursorY + 1, false, true);
        }
        return;
    }
    CString line = m_Text._GetLineRef(m_CursorY);
    CUtf8::Erase(line, m_CursorX, 1);
    SetTextLine(line, m_CursorY, false, true);
}

// ---- whole text ----

void CEditModel::Reset() {
    m_Text._RemoveAll();
    m_CursorX = m_CursorY = m_AnchorX = m_AnchorY = 0;
    ClearUndoHistory();
}

void CEditModel::LoadText(const char* text) {
    LoadText(std::string_view(text ? text : ""));
}

void CEditModel::LoadText(std::string_view text) {
    Reset();
    const char* p = text.data();
    const char* end = p + text.size();
    CString line;
    int column = 0;
    auto flush = [&]() {
        // As InsertTextLine without update, but handing the line over instead of copying it.
        const int at = GetLineCount() - 1;
        m_UndoFrame.Add(CUndoAction(CUndoAction::Inserted, CString(), at, 0, 0, 0, 0));
        m_Text._InsertLine(std::move(line), at, 0);
        line = CString();
        column = 0;
    };
    while (p < end) {
        const char c = *p;
        if (c == '\r') {
            flush();
            p += (p + 1 < end && p[1] == '\n') ? 2 : 1;
        } else if (c == '\n') {
            flush();
            ++p;
        } else if (c == '\t') {
            const int blanks = m_TabSize - column % m_TabSize;
            line.append(blanks, ' ');
            column += blanks;
            ++p;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            line.push_back(c);
            ++column;
            ++p;
        } else {
            const int n = CUtf8::SequenceLength(p, end);
            line.append(p, n);
            ++column;
            p += n;
        }
    }
    if (!line.empty())
        flush();
    m_CursorX = m_CursorY = m_AnchorX = m_AnchorY = 0;
    m_Text.FullUpdate();
    EndAction(false);
}

void CEditModel::UnloadText(CString& out) const {
    const int count = GetLineCount();
    size_t size = 0;
    for (int i = 0; i < count; ++i)
        size += m_Text._GetLineRef(i).size() + 2;
    out.clear();
    out.reserve(size);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += "\r\n";
        out += m_Text._GetLineRef(i);
    }
}

// ---- undo recording ----

void CEditModel::StartAction() {
    StartUndoFrame();
}

void CEditModel::EndAction(bool byUser) {
    EndUndoFrame();
    Notify(OnChange);
    if (byUser)
        Notify(OnUserChange);
}

void CEditModel::StartUndoFrame() {
    m_UndoFrame.Clear();
    m_RedoStack.Clear();
}

void CEditModel::EndUndoFrame() {
    if (m_UndoFrame.IsEmpty())
        return;
    m_UndoStack.Push(std::move(m_UndoFrame));
    m_UndoFrame.Clear();
}

void CEditModel::InsertTextLine(const CString& text, int line, bool update, bool noUndo) {
    line = std::clamp(line, 0, GetLineCount());
    if (!noUndo)
        m_UndoFrame.Add(
            CUndoAction(CUndoAction::Inserted, CString(), line, m_CursorX, m_CursorY, m_AnchorX, m_AnchorY));
    m_Text._InsertLine(text, line, update ? 1 : 0);
}

void CEditModel::SetTextLine(const CString& text, int line, bool noUndo, bool update) {
    if (line < 0 || line >= GetLineCount())
        return;
    if (!noUndo)
        m_UndoFrame.Add(CUndoAction(CUndoAction::Replaced, m_Text._GetLineRef(line), line, m_CursorX,
                                    m_CursorY, m_AnchorX, m_AnchorY));
    m_Text._SetLine(text, line);
}

void CEditModel::RemoveTextLine(int line, bool noUndo, bool update) {
    if (line < 0 || line >= GetLineCount())
        return;
    if (!noUndo)
        m_UndoFrame.Add(CUndoAction(CUndoAction::Removed, m_Text._GetLineRef(line), line, m_CursorX,
                                    m_CursorY, m_AnchorX, m_AnchorY));
    m_Text._RemoveLine(line);
    if (GetLineCount() == 0)
        m_Text._InsertLine(CString(), 0, 1);
}

void CEditModel::RemoveAllText() {
    // Recorded so that replaying newest first rebuilds the text exactly: the lines below the first are
    // put back at their own places after the first line has got its text back.
    const int count = GetLineCount();
    for (int i = count - 1; i >= 1; --i)
        m_UndoFrame.Add(CUndoAction(CUndoAction::Removed, m_Text._GetLineRef(i), i, m_CursorX, m_CursorY,
                                    m_AnchorX, m_AnchorY));
    m_UndoFrame.Add(CUndoAction(CUndoAction::Replaced, m_Text._GetLineRef(0), 0, m_CursorX, m_CursorY,
                                m_AnchorX, m_AnchorY));
    m_Text._RemoveAll();
    Notify(OnChange);
}

void CEditModel::DoUndo() {
    DoUndoRedo(m_UndoStack, m_RedoStack);
    Notify(OnChange);
}

void CEditModel::DoRedo() {
    DoUndoRedo(m_RedoStack, m_UndoStack);
    Notify(OnChange);
}

void CEditModel::DoUndoRedo(CUndoStack& from, CUndoStack& to) {
    CUndoFrame frame;
    if (!from.Pop(frame))
        return;
    CUndoFrame inverse;
    CUndoAction action;
    while (frame.GetNext(action)) {
        if (OnUndoLine)
            OnUndoLine(action.m_Line);
        CUndoAction back;
        const int count = GetLineCount();
        switch (action.m_Kind) {
        case CUndoAction::Inserted:
            if (action.m_Line < 0 || action.m_Line >= count)
                continue;
            back.m_Kind = CUndoAction::Removed;
            back.m_LineText = m_Text._GetLineRef(action.m_Line);
            m_Text._RemoveLine(action.m_Line);
            if (GetLineCount() == 0)
                m_Text._InsertLine(CString(), 0, 1);
            break;
        case CUndoAction::Removed:
            back.m_Kind = CUndoAction::Inserted;
            action.m_Line = std::clamp(action.m_Line, 0, count);
            m_Text._InsertLine(action.m_LineText, action.m_Line, 1);
            break;
        default:
            if (action.m_Line < 0 || action.m_Line >= count)
                continue;
            back.m_Kind = CUndoAction::Replaced;
            back.m_LineText = m_Text._GetLineRef(action.m_Line);
            m_Text._SetLine(action.m_LineText, action.m_Line);
            break;
        }
        back.m_Line = action.m_Line;
        back.m_CursorX = m_CursorX;
        back.m_CursorY = m_CursorY;
        back.m_AnchorX = m_AnchorX;
        back.m_AnchorY = m_AnchorY;
        m_CursorX = action.m_CursorX;
        m_CursorY = action.m_CursorY;
        m_AnchorX = action.m_AnchorX;
        m_AnchorY = action.m_AnchorY;
        inverse.Add(back);
    }
    to.Push(std::move(inverse));
}

void CEditModel::ClearUndoHistory() {
    m_UndoFrame.Clear();
    m_RedoStack.Clear();
    m_UndoStack.Clear();
}

// ---- search ----

bool CEditModel::Find(const CString& what, int matchCase, int wholeWord) {
    if (what.empty())
        return false;
    int sx, sy, ex, ey;
    GetSelection(sx, sy, ex, ey);
    int line = 0, column = 0;
    if (!m_Text.FindFrom(what.c_str(), ey, ex, matchCase, wholeWord, &line, &column))
        return false;
    m_AnchorX = column;
    m_AnchorY = line;
    m_CursorX = column + CUtf8::Length(what);
    m_CursorY = line;
    return true;
}

int CEditModel::ReplaceAll(const CString& what, const CString& replacement, int matchCase, int wholeWord) {
    if (what.empty())
        return 0;
    const int length = CUtf8::Length(what);
    int count = 0;
    int line = 0, column = 0;
    while (m_Text.FindFrom(what.c_str(), m_CursorY, m_CursorX, matchCase, wholeWord, &line, &column)) {
        m_AnchorX = column;
        m_AnchorY = line;
        m_CursorX = column + length;
        m_CursorY = line;
        ReplaceSelText(replacement.c_str());
        ++count;
    }
    return count;
}
