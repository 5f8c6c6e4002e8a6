// An ODBC driver for tests that behaves the way some real drivers do and the common ones do not: it
// reports long values without their length (SQL_NO_TOTAL) or with the length of the piece only,
// gives messages with line breaks, fails without a message, and names its DBMS after the data source.
// A statement text selects the behaviour:
//   "notal N"      one row, one column: N characters, each piece reported as SQL_NO_TOTAL
//   "piecelen N"   one row, one column: N characters, each piece reported with its own length
//   "value N"      one row, one column: N characters, reported correctly
//   "calls"        one row, one column: the number of SQLGetData calls since the last "calls"
//   "badread"      one row, two columns: "ok", then a value whose read fails
//   "fail lines"   fails with the message "first\r\nsecond\r\nthird"
//   "fail silent"  fails without any message
// A data source whose name begins with "oracle" calls its DBMS "Oracle8" (version 08.00.0760, no owner
// term, no quote character); every other one "Scripted" (version 3.1, owner term "schema", quote "`").
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

namespace {
struct Diagnostic {
    bool pending = false;
    std::string state, message;
    int native = 0;
};

struct Env {
    Diagnostic diag;
};
struct Dbc {
    bool oracle = false;
    Diagnostic diag;
};
struct Stmt {
    Dbc* dbc = nullptr;
    Diagnostic diag;
    std::string value;
    enum { kCorrect, kNoTotal, kPieceLength } reporting = kCorrect;
    bool hasResult = false;
    int columns = 1;     // result columns; reads beyond the first fail
    int row = 0;         // 0 before the first fetch, 1 on the row, 2 after it
    size_t offset = 0;   // bytes of the value already handed out
    bool counted = true; // reads of this statement count as driver calls
};

long s_GetDataCalls = 0;

std::string Pattern(size_t n) {
    std::string text;
    for (size_t i = 0; i < n; ++i)
        text += static_cast<char>('A' + (i / 7 + i) % 26);
    return text;
}

void Set(Diagnostic& d, const char* state, const std::string& message, int native = 0) {
    d.pending = true;
    d.state = state;
    d.message = message;
    d.native = native;
}

SQLRETURN CopyText(const std::string& text, SQLCHAR* out, SQLSMALLINT size, SQLSMALLINT* length) {
    if (length)
        *length = static_cast<SQLSMALLINT>(text.size());
    if (out && size > 0) {
        const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
        std::memcpy(out, text.data(), n);
        out[n] = 0;
    }
    return SQL_SUCCESS;
}
} // namespace

extern "C" {

SQLRETURN SQL_API SQLAllocEnv(SQLHENV* env) {
    *env = new Env;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeEnv(SQLHENV env) {
    delete static_cast<Env*>(env);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLAllocConnect(SQLHENV, SQLHDBC* dbc) {
    *dbc = new Dbc;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeConnect(SQLHDBC dbc) {
    delete static_cast<Dbc*>(dbc);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLConnect(SQLHDBC hdbc, SQLCHAR* dsn, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR*,
                             SQLSMALLINT) {
    auto* dbc = static_cast<Dbc*>(hdbc);
    dbc->oracle = dsn && strncasecmp(reinterpret_cast<char*>(dsn), "oracle", 6) == 0;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC) {
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* stmt) {
    auto* s = new Stmt;
    s->dbc = static_cast<Dbc*>(dbc);
    *stmt = s;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
    if (option == SQL_DROP)
        delete static_cast<Stmt*>(stmt);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC hdbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT size,
                             SQLSMALLINT* length) {
    auto* dbc = static_cast<Dbc*>(hdbc);
    auto text = [&](const std::string& t) { return CopyText(t, static_cast<SQLCHAR*>(value), size, length); };
    switch (type) {
    case SQL_DBMS_NAME:
        return text(dbc->oracle ? "Oracle8" : "Scripted");
    case SQL_DBMS_VER:
        return text(dbc->oracle ? "08.00.0760" : "3.1");
    case SQL_OWNER_TERM:
        return text(dbc->oracle ? "" : "schema");
    case SQL_IDENTIFIER_QUOTE_CHAR:
        return text(dbc->oracle ? " " : "`");
    case SQL_DRIVER_ODBC_VER:
        return text("02.50");
    case SQL_MAX_CHAR_LITERAL_LEN:
        *static_cast<SQLUINTEGER*>(value) = 4000;
        return SQL_SUCCESS;
    default:
        if (value && size >= 4)
            std::memset(value, 0, 4);
        return SQL_SUCCESS;
    }
}

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT hstmt, SQLSMALLINT type) {
    auto* s = static_cast<Stmt*>(hstmt);
    s->counted = false;
    s->hasResult = type == SQL_INTEGER;
    s->columns = 1;
    s->value = "NUMBER(10)";
    s->reporting = Stmt::kCorrect;
    s->row = 0;
    s->offset = 0;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT hstmt, SQLCHAR* text, SQLINTEGER length) {
    auto* s = static_cast<Stmt*>(hstmt);
    const std::string sql = length == SQL_NTS ? std::string(reinterpret_cast<char*>(text))
                                              : std::string(reinterpret_cast<char*>(text), length);
    s->hasResult = false;
    s->columns = 1;
    s->row = 0;
    s->offset = 0;
    s->reporting = Stmt::kCorrect;
    s->counted = true;
    const size_t n = std::strtoul(sql.c_str() + std::min(sql.size(), sql.find(' ') + 1), nullptr, 10);
    if (sql.rfind("notal ", 0) == 0) {
        s->reporting = Stmt::kNoTotal;
        s->value = Pattern(n);
    } else if (sql.rfind("piecelen ", 0) == 0) {
        s->reporting = Stmt::kPieceLength;
        s->value = Pattern(n);
    } else if (sql.rfind("value ", 0) == 0) {
        s->value = Pattern(n);
    } else if (sql == "calls") {
        s->counted = false;
        s->value = std::to_string(s_GetDataCalls);
        s_GetDataCalls = 0;
    } else if (sql == "badread") {
        s->value = "ok";
        s->columns = 2;
    } else if (sql == "fail lines") {
        Set(s->diag, "42000", "first\r\nsecond\r\nthird", 7);
        return SQL_ERROR;
    } else if (sql == "fail silent") {
        return SQL_ERROR;
    } else {
        Set(s->diag, "42000", "unknown statement: " + sql, 1);
        return SQL_ERROR;
    }
    s->hasResult = true;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT hstmt, SQLSMALLINT* count) {
    const auto* s = static_cast<Stmt*>(hstmt);
    *count = static_cast<SQLSMALLINT>(s->hasResult ? s->columns : 0);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT, SQLUSMALLINT, SQLCHAR* name, SQLSMALLINT size, SQLSMALLINT* length,
                                 SQLSMALLINT* type, SQLULEN* columnSize, SQLSMALLINT* digits,
                                 SQLSMALLINT* nullable) {
    CopyText("v", name, size, length);
    if (type)
        *type = SQL_LONGVARCHAR;
    if (columnSize)
        *columnSize = 1000000;
    if (digits)
        *digits = 0;
    if (nullable)
        *nullable = SQL_NULLABLE;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT hstmt) {
    auto* s = static_cast<Stmt*>(hstmt);
    if (!s->hasResult || s->row >= 1) {
        s->row = 2;
        return SQL_NO_DATA;
    }
    s->row = 1;
    s->offset = 0;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT hstmt, SQLUSMALLINT column, SQLSMALLINT, SQLPOINTER buffer, SQLLEN size,
                             SQLLEN* indicator) {
    auto* s = static_cast<Stmt*>(hstmt);
    if (s->counted)
        ++s_GetDataCalls;
    if (s->row != 1 || column != 1) {
        Set(s->diag, "S1002", "invalid column number");
        return SQL_ERROR;
    }
    if (s->offset > 0 && s->offset >= s->value.size())
        return SQL_NO_DATA;
    const size_t remaining = s->value.size() - s->offset;
    const size_t room = size > 0 ? static_cast<size_t>(size - 1) : 0;
    const size_t n = std::min(remaining, room);
    std::memcpy(buffer, s->value.data() + s->offset, n);
    static_cast<char*>(buffer)[n] = 0;
    s->offset += n;
    if (n == remaining) {
        // The last piece: every kind of reporting gives the true length here.
        if (indicator)
            *indicator = static_cast<SQLLEN>(n);
        if (remaining == 0)
            s->offset = 1; // a second read of an empty value finds no more data
        return SQL_SUCCESS;
    }
    if (indicator) {
        switch (s->reporting) {
        case Stmt::kCorrect:
            *indicator = static_cast<SQLLEN>(remaining);
            break;
        case Stmt::kNoTotal:
            *indicator = SQL_NO_TOTAL;
            break;
        case Stmt::kPieceLength:
            *indicator = static_cast<SQLLEN>(n);
            break;
        }
    }
    Set(s->diag, "01004", "String data, right truncated");
    return SQL_SUCCESS_WITH_INFO;
}

SQLRETURN SQL_API SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* state, SQLINTEGER* native,
                           SQLCHAR* message, SQLSMALLINT size, SQLSMALLINT* length) {
    Diagnostic* d = stmt  ? &static_cast<Stmt*>(stmt)->diag
                    : dbc ? &static_cast<Dbc*>(dbc)->diag
                    : env ? &static_cast<Env*>(env)->diag
                          : nullptr;
    if (!d || !d->pending)
        return SQL_NO_DATA;
    d->pending = false;
    if (state)
        std::snprintf(reinterpret_cast<char*>(state), 6, "%s", d->state.c_str());
    if (native)
        *native = d->native;
    CopyText(d->message, message, size, length);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT) {
    return SQL_SUCCESS;
}

} // extern "C"
