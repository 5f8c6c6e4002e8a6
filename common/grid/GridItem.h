// Cell addressing records, the one-call cell record and the flag values shared by the grid control,
// the result grid and the export.
#pragma once

#include "CommonTypes.h"

#include <cstdint>
#include <optional>

// Which fields of a _GV_ITEM are meant.
enum : unsigned {
    GVIF_TEXT = 0x1,
    GVIF_IMAGE = 0x2,
    GVIF_PARAM = 0x4,
    GVIF_STATE = 0x8,
    GVIF_BKCLR = 0x10,
    GVIF_FGCLR = 0x20,
    GVIF_FORMAT = 0x40,
    GVIF_FONT = 0x80,
};

// Cell state flags.
enum : unsigned {
    GVIS_FOCUSED = 0x1,
    GVIS_SELECTED = 0x2,
    GVIS_DROPHILITED = 0x4,
    GVIS_READONLY = 0x8,
    GVIS_FIXED = 0x10,
};

// Cell format flags: alignment, line breaking and text trimming.
enum : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

// A colour that means "use the grid's colour".
constexpr uint32_t CLR_DEFAULT = 0xFF000000u;

// A cell's own font, described; the grid control turns it into a font of the display.
struct CFontDesc {
    CString family;
    int pointSize = -1; // -1: the grid's size
    int weight = 400;   // 100 (thin) to 900 (black), 400 normal, 700 bold
    bool italic = false;
    bool operator==(const CFontDesc&) const = default;
};

struct CCellID {
    int row = -1;
    int col = -1;
    CCellID() = default;
    CCellID(int r, int c) : row(r), col(c) {}
    bool IsValid() const { return row >= 0 && col >= 0; }
    bool operator==(const CCellID&) const = default;
};

struct CCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
    CCellRange() = default;
    CCellRange(int r1, int c1, int r2, int c2) : minRow(r1), minCol(c1), maxRow(r2), maxCol(c2) {}
    bool IsValid() const { return minRow >= 0 && minCol >= 0 && minRow <= maxRow && minCol <= maxCol; }
    bool InRange(int r, int c) const { return r >= minRow && r <= maxRow && c >= minCol && c <= maxCol; }
    int64_t Count() const {
        return IsValid() ? int64_t(maxRow - minRow + 1) * int64_t(maxCol - minCol + 1) : 0;
    }
    bool operator==(const CCellRange&) const = default;
};

// Setting or reading a cell in one call; mask says which fields are meant.
struct _GV_ITEM {
    int row = 0;
    int col = 0;
    unsigned mask = 0;
    unsigned state = 0;
    unsigned nFormat = 0;
    CString szText;
    int iImage = -1;
    uint32_t crBkClr = CLR_DEFAULT;
    uint32_t crFgClr = CLR_DEFAULT;
    uint32_t lParam = 0;
    std::optional<CFontDesc> font;
};
using GV_ITEM = _GV_ITEM;
