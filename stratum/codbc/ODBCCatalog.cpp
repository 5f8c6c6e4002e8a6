#include "codbc/ODBC.h"

#include "codbc/ODBCEntryPoints.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

using namespace codbc;

namespace {
// The argument of a catalog call: the text, or null for none.
SQLCHAR* Arg(const char* text) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text));
}

// An optional argument of a catalog call: null for the empty text.
SQLCHAR* OrNull(const CString& text) {
    return Arg(text.empty() ? nullptr : text.c_str());
}

// True when `type` names one of the table kinds the lists ask for, but not `wanted`.
bool IsOtherTableKind(const CString& type, const CString& wanted) {
    for (const char* kind : {"TABLE", "VIEW", "SYSTEM TABLE", "SYNONYM"}) {
        if (strcasecmp(type.c_str(), kind) == 0)
            return strcasecmp(type.c_str(), wanted.c_str()) != 0;
    }
    return false;
}
} // namespace

CString ODBC::CatalogInUse() {
    CString database;
    if (!m_DatabasesAsCatalogs || ownerSupported || GetInfo(SQL_DATABASE_NAME, &database) != 0)
        database.clear();
    return database;
}

int ODBC::AllocTmpStmt(const char* location, int line) {
    SQLHSTMT stmt = nullptr;
    const SQLRETURN rc = api.SQLAllocStmt(hdbc, &stmt);
    if (ExtErr(rc, location, line, hdbc, nullptr) != 0) {
        hTmpStmt = nullptr;
        return 1;
    }
    hTmpStmt = stmt;
    return 0;
}

int ODBC::FreeTmpStmt() {
    if (!hTmpStmt)
        return SQL_INVALID_HANDLE;
    const SQLRETURN rc = api.SQLFreeStmt(hTmpStmt, SQL_DROP);
    hTmpStmt = nullptr;
    return rc;
}

// Reads the whole value in pieces, however long; the catalog texts (remarks, view names) are never cut.
int ODBC::GetDataTmp(int column, CString& value) {
    value.clear();
    char buffer[512];
    SQLLEN* cell = &indicator;
    for (bool first = true;; first = false) {
        *cell = 0;
        const SQLRETURN rc = api.SQLGetData(hTmpStmt, static_cast<SQLUSMALLINT>(column), SQL_C_CHAR, buffer,
                                            sizeof buffer, cell);
        if (rc == SQL_NO_DATA && !first)
            return 0;
        if (!Ok(rc))
            return ExtErr(rc, kSource, __LINE__, hdbc, hTmpStmt);
        if (*cell == SQL_NULL_DATA) {
            value.clear();
            return 0;
        }
        const SQLLEN capacity = sizeof buffer - 1;
        const SQLLEN reported = *cell;
        const size_t n = reported >= 0 && reported <= capacity ? static_cast<size_t>(reported)
                                                               : strnlen(buffer, sizeof buffer - 1);
        value.append(buffer, n);
        if (rc == SQL_SUCCESS || (reported >= 0 && reported <= capacity))
            return 0;
    }
}

int ODBC::GetDataTmp(int column, int* value) {
    CString text;
    const int rc = GetDataTmp(column, text);
    *value = static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
    return rc;
}

int ODBC::GetDataTmp(int column, short* value) {
    int number = 0;
    const int rc = GetDataTmp(column, &number);
    *value = static_cast<short>(number);
    return rc;
}

int ODBC::DSList(CArray<DSN_DESC>* list) {
    SQLCHAR name[256], description[1024];
    SQLSMALLINT nameLength = 0, descriptionLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
        name[0] = description[0] = 0;
        const SQLRETURN rc = api.SQLDataSources(henv, direction, name, sizeof name, &nameLength, description,
                                                sizeof description, &descriptionLength);
        if (!Ok(rc))
            break;
        list->push_back({reinterpret_cast<char*>(name), reinterpret_cast<char*>(description)});
    }
    return 0;
}

int ODBC::DrvList(CArray<DRV_DESC>* list) {
    SQLCHAR description[256];
    std::vector<SQLCHAR> attributes(8192);
    SQLSMALLINT descriptionLength = 0, attributesLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
        std::fill(attributes.begin(), attributes.end(), 0);
        const SQLRETURN rc = api.SQLDrivers(
            henv, direction, description, sizeof description, &descriptionLength, attributes.data(),
            static_cast<SQLSMALLINT>(attributes.size() - 2), &attributesLength);
        if (!Ok(rc))
            break;
        // Attribute strings follow each other, each ending in a zero byte; two zero bytes end the list.
        const char* p = reinterpret_cast<const char*>(attributes.data());
        const char* end = p + attributes.size() - 1;
        while (p < end && *p) {
            const size_t n = strnlen(p, static_cast<size_t>(end - p));
            list->push_back({CString(p, n)});
            p += n + 1;
        }
    }
    return 0;
}

template <class Record, class Read> int ODBC::ReadTmpRows(CArray<Record>* list, int line, Read read) {
    if (ExtErr(lastRc, kSource, line, hdbc, hTmpStmt) == 0) {
        for (SQLRETURN rc = api.SQLFetch(hTmpStmt); Ok(rc); rc = api.SQLFetch(hTmpStmt)) {
            Record record;
            read(record);
            list->push_back(std::move(record));
        }
    }
    FreeTmpStmt();
    return lastRc;
}

int ODBC::DatabList(CArray<DATAB_DESC>* list) {
    if (dbmsKind != DBMS_MSSQL)
        return 0;
    if (!connected || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    lastRc = api.SQLExecDirect(hTmpStmt, Arg("sp_helpdb"), SQL_NTS);
    return ReadTmpRows(list, __LINE__, [&](DATAB_DESC& d) {
        GetDataTmp(1, d.name);
        GetDataTmp(2, d.size);
        GetDataTmp(5, d.created);
    });
}

int ODBC::TablesList(CArray<TABLE_DESC>* list, CString ownerName, OB_TYPE kind) {
    if (!connected || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    const char* types = "'TABLE'";
    if (kind == OB_VIEW)
        types = "'VIEW'";
    else if (kind == OB_SYSTEM_TABLE)
        types = "'SYSTEM TABLE'";
    else if (kind == OB_SYNONYM)
        types = "'SYNONYM'";
    const char* ownerArg = ownerSupported && !ownerName.empty() ? ownerName.c_str() : nullptr;
    const CString catalogName = CatalogInUse();
    lastRc = api.SQLTables(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, nullptr, 0,
                           Arg(types), SQL_NTS);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        // The kind asked for, as the rows name it.
        const CString wanted = CString(types).substr(1, std::strlen(types) - 2);
        while (api.SQLFetch(hTmpStmt) == SQL_SUCCESS) {
            TABLE_DESC t;
            if (GetDataTmp(3, t.name) != 0)
                break;
            GetDataTmp(2, t.owner);
            GetDataTmp(1, t.qualifier);
            GetDataTmp(4, t.type);
            GetDataTmp(5, t.remarks);
            // MariaDB's driver does not keep system tables apart and answers with its tables: rows
            // of another kind are left out.
            if (m_DatabasesAsCatalogs && IsOtherTableKind(t.type, wanted))
                continue;
            list->push_back(std::move(t));
        }
    }
    FreeTmpStmt();
    return lastRc;
}

int ODBC::FieldsList(CString table, CArray<FLD_DESC>* list, CString ownerName) {
    if (!connected || m_Executing)
        return -1;
    CString qualifiedOwner, name;
    PrepareOwner(&qualifiedOwner, &name, ownerName, table, 1);
    const CString text = "select * from " + qualifiedOwner + (qualifiedOwner.empty() ? " " : ".") + name;
    const size_t first = list->size();
    int rc = Prepare(text);
    if (rc == 0) {
        int count = 0;
        rc = NumResultCols(&count);
        for (int i = 0; rc == 0 && i < count; ++i) {
            CString column, typeName;
            short sqlType = 0, digits = 0, nullable = 0;
            unsigned long size = 0;
            rc = DescribeCol(i, &column, &sqlType, &size, &digits, &nullable, &typeName);
            if (rc != 0)
                break;
            FLD_DESC f;
            f.sqlType = sqlType;
            f.width = static_cast<int>(size);
            f.columnSize = static_cast<int>(size);
            f.decimalDigits = digits;
            f.nullable = nullable;
            f.name = column;
            f.typeName = typeName;
            list->push_back(std::move(f));
        }
    }
    StmtRealloc();
    if (rc == 0)
        ApplyCatalogColumns(table, ownerName, list, first);
    return rc;
}

// A described "select *" says what a query may return: some drivers call every column nullable and
// give no size for some types. The catalog's column list knows the table's own definition.
int ODBC::ColumnsList(CString table, CArray<FLD_DESC>* list, CString ownerName) {
    return ReadCatalogColumns(table, ownerName, list, true);
}

int ODBC::ReadCatalogColumns(const CString& table, const CString& ownerName, CArray<FLD_DESC>* list,
                             bool report) {
    if (!connected || !api.SQLColumns || !isFunction(SQL_API_SQLCOLUMNS) ||
        AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    const CString catalogName = CatalogInUse();
    const SQLRETURN rc = api.SQLColumns(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS,
                                        Text(name), SQL_NTS, nullptr, 0);
    const int result = report ? ExtErr(rc, kSource, __LINE__, hdbc, hTmpStmt) : (Ok(rc) ? 0 : 1);
    if (result == 0) {
        for (SQLRETURN f = api.SQLFetch(hTmpStmt); Ok(f); f = api.SQLFetch(hTmpStmt)) {
            FLD_DESC field;
            int sqlType = 0, size = 0, digits = 0, nullable = SQL_NULLABLE_UNKNOWN;
            if (GetDataTmp(4, field.name) != 0)
                break;
            GetDataTmp(5, &sqlType);
            GetDataTmp(6, field.typeName);
            if (GetDataTmp(7, &size) == 0 && static_cast<SQLLEN>(indicator) != SQL_NULL_DATA)
                field.width = field.columnSize = size;
            if (GetDataTmp(9, &digits) == 0 && static_cast<SQLLEN>(indicator) != SQL_NULL_DATA)
                field.decimalDigits = digits;
            if (GetDataTmp(11, &nullable) != 0 || static_cast<SQLLEN>(indicator) == SQL_NULL_DATA)
                nullable = SQL_NULLABLE_UNKNOWN;
            field.sqlType = sqlType;
            field.nullable = nullable;
            list->push_back(std::move(field));
        }
    }
    FreeTmpStmt();
    return result;
}

// A described "select *" says what a query may return: some drivers call every column nullable and
// give no size for some types. The catalog's column list knows the table's own definition.
void ODBC::ApplyCatalogColumns(const CString& table, const CString& ownerName, CArray<FLD_DESC>* list,
                               size_t first) {
    CArray<FLD_DESC> catalog;
    // Only a correction: without the list the description stands, and nothing is reported.
    if (first >= list->size() || ReadCatalogColumns(table, ownerName, &catalog, false) != 0)
        return;
    for (const FLD_DESC& column : catalog) {
        for (size_t i = first; i < list->size(); ++i) {
            FLD_DESC& field = (*list)[i];
            if (field.name != column.name)
                continue;
            if (column.nullable == SQL_NO_NULLS || column.nullable == SQL_NULLABLE)
                field.nullable = column.nullable;
            if (field.sqlType == SQL_UNKNOWN_TYPE && column.sqlType != SQL_UNKNOWN_TYPE) {
                field.sqlType = column.sqlType;
                GetTypeName(column.sqlType, &field.typeName);
            }
            if (field.columnSize <= 0 && column.columnSize > 0)
                field.width = field.columnSize = column.columnSize;
            break;
        }
    }
}

int ODBC::IndexList(CString table, CArray<IDX_DESC>* list, CString ownerName) {
    if (!connected || !isFunction(SQL_API_SQLSTATISTICS) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    const CString catalogName = CatalogInUse();
    lastRc = api.SQLStatistics(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, Text(name),
                               SQL_NTS, SQL_INDEX_ALL, SQL_QUICK);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        for (SQLRETURN rc = api.SQLFetch(hTmpStmt); Ok(rc); rc = api.SQLFetch(hTmpStmt)) {
            IDX_DESC x;
            if (GetDataTmp(6, x.name) != 0)
                break;
            if (static_cast<SQLLEN>(indicator) == SQL_NULL_DATA)
                continue; // the table's own statistics row
            GetDataTmp(9, x.column);
            GetDataTmp(10, x.order);
            GetDataTmp(7, &x.type);
            GetDataTmp(4, &x.nonUnique);
            GetDataTmp(8, &x.position);
            list->push_back(std::move(x));
        }
    }
    FreeTmpStmt();
    return lastRc;
}

int ODBC::Statistics(CString ownerName, CString table) {
    if (!connected || m_Executing)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    const CString catalogName = CatalogInUse();
    lastRc = api.SQLStatistics(hstmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, Text(name),
                               SQL_NTS, SQL_INDEX_ALL, SQL_QUICK);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::PKList(CString table, CArray<PK_DESC>* list, CString ownerName) {
    if (!connected || !isFunction(SQL_API_SQLPRIMARYKEYS) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    const CString catalogName = CatalogInUse();
    lastRc = api.SQLPrimaryKeys(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, Text(name),
                                SQL_NTS);
    return ReadTmpRows(list, __LINE__, [&](PK_DESC& k) {
        GetDataTmp(4, k.column);
        GetDataTmp(6, k.keyName);
    });
}

namespace {
// Brings the rows of each named key together, in key sequence, where it first appears. Drivers may
// list keys by key sequence alone (MariaDB's does), so that the rows of two keys of one table
// interleave; unnamed keys keep their order.
void GroupKeyRows(CArray<FK_DESC>* list, size_t from) {
    auto sameKey = [](const FK_DESC& a, const FK_DESC& b) {
        return !a.fkName.empty() && a.fkName == b.fkName && a.fkTable == b.fkTable && a.pkTable == b.pkTable;
    };
    for (size_t i = from; i < list->size(); ++i) {
        // Rows of the key of row i-1 that appear later move up behind it.
        if (i == from)
            continue;
        const FK_DESC& previous = (*list)[i - 1];
        if (sameKey((*list)[i], previous))
            continue;
        for (size_t j = i + 1; j < list->size(); ++j) {
            if (sameKey((*list)[j], previous) && (*list)[j].keySeq > previous.keySeq) {
                std::rotate(list->begin() + static_cast<std::ptrdiff_t>(i),
                            list->begin() + static_cast<std::ptrdiff_t>(j),
                            list->begin() + static_cast<std::ptrdiff_t>(j + 1));
                break;
            }
        }
    }
}

template <typename Read> void ReadForeignKeys(void* stmt, CArray<FK_DESC>* list, Read read) {
    const size_t from = list->size();
    for (SQLRETURN rc = api.SQLFetch(stmt); Ok(rc); rc = api.SQLFetch(stmt)) {
        FK_DESC k;
        if (read(12, k.fkName) != 0)
            break;
        read(3, k.pkTable);
        read(4, k.pkColumn);
        read(8, k.fkColumn);
        read(13, k.pkName);
        read(7, k.fkTable);
        CString seq;
        read(9, seq);
        k.keySeq = static_cast<int>(std::strtol(seq.c_str(), nullptr, 10));
        list->push_back(std::move(k));
    }
    GroupKeyRows(list, from);
}
} // namespace

// The keys by which the table refers to others, then those by which others refer to it.
int ODBC::FKList(CString table, CArray<FK_DESC>* list, CString ownerName) {
    if (!connected || !isFunction(SQL_API_SQLFOREIGNKEYS) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    // The catalog function takes names as they are stored, so they are passed without quotes.
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    const CString catalogName = CatalogInUse();
    auto read = [this](int column, CString& value) { return GetDataTmp(column, value); };
    lastRc = api.SQLForeignKeys(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, nullptr, 0,
                                OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        ReadForeignKeys(hTmpStmt, list, read);
        FreeTmpStmt();
        if (AllocTmpStmt(kSource, __LINE__) != 0)
            return -1;
        lastRc =
            api.SQLForeignKeys(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, Text(name),
                               SQL_NTS, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, nullptr, 0);
        if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0)
            ReadForeignKeys(hTmpStmt, list, read);
    }
    FreeTmpStmt();
    return lastRc;
}

int ODBC::SPList(CArray<SP_DESC>* list, CString ownerName) {
    if (!connected || !isFunction(SQL_API_SQLPROCEDURES) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    const char* ownerArg = ownerSupported && !ownerName.empty() ? ownerName.c_str() : nullptr;
    const CString catalogName = CatalogInUse();
    lastRc = api.SQLProcedures(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS, nullptr, 0);
    return ReadTmpRows(list, __LINE__, [&](SP_DESC& p) {
        GetDataTmp(3, p.name);
        GetDataTmp(2, p.owner);
        GetDataTmp(7, p.remarks);
    });
}

int ODBC::SPColsList(CArray<SPCOL_DESC>* list, CString procedure, CString ownerName) {
    if (!connected || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, procedure, 0);
    const CString catalogName = CatalogInUse();
    lastRc = api.SQLProcedureColumns(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS,
                                     Text(name), SQL_NTS, nullptr, 0);
    return ReadTmpRows(list, __LINE__, [&](SPCOL_DESC& c) {
        GetDataTmp(4, c.name);
        GetDataTmp(13, c.remarks);
        GetDataTmp(7, c.typeName);
        GetDataTmp(8, &c.size);
        if (static_cast<SQLLEN>(indicator) == SQL_NULL_DATA)
            c.size = -1;
        GetDataTmp(5, &c.columnType);
    });
}

int ODBC::TypesList(CArray<TYPE_DESC>* list) {
    if (!connected || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    lastRc = api.SQLGetTypeInfo(hTmpStmt, SQL_ALL_TYPES);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        for (SQLRETURN rc = api.SQLFetch(hTmpStmt); Ok(rc); rc = api.SQLFetch(hTmpStmt)) {
            TYPE_DESC t;
            if (GetDataTmp(1, t.name) != 0)
                break;
            GetDataTmp(3, &t.columnSize);
            list->push_back(std::move(t));
        }
    }
    FreeTmpStmt();
    return lastRc;
}

int ODBC::UserList(CArray<USER_DESC>* list) {
    const char* text = nullptr;
    if (dbmsKind == DBMS_MSSQL)
        text = "select name from sysusers where hasdbaccess=1";
    else if (dbmsKind == DBMS_ORACLE)
        text = "select USERNAME from ALL_USERS";
    else
        return 0;
    if (!connected || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    lastRc = api.SQLExecDirect(hTmpStmt, Arg(text), SQL_NTS);
    return ReadTmpRows(list, __LINE__, [&](USER_DESC& u) { GetDataTmp(1, u.name); });
}

int ODBC::TrigList(CString table, CArray<TRG_DESC>* list, CString ownerName) {
    if (dbmsKind != DBMS_ORACLE && dbmsKind != DBMS_MSSQL)
        return 0;
    if (!connected)
        return -1;
    CString qualifiedOwner, name;
    PrepareOwner(&qualifiedOwner, &name, ownerName, table, 1);
    // The names stand inside string literals: apostrophes in them are doubled.
    CString text;
    if (dbmsKind == DBMS_ORACLE) {
        text = "select TRIGGER_NAME from ALL_TRIGGERS where TABLE_NAME='" + Literal(name) + "'";
        if (!qualifiedOwner.empty())
            text += "and TABLE_OWNER='" + Literal(qualifiedOwner) + "'";
    } else {
        text = "sp_helptrigger '" + Literal(name) + "'";
    }
    AllocTmpStmt(kSource, __LINE__);
    lastRc = api.SQLExecDirect(hTmpStmt, Text(text), SQL_NTS);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        while (api.SQLFetch(hTmpStmt) == SQL_SUCCESS) {
            TRG_DESC t;
            GetDataTmp(1, t.name);
            list->push_back(std::move(t));
        }
    }
    FreeTmpStmt();
    return lastRc;
}

int ODBC::GetTableRights(CString table, CArray<RIGHT_DESC>* list, CString ownerName) {
    list->clear();
    if (!connected || !isFunction(SQL_API_SQLTABLEPRIVILEGES) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    const CString catalogName = CatalogInUse();
    lastRc = api.SQLTablePrivileges(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS,
                                    Text(name), SQL_NTS);
    return ReadTmpRows(list, __LINE__, [&](RIGHT_DESC& r) {
        GetDataTmp(5, r.grantee);
        GetDataTmp(4, r.grantor);
        GetDataTmp(6, r.privilege);
    });
}

int ODBC::GetColumnRights(CString table, CString column, CArray<RIGHT_DESC>* list, CString ownerName) {
    list->clear();
    if (!connected || !isFunction(SQL_API_SQLCOLUMNPRIVILEGES) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    const CString catalogName = CatalogInUse();
    lastRc = api.SQLColumnPrivileges(hTmpStmt, OrNull(catalogName), SQL_NTS, Arg(ownerArg), SQL_NTS,
                                     Text(name), SQL_NTS, Text(column), SQL_NTS);
    return ReadTmpRows(list, __LINE__, [&](RIGHT_DESC& r) {
        GetDataTmp(6, r.grantee);
        GetDataTmp(5, r.grantor);
        GetDataTmp(7, r.privilege);
    });
}
