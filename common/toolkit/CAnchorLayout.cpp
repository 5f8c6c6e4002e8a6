#include "toolkit/CAnchorLayout.h"

#include <cstdlib>

int CAnchorLayout::Add(int controlId, RZ_TYPE type, int flags) {
    m_Items.push_back({controlId, type, flags, 0});
    return static_cast<int>(m_Items.size()) - 1;
}

bool CAnchorLayout::SizeChanged(int width, int height) {
    m_Dx = width - m_PrevWidth;
    m_Dy = height - m_PrevHeight;
    const bool follow = m_PrevWidth != 0 && (m_Dx != 0 || m_Dy != 0);
    RecordSize(width, height);
    return follow;
}

void CAnchorLayout::RecordSize(int width, int height) {
    m_PrevWidth = width;
    m_PrevHeight = height;
}

void CAnchorLayout::SetChange(int dx, int dy) {
    m_Dx = dx;
    m_Dy = dy;
}

CArray<CAnchorLayout::Step> CAnchorLayout::ResizeSteps(bool withStatusBar) const {
    CArray<Step> steps;
    const int n = static_cast<int>(m_Items.size());
    if (m_Dx <= 0) {
        for (int i = n - 1; i >= 0; --i)
            steps.push_back({i, m_Items[i].type});
        if (withStatusBar)
            steps.push_back({kStatusBar, RZ_STATUSBAR});
    } else {
        if (withStatusBar)
            steps.push_back({kStatusBar, RZ_STATUSBAR});
        for (int i = 0; i < n; ++i)
            steps.push_back({i, m_Items[i].type});
    }
    return steps;
}

CArray<CAnchorLayout::Step> CAnchorLayout::SplitterSteps(bool vertical, int splitterItem) const {
    CArray<Step> steps;
    const int grow = vertical ? SPLIT_H_GROW : SPLIT_V_GROW;
    const int follow = vertical ? SPLIT_H_FOLLOW : SPLIT_V_FOLLOW;
    for (int i = 0; i < static_cast<int>(m_Items.size()); ++i) {
        if (i == splitterItem)
            continue;
        if (m_Items[i].flags & grow)
            steps.push_back({i, vertical ? RZ_ABOVE_HSPLIT : RZ_LEFT_OF_VSPLIT});
        else if (m_Items[i].flags & follow)
            steps.push_back({i, vertical ? RZ_BELOW_HSPLIT : RZ_RIGHT_OF_VSPLIT});
    }
    steps.push_back({kSplitter, vertical ? RZ_MOVE_Y : RZ_MOVE_X});
    return steps;
}

bool CAnchorLayout::Apply(CAnchorRect& rect, const Step& step) {
    int* parity =
        step.item >= 0 && step.item < static_cast<int>(m_Items.size()) ? &m_Items[step.item].parity : nullptr;
    return Apply(rect, step.type, m_Dx, m_Dy, parity);
}

bool CAnchorLayout::Apply(CAnchorRect& r, RZ_TYPE type, int dx, int dy, int* parity) {
    const bool halve = std::abs(dy) > kHalvingThreshold;
    switch (type) {
    case RZ_MOVE_X:
        if (dx == 0)
            return false;
        r.left += dx;
        r.right += dx;
        return true;
    case RZ_GROW_XY:
        r.right += dx;
        r.bottom += dy;
        return true;
    case RZ_UPPER_HALF:
        r.right += dx;
        if (halve) {
            r.bottom += dy / 2;
        } else if (!parity) {
            r.bottom += dy;
        } else {
            if (*parity == 0)
                r.bottom += dy;
            *parity ^= 1;
        }
        return true;
    case RZ_GROW_X:
    case RZ_LEFT_OF_VSPLIT:
        if (dx == 0)
            return false;
        r.right += dx;
        return true;
    case RZ_MOVE_Y:
        if (dy == 0)
            return false;
        r.top += dy;
        r.bottom += dy;
        return true;
    case RZ_GROW_Y:
        r.bottom += dy;
        return true;
    case RZ_MOVE_XY:
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
        return true;
    case RZ_STATUSBAR:
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
        return true;
    case RZ_LOWER_HALF:
        r.right += dx;
        r.bottom += dy;
        if (halve) {
            r.top += dy / 2;
        } else if (parity) {
            if (*parity == 1)
                r.top += dy;
            *parity ^= 1;
        }
        return true;
    case RZ_ABOVE_HSPLIT:
        if (dy == 0)
            return false;
        r.bottom += dy;
        return true;
    case RZ_BELOW_HSPLIT:
        if (dy == 0)
            return false;
        r.top += dy;
        return true;
    case RZ_RIGHT_OF_VSPLIT:
        if (dx == 0)
            return false;
        r.left += dx;
        return true;
    case RZ_GROW_Y_MOVE_X:
        r.left += dx;
        r.right += dx;
        r.bottom += dy;
        return true;
    default:
        return false;
    }
}
