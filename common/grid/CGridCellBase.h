// The attributes a grid cell may carry beside its text. A cell whose attributes are all at their
// defaults keeps no such object: its text alone lives in the grid's compact row storage.
#pragma once

#include "grid/GridItem.h"

#include <cstdint>
#include <optional>

class CGridCellBase {
public:
    explicit CGridCellBase(unsigned format = 0) : m_nFormat(format) {}

    // True when nothing but the given common format is set.
    bool IsDefault(unsigned commonFormat) const;

    unsigned m_nFormat = 0;
    unsigned m_nState = 0; // stored flags; selection and focus are kept by the grid
    int m_nImage = -1;
    uint32_t m_lParam = 0;
    uint32_t m_crBkClr = CLR_DEFAULT;
    uint32_t m_crFgClr = CLR_DEFAULT;
    std::optional<CFontDesc> m_Font;
};
