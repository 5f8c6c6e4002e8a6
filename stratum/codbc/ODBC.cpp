#include "codbc/ODBC.h"

#include "codbc/CExecWorker.h"
#include "codbc/KeyNames.h"
#include "services/Helpers.h"

#include <dlfcn.h>
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <strings.h>
#include <utility>
#include <vector>

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
    // Optional: rowset positioning; reading works without it.
    decltype(&::SQLSetPos) SQLSetPos = nullptr;
    // Optional: the catalog's column list, which corrects what a described query says of a table.
    decltype(&::SQLColumns) SQLColumns = nullptr;
};

EntryPoints api;
void* s_Library = nullptr;
void* s_Installer = nullptr;

// Piece buffers of the column reads, shared by all sessions (user-interface thread only).
constexpr int kPiece = 1024;
// Largest piece of a long value read in one call; a length the driver reports beyond it is read on.
constexpr SQLLEN kMaxPiece = SQLLEN(64) << 20;
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
    api.SQLSetPos = reinterpret_cast<decltype(api.SQLSetPos)>(LinkProc("SQLSetPos"));
    api.SQLColumns = reinterpret_cast<decltype(api.SQLColumns)>(LinkProc("SQLColumns"));
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
    m_FirstFetch = nullptr;
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

ODBC::WorkerSlot::WorkerSlot() = default;
ODBC::WorkerSlot::WorkerSlot(const WorkerSlot&) {}
ODBC::WorkerSlot& ODBC::WorkerSlot::operator=(const WorkerSlot&) {
    return *this;
}
ODBC::WorkerSlot::~WorkerSlot() = default;

bool ODBC::RunWaiting(const std::function<void()>& work, const char* where) {
    try {
        if (!m_Worker.worker)
            m_Worker.worker = std::make_unique<CExecWorker>();
    } catch (const std::exception& e) {
        log.Bug(where, "Exception!", kSource, __LINE__);
        return false;
    }
    m_Worker.worker->Start(work);
    m_Executing = true;
    // The worker uses the statement handle and this session: wait for it whatever happens meanwhile.
    bool failed = false;
    while (!m_Worker.worker->WaitEnded(std::chrono::milliseconds(10))) {
        try {
            PumpMessage();
        } catch (...) {
            if (!failed)
                log.Bug(where, "Exception!", kSource, __LINE__);
            failed = true;
        }
    }
    m_Executing = false;
    return !failed;
}

int ODBC::Exec(CString statement) {
    if (m_Executing)
        return -1;
    lastRc = -1;
    m_FirstFetch = nullptr;
    stmtText = std::move(statement);
    if (!RunWaiting([this] { RunStatement(); }, "ODBC::Exec"))
        return -1;
    const int rc = ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
    if (rc == 0)
        m_FirstFetch = hstmt;
    return rc;
}

int ODBC::Prepare(CString statement) {
    m_FirstFetch = nullptr;
    CheckStmt(statement);
    lastRc = api.SQLPrepare(hstmt, Text(statement), SQL_NTS);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::Fetch() {
    if (m_Executing)
        return -1;
    if (hstmt && m_FirstFetch == hstmt) {
        m_FirstFetch = nullptr;
        if (!RunWaiting([this] { lastRc = api.SQLFetch(hstmt); }, "ODBC::Fetch"))
            return -1;
    } else {
        lastRc = api.SQLFetch(hstmt);
    }
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
    const short rc = api.SQLCancel(hstmt);
    // While Exec waits, its worker owns the return code and the statement's diagnostics.
    if (m_Executing)
        return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO ? 0 : 1;
    lastRc = rc;
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

int ODBC::ColLabel(int col, CString* label) {
    SQLCHAR buffer[512] = {};
    SQLSMALLINT length = 0;
    lastRc = api.SQLColAttributes(hstmt, static_cast<SQLUSMALLINT>(col + 1), SQL_COLUMN_LABEL, buffer,
                                  sizeof buffer, &length, nullptr);
    if (lastRc != SQL_SUCCESS && lastRc != SQL_SUCCESS_WITH_INFO)
        return 1;
    if (label)
        *label = reinterpret_cast<char*>(buffer);
    return 0;
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

int ODBC::BindText(int col, char* buffer, long size, long* indicators) {
    lastRc = api.SQLBindCol(hstmt, static_cast<SQLUSMALLINT>(col + 1), SQL_C_CHAR, buffer, size, indicators);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::SetStmtPointer(int attribute, void* pointer) {
    lastRc = api.SQLSetStmtAttr(hstmt, attribute, pointer, 0);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

void ODBC::Unbind() {
    if (!hstmt)
        return;
    api.SQLFreeStmt(hstmt, SQL_UNBIND);
    api.SQLSetStmtAttr(hstmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
    api.SQLSetStmtAttr(hstmt, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    api.SQLSetStmtAttr(hstmt, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
}

int ODBC::SetPosition(int row) {
    if (!api.SQLSetPos)
        return -1;
    lastRc = api.SQLSetPos(hstmt, static_cast<SQLSETPOSIROW>(row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

bool ODBC::WarningIsFailure() {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[512] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = api.SQLError(henv, hdbc, hstmt, state, &native, message, 512, &length);
    if ((rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) ||
        std::strncmp(reinterpret_cast<char*>(state), "01", 2) == 0)
        return false;
    std::snprintf(lastError, sizeof lastError, "%s,%s,%d ", reinterpret_cast<char*>(message),
                  reinterpret_cast<char*>(state), static_cast<int>(native));
    CString logged = lastError;
    std::replace(logged.begin(), logged.end(), '\r', ' ');
    std::replace(logged.begin(), logged.end(), '\n', ' ');
    log.Bug(logged.c_str(), "", kSource, __LINE__);
    return true;
}

int ODBC::CanPosition() {
    return api.SQLSetPos ? 1 : 0;
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
// another read. Nothing is ever cut. The first piece fits a short value; a longer one is read straight
// into the value with pieces that take the rest the driver reports, or twice the last piece when it
// reports none, so a long value costs a few calls (drivers may scan the whole rest on every call).
int ODBC::GetDataAsText(int col, CString& value, long* indicator) {
    return ReadText(col, value, indicator, kPiece);
}

int ODBC::ReadText(int col, CString& value, long* indicator, long firstPiece) {
    try {
        SQLLEN* cell = indicator ? indicator : &this->indicator;
        *cell = kPiece;
        lastRc = 0;
        value.clear();
        char* buffer = s_TextBuffer;
        SQLLEN size = std::clamp<SQLLEN>(firstPiece, kPiece, kMaxPiece);
        // A value known to be long is read straight into its text from the first piece on.
        const bool direct = size > kPiece;
        for (bool first = true;; first = false) {
            const size_t at = value.size();
            if (!first || direct) {
                value.resize(at + static_cast<size_t>(size));
                buffer = value.data() + at;
            }
            const SQLRETURN rc =
                api.SQLGetData(hstmt, static_cast<SQLUSMALLINT>(col + 1), SQL_C_CHAR, buffer, size, cell);
            const SQLLEN reported = *cell;
            const bool ok = rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
            if (!ok || reported == SQL_NULL_DATA) {
                value.resize(at);
                if (rc == SQL_NO_DATA && !first)
                    break; // the previous piece was the last one
                lastRc = rc;
                break;
            }
            lastRc = rc;
            // A reported length below the buffer size is the exact length of this last piece.
            const size_t n = reported >= 0 && reported < size
                                 ? static_cast<size_t>(reported)
                                 : strnlen(buffer, static_cast<size_t>(size - 1));
            if (first && !direct)
                value.append(buffer, n);
            else
                value.resize(at + n);
            const bool more = reported >= size || reported == SQL_NO_TOTAL ||
                              (rc == SQL_SUCCESS_WITH_INFO && n > 0 && TruncationReported());
            if (!more)
                break;
            const SQLLEN rest = reported >= size ? reported - static_cast<SQLLEN>(n) + 1 : size * 2;
            size = std::clamp<SQLLEN>(rest, kPiece, kMaxPiece);
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

template <class Number> int ODBC::GetInfoNumber(short infoType, Number* value) {
    if (!connected)
        return -1;
    Number number = 0;
    lastRc = api.SQLGetInfo(hdbc, static_cast<SQLUSMALLINT>(infoType), &number, sizeof number, nullptr);
    if (value)
        *value = number;
    return ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr);
}

int ODBC::GetInfo(short infoType, int* value) {
    return GetInfoNumber(infoType, value);
}

int ODBC::GetInfo(short infoType, short* value) {
    return GetInfoNumber(infoType, value);
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

// The program's own data-source dialog: unixODBC's administrator would load a plug-in built on
// another Qt into this process.
namespace {
ODBC::DSNManager& CurrentDSNManager() {
    static ODBC::DSNManager manager;
    return manager;
}
} // namespace

ODBC::DSNManager ODBC::SetDSNManager(DSNManager manager) {
    return std::exchange(CurrentDSNManager(), std::move(manager));
}

int ODBC::ManageDSN(void* parentWindow) {
    return CurrentDSNManager() ? CurrentDSNManager()(parentWindow) : -1;
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

// ---- Catalog queries ----

namespace {
// The argument of a catalog call: the text, or null for none.
SQLCHAR* Arg(const char* text) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text));
}

bool Ok(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// Text inside an SQL string literal: apostrophes doubled.
CString Literal(const CString& text) {
    CString out;
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out;
}
} // namespace

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
    lastRc = api.SQLTables(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, nullptr, 0, Arg(types), SQL_NTS);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        while (api.SQLFetch(hTmpStmt) == SQL_SUCCESS) {
            TABLE_DESC t;
            if (GetDataTmp(3, t.name) != 0)
                break;
            GetDataTmp(2, t.owner);
            GetDataTmp(1, t.qualifier);
            GetDataTmp(4, t.type);
            GetDataTmp(5, t.remarks);
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
void ODBC::ApplyCatalogColumns(const CString& table, const CString& ownerName, CArray<FLD_DESC>* list,
                               size_t first) {
    if (first >= list->size() || !api.SQLColumns || !isFunction(SQL_API_SQLCOLUMNS) ||
        AllocTmpStmt(kSource, __LINE__) != 0)
        return;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    const SQLRETURN rc =
        api.SQLColumns(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS, nullptr, 0);
    // Only a correction: without the list the description stands, and nothing is reported.
    if (Ok(rc)) {
        for (SQLRETURN f = api.SQLFetch(hTmpStmt); Ok(f); f = api.SQLFetch(hTmpStmt)) {
            CString column;
            int sqlType = 0, size = 0, nullable = 2;
            if (GetDataTmp(4, column) != 0)
                break;
            GetDataTmp(5, &sqlType);
            GetDataTmp(7, &size);
            const bool sizeKnown = static_cast<SQLLEN>(indicator) != SQL_NULL_DATA;
            if (GetDataTmp(11, &nullable) != 0 || static_cast<SQLLEN>(indicator) == SQL_NULL_DATA)
                nullable = SQL_NULLABLE_UNKNOWN;
            for (size_t i = first; i < list->size(); ++i) {
                FLD_DESC& field = (*list)[i];
                if (field.name != column)
                    continue;
                if (nullable == SQL_NO_NULLS || nullable == SQL_NULLABLE)
                    field.nullable = nullable;
                if (field.sqlType == SQL_UNKNOWN_TYPE && sqlType != SQL_UNKNOWN_TYPE) {
                    field.sqlType = sqlType;
                    GetTypeName(sqlType, &field.typeName);
                }
                if (field.columnSize <= 0 && sizeKnown && size > 0)
                    field.width = field.columnSize = size;
                break;
            }
        }
    }
    FreeTmpStmt();
}

int ODBC::IndexList(CString table, CArray<IDX_DESC>* list, CString ownerName) {
    if (!connected || !isFunction(SQL_API_SQLSTATISTICS) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    lastRc = api.SQLStatistics(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS,
                               SQL_INDEX_ALL, SQL_QUICK);
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
    lastRc = api.SQLStatistics(hstmt, nullptr, 0, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS, SQL_INDEX_ALL,
                               SQL_QUICK);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::PKList(CString table, CArray<PK_DESC>* list, CString ownerName) {
    if (!connected || !isFunction(SQL_API_SQLPRIMARYKEYS) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    lastRc = api.SQLPrimaryKeys(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS);
    return ReadTmpRows(list, __LINE__, [&](PK_DESC& k) {
        GetDataTmp(4, k.column);
        GetDataTmp(6, k.keyName);
    });
}

namespace {
template <typename Read> void ReadForeignKeys(void* stmt, CArray<FK_DESC>* list, Read read) {
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
}
} // namespace

// The keys by which the table refers to others, then those by which others refer to it.
int ODBC::FKList(CString table, CArray<FK_DESC>* list, CString ownerName) {
    if (!connected || !isFunction(SQL_API_SQLFOREIGNKEYS) || AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    // The catalog function takes names as they are stored, so they are passed without quotes.
    CString qualifiedOwner, name;
    const char* ownerArg = PrepareOwner(&qualifiedOwner, &name, ownerName, table, 0);
    auto read = [this](int column, CString& value) { return GetDataTmp(column, value); };
    lastRc = api.SQLForeignKeys(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, nullptr, 0, nullptr, 0,
                                Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        ReadForeignKeys(hTmpStmt, list, read);
        FreeTmpStmt();
        if (AllocTmpStmt(kSource, __LINE__) != 0)
            return -1;
        lastRc = api.SQLForeignKeys(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS,
                                    nullptr, 0, Arg(ownerArg), SQL_NTS, nullptr, 0);
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
    lastRc = api.SQLProcedures(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, nullptr, 0);
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
    lastRc = api.SQLProcedureColumns(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS,
                                     nullptr, 0);
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
    lastRc = api.SQLTablePrivileges(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS);
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
    lastRc = api.SQLColumnPrivileges(hTmpStmt, nullptr, 0, Arg(ownerArg), SQL_NTS, Text(name), SQL_NTS,
                                     Text(column), SQL_NTS);
    return ReadTmpRows(list, __LINE__, [&](RIGHT_DESC& r) {
        GetDataTmp(6, r.grantee);
        GetDataTmp(5, r.grantor);
        GetDataTmp(7, r.privilege);
    });
}

// ---- Object text ----

namespace {
// Line breaks of a server text as CR LF, whatever the server stored.
CString WithCrLf(const CString& text) {
    CString out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

enum class Keeper { None, Postgres, Sqlite, MySql };

// The servers that keep the text of views, routines and triggers apart from Microsoft SQL Server.
Keeper KeeperOf(const CString& dbmsName) {
    if (strncasecmp(dbmsName.c_str(), "PostgreSQL", 10) == 0)
        return Keeper::Postgres;
    if (strncasecmp(dbmsName.c_str(), "SQLite", 6) == 0)
        return Keeper::Sqlite;
    if (strncasecmp(dbmsName.c_str(), "MySQL", 5) == 0 || strncasecmp(dbmsName.c_str(), "MariaDB", 7) == 0)
        return Keeper::MySql;
    return Keeper::None;
}
} // namespace

// A name as it stands in generated DDL: plain names between blanks, others between the driver's quote
// characters; each part of an owner-qualified name on its own.
CString ODBC::QuotedName(const CString& name) const {
    const size_t dot = name.rfind('.');
    if (dot != CString::npos && dot > 0 && dot + 1 < name.size()) {
        CString ownerPart = QuotedName(name.substr(0, dot));
        CString namePart = QuotedName(name.substr(dot + 1));
        // "owner.name" keeps the blank before the owner and after the name only.
        while (!ownerPart.empty() && ownerPart.back() == ' ')
            ownerPart.pop_back();
        if (!namePart.empty() && namePart.front() == ' ')
            namePart.erase(0, 1);
        return ownerPart + "." + namePart;
    }
    if (isEngName(name))
        return " " + name + " ";
    // A driver without a quote character: blanks, never a zero byte inside the text.
    const char open = quoteOpen ? quoteOpen : ' ';
    const char close = quoteClose ? quoteClose : ' ';
    return open + name + close;
}

int ODBC::ServerText(OB_TYPE kind, const CString& name, CStringArray* lines) {
    CString dbmsName;
    const Keeper keeper = dbmsKind == DBMS_MSSQL
                              ? Keeper::None
                              : KeeperOf(GetInfo(SQL_DBMS_NAME, &dbmsName) == 0 ? dbmsName : "");
    if (dbmsKind != DBMS_MSSQL && keeper == Keeper::None) {
        lines->push_back("Not supported for current DBMS");
        return 0;
    }
    // A procedure name with a group number (name;1) is asked without it.
    CString object = name;
    const size_t semicolon = object.find(';', 1);
    if (semicolon != CString::npos)
        object.erase(semicolon);

    CString text;
    int column = 1;
    bool split = false; // the server's text is cut into CR LF lines
    if (dbmsKind == DBMS_MSSQL) {
        text = "sp_helptext '" + Literal(object) + "'";
    } else {
        CString ownerPart, namePart;
        const size_t dot = object.rfind('.');
        if (dot != CString::npos && dot > 0) {
            ownerPart = object.substr(0, dot);
            namePart = object.substr(dot + 1);
        } else {
            ownerPart = ownerSupported ? CString(owner) : CString();
            namePart = object;
        }
        split = true;
        if (keeper == Keeper::Postgres) {
            const CString schemaTerm = ownerPart.empty() ? " and pg_catalog.pg_table_is_visible(c.oid)"
                                                         : " and n.nspname='" + Literal(ownerPart) + "'";
            if (kind == OB_VIEW) {
                text = "select 'create view ' || quote_ident(n.nspname) || '.' || quote_ident(c.relname) || "
                       "E' as\\n' || pg_catalog.pg_get_viewdef(c.oid, true) from pg_catalog.pg_class c "
                       "join pg_catalog.pg_namespace n on n.oid=c.relnamespace where c.relkind in ('v','m') "
                       "and c.relname='" +
                       Literal(namePart) + "'" + schemaTerm;
            } else if (kind == OB_TRIGGER) {
                text = "select pg_catalog.pg_get_triggerdef(t.oid, true) from pg_catalog.pg_trigger t "
                       "join pg_catalog.pg_class c on c.oid=t.tgrelid join pg_catalog.pg_namespace n on "
                       "n.oid=c.relnamespace where not t.tgisinternal and t.tgname='" +
                       Literal(namePart) + "'" + schemaTerm;
            } else {
                const CString routineSchema = ownerPart.empty()
                                                  ? " and pg_catalog.pg_function_is_visible(p.oid)"
                                                  : " and n.nspname='" + Literal(ownerPart) + "'";
                text = "select pg_catalog.pg_get_functiondef(p.oid) from pg_catalog.pg_proc p join "
                       "pg_catalog.pg_namespace n on n.oid=p.pronamespace where p.prokind in ('f','p') "
                       "and p.proname='" +
                       Literal(namePart) + "'" + routineSchema + " order by p.oid";
            }
        } else if (keeper == Keeper::Sqlite) {
            text = "select sql from sqlite_master where type in ('view','trigger') and name='" +
                   Literal(namePart) + "'";
        } else {
            const char* what = kind == OB_VIEW ? "VIEW" : kind == OB_TRIGGER ? "TRIGGER" : "PROCEDURE";
            auto backQuoted = [](const CString& part) {
                CString out = "`";
                for (char c : part) {
                    out += c;
                    if (c == '`')
                        out += '`';
                }
                return out + "`";
            };
            text = CString("show create ") + what + " " +
                   (ownerPart.empty() ? "" : backQuoted(ownerPart) + ".") + backQuoted(namePart);
            column = kind == OB_VIEW ? 2 : 3;
        }
    }

    if (AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    lastRc = api.SQLExecDirect(hTmpStmt, Text(text), SQL_NTS);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        for (SQLRETURN rc = api.SQLFetch(hTmpStmt); Ok(rc); rc = api.SQLFetch(hTmpStmt)) {
            CString piece;
            if (GetDataTmp(column, piece) != 0)
                break;
            if (!split) {
                // The server's rows as they are, each at most one buffer long.
                if (piece.size() > 510)
                    piece.resize(510);
                lines->push_back(piece);
                continue;
            }
            piece = WithCrLf(piece);
            if (piece.size() < 2 || piece.compare(piece.size() - 2, 2, "\r\n") != 0)
                piece += "\r\n";
            lines->push_back(piece);
        }
    }
    FreeTmpStmt();
    return 0;
}

int ODBC::ObjectText(OB_TYPE kind, CString& name, CString& qualifier, CStringArray* lines) {
    lines->clear();
    // Without a connection nothing is attempted, as for every other database operation.
    if (!connected)
        return -1;
    switch (kind) {
    case OB_TABLE:
    case OB_SYSTEM_TABLE: {
        lines->push_back("create table " + QuotedName(name) + " (\r\n");
        CArray<FLD_DESC> columns;
        if (FieldsList(name, &columns, owner) == 0) {
            for (size_t i = 0; i < columns.size(); ++i) {
                const FLD_DESC& f = columns[i];
                CString size;
                switch (f.sqlType) {
                case SQL_CHAR:
                case SQL_VARCHAR:
                case SQL_WCHAR:
                case SQL_WVARCHAR:
                case SQL_DECIMAL:
                case SQL_BINARY:
                case SQL_VARBINARY:
                    size = "(" + std::to_string(f.width) + ")";
                    break;
                default:
                    break;
                }
                lines->push_back("   " + QuotedName(f.name) + " " + f.typeName + size + " " +
                                 (f.nullable ? "NULL" : "NOT NULL") + (i + 1 < columns.size() ? "," : "") +
                                 "\r\n");
            }
        }
        lines->push_back(")\r\n");
        return 0;
    }
    case OB_VIEW:
    case OB_TRIGGER:
    case OB_PROCEDURE:
    case OB_OTHER_12:
    case OB_OTHER_23:
    case OB_OTHER_27:
        return ServerText(kind, name, lines);
    case OB_DATABASE:
        lines->push_back("CREATE DATABASE " + name);
        return 0;
    case OB_USER:
        lines->push_back("create user " + name + " \r\n");
        return 0;
    case OB_INDEX: {
        CArray<IDX_DESC> rows;
        CString unique, clustered, columns;
        if (IndexList(qualifier, &rows, owner) == 0) {
            for (const IDX_DESC& x : rows) {
                if (x.name != name)
                    continue;
                unique = x.nonUnique == 0 ? " unique" : "";
                clustered = x.type == SQL_INDEX_CLUSTERED ? " clustered" : "";
                if (!columns.empty())
                    columns += ", ";
                columns += x.column + (!x.order.empty() && x.order[0] == 'A' ? " asc" : " desc");
            }
        }
        lines->push_back("create" + unique + clustered + " index " + QuotedName(name) + "\r\n");
        lines->push_back("   on " + QuotedName(qualifier) + "(" + columns + ")");
        return 0;
    }
    case OB_PRIMARY_KEY: {
        CArray<PK_DESC> keys;
        CString columns;
        const bool listed = PKList(qualifier, &keys, owner) == 0;
        if (listed) {
            for (const PK_DESC& k : keys)
                columns += (columns.empty() ? "" : ", ") + k.column;
        }
        // A key that has no name in the catalog is added without a constraint name.
        const bool named = listed && !keys.empty() ? !keys.front().keyName.empty() : !name.empty();
        lines->push_back("ALTER TABLE " + QuotedName(qualifier) + " ADD" +
                         (named ? " CONSTRAINT " + name : ""));
        lines->push_back("\r\n PRIMARY KEY (" + columns + ")\r\n");
        return 0;
    }
    case OB_FOREIGN_KEY: {
        CArray<FK_DESC> keys;
        CString own, other, otherTable;
        bool named = !name.empty();
        if (FKList(qualifier, &keys, owner) == 0) {
            const size_t dot = qualifier.rfind('.');
            const CString table = dot != CString::npos && dot > 0 ? qualifier.substr(dot + 1) : qualifier;
            // Only the rows of one key: a key listed twice, or keys that share a name, are not merged.
            const std::vector<ForeignKeyRow> rows = ForeignKeyRows(keys);
            const auto match = std::find_if(rows.begin(), rows.end(),
                                            [&](const ForeignKeyRow& r) { return r.name == name; });
            const size_t first = match == rows.end() ? keys.size() : match->first;
            for (size_t i = first; i < keys.size() && rows[i].first == first; ++i) {
                const FK_DESC& k = keys[i];
                named = !k.fkName.empty();
                const bool refersOut = k.pkTable != table;
                otherTable = refersOut ? k.pkTable : k.fkTable;
                own += (own.empty() ? "" : ", ") + (refersOut ? k.fkColumn : k.pkColumn);
                other += (other.empty() ? "" : ", ") + (refersOut ? k.pkColumn : k.fkColumn);
            }
        }
        lines->push_back("ALTER TABLE " + QuotedName(qualifier) + " ADD" +
                         (named ? " CONSTRAINT " + name : "") + "\r\n");
        lines->push_back("   FOREIGN KEY (" + own + ")\r\n");
        lines->push_back("   REFERENCES " + QuotedName(otherTable) + "(" + other + ")\r\n");
        return 0;
    }
    default:
        lines->push_back(name);
        return 0;
    }
}
