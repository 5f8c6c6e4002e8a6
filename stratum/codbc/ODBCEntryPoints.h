// The driver manager's entry points, bound by name once per process when the first session is
// created, and the small helpers shared by the session's source files.
#pragma once

#include "codbc/CDB.h"

#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

namespace codbc {
// The entry points of the driver manager, bound by name once per process, in binding order.
#define VARNEL_ODBC_ENTRY_POINTS(X)                                                                          \
    X(SQLError)                                                                                              \
    X(SQLAllocEnv)                                                                                           \
    X(SQLAllocConnect)                                                                                       \
    X(SQLConnect)                                                                                            \
    X(SQLAllocStmt)                                                                                          \
    X(SQLPrepare)                                                                                            \
    X(SQLColAttributes)                                                                                      \
    X(SQLBindCol)                                                                                            \
    X(SQLExecute)                                                                                            \
    X(SQLFetch)                                                                                              \
    X(SQLExecDirect)                                                                                         \
    X(SQLFreeStmt)                                                                                           \
    X(SQLDisconnect)                                                                                         \
    X(SQLFreeConnect)                                                                                        \
    X(SQLFreeEnv)                                                                                            \
    X(SQLNumResultCols)                                                                                      \
    X(SQLDescribeCol)                                                                                        \
    X(SQLTables)                                                                                             \
    X(SQLGetData)                                                                                            \
    X(SQLDrivers)                                                                                            \
    X(SQLDataSources)                                                                                        \
    X(SQLStatistics)                                                                                         \
    X(SQLGetInfo)                                                                                            \
    X(SQLGetTypeInfo)                                                                                        \
    X(SQLPrimaryKeys)                                                                                        \
    X(SQLForeignKeys)                                                                                        \
    X(SQLGetFunctions)                                                                                       \
    X(SQLRowCount)                                                                                           \
    X(SQLCancel)                                                                                             \
    X(SQLMoreResults)                                                                                        \
    X(SQLSetStmtAttr)                                                                                        \
    X(SQLSetConnectOption)                                                                                   \
    X(SQLTransact)                                                                                           \
    X(SQLProcedures)                                                                                         \
    X(SQLProcedureColumns)                                                                                   \
    X(SQLColumnPrivileges)                                                                                   \
    X(SQLTablePrivileges)

struct EntryPoints {
#define VARNEL_DECLARE(name) decltype(&::name) name = nullptr;
    VARNEL_ODBC_ENTRY_POINTS(VARNEL_DECLARE)
#undef VARNEL_DECLARE
    decltype(&::SQLManageDataSources) SQLManageDataSources = nullptr;
    // Optional: rowset positioning; reading works without it.
    decltype(&::SQLSetPos) SQLSetPos = nullptr;
    // Optional: the catalog's column list, which corrects what a described query says of a table.
    decltype(&::SQLColumns) SQLColumns = nullptr;
};

extern EntryPoints api;

// The source named in the error log for the session's failures.
inline constexpr const char* kSource = "codbc";

inline SQLCHAR* Text(const CString& s) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str()));
}

inline bool Ok(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// Text inside an SQL string literal: apostrophes doubled.
inline CString Literal(const CString& text) {
    CString out;
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out;
}
} // namespace codbc
