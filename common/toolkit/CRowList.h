// A list of rows of texts that logic fills without knowing the control that shows them.
#pragma once

#include "CommonTypes.h"

class CRowList {
public:
    virtual ~CRowList() = default;
    virtual void DeleteAllItems() = 0;
    // Appends a row with its texts, one for each column.
    virtual void AppendRow(const CStringArray& texts) = 0;
};
