// An ODBC driver for tests that behaves the way each data source configures it, so sessions meet the
// DBMS families and the driver quirks no local server shows. Data-source attributes in odbc.ini:
//   DBMS_NAME, DBMS_VER, OWNER_TERM, QUOTE, CATALOG_TERM, DATABASE_NAME, DRIVER_NAME, DRIVER_VER,
//   TXN_CAPABLE, TXN_ISOLATION_OPTION, DEFAULT_TXN_ISOLATION, ASYNC_MODE, INDEX_KEYWORDS
//             what SQLGetInfo answers
//   INFO_<code>  what SQLGetInfo answers for any other information type: text, or a number written
//             in the width the caller asks for; FAIL makes the request fail
//   Missing   function ids (comma separated) SQLGetFunctions reports as missing
//   Refuse    "SQLSTATE message": the login is refused with this diagnostic
//   NoStatement  a message: the login succeeds but no statement can be allocated (HY014)
//   Script    a file of canned answers; Database  a SQLite file that runs every other statement
// A Script file holds blocks, each starting with "query <statement text>" (blanks and line ends after
// the text do not count) or "catalog <function>":
//   column <name> <SQL type>     a result column;  row <v1>|<v2>|\N   a row (\N is NULL, \n CR LF,
//                                \0 a NUL byte)
//   error <SQLSTATE> <native> <message, \n for a line break>   (no message when it is empty)
//   sleep <ms>                   runs that long first, ending early with HY008 when cancelled
//   firstfetch <ms>              the first fetch takes that long, ending early the same way
// Catalog blocks answer SQLTables, SQLStatistics, SQLPrimaryKeys, SQLForeignKeys, SQLProcedures,
// SQLProcedureColumns, SQLTablePrivileges, SQLColumnPrivileges and SQLGetTypeInfo (all types); one with
// an error line makes the call fail. Prepared statements take their columns from the script or from the
// SQLite database.
// Built-in statements: "notal N", "piecelen N", "value N" (one value of N characters whose pieces are
// reported as SQL_NO_TOTAL, with their own length, or correctly), "calls" (SQLGetData calls since the
// last "calls"), "catalog calls" (the catalog calls since the last one, with their owner argument),
// "statements" (the statements executed and the connection options set since the last "statements"),
// "badread" (one row: "ok", then a value whose read fails), "fail lines", "fail silent", "failfetch N"
// (N rows, then a fetch that fails as on a lost connection; a fetch after it aborts the process, as
// drivers may on a dead connection), "cutvalue N" (a value of N characters whose second piece fails,
// then a row "after"). Without DBMS_NAME a
// data source whose name begins with "oracle" is "Oracle8" 08.00.0760 with no owner term and a blank quote;
// any other "Scripted" 3.1.
#include <sql.h>
#include <sqlext.h>
#include <odbcinst.h>

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <strings.h>
#include <thread>
#include <vector>

namespace {
using Value = std::optional<std::string>;

struct Diagnostic {
    bool pending = false;
    std::string state, message;
    int native = 0;
};

struct Column {
    std::string name;
    int type = SQL_VARCHAR;
};

// A canned answer: a result set, a failure, or both after a delay.
struct Answer {
    std::vector<Column> columns;
    std::vector<std::vector<Value>> rows;
    bool fails = false;
    Diagnostic error;
    int sleepMs = 0;
    int firstFetchMs = 0;  // the first fetch takes this long (a server computing the result)
    int failingColumn = 0; // reading this column fails
    size_t failingRow = 0; // the fetch of this row (from 1) fails
    size_t cutAfter = 0;   // reading a value fails once this many of its bytes were handed out
};

struct Env {
    Diagnostic diag;
};
struct Dbc {
    std::string dsn;
    std::map<std::string, std::string> attributes;
    std::map<std::string, Answer> script; // "query <text>" or "catalog <function>"
    void* sqlite = nullptr;
    Diagnostic diag;
    std::string Attribute(const std::string& key, const std::string& fallback) const {
        auto it = attributes.find(key);
        return it == attributes.end() ? fallback : it->second;
    }
};
struct Stmt {
    Dbc* dbc = nullptr;
    Diagnostic diag;
    Answer result;
    enum { kCorrect, kNoTotal, kPieceLength } reporting = kCorrect;
    size_t row = 0;      // 1-based current row, 0 before the first fetch
    int column = 0;      // the column being read in pieces
    size_t offset = 0;   // bytes of that column already handed out
    bool done = false;   // the column was read to its end
    bool counted = true; // reads of this statement count as driver calls
    bool fetchFailed = false;
    std::atomic<bool> cancelled{false};
};

long s_GetDataCalls = 0;
std::vector<std::string> s_CatalogCalls;
std::vector<std::string> s_Statements;

std::string Pattern(size_t n) {
    std::string text;
    for (size_t i = 0; i < n; ++i)
        text += static_cast<char>('A' + (i / 7 + i) % 26);
    return text;
}

void Set(Diagnostic& d, const std::string& state, const std::string& message, int native = 0) {
    d = {true, state, message, native};
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

std::string Arg(SQLCHAR* text, SQLSMALLINT length) {
    if (!text)
        return "NULL";
    return length == SQL_NTS ? std::string(reinterpret_cast<char*>(text))
                             : std::string(reinterpret_cast<char*>(text), length);
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '0') {
            out += '\0';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::map<std::string, Answer> ReadScript(const std::string& path) {
    std::map<std::string, Answer> script;
    std::ifstream in(path);
    Answer* current = nullptr;
    for (std::string line; std::getline(in, line);) {
        const size_t space = line.find(' ');
        const std::string word = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (word == "query" || word == "catalog") {
            current = &script[word + " " + rest];
        } else if (!current) {
            continue;
        } else if (word == "column") {
            const size_t last = rest.rfind(' ');
            current->columns.push_back({rest.substr(0, last), std::atoi(rest.c_str() + last + 1)});
        } else if (word == "row") {
            std::vector<Value> row;
            std::stringstream cells(rest);
            for (std::string cell; std::getline(cells, cell, '|');)
                row.push_back(cell == "\\N" ? Value() : Value(Unescape(cell)));
            row.resize(current->columns.size(), std::string());
            current->rows.push_back(row);
        } else if (word == "error") {
            std::stringstream parts(rest);
            std::string state;
            int native = 0;
            parts >> state >> native;
            std::string message;
            std::getline(parts >> std::ws, message);
            current->fails = true;
            current->error = {!message.empty(), state, Unescape(message), native};
        } else if (word == "sleep") {
            current->sleepMs = std::atoi(rest.c_str());
        } else if (word == "firstfetch") {
            current->firstFetchMs = std::atoi(rest.c_str());
        }
    }
    return script;
}

// The SQLite library, loaded when a data source names a database: it runs what no script answers.
struct Sqlite {
    int (*open)(const char*, void**, int, const char*);
    int (*prepare)(void*, const char*, int, void**, const char**);
    int (*step)(void*);
    int (*columnCount)(void*);
    const char* (*columnName)(void*, int);
    int (*columnType)(void*, int);
    const unsigned char* (*columnText)(void*, int);
    int (*finalize)(void*);
    int (*close)(void*);
    const char* (*errmsg)(void*);
};

const Sqlite* LoadSqlite() {
    static Sqlite api{};
    static bool loaded = [] {
        void* lib = dlopen("libsqlite3.so.0", RTLD_NOW);
        if (!lib)
            return false;
        auto link = [lib](auto& fn, const char* name) {
            fn = reinterpret_cast<std::decay_t<decltype(fn)>>(dlsym(lib, name));
        };
        link(api.open, "sqlite3_open_v2");
        link(api.prepare, "sqlite3_prepare_v2");
        link(api.step, "sqlite3_step");
        link(api.columnCount, "sqlite3_column_count");
        link(api.columnName, "sqlite3_column_name");
        link(api.columnType, "sqlite3_column_type");
        link(api.columnText, "sqlite3_column_text");
        link(api.finalize, "sqlite3_finalize");
        link(api.close, "sqlite3_close");
        link(api.errmsg, "sqlite3_errmsg");
        return api.open && api.errmsg;
    }();
    return loaded ? &api : nullptr;
}

// Runs one statement on the SQLite database and keeps its whole result.
bool RunOnSqlite(Dbc* dbc, const std::string& sql, Answer& out, Diagnostic& diag) {
    const Sqlite* lite = LoadSqlite();
    void* stmt = nullptr;
    if (lite->prepare(dbc->sqlite, sql.c_str(), -1, &stmt, nullptr) != 0) {
        Set(diag, "42000", lite->errmsg(dbc->sqlite), 1);
        return false;
    }
    const int count = stmt ? lite->columnCount(stmt) : 0;
    for (int i = 0; i < count; ++i)
        out.columns.push_back({lite->columnName(stmt, i), SQL_VARCHAR});
    int rc = 0;
    while (stmt && (rc = lite->step(stmt)) == 100 /* SQLITE_ROW */) {
        std::vector<Value> row;
        for (int i = 0; i < count; ++i) {
            const auto* text = lite->columnText(stmt, i);
            row.push_back(lite->columnType(stmt, i) == 5 /* SQLITE_NULL */
                              ? Value()
                              : Value(reinterpret_cast<const char*>(text)));
        }
        out.rows.push_back(row);
    }
    const bool ok = !stmt || rc == 101 /* SQLITE_DONE */;
    if (!ok)
        Set(diag, "42000", lite->errmsg(dbc->sqlite), rc);
    if (stmt)
        lite->finalize(stmt);
    return ok;
}

Stmt* Start(SQLHSTMT hstmt) {
    auto* s = static_cast<Stmt*>(hstmt);
    s->result = Answer();
    s->reporting = Stmt::kCorrect;
    s->row = 0;
    s->column = 0;
    s->counted = true;
    s->fetchFailed = false;
    s->cancelled = false;
    return s;
}

Answer OneValue(const std::string& value) {
    Answer a;
    a.columns.push_back({"v", SQL_LONGVARCHAR});
    a.rows.push_back({value});
    return a;
}

// Answers a catalog function from the script and notes the call with its owner argument.
SQLRETURN Catalog(SQLHSTMT hstmt, const char* function, SQLCHAR* owner, SQLSMALLINT length) {
    Stmt* s = Start(hstmt);
    s_CatalogCalls.push_back(std::string(function) + " owner=" + Arg(owner, length));
    auto it = s->dbc->script.find(std::string("catalog ") + function);
    if (it == s->dbc->script.end())
        return SQL_SUCCESS;
    if (it->second.fails) {
        s->diag = it->second.error;
        return SQL_ERROR;
    }
    s->result = it->second;
    return SQL_SUCCESS;
}
// Any information type the data source names as INFO_<code>; zero (or the empty text) otherwise.
SQLRETURN OtherInfo(Dbc* dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT size, SQLSMALLINT* length) {
    char configured[1024] = "";
    SQLGetPrivateProfileString(dbc->dsn.c_str(), ("INFO_" + std::to_string(type)).c_str(), "", configured,
                               sizeof configured, "odbc.ini");
    const std::string text = configured;
    if (text == "FAIL") {
        Set(dbc->diag, "HY096", "Information type out of range", 96);
        return SQL_ERROR;
    }
    if (size == sizeof(SQLUSMALLINT) || size == sizeof(SQLUINTEGER)) {
        const unsigned long n = std::strtoul(text.c_str(), nullptr, 0);
        if (size == sizeof(SQLUSMALLINT))
            *static_cast<SQLUSMALLINT*>(value) = static_cast<SQLUSMALLINT>(n);
        else
            *static_cast<SQLUINTEGER*>(value) = static_cast<SQLUINTEGER>(n);
        return SQL_SUCCESS;
    }
    return CopyText(text, static_cast<SQLCHAR*>(value), size, length);
}

// The answer a statement text gets without running it: the script's, or the SQLite database's columns.
bool Describe(Dbc* dbc, const std::string& sql, Answer& out, Diagnostic& diag) {
    auto canned = dbc->script.find("query " + sql);
    if (canned != dbc->script.end()) {
        out = canned->second;
        return true;
    }
    const Sqlite* lite = dbc->sqlite ? LoadSqlite() : nullptr;
    if (!lite) {
        Set(diag, "42000", "unknown statement: " + sql, 1);
        return false;
    }
    void* stmt = nullptr;
    if (lite->prepare(dbc->sqlite, sql.c_str(), -1, &stmt, nullptr) != 0) {
        Set(diag, "42000", lite->errmsg(dbc->sqlite), 1);
        return false;
    }
    for (int i = 0; stmt && i < lite->columnCount(stmt); ++i)
        out.columns.push_back({lite->columnName(stmt, i), SQL_VARCHAR});
    if (stmt)
        lite->finalize(stmt);
    return true;
}

std::map<void*, std::string> s_Prepared; // statement handle -> its prepared text
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

SQLRETURN SQL_API SQLConnect(SQLHDBC hdbc, SQLCHAR* dsn, SQLSMALLINT length, SQLCHAR*, SQLSMALLINT, SQLCHAR*,
                             SQLSMALLINT) {
    auto* dbc = static_cast<Dbc*>(hdbc);
    dbc->dsn = Arg(dsn, length);
    const bool oracle = strncasecmp(dbc->dsn.c_str(), "oracle", 6) == 0;
    dbc->attributes = {{"DBMS_NAME", oracle ? "Oracle8" : "Scripted"},
                       {"DBMS_VER", oracle ? "08.00.0760" : "3.1"},
                       {"OWNER_TERM", oracle ? "" : "schema"},
                       {"QUOTE", oracle ? " " : "`"}};
    for (const char* key :
         {"DBMS_NAME", "DBMS_VER", "OWNER_TERM", "QUOTE", "CATALOG_TERM", "DATABASE_NAME", "DRIVER_NAME",
          "DRIVER_VER", "TXN_CAPABLE", "TXN_ISOLATION_OPTION", "DEFAULT_TXN_ISOLATION", "ASYNC_MODE",
          "INDEX_KEYWORDS", "Missing", "Refuse", "NoStatement", "Script", "Database"}) {
        char value[1024] = "\x01";
        SQLGetPrivateProfileString(dbc->dsn.c_str(), key, "\x01", value, sizeof value, "odbc.ini");
        if (std::strcmp(value, "\x01") != 0)
            dbc->attributes[key] = value;
    }
    const std::string refuse = dbc->Attribute("Refuse", "");
    if (!refuse.empty()) {
        Set(dbc->diag, refuse.substr(0, 5), refuse.size() > 6 ? refuse.substr(6) : "", 18456);
        return SQL_ERROR;
    }
    dbc->script = ReadScript(dbc->Attribute("Script", ""));
    const std::string database = dbc->Attribute("Database", "");
    if (!database.empty()) {
        const Sqlite* lite = LoadSqlite();
        if (!lite || lite->open(database.c_str(), &dbc->sqlite, 6 /* read, write, create */, nullptr) != 0) {
            Set(dbc->diag, "08001", "cannot open " + database);
            return SQL_ERROR;
        }
    }
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC hdbc) {
    auto* dbc = static_cast<Dbc*>(hdbc);
    if (dbc->sqlite)
        LoadSqlite()->close(dbc->sqlite);
    dbc->sqlite = nullptr;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* stmt) {
    auto* owner = static_cast<Dbc*>(dbc);
    if (owner->Attribute("NoStatement", "").size()) {
        Set(owner->diag, "HY014", owner->Attribute("NoStatement", ""));
        return SQL_ERROR;
    }
    auto* s = new Stmt;
    s->dbc = static_cast<Dbc*>(dbc);
    *stmt = s;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
    if (option == SQL_DROP) {
        s_Prepared.erase(stmt);
        delete static_cast<Stmt*>(stmt);
    }
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC hdbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT size,
                             SQLSMALLINT* length) {
    auto* dbc = static_cast<Dbc*>(hdbc);
    auto text = [&](const char* key, const std::string& fallback) {
        return CopyText(dbc->Attribute(key, fallback), static_cast<SQLCHAR*>(value), size, length);
    };
    auto number = [&](const char* key, unsigned long fallback, bool isShort) {
        const unsigned long n =
            std::strtoul(dbc->Attribute(key, std::to_string(fallback)).c_str(), nullptr, 0);
        if (isShort)
            *static_cast<SQLUSMALLINT*>(value) = static_cast<SQLUSMALLINT>(n);
        else
            *static_cast<SQLUINTEGER*>(value) = static_cast<SQLUINTEGER>(n);
        return SQL_SUCCESS;
    };
    switch (type) {
    case SQL_DBMS_NAME:
        return text("DBMS_NAME", "");
    case SQL_DBMS_VER:
        return text("DBMS_VER", "");
    case SQL_OWNER_TERM:
        return text("OWNER_TERM", "");
    case SQL_IDENTIFIER_QUOTE_CHAR:
        return text("QUOTE", "");
    case SQL_CATALOG_TERM:
        return text("CATALOG_TERM", "database");
    case SQL_DATABASE_NAME:
        return text("DATABASE_NAME", "main");
    case SQL_DRIVER_NAME:
        return text("DRIVER_NAME", "libvarnel_scripted_driver.so");
    case SQL_DRIVER_VER:
        return text("DRIVER_VER", "01.00.0000");
    case SQL_DRIVER_ODBC_VER:
        return CopyText("02.50", static_cast<SQLCHAR*>(value), size, length);
    case SQL_TXN_CAPABLE:
        return number("TXN_CAPABLE", SQL_TC_ALL, true);
    case SQL_TXN_ISOLATION_OPTION:
        return number("TXN_ISOLATION_OPTION", 0, false);
    case SQL_DEFAULT_TXN_ISOLATION:
        return number("DEFAULT_TXN_ISOLATION", 0, false);
    case SQL_ASYNC_MODE:
        return number("ASYNC_MODE", 0, false);
    case SQL_INDEX_KEYWORDS:
        return number("INDEX_KEYWORDS", 0, false);
    case SQL_MAX_CHAR_LITERAL_LEN:
        return number("", 4000, false);
    default:
        return OtherInfo(dbc, type, value, size, length);
    }
}

SQLRETURN SQL_API SQLGetFunctions(SQLHDBC hdbc, SQLUSMALLINT function, SQLUSMALLINT* supported) {
    auto* dbc = static_cast<Dbc*>(hdbc);
    std::vector<int> missing;
    std::stringstream ids(dbc->Attribute("Missing", ""));
    for (std::string id; std::getline(ids, id, ',');)
        missing.push_back(std::atoi(id.c_str()));
    auto has = [&](int id) { return std::find(missing.begin(), missing.end(), id) == missing.end(); };
    if (function == SQL_API_ODBC3_ALL_FUNCTIONS) {
        std::memset(supported, 0, SQL_API_ODBC3_ALL_FUNCTIONS_SIZE * sizeof(SQLUSMALLINT));
        for (int id = 1; id < SQL_API_ODBC3_ALL_FUNCTIONS_SIZE * 16; ++id)
            if (has(id))
                supported[id >> 4] |= static_cast<SQLUSMALLINT>(1 << (id & 15));
    } else if (function == SQL_API_ALL_FUNCTIONS) {
        for (int id = 0; id < 100; ++id)
            supported[id] = id > 0 && has(id) ? SQL_TRUE : SQL_FALSE;
    } else {
        *supported = has(function) ? SQL_TRUE : SQL_FALSE;
    }
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT hstmt, SQLSMALLINT type) {
    Stmt* s = Start(hstmt);
    s->counted = false;
    auto all = s->dbc->script.find("catalog SQLGetTypeInfo");
    if (type == SQL_ALL_TYPES && all != s->dbc->script.end())
        s->result = all->second;
    else if (type == SQL_INTEGER)
        s->result = OneValue("NUMBER(10)");
    return SQL_SUCCESS;
}

// Runs a statement text, directly or as prepared (inside the driver, never through the driver manager).
static SQLRETURN ExecText(SQLHSTMT hstmt, const std::string& sql) {
    Stmt* s = Start(hstmt);
    if (sql == "statements") {
        s->counted = false;
        s->result.columns.push_back({"statement", SQL_VARCHAR});
        for (const std::string& statement : s_Statements)
            s->result.rows.push_back({statement});
        s_Statements.clear();
        return SQL_SUCCESS;
    }
    if (s_Statements.size() < 10000) // long runs that never look are not kept whole
        s_Statements.push_back(sql);
    auto canned = s->dbc->script.find("query " + sql);
    if (canned == s->dbc->script.end()) // a script's last statement carries the line end after it
        canned = s->dbc->script.find("query " + sql.substr(0, sql.find_last_not_of(" \t\r\n") + 1));
    const size_t n = std::strtoul(sql.c_str() + std::min(sql.size(), sql.find(' ') + 1), nullptr, 10);
    if (canned != s->dbc->script.end()) {
        const Answer& a = canned->second;
        for (int waited = 0; waited < a.sleepMs; waited += 10) {
            if (s->cancelled) {
                Set(s->diag, "HY008", "Operation canceled");
                return SQL_ERROR;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (a.fails) {
            s->diag = a.error;
            return SQL_ERROR;
        }
        s->result = a;
    } else if (sql.rfind("notal ", 0) == 0) {
        s->reporting = Stmt::kNoTotal;
        s->result = OneValue(Pattern(n));
    } else if (sql.rfind("piecelen ", 0) == 0) {
        s->reporting = Stmt::kPieceLength;
        s->result = OneValue(Pattern(n));
    } else if (sql.rfind("value ", 0) == 0) {
        s->result = OneValue(Pattern(n));
    } else if (sql == "calls") {
        s->counted = false;
        s->result = OneValue(std::to_string(s_GetDataCalls));
        s_GetDataCalls = 0;
    } else if (sql == "catalog calls") {
        s->counted = false;
        s->result.columns.push_back({"call", SQL_VARCHAR});
        for (const std::string& call : s_CatalogCalls)
            s->result.rows.push_back({call});
        s_CatalogCalls.clear();
    } else if (sql == "badread") {
        s->result.columns = {{"good", SQL_VARCHAR}, {"bad", SQL_VARCHAR}};
        s->result.rows.push_back({std::string("ok"), std::string("unreadable")});
        s->result.failingColumn = 2;
    } else if (sql.rfind("failfetch ", 0) == 0) {
        s->result.columns.push_back({"r", SQL_VARCHAR});
        for (size_t i = 1; i <= n; ++i)
            s->result.rows.push_back({"r" + std::to_string(i)});
        s->result.rows.push_back({std::string("never")});
        s->result.failingRow = n + 1;
    } else if (sql.rfind("cutvalue ", 0) == 0) {
        s->result = OneValue(Pattern(n));
        s->result.rows.push_back({std::string("after")});
        s->result.cutAfter = 1000;
    } else if (sql == "fail lines") {
        Set(s->diag, "42000", "first\r\nsecond\r\nthird", 7);
        return SQL_ERROR;
    } else if (sql == "fail silent") {
        return SQL_ERROR;
    } else if (s->dbc->sqlite) {
        return RunOnSqlite(s->dbc, sql, s->result, s->diag) ? SQL_SUCCESS : SQL_ERROR;
    } else {
        Set(s->diag, "42000", "unknown statement: " + sql, 1);
        return SQL_ERROR;
    }
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT hstmt, SQLCHAR* text, SQLINTEGER length) {
    return ExecText(hstmt, length == SQL_NTS ? std::string(reinterpret_cast<char*>(text))
                                             : std::string(reinterpret_cast<char*>(text), length));
}

SQLRETURN SQL_API SQLTables(SQLHSTMT s, SQLCHAR*, SQLSMALLINT, SQLCHAR* owner, SQLSMALLINT length, SQLCHAR*,
                            SQLSMALLINT, SQLCHAR*, SQLSMALLINT) {
    return Catalog(s, "SQLTables", owner, length);
}

SQLRETURN SQL_API SQLProcedures(SQLHSTMT s, SQLCHAR*, SQLSMALLINT, SQLCHAR* owner, SQLSMALLINT length,
                                SQLCHAR*, SQLSMALLINT) {
    return Catalog(s, "SQLProcedures", owner, length);
}

SQLRETURN SQL_API SQLStatistics(SQLHSTMT s, SQLCHAR*, SQLSMALLINT, SQLCHAR* owner, SQLSMALLINT length,
                                SQLCHAR*, SQLSMALLINT, SQLUSMALLINT, SQLUSMALLINT) {
    return Catalog(s, "SQLStatistics", owner, length);
}

SQLRETURN SQL_API SQLPrimaryKeys(SQLHSTMT s, SQLCHAR*, SQLSMALLINT, SQLCHAR* owner, SQLSMALLINT length,
                                 SQLCHAR*, SQLSMALLINT) {
    return Catalog(s, "SQLPrimaryKeys", owner, length);
}

SQLRETURN SQL_API SQLForeignKeys(SQLHSTMT s, SQLCHAR*, SQLSMALLINT, SQLCHAR* owner, SQLSMALLINT length,
                                 SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                 SQLCHAR*, SQLSMALLINT) {
    return Catalog(s, "SQLForeignKeys", owner, length);
}

SQLRETURN SQL_API SQLProcedureColumns(SQLHSTMT s, SQLCHAR*, SQLSMALLINT, SQLCHAR* owner, SQLSMALLINT length,
                                      SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT) {
    return Catalog(s, "SQLProcedureColumns", owner, length);
}

SQLRETURN SQL_API SQLTablePrivileges(SQLHSTMT s, SQLCHAR*, SQLSMALLINT, SQLCHAR* owner, SQLSMALLINT length,
                                     SQLCHAR*, SQLSMALLINT) {
    return Catalog(s, "SQLTablePrivileges", owner, length);
}

SQLRETURN SQL_API SQLColumnPrivileges(SQLHSTMT s, SQLCHAR*, SQLSMALLINT, SQLCHAR* owner, SQLSMALLINT length,
                                      SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT) {
    return Catalog(s, "SQLColumnPrivileges", owner, length);
}

SQLRETURN SQL_API SQLPrepare(SQLHSTMT hstmt, SQLCHAR* text, SQLINTEGER length) {
    Stmt* s = Start(hstmt);
    const std::string sql = length == SQL_NTS ? std::string(reinterpret_cast<char*>(text))
                                              : std::string(reinterpret_cast<char*>(text), length);
    s_Prepared[hstmt] = sql;
    return Describe(s->dbc, sql, s->result, s->diag) ? SQL_SUCCESS : SQL_ERROR;
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT hstmt) {
    auto prepared = s_Prepared.find(hstmt);
    if (prepared == s_Prepared.end()) {
        Set(static_cast<Stmt*>(hstmt)->diag, "HY010", "Function sequence error");
        return SQL_ERROR;
    }
    return ExecText(hstmt, prepared->second);
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT hstmt, SQLSMALLINT* count) {
    *count = static_cast<SQLSMALLINT>(static_cast<Stmt*>(hstmt)->result.columns.size());
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT hstmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT size,
                                 SQLSMALLINT* length, SQLSMALLINT* type, SQLULEN* columnSize,
                                 SQLSMALLINT* digits, SQLSMALLINT* nullable) {
    auto* s = static_cast<Stmt*>(hstmt);
    if (column < 1 || column > s->result.columns.size()) {
        Set(s->diag, "S1002", "invalid column number");
        return SQL_ERROR;
    }
    const Column& c = s->result.columns[column - 1];
    CopyText(c.name, name, size, length);
    if (type)
        *type = static_cast<SQLSMALLINT>(c.type);
    if (columnSize)
        *columnSize = c.type == SQL_LONGVARCHAR ? 1000000 : 255;
    if (digits)
        *digits = 0;
    if (nullable)
        *nullable = SQL_NULLABLE;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT hstmt) {
    auto* s = static_cast<Stmt*>(hstmt);
    for (int waited = 0; s->row == 0 && waited < s->result.firstFetchMs; waited += 10) {
        if (s->cancelled) {
            Set(s->diag, "HY008", "Operation canceled");
            return SQL_ERROR;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (s->fetchFailed)
        std::abort(); // the connection is gone: a real driver may crash here
    if (s->row >= s->result.rows.size()) {
        s->row = s->result.rows.size() + 1;
        return SQL_NO_DATA;
    }
    if (s->row + 1 == s->result.failingRow) {
        s->fetchFailed = true;
        Set(s->diag, "08S01", "server closed the connection unexpectedly", 35);
        return SQL_ERROR;
    }
    ++s->row;
    s->column = 0;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT hstmt, SQLUSMALLINT column, SQLSMALLINT, SQLPOINTER buffer, SQLLEN size,
                             SQLLEN* indicator) {
    auto* s = static_cast<Stmt*>(hstmt);
    if (s->counted)
        ++s_GetDataCalls;
    if (s->row < 1 || s->row > s->result.rows.size() || column < 1 || column > s->result.columns.size()) {
        Set(s->diag, "S1002", "invalid column number");
        return SQL_ERROR;
    }
    if (column == s->result.failingColumn) {
        Set(s->diag, "S1000", "the value cannot be read");
        return SQL_ERROR;
    }
    if (s->column != column) {
        s->column = column;
        s->offset = 0;
        s->done = false;
    }
    if (s->done)
        return SQL_NO_DATA;
    const Value& cell = s->result.rows[s->row - 1][column - 1];
    if (!cell) {
        s->done = true;
        if (indicator)
            *indicator = SQL_NULL_DATA;
        return SQL_SUCCESS;
    }
    if (s->result.cutAfter && s->offset >= s->result.cutAfter) {
        Set(s->diag, "08S01", "the connection was lost while the value was read", 35);
        return SQL_ERROR;
    }
    const size_t remaining = cell->size() - s->offset;
    const size_t room = size > 0 ? static_cast<size_t>(size - 1) : 0;
    const size_t n = std::min(remaining, room);
    std::memcpy(buffer, cell->data() + s->offset, n);
    static_cast<char*>(buffer)[n] = 0;
    s->offset += n;
    if (n == remaining) {
        // The last piece: every kind of reporting gives the true length here.
        s->done = true;
        if (indicator)
            *indicator = static_cast<SQLLEN>(n);
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

SQLRETURN SQL_API SQLCancel(SQLHSTMT hstmt) {
    static_cast<Stmt*>(hstmt)->cancelled = true;
    return SQL_SUCCESS;
}

// Connection options are accepted and listed among the statements as "option <id> <value>".
SQLRETURN SQL_API SQLSetConnectOption(SQLHDBC, SQLUSMALLINT option, SQLULEN value) {
    s_Statements.push_back("option " + std::to_string(option) + " " + std::to_string(value));
    return SQL_SUCCESS;
}

} // extern "C"
