#include "editor/CUndoStack.h"

bool CUndoStack::Pop(CUndoFrame& out) {
    if (m_Frames.empty())
        return false;
    out = std::move(m_Frames.back());
    m_Frames.pop_back();
    return true;
}
