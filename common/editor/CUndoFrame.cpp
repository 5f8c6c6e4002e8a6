#include "editor/CUndoFrame.h"

bool CUndoFrame::GetNext(CUndoAction& out) {
    if (m_Actions.empty())
        return false;
    out = std::move(m_Actions.back());
    m_Actions.pop_back();
    return true;
}
