#include "codbc/DSN_Info.h"

#include "codbc/ODBC.h"
#include "toolkit/CRowList.h"

#include <cstdio>

namespace {
enum Kind { kText, kLong, kShort, kSpecial };

struct Item {
    int code;
    const char* name;
    int version;
    Kind kind;
};

const Item kItems[DSN_Info::kItemCount] = {
    {20, "SQL_ACCESSIBLE_PROCEDURES", 1, kText},
    {19, "SQL_ACCESSIBLE_TABLES", 1, kText},
    {116, "SQL_ACTIVE_ENVIRONMENTS", 3, kShort},
    {169, "SQL_AGGREGATE_FUNCTIONS", 3, kSpecial},
    {10021, "SQL_ASYNC_MODE", 2, kSpecial},
    {10003, "SQL_CATALOG_NAME", 3, kText},
    {41, "SQL_CATALOG_NAME_SEPARATOR", 1, kText},
    {42, "SQL_CATALOG_TERM", 1, kText},
    {10004, "SQL_COLLATION_SEQ", 3, kText},
    {87, "SQL_COLUMN_ALIAS", 1, kText},
    {22, "SQL_CONCAT_NULL_BEHAVIOR", 1, kSpecial},
    {25, "SQL_DATA_SOURCE_READ_ONLY", 1, kText},
    {26, "SQL_DEFAULT_TXN_ISOLATION", 1, kSpecial},
    {10002, "SQL_DESCRIBE_PARAMETER", 3, kText},
    {27, "SQL_EXPRESSIONS_IN_ORDERBY", 1, kText},
    {84, "SQL_FILE_USAGE", 2, kSpecial},
    {29, "SQL_IDENTIFIER_QUOTE_CHAR", 1, kText},
    {148, "SQL_INDEX_KEYWORDS", 2, kSpecial},
    {73, "SQL_INTEGRITY", 1, kText},
    {113, "SQL_LIKE_ESCAPE_CLAUSE", 2, kText},
    {112, "SQL_MAX_BINARY_LITERAL_LEN", 2, kLong},
    {34, "SQL_MAX_CATALOG_NAME_LEN", 1, kShort},
    {108, "SQL_MAX_CHAR_LITERAL_LEN", 2, kLong},
    {30, "SQL_MAX_COLUMN_NAME_LEN", 1, kShort},
    {97, "SQL_MAX_COLUMNS_IN_GROUP_BY", 2, kShort},
    {98, "SQL_MAX_COLUMNS_IN_INDEX", 2, kShort},
    {100, "SQL_MAX_COLUMNS_IN_SELECT", 2, kShort},
    {101, "SQL_MAX_COLUMNS_IN_TABLE", 2, kShort},
    {31, "SQL_MAX_CURSOR_NAME_LEN", 1, kShort},
    {0, "SQL_MAX_DRIVER_CONNECTIONS", 1, kShort},
    {10005, "SQL_MAX_IDENTIFIER_LEN", 3, kShort},
    {102, "SQL_MAX_INDEX_SIZE", 2, kLong},
    {33, "SQL_MAX_PROCEDURE_NAME_LEN", 1, kShort},
    {104, "SQL_MAX_ROW_SIZE", 2, kLong},
    {32, "SQL_MAX_SCHEMA_NAME_LEN", 1, kShort},
    {105, "SQL_MAX_STATEMENT_LEN", 2, kLong},
    {35, "SQL_MAX_TABLE_NAME_LEN", 1, kShort},
    {106, "SQL_MAX_TABLES_IN_SELECT", 2, kShort},
    {107, "SQL_MAX_USER_NAME_LEN", 2, kShort},
    {36, "SQL_MULT_RESULT_SETS", 1, kText},
    {37, "SQL_MULTIPLE_ACTIVE_TXN", 1, kText},
    {111, "SQL_NEED_LONG_DATA_LEN", 2, kText},
    {40, "SQL_PROCEDURE_TERM", 1, kText},
    {21, "SQL_PROCEDURES", 1, kText},
    {39, "SQL_SCHEMA_TERM", 1, kText},
    {14, "SQL_SEARCH_PATTERN_ESCAPE", 1, kText},
    {94, "SQL_SPECIAL_CHARACTERS", 2, kText},
    {51, "SQL_SYSTEM_FUNCTIONS", 1, kSpecial},
    {45, "SQL_TABLE_TERM", 1, kText},
    {47, "SQL_USER_NAME", 1, kText},
    {10000, "SQL_XOPEN_CLI_YEAR", 3, kText},
    {152, "SQL_ODBC_INTERFACE_CONFORMANCE", 3, kSpecial},
    {90, "SQL_ORDER_BY_COLUMNS_IN_SELECT", 2, kText},
    {99, "SQL_MAX_COLUMNS_IN_ORDER_BY", 2, kShort},
    {1, "SQL_MAX_CONCURRENT_ACTIVITIES", 1, kShort},
    {10022, "SQL_MAX_ASYNC_CONCURRENT_STATEMENTS", 3, kLong},
};

const char* const kAsyncModes[] = {"SQL_AM_NONE", "SQL_AM_CONNECTION", "SQL_AM_STATEMENT"};
const char* const kConformance[] = {"CORE", "LEVEL1", "LEVEL2"};

struct Bit {
    int mask;
    const char* text;
};

CString Words(int value, std::initializer_list<Bit> bits) {
    CString text;
    for (const Bit& bit : bits) {
        if (value & bit.mask)
            text += bit.text;
    }
    return text;
}

CString Number(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}
} // namespace

int DSN_Info::GetInfo(int index, CString* name, CString* version, CString* value) {
    if (index < 0 || index >= kItemCount || !m_Session)
        return -1;
    const Item& item = kItems[index];
    char text[16];
    std::snprintf(text, sizeof text, "%d.0", item.version);
    *version = text;
    *name = item.name;
    const short code = static_cast<short>(item.code);
    int rc = 0;
    if (item.kind == kSpecial) {
        const bool shortValue = item.code == 22 || item.code == 84;
        int number = 0;
        short small = 0;
        rc = shortValue ? m_Session->GetInfo(code, &small) : m_Session->GetInfo(code, &number);
        if (rc != 0)
            return rc;
        if (shortValue)
            number = small;
        switch (item.code) {
        case 169:
            *value = Words(number, {{64, "ALL "},
                                    {1, "AVG "},
                                    {2, "COUNT "},
                                    {32, "DISTINCT "},
                                    {4, "MAX "},
                                    {8, "MIN "},
                                    {16, "SUM "}});
            break;
        case 10021:
            if (number >= 0 && number <= 2)
                *value = kAsyncModes[number];
            break;
        case 22:
            *value = number == 0 ? "SQL_CB_NULL" : "SQL_CB_NON_NULL";
            break;
        case 26:
            *value = Words(number, {{1, "READ_UNCOMMITTED "},
                                    {2, "READ_COMMITTED "},
                                    {4, "REPEATABLE_READ "},
                                    {8, "SERIALIZABLE"}});
            break;
        case 84:
            *value = number == 0   ? "FILE_NOT_SUPPORTED"
                     : number == 1 ? "FILE_TABLE"
                     : number == 2 ? "FILE_CATALOG"
                                   : "";
            break;
        case 148:
            *value = Words(number, {{1, "ASC "}, {2, "DESC "}});
            if ((number & 3) == 3)
                *value += "ALL ";
            break;
        case 51:
            *value = Words(number, {{2, "DBNAME "}, {4, "IFNULL "}, {1, "USERNAME "}});
            break;
        case 152:
            if (number >= 1 && number <= 3)
                *value = kConformance[number - 1];
            break;
        }
        return rc;
    }
    if (item.kind == kText) {
        CString read;
        rc = m_Session->GetInfo(code, &read);
        *value = rc == 0 ? read : CString();
    } else if (item.kind == kLong) {
        int number = 0;
        rc = m_Session->GetInfo(code, &number);
        *value = Number(number);
    } else {
        short number = 0;
        rc = m_Session->GetInfo(code, &number);
        *value = Number(number);
    }
    return rc;
}

int DSN_Info::InsertInfo(int index) {
    CString name, version, value;
    const int rc = GetInfo(index, &name, &version, &value);
    if (!m_List)
        return rc;
    m_List->AppendRow({name, version, rc == 0 ? value : CString("N/A")});
    return rc;
}

void DSN_Info::InsertAllInfo() {
    if (!m_List)
        return;
    m_List->DeleteAllItems();
    for (int i = 0; i < kItemCount; ++i)
        InsertInfo(i);
}

CString DSN_Info::TwoTexts(short first, short second, const char* separator, const char* end) {
    CString a, b;
    if (!m_Session || m_Session->GetInfo(first, &a) != 0 || m_Session->GetInfo(second, &b) != 0)
        return CString();
    return a + separator + b + end;
}

CString DSN_Info::DBMSNameAndVer() {
    return TwoTexts(17, 18, "  [ ", " ]");
}

CString DSN_Info::DRIVERNameAndVer() {
    return TwoTexts(6, 7, "  [ ", " ]");
}

CString DSN_Info::ODBCVer() {
    return TwoTexts(171, 10, " / ", "");
}
