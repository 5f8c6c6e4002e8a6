// A stack of undo frames: the undo history or the redo history of an editor, most recent on top.
#pragma once

#include "editor/CUndoFrame.h"

#include <vector>

class CUndoStack {
public:
    void Push(const CUndoFrame& frame) { m_Frames.push_back(frame); }
    void Push(CUndoFrame&& frame) { m_Frames.push_back(std::move(frame)); }
    // Takes the top frame; false when the stack is empty.
    bool Pop(CUndoFrame& out);
    const CUndoFrame& Top() const { return m_Frames.back(); }
    bool IsEmpty() const { return m_Frames.empty(); }
    int GetCount() const { return static_cast<int>(m_Frames.size()); }
    void Clear() { m_Frames.clear(); }

private:
    std::vector<CUndoFrame> m_Frames;
};
