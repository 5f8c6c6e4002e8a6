// The line-level changes of one user action, read back newest first.
#pragma once

#include "editor/CUndoAction.h"

#include <deque>

class CUndoFrame {
public:
    CUndoFrame() = default;
    CUndoFrame(const CUndoFrame&) = default;
    CUndoFrame& operator=(const CUndoFrame&) = default;
    CUndoFrame(CUndoFrame&&) = default;
    CUndoFrame& operator=(CUndoFrame&&) = default;
    virtual ~CUndoFrame() = default;

    void Add(const CUndoAction& action) { m_Actions.push_back(action); }
    // Takes the most recently added action; false when the frame is empty.
    bool GetNext(CUndoAction& out);
    void Clear() { m_Actions.clear(); }
    bool IsEmpty() const { return m_Actions.empty(); }
    int GetCount() const { return static_cast<int>(m_Actions.size()); }
    // The actions in recording order.
    const std::deque<CUndoAction>& Actions() const { return m_Actions; }

private:
    std::deque<CUndoAction> m_Actions;
};
