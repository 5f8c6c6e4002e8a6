// One recorded line-level change of the editor's text, with the caret and anchor just before it.
#pragma once

#include "CommonTypes.h"

class CUndoAction {
public:
    enum Kind { Inserted = 0, Removed = 1, Replaced = 2 };

    CUndoAction() = default;
    CUndoAction(int kind, const CString& lineText, int line, int cursorX, int cursorY, int anchorX,
                int anchorY)
        : m_LineText(lineText), m_Kind(kind), m_Line(line), m_CursorX(cursorX), m_CursorY(cursorY),
          m_AnchorX(anchorX), m_AnchorY(anchorY) {}

    bool operator==(const CUndoAction& other) const = default;

    // The line as it was before it was replaced or removed; empty for an insertion.
    CString m_LineText;
    int m_Kind = Inserted;
    int m_Line = 0;
    int m_CursorX = 0;
    int m_CursorY = 0;
    int m_AnchorX = 0;
    int m_AnchorY = 0;
};
