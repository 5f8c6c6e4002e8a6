#include "codbc/ODBC.h"

#include "codbc/CExecWorker.h"
#include "codbc/ODBCEntryPoints.h"
#include "services/Helpers.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>
#include <exception>

using namespace codbc;

namespace {
// Piece buffers of the column reads, shared by all sessions (user-interface thread only).
constexpr int kPiece = 1024;
// Largest piece of a long value read in one call; a length the driver reports beyond it is read on.
constexpr SQLLEN kMaxPiece = SQLLEN(64) << 20;
char s_TextBuffer[kPiece];
alignas(16) char s_DataBuffer[kPiece];

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
} // namespace

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
    if (m_RunInline) {
        m_Executing = true;
        work();
        m_Executing = false;
        return true;
    }
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

// A text attribute of a result column (empty when the driver gave none); its return code in lastRc.
CString ODBC::ColText(int col, unsigned short attribute, size_t capacity) {
    std::vector<SQLCHAR> buffer(capacity + 1, 0);
    SQLSMALLINT length = 0;
    lastRc = api.SQLColAttributes(hstmt, static_cast<SQLUSMALLINT>(col + 1), attribute, buffer.data(),
                                  static_cast<SQLSMALLINT>(capacity), &length, nullptr);
    return reinterpret_cast<char*>(buffer.data());
}

int ODBC::ColName(int col, CString* name) {
    CString text = ColText(col, SQL_DESC_NAME, 255);
    if (name)
        *name = std::move(text);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}

int ODBC::ColLabel(int col, CString* label) {
    CString text = ColText(col, SQL_COLUMN_LABEL, 512);
    if (lastRc != SQL_SUCCESS && lastRc != SQL_SUCCESS_WITH_INFO)
        return 1;
    if (label)
        *label = std::move(text);
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

int ODBC::SetStmtOption(int attribute, int value) {
    lastRc =
        api.SQLSetStmtAttr(hstmt, attribute, reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(value)), 0);
    return ExtErr(lastRc, kSource, __LINE__, hdbc, hstmt);
}
