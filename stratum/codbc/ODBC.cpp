#include "codbc/ODBC.h"

#include "codbc/ODBCEntryPoints.h"
#include "services/Helpers.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <strings.h>
#include <utility>
#include <vector>

using namespace codbc;

void* ODBC::henv = nullptr;
int ODBC::inited = 0;

EntryPoints codbc::api;

namespace {
const char* kDriverManager = "libodbc.so.2";
const char* kInstaller = "libodbcinst.so.2";

void* s_Library = nullptr;
void* s_Installer = nullptr;

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
    m_DatabasesAsCatalogs = IsMySqlName(text);
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
    // The MariaDB driver fails on a type it does not know and then keeps its connection locked to
    // this thread, so that the statement worker would wait forever: it is asked once for all types.
    CString dbmsName;
    if (GetInfo(SQL_DBMS_NAME, &dbmsName) == 0 && IsMySqlName(dbmsName)) {
        FillTypeNamesFromAllTypes();
        return;
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

void ODBC::FillTypeNamesFromAllTypes() {
    bool named[kTypeCount] = {};
    if (Ok(api.SQLGetTypeInfo(hstmt, SQL_ALL_TYPES))) {
        while (Ok(api.SQLFetch(hstmt))) {
            char name[64] = {};
            SQLLEN length = 0;
            SQLSMALLINT code = 0;
            SQLLEN codeLength = 0;
            if (!Ok(api.SQLGetData(hstmt, 1, SQL_C_CHAR, name, sizeof name, &length)) ||
                length == SQL_NULL_DATA || !name[0] ||
                !Ok(api.SQLGetData(hstmt, 2, SQL_C_SSHORT, &code, 0, &codeLength)))
                continue;
            // The first row of a code is the type that maps to it most closely.
            for (int i = 0; i < kTypeCount; ++i) {
                if (!named[i] && typeNames[i].sqlType == code) {
                    std::memcpy(typeNames[i].name, name, sizeof name);
                    named[i] = true;
                }
            }
        }
    }
    StmtRealloc();
}

int ODBC::EndTran(int completion) {
    lastRc = api.SQLTransact(henv, hdbc, static_cast<SQLUSMALLINT>(completion));
    return ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr);
}

int ODBC::SetConnectOption(int option, int value) {
    lastRc = api.SQLSetConnectOption(hdbc, static_cast<SQLUSMALLINT>(option), static_cast<SQLULEN>(value));
    return ExtErr(lastRc, kSource, __LINE__, hdbc, nullptr);
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
