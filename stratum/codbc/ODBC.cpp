#include "codbc/ODBC.h"

#include "services/Helpers.h"

#include <dlfcn.h>
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

void* ODBC::henv = nullptr;
int ODBC::inited = 0;

namespace {
const char* kDriverManager = "libodbc.so.2";
const char* kInstaller = "libodbcinst.so.2";
const char* kSource = "codbc";

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
};

EntryPoints api;
void* s_Library = nullptr;
void* s_Installer = nullptr;

// Piece buffers of the column reads, shared by all sessions (user-interface thread only).
constexpr int kPiece = 1024;
char s_TextBuffer[kPiece];
alignas(16) char s_DataBuffer[kPiece];

constexpr int kTypeCount = 22;
const struct {
    int code;
    const char* name;
} kDefaultTypeNames[kTypeCount] = {
    {1, "char"},          {12, "varchar"},        {-8, "wchar"},     {-9, "wvarchar"},     {4, "integer"},
    {-5, "big integer"},  {5, "small integer"},   {-7, "bit"},       {-6, "tiny integer"}, {7, "real"},
    {6, "float"},         {8, "double"},          {11, "timestamp"}, {9, "date"},          {10, "time"},
    {-1, "long varchar"}, {-10, "long wvarcher"}, {2, "numeric"},    {3, "decimal"},       {-2, "binary"},
    {-3, "varbinary"},    {-4, "long varbinary"},
};

SQLCHAR* Text(const CString& s) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str()));
}

// How GetData asks for a column of an SQL type, and how many bytes a piece of it holds.
struct CLayout {
    SQLSMALLINT cType;
    int fixedSize;   // bytes of a fixed-size value, 0 for variable length
    bool terminated; // character data ends with a zero byte inside the buffer
};

CLayout LayoutOf(int sqlType) {
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_BIGINT:
        return {SQL_C_CHAR, 0, true};
    case SQL_BIT:
        return {SQL_C_BIT, 1, false};
    case SQL_TINYINT:
        return {SQL_C_UTINYINT, 1, false};
    case SQL_SMALLINT:
        return {SQL_C_SSHORT, 2, false};
    case SQL_INTEGER:
        return {SQL_C_SLONG, 4, false};
    case SQL_REAL:
        return {SQL_C_FLOAT, 4, false};
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return {SQL_C_DOUBLE, 8, false};
    case SQL_DATE:
        return {SQL_C_DATE, static_cast<int>(sizeof(DATE_STRUCT)), false};
    case SQL_TIME:
        return {SQL_C_TIME, static_cast<int>(sizeof(TIME_STRUCT)), false};
    case SQL_TIMESTAMP:
        return {SQL_C_TIMESTAMP, static_cast<int>(sizeof(TIMESTAMP_STRUCT)), false};
    default:
        return {SQL_C_DEFAULT, 0, false};
    }
}

void ReleaseLibraries() {
    if (s_Installer)
        dlclose(s_Installer);
    if (s_Library)
        dlclose(s_Library);
    s_Installer = nullptr;
    s_Library = nullptr;
    api = EntryPoints{};
}
} // namespace

ODBC::ODBC() {
    if (inited++ == 0) {
        hdbc = nullptr;
        if (LoadAndLink() != 0) {
            ReleaseLibraries();
            hLibrary = nullptr;
            inited = 0;
            throw 1;
        }
        SQLHENV env = nullptr;
        const SQLRETURN rc = api.SQLAllocEnv(&env);
        henv = env;
        if (ExtErr(rc, kSource, __LINE__, nullptr, nullptr) != 0) {
            henv = nullptr;
            ReleaseLibraries();
            hLibrary = nullptr;
            inited = 0;
            throw 2;
        }
    }
    hInstaller = s_Installer;
}

ODBC::~ODBC() {
    if (hstmt)
        api.SQLFreeStmt(hstmt, SQL_DROP);
    hstmt = nullptr;
    if (--inited <= 0) {
        inited = 0;
        if (henv)
            api.SQLFreeEnv(henv);
        henv = nullptr;
        ReleaseLibraries();
    }
}

int ODBC::isAvailable() {
    void* library = dlopen(kDriverManager, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return 0;
    dlclose(library);
    return 1;
}

int ODBC::LoadAndLink() {
    hLibrary = dlopen(kDriverManager, RTLD_NOW | RTLD_LOCAL);
    if (!hLibrary)
        return 4;
    s_Library = hLibrary;
    s_Installer = dlopen(kInstaller, RTLD_NOW | RTLD_LOCAL);
    if (s_Installer)
        api.SQLManageDataSources =
            reinterpret_cast<decltype(api.SQLManageDataSources)>(dlsym(s_Installer, "SQLManageDataSources"));
#define VARNEL_BIND(name)                                                                                    \
    api.name = reinterpret_cast<decltype(api.name)>(LinkProc(#name));                                        \
    if (!api.name)                                                                                           \
        return 8;
    VARNEL_ODBC_ENTRY_POINTS(VARNEL_BIND)
#undef VARNEL_BIND
    return 0;
}

int ODBC::ExtErr(short code, const char* location, int line, void* connection, void* statement) {
    if (code == SQL_SUCCESS || code == SQL_SUCCESS_WITH_INFO)
        return 0;
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[512] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = api.SQLError(henv, connection, statement, state, &native, message, 512, &length);
    if (rc == SQL_ERROR) {
        log.Bug("SQLError fail...", "", location, line);
        return 1;
    }
    if (message[0] != 0) {
        char* text = reinterpret_cast<char*>(message);
        if (char* cr = std::strrchr(text, '\r'))
            *cr = ' ';
        if (char* lf = std::strrchr(text, '\n'))
            *lf = ' ';
        std::snprintf(lastError, sizeof lastError, "%s,%s,%d ", text, reinterpret_cast<char*>(state),
                      static_cast<int>(native));
        // The log keeps one line per record, whatever line breaks the message still holds.
        CString logged = lastError;
        std::replace(logged.begin(), logged.end(), '\r', ' ');
        std::replace(logged.begin(), logged.end(), '\n', ' ');
        log.Bug(logged.c_str(), "", location, line);
    }
    return 1;
}

int ODBC::Connect(CString dataSource, CString user, CString password) {
    if (connected)
        return 4;
    SQLHDBC dbc = nullptr;
    SQLRETURN rc = api.SQLAllocConnect(henv, &dbc);
    if (ExtErr(rc, kSource, __LINE__, nullptr, nullptr) != 0)
        return 2;
    hdbc = dbc;
    lastRc = api.SQLConnect(hdbc, Text(dataSource), SQL_NTS, Text(user), SQL_NTS, Text(password), SQL_NTS);
    if (lastRc != SQL_SUCCESS && lastRc != SQL_SUCCESS_WITH_INFO) {
        // The log names the data source and the user, never the password.
        CString location =
            "Connect (" + dataSource + "," + user + "," + (password.empty() ? "" : "***") + "), " + kSource;
        ExtErr(lastRc, location.c_str(), __LINE__, hdbc, nullptr);
        api.SQLFreeConnect(hdbc);
        hdbc = nullptr;
        return 4;
    }
    connected = 1;
    SQLHSTMT stmt = nullptr;
    rc = api.SQLAllocStmt(hdbc, &stmt);
    hstmt = stmt;
    if (ExtErr(rc, kSource, __LINE__, hdbc, nullptr) != 0) {
        hstmt = nullptr;
        return 1;
    }

    CString text;
    GetInfo(SQL_DBMS_NAME, &text);
    dbmsKind = DbmsKindOf(text);
    if (GetInfo(SQL_DBMS_VER, &text) == 0)
        dbmsVersion = std::atoi(text.c_str());
    FillTypeNamesArr();
    ownerSupported = 1;
    if (GetInfo(SQL_OWNER_TERM, &text) == 0 && text.empty())
        ownerSupported = 0;
    GetInfo(SQL_IDENTIFIER_QUOTE_CHAR, &text);
    quoteOpen = quoteClose = text.empty() ? 0 : text[0];
    return 0;
}

void ODBC::Disconnect() {
    if (!connected || m_Executing)
        return;
    if (hstmt)
        lastRc = api.SQLFreeStmt(hstmt, SQL_DROP);
    hstmt = nullptr;
    lastRc = api.SQLDisconnect(hdbc);
    lastRc = api.SQLFreeConnect(hdbc);
    hdbc = nullptr;
    connected = 0;
    dbmsKind = 0;
}

void ODBC::FillTypeNamesArr() {
    for (int i = 0; i < kTypeCount; ++i) {
        typeNames[i].sqlType = kDefaultTypeNames[i].code;
        std::snprintf(typeNames[i].name, sizeof typeNames[i].name, "%s", kDefaultTypeNames[i].name);
    }
    for (int i = 0; i < kTypeCount; ++i) {
        api.SQLGetTypeInfo(hstmt, static_cast<SQLSMALLINT>(typeNames[i].sqlType));
        const SQLRETURN rc = api.SQLFetch(hstmt);
        if (rc != SQL_NO_DATA && rc != SQL_ERROR) {
            char name[64] = {};
            SQLLEN length = 0;
            const SQLRETURN read = api.SQLGetData(hstmt, 1, SQL_C_CHAR, name, sizeof name, &length);
            if ((read == SQL_SUCCESS || read == SQL_SUCCESS_WITH_INFO) && length != SQL_NULL_DATA && name[0])
                std::memcpy(typeNames[i].name, name, sizeof name);
        }
        StmtRealloc();
    }
}

int ODBC::StmtRealloc() {
    if (m_Executing)
        return -1;
    if (hstmt)
        api.SQLFreeStmt(hstmt, SQL_DROP);
    hstmt = nullptr;
    SQLHSTMT stmt = nullptr;
    const SQLRETURN rc = api.SQLAllocStmt(hdbc, &stmt);
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO)
        hstmt = stmt;
    return rc;
}

void ODBC::RunStatement() {
    if (stmtText.empty()) {
        lastRc = api.SQLExecute(hstmt);
    } else {
        CheckStmt(stmtText);
        lastRc = api.SQLExecDirect(hstmt, Text(stmtText), static_cast<SQLINTEGER>(stmtText.size()));
    }
}

int ODBC::Exec(CString statement) {
    if (m_Executing)
        return -1;
    lastRc = -1;
    stmtText = std::move(statement);
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread worker;
    try {
        worker = std::thread([&] {
            RunStatement();
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
            ended.notify_one();
        });
    } catch (const std::exception& e) {
        log.Bug("ODBC::Exec", "Exception!", kSource, __LINE__);
        return -1;
    }
    m_Executing = true;
    // The worker uses the statement handle and this session: wait for it whatever happens meanwhile.
    bool failed = false;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (ended.wait_for(lock, std::chrono::milliseconds(10), [&] { return done; }))
                break;
        }
        try {
            PumpMessage();
        } catch (...) {
            if (!failed)
                log.Bug("ODBC::Exec", "Exception!", kSource, __LINE__);
            failed = true;
        }
    }
    worker.join();
    m_Executing = false;
    if (failed)
        return -1;
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::Prepare(CString statement) {
    CheckStmt(statement);
    lastRc = api.SQLPrepare(hstmt, Text(statement), SQL_NTS);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::Fetch() {
    lastRc = api.SQLFetch(hstmt);
    if (lastRc == SQL_SUCCESS || lastRc == SQL_SUCCESS_WITH_INFO)
        return 0;
    if (lastRc == SQL_NO_DATA)
        return 100;
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::MoreResults() {
    lastRc = api.SQLMoreResults(hstmt);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::Cancel() {
    lastRc = api.SQLCancel(hstmt);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::isFunction(int functionId) {
    SQLUSMALLINT supported = 0;
    const SQLRETURN rc = api.SQLGetFunctions(hdbc, static_cast<SQLUSMALLINT>(functionId), &supported);
    return rc != SQL_ERROR && rc != SQL_INVALID_HANDLE && supported == SQL_TRUE ? 1 : 0;
}

int ODBC::NumResultCols(int* count) {
    *count = 0;
    if (!isFunction(SQL_API_SQLNUMRESULTCOLS))
        return -1;
    SQLSMALLINT n = 0;
    lastRc = api.SQLNumResultCols(hstmt, &n);
    *count = n;
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::NRecords(int* count) {
    *count = 0;
    if (!isFunction(SQL_API_SQLROWCOUNT))
        return -1;
    SQLLEN n = 0;
    lastRc = api.SQLRowCount(hstmt, &n);
    *count = static_cast<int>(n);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::DescribeCol(int col, CString* name, short* sqlType, unsigned long* columnSize, short* decimalDigits,
                      short* nullable, CString* typeName) {
    SQLCHAR buffer[255] = {};
    SQLSMALLINT length = 0, type = 0, digits = 0, null = 0;
    SQLULEN size = 0;
    lastRc = api.SQLDescribeCol(hstmt, static_cast<SQLUSMALLINT>(col + 1), buffer, sizeof buffer, &length,
                                &type, &size, &digits, &null);
    if (sqlType)
        *sqlType = type;
    if (columnSize)
        *columnSize = size;
    if (decimalDigits)
        *decimalDigits = digits;
    if (nullable)
        *nullable = null;
    if (typeName)
        GetTypeName(type, typeName);
    if (name)
        *name = reinterpret_cast<char*>(buffer);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::ColName(int col, CString* name) {
    SQLCHAR buffer[255] = {};
    SQLSMALLINT length = 0;
    lastRc = api.SQLColAttributes(hstmt, static_cast<SQLUSMALLINT>(col + 1), SQL_DESC_NAME, buffer,
                                  sizeof buffer, &length, nullptr);
    if (name)
        *name = reinterpret_cast<char*>(buffer);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::ColAttribute(int col, int field, long* value) {
    SQLLEN number = 0;
    lastRc = api.SQLColAttributes(hstmt, static_cast<SQLUSMALLINT>(col + 1), static_cast<SQLUSMALLINT>(field),
                                  nullptr, 0, nullptr, &number);
    if (value)
        *value = number;
    return lastRc;
}

int ODBC::ColLength(int col, long* value) {
    ColAttribute(col, SQL_COLUMN_DISPLAY_SIZE, value);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::ColType(int col, long* value) {
    return ColAttribute(col, SQL_DESC_TYPE, value);
}
int ODBC::ColConciseType(int col, long* value) {
    return ColAttribute(col, SQL_DESC_CONCISE_TYPE, value);
}
int ODBC::ColDisplaySize(int col, long* value) {
    return ColAttribute(col, SQL_DESC_DISPLAY_SIZE, value);
}
int ODBC::ColScale(int col, long* value) {
    return ColAttribute(col, SQL_DESC_SCALE, value);
}
int ODBC::ColPrecision(int col, long* value) {
    return ColAttribute(col, SQL_DESC_PRECISION, value);
}
int ODBC::ColOctLength(int col, long* value) {
    return ColAttribute(col, SQL_DESC_OCTET_LENGTH, value);
}

int ODBC::BindCol(int col, char* buffer, int size, long* indicator) {
    lastRc =
        api.SQLBindCol(hstmt, static_cast<SQLUSMALLINT>(col + 1), SQL_C_DEFAULT, buffer, size, indicator);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

bool ODBC::TruncationReported() {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[512] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = api.SQLError(henv, hdbc, hstmt, state, &native, message, 512, &length);
    return (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) &&
           std::strcmp(reinterpret_cast<char*>(state), "01004") == 0;
}

// Reads one column in pieces until the driver says the value is complete: a piece that reports a
// remaining length of at least a buffer, an unknown length, or a truncation warning is followed by
// another read. Nothing is ever cut.
int ODBC::GetDataAsText(int col, CString& value, long* indicator) {
    try {
        SQLLEN* cell = indicator ? indicator : &this->indicator;
        *cell = kPiece;
        lastRc = 0;
        value.clear();
        for (bool first = true;; first = false) {
            const SQLRETURN rc = api.SQLGetData(hstmt, static_cast<SQLUSMALLINT>(col + 1), SQL_C_CHAR,
                                                s_TextBuffer, kPiece, cell);
            if (rc == SQL_NO_DATA && !first)
                break; // the previous piece was the last one
            lastRc = rc;
            if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
                break;
            const SQLLEN reported = *cell;
            if (reported == SQL_NULL_DATA)
                break;
            // A reported length below the buffer size is the exact length of this last piece.
            const size_t n = reported >= 0 && reported < kPiece ? static_cast<size_t>(reported)
                                                                : strnlen(s_TextBuffer, kPiece - 1);
            value.append(s_TextBuffer, n);
            if (reported >= kPiece || reported == SQL_NO_TOTAL)
                continue;
            if (rc == SQL_SUCCESS_WITH_INFO && n > 0 && TruncationReported())
                continue;
            break;
        }
        if (lastRc == SQL_SUCCESS || lastRc == SQL_SUCCESS_WITH_INFO)
            return 0;
        return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
    } catch (const std::exception& e) {
        log.Bug("GetDataAsText", "GPF!", kSource, __LINE__);
        return -1;
    }
}

int ODBC::GetData(int col, CString& value, long* indicator) {
    try {
        SQLLEN* cell = indicator ? indicator : &this->indicator;
        *cell = kPiece;
        lastRc = 0;
        value.clear();
        SQLSMALLINT sqlType = 0;
        api.SQLDescribeCol(hstmt, static_cast<SQLUSMALLINT>(col + 1), nullptr, 0, nullptr, &sqlType, nullptr,
                           nullptr, nullptr);
        const CLayout layout = LayoutOf(sqlType);
        for (bool first = true;; first = false) {
            const SQLRETURN rc = api.SQLGetData(hstmt, static_cast<SQLUSMALLINT>(col + 1), layout.cType,
                                                s_DataBuffer, kPiece, cell);
            if (rc == SQL_NO_DATA && !first)
                break;
            lastRc = rc;
            if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
                break;
            const SQLLEN reported = *cell;
            if (reported == SQL_NULL_DATA)
                break;
            if (layout.fixedSize > 0) {
                value.append(s_DataBuffer, static_cast<size_t>(layout.fixedSize));
                break;
            }
            const int capacity = layout.terminated ? kPiece - 1 : kPiece;
            const size_t n = reported >= 0 && reported < capacity ? static_cast<size_t>(reported) : capacity;
            value.append(s_DataBuffer, n);
            if (reported > capacity || reported == SQL_NO_TOTAL)
                continue;
            if (rc == SQL_SUCCESS_WITH_INFO && n > 0 && TruncationReported())
                continue;
            break;
        }
        return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
    } catch (const std::exception& e) {
        log.Bug("GetData", "GPF!", kSource, __LINE__);
        return -1;
    }
}

int ODBC::ExtractDate(const char* data, short* day, short* month, short* year) {
    if (!data) {
        *day = *month = *year = 0;
        return 0;
    }
    DATE_STRUCT date;
    std::memcpy(&date, data, sizeof date);
    *year = date.year;
    *month = static_cast<short>(date.month);
    *day = static_cast<short>(date.day);
    return 0;
}

int ODBC::EndTran(int completion) {
    lastRc = api.SQLTransact(henv, hdbc, static_cast<SQLUSMALLINT>(completion));
    return ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr);
}

int ODBC::SetConnectOption(int option, int value) {
    lastRc = api.SQLSetConnectOption(hdbc, static_cast<SQLUSMALLINT>(option), static_cast<SQLULEN>(value));
    return ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr);
}

int ODBC::SetStmtOption(int attribute, int value) {
    lastRc =
        api.SQLSetStmtAttr(hstmt, attribute, reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(value)), 0);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::GetInfo(short infoType, CString* value) {
    if (!connected)
        return -1;
    char buffer[256] = {};
    SQLSMALLINT length = 0;
    lastRc = api.SQLGetInfo(hdbc, static_cast<SQLUSMALLINT>(infoType), buffer, 255, &length);
    if (value)
        *value = buffer;
    return ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr);
}

int ODBC::GetInfo(short infoType, int* value) {
    if (!connected)
        return -1;
    SQLINTEGER number = 0;
    lastRc = api.SQLGetInfo(hdbc, static_cast<SQLUSMALLINT>(infoType), &number, sizeof number, nullptr);
    if (value)
        *value = number;
    return ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr);
}

int ODBC::GetInfo(short infoType, short* value) {
    if (!connected)
        return -1;
    SQLSMALLINT number = 0;
    lastRc = api.SQLGetInfo(hdbc, static_cast<SQLUSMALLINT>(infoType), &number, sizeof number, nullptr);
    if (value)
        *value = number;
    return ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr);
}

int ODBC::GetMaxCharSize() {
    if (!connected)
        return 0;
    SQLUINTEGER number = 0;
    const SQLRETURN rc = api.SQLGetInfo(hdbc, SQL_MAX_CHAR_LITERAL_LEN, &number, sizeof number, nullptr);
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO ? static_cast<int>(number) : 0;
}

int ODBC::GetTypeName(int sqlType, CString* name) {
    for (const TypeName& entry : typeNames) {
        if (entry.sqlType == sqlType && entry.name[0] != 0) {
            *name = entry.name;
            return 0;
        }
    }
    char text[48];
    std::snprintf(text, sizeof text, "<unknown type %d>", sqlType);
    *name = text;
    return 0;
}

int ODBC::ManageDSN(void* parentWindow) {
    if (api.SQLManageDataSources) {
        // unixODBC expects its own window record; an empty plug-in name lets it pick its configured one.
        ODBCINSTWND window{};
        window.hWnd = parentWindow;
        const BOOL done = api.SQLManageDataSources(reinterpret_cast<HWND>(&window));
        if (done)
            return done;
    }
    return -1;
}

CDB* ODBC::operator=(CDB* other) {
    auto* source = dynamic_cast<ODBC*>(other);
    if (!source || m_Executing)
        return nullptr;
    if (hstmt)
        api.SQLFreeStmt(hstmt, SQL_DROP);
    hstmt = nullptr;
    hdbc = source->hdbc;
    hInstaller = source->hInstaller;
    SQLHSTMT stmt = nullptr;
    lastRc = api.SQLAllocStmt(hdbc, &stmt);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr) == 0)
        hstmt = stmt;
    return this;
}

// Catalog queries and object text come with their own classes; until then they are not attempted.
int ODBC::DrvList(CArray<DRV_DESC>*) {
    return -1;
}
int ODBC::DSList(CArray<DSN_DESC>*) {
    return -1;
}
int ODBC::DatabList(CArray<DATAB_DESC>*) {
    return -1;
}
int ODBC::FieldsList(CString, CArray<FLD_DESC>*, CString) {
    return -1;
}
int ODBC::FKList(CString, CArray<FK_DESC>*, CString) {
    return -1;
}
int ODBC::GetTableRights(CString, CArray<RIGHT_DESC>*, CString) {
    return -1;
}
int ODBC::GetColumnRights(CString, CString, CArray<RIGHT_DESC>*, CString) {
    return -1;
}
int ODBC::IndexList(CString, CArray<IDX_DESC>*, CString) {
    return -1;
}
int ODBC::PKList(CString, CArray<PK_DESC>*, CString) {
    return -1;
}
int ODBC::SPList(CArray<SP_DESC>*, CString) {
    return -1;
}
int ODBC::SPColsList(CArray<SPCOL_DESC>*, CString, CString) {
    return -1;
}
int ODBC::TablesList(CArray<TABLE_DESC>*, CString, OB_TYPE) {
    return -1;
}
int ODBC::TrigList(CString, CArray<TRG_DESC>*, CString) {
    return -1;
}
int ODBC::TypesList(CArray<TYPE_DESC>*) {
    return -1;
}
int ODBC::UserList(CArray<USER_DESC>*) {
    return -1;
}
int ODBC::ObjectText(OB_TYPE, CString&, CString&, CStringArray*) {
    return -1;
}
