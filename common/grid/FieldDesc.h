// Description of one column of a table or of a result set, as the result grid keeps it.
#pragma once

#include "CommonTypes.h"

struct FLD_DESC {
    int sqlType = 0;    // ODBC SQL type code
    int width = 0;      // display width (the column size, capped by the result loading)
    int columnSize = 0; // column size as reported
    int decimalDigits = 0;
    int nullable = 0; // 0 no NULLs, 1 nullable, 2 unknown
    CString name;
    CString typeName;
};
