// Records filled by the catalog queries of a session, the object-kind and data-source-kind enumerations.
#pragma once

#include "CommonTypes.h"
#include "grid/FLD_DESC.h"

#include <cstdint>

// Kind of a database object or of a collection of objects; the codes are stored in tree items.
enum OB_TYPE : int32_t {
    OB_TABLE = 0,
    OB_VIEW = 1,
    OB_SYSTEM_TABLE = 2,
    OB_SYNONYM = 3,
    OB_DATABASE = 4,
    OB_USER = 5,
    OB_TRIGGER = 7,
    OB_INDEX = 8,
    OB_PRIMARY_KEY = 9,
    OB_FOREIGN_KEY = 10,
    OB_PROCEDURE = 11,
    OB_OTHER_12 = 12,
    OB_COLUMN = 13,
    OB_PRIVILEGE = 14,
    OB_PROCEDURE_COLUMN = 19,
    OB_OTHER_23 = 23,
    OB_OTHER_27 = 27,
};

// Kind of a data source named to the catalog-filled lists; only these three values are valid.
enum DS_TYPE : int32_t {
    DS_USER = 0,
    DS_SYSTEM = 1,
    DS_FILE = 2,
};

struct DSN_DESC {
    CString name;
    CString description;
};

// One keyword=value attribute string of a driver.
struct DRV_DESC {
    CString text;
};

struct DATAB_DESC {
    CString name;
    CString size;
    CString created;
};

struct TABLE_DESC {
    CString name;
    CString owner;
    CString qualifier;
    CString type;
    CString remarks;
};

// One column of one index.
struct IDX_DESC {
    CString name;
    CString column;
    CString order; // "A", "D" or empty
    short type = 0;
    short nonUnique = 0;
    short position = 0;
};

struct PK_DESC {
    CString column;
    CString keyName;
};

// One column of one foreign key.
struct FK_DESC {
    CString fkName;
    CString pkTable;
    CString pkColumn;
    CString fkColumn;
    CString pkName;
    CString fkTable;
    int keySeq = 0;
};

struct SP_DESC {
    CString name;
    CString owner;
    CString remarks;
};

// One parameter or result column of a stored procedure.
struct SPCOL_DESC {
    CString name;
    CString remarks;
    CString typeName;
    int size = 0;         // -1 when the driver gives none
    short columnType = 0; // 1 in, 2 in/out, 3 result column, 4 out, 5 return value
};

struct TYPE_DESC {
    CString name;
    int columnSize = 0;
};

struct USER_DESC {
    CString name;
};

struct TRG_DESC {
    CString name;
};

struct RIGHT_DESC {
    CString grantee;
    CString grantor;
    CString privilege;
};
