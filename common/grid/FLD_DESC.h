// Description of one column, of a table in the catalog or of a result set in the result grid.
#pragma once

#include "CommonTypes.h"

struct FLD_DESC {
    int sqlType = 0;    // ODBC SQL type code
    int width = 0;      // column size, capped by the result grid
    int columnSize = 0; // column size as the driver reports it
    int decimalDigits = 0;
    int nullable = 0; // 0 no NULLs, 1 nullable, 2 unknown
    CString name;
    CString typeName; // from the session's type-name table
};
