// A copy of one grid cell: its text and its attributes, as GetCell hands it out.
#pragma once

#include "grid/CGridCellBase.h"

class CGridCell : public CGridCellBase {
public:
    using CGridCellBase::CGridCellBase;
    CString m_strText;
};
