// The arithmetic of anchored controls, free of windows: how each resize type moves a rectangle
// for a change of the dialog's size or a splitter drag, and in which order the items move.
#pragma once

#include "CommonTypes.h"

// How a control follows a change dx, dy (of the dialog's size or a splitter's position).
enum RZ_TYPE {
    RZ_NONE = 0,
    RZ_MOVE_X = 1,           // move right by dx
    RZ_GROW_XY = 2,          // right + dx, bottom + dy
    RZ_UPPER_HALF = 3,       // right + dx, bottom + half of dy (upper of two stacked controls)
    RZ_GROW_X = 4,           // right + dx
    RZ_MOVE_Y = 5,           // move down by dy
    RZ_GROW_Y = 6,           // bottom + dy
    RZ_MOVE_XY = 7,          // move right by dx and down by dy
    RZ_STATUSBAR = 8,        // right + dx, move down by dy
    RZ_LOWER_HALF = 9,       // right + dx, top + half of dy, bottom + dy (lower of two stacked controls)
    RZ_ABOVE_HSPLIT = 10,    // bottom + dy
    RZ_BELOW_HSPLIT = 11,    // top + dy
    RZ_LEFT_OF_VSPLIT = 12,  // right + dx
    RZ_RIGHT_OF_VSPLIT = 13, // left + dx
    RZ_GROW_Y_MOVE_X = 14,   // bottom + dy, move right by dx
};

// How a control follows the splitters; bits that combine.
enum SPLIT_TYPE : int {
    SPLIT_NONE = 0,
    SPLIT_H_GROW = 1,   // grows with the horizontal splitter
    SPLIT_H_FOLLOW = 2, // lies below the horizontal splitter
    SPLIT_V_GROW = 4,   // grows with the vertical splitter
    SPLIT_V_FOLLOW = 8, // lies right of the vertical splitter
};
inline SPLIT_TYPE operator|(SPLIT_TYPE a, SPLIT_TYPE b) {
    return static_cast<SPLIT_TYPE>(int(a) | int(b));
}

// Left, top, right, bottom; right and bottom lie just outside the rectangle.
struct CAnchorRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const CAnchorRect&) const = default;
};

class CAnchorLayout {
public:
    struct Item {
        int controlId = -1;
        RZ_TYPE type = RZ_NONE;
        int flags = SPLIT_NONE;
        int parity = 0; // alternates the small moves of the halving types
    };
    // One move: an item's index, or kStatusBar / kSplitter, and the type to apply.
    struct Step {
        int item;
        RZ_TYPE type;
    };
    static constexpr int kStatusBar = -1;
    static constexpr int kSplitter = -2;
    // Changes beyond this are halved; smaller ones alternate.
    static constexpr int kHalvingThreshold = 15;

    int Add(int controlId, RZ_TYPE type, int flags);
    const CArray<Item>& Items() const { return m_Items; }

    // A new client size: sets the change and records the size. True when the controls are to
    // follow (a size was recorded before and the size really changed).
    bool SizeChanged(int width, int height);
    void RecordSize(int width, int height);
    void SetChange(int dx, int dy);
    int Dx() const { return m_Dx; }
    int Dy() const { return m_Dy; }

    // Moves for a size change: when shrinking or keeping the width the items go from the last to
    // the first and the status bar comes last; when growing the status bar comes first.
    CArray<Step> ResizeSteps(bool withStatusBar) const;
    // Moves for a splitter drag: with `vertical` the horizontal splitter moving up or down,
    // otherwise the vertical splitter moving sideways. The items with the matching flags move,
    // except `splitterItem`, then the splitter itself.
    CArray<Step> SplitterSteps(bool vertical, int splitterItem) const;

    // Applies one move with the current change. False when the type does nothing for this change.
    bool Apply(CAnchorRect& rect, const Step& step);
    static bool Apply(CAnchorRect& rect, RZ_TYPE type, int dx, int dy, int* parity);

private:
    CArray<Item> m_Items;
    int m_PrevWidth = 0, m_PrevHeight = 0;
    int m_Dx = 0, m_Dy = 0;
};
