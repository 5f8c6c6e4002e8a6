#include "CSampleDatabase.h"

#include "services/CLog.h"
#include "services/ProgramDirectory.h"
#include "services/_Settings.h"

#include "codbc/CDB.h"

#include <QFile>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

static void LoadSampleResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {
// The installer library of the driver manager, bound at run time like the driver manager itself.
struct Installer {
    using WriteDsn = int (*)(const char*, const char*);
    using WriteString = int (*)(const char*, const char*, const char*, const char*);
    using GetString = int (*)(const char*, const char*, const char*, char*, int, const char*);
    using SetMode = int (*)(unsigned short);
    using RemoveDsn = int (*)(const char*);

    void* handle = nullptr;
    WriteDsn writeDsn = nullptr;
    WriteString writeString = nullptr;
    GetString getString = nullptr;
    SetMode setMode = nullptr;
    RemoveDsn removeDsn = nullptr;

    Installer() {
        for (const char* name : {"libodbcinst.so.2", "libodbcinst.so"})
            if ((handle = dlopen(name, RTLD_NOW | RTLD_LOCAL)) != nullptr)
                break;
        if (!handle)
            return;
        writeDsn = reinterpret_cast<WriteDsn>(dlsym(handle, "SQLWriteDSNToIni"));
        writeString = reinterpret_cast<WriteString>(dlsym(handle, "SQLWritePrivateProfileString"));
        getString = reinterpret_cast<GetString>(dlsym(handle, "SQLGetPrivateProfileString"));
        setMode = reinterpret_cast<SetMode>(dlsym(handle, "SQLSetConfigMode"));
        removeDsn = reinterpret_cast<RemoveDsn>(dlsym(handle, "SQLRemoveDSNFromIni"));
    }
    ~Installer() {
        if (handle)
            dlclose(handle);
    }
    bool Usable() const { return writeDsn && writeString && getString && setMode && removeDsn; }
    // ODBC_USER_DSN, ODBC_BOTH_DSN
    void UserMode() const { setMode(1); }
    void BothMode() const { setMode(0); }
};

// Section names of an ini file as the installer returns them: separated and ended by NUL.
CStringArray Sections(const Installer& inst, const char* file) {
    CStringArray names;
    std::string buffer(16384, '\0');
    const int n = inst.getString(nullptr, nullptr, "", buffer.data(), static_cast<int>(buffer.size()), file);
    size_t at = 0;
    while (n > 0 && at < static_cast<size_t>(n) && buffer[at]) {
        CString name(buffer.c_str() + at);
        at += name.size() + 1;
        if (name != "ODBC" && name != "ODBC Data Sources")
            names.push_back(name);
    }
    return names;
}
} // namespace

CStringArray CSampleDatabase::UserDataSources() {
    Installer inst;
    if (!inst.Usable())
        return {};
    inst.UserMode();
    CStringArray names = Sections(inst, "odbc.ini");
    inst.BothMode();
    return names;
}

bool CSampleDatabase::DriverInstalled(const CString& driver) {
    Installer inst;
    if (!inst.Usable())
        return false;
    for (const CString& name : Sections(inst, "odbcinst.ini"))
        if (name == driver)
            return true;
    return false;
}

bool CSampleDatabase::RegisterDataSource(const CString& name, const CString& driver,
                                         const CString& database) {
    Installer inst;
    if (!inst.Usable())
        return false;
    inst.UserMode();
    bool ok = inst.writeDsn(name.c_str(), driver.c_str()) != 0 &&
              inst.writeString(name.c_str(), "Database", database.c_str(), "odbc.ini") != 0 &&
              inst.writeString(name.c_str(), "StepAPI", "1", "odbc.ini") != 0 &&
              inst.writeString(name.c_str(), "Description", "Varnel sample database", "odbc.ini") != 0;
    inst.BothMode();
    return ok;
}

bool CSampleDatabase::RemoveDataSource(const CString& name) {
    Installer inst;
    if (!inst.Usable())
        return false;
    inst.UserMode();
    const bool ok = inst.removeDsn(name.c_str()) != 0;
    inst.BothMode();
    return ok;
}

CStringArray CSampleDatabase::SplitScript(const CString& script) {
    CStringArray statements;
    CString current;
    size_t start = 0;
    while (start < script.size()) {
        size_t end = script.find('\n', start);
        if (end == CString::npos)
            end = script.size();
        CString line = script.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t last = line.find_last_not_of(" \t");
        if (current.empty() &&
            (last == CString::npos || line.compare(line.find_first_not_of(" \t"), 2, "--") == 0))
            continue; // blank lines and comments between statements
        if (last != CString::npos && line[last] == ';') {
            current += line.substr(0, last);
            statements.push_back(current);
            current.clear();
        } else {
            current += line + "\n";
        }
    }
    if (current.find_first_not_of(" \t\n") != CString::npos)
        statements.push_back(current);
    return statements;
}

CString CSampleDatabase::SampleScript() {
    LoadSampleResources();
    QFile file(":/sample.sql");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

bool CSampleDatabase::CreateTables(CDB& session, const CString& dataSource, const CString& script,
                                   CString* error) {
    const bool wasConnected = session.connected != 0;
    if (!wasConnected && (session.Connect(dataSource, "", "") != 0 || !session.connected)) {
        if (error)
            *error = session.lastError;
        return false;
    }
    bool ok = true;
    for (const CString& statement : SplitScript(script)) {
        if (session.StmtRealloc() != 0 || session.Exec(statement) != 0) {
            if (error)
                *error = session.lastError;
            ok = false;
            break;
        }
    }
    if (!wasConnected)
        session.Disconnect();
    return ok;
}

bool CSampleDatabase::EnsureDefault(_Settings& settings, CDB* session) {
    if (!session || !settings.getStr("DSN").empty() || !UserDataSources().empty())
        return false;
    if (!DriverInstalled(kDriver))
        return false;
    const CString path = ProgramDirectory() + kFileName;
    const CString script = SampleScript();
    if (script.empty())
        return false;
    std::error_code ec;
    // A file left behind by an interrupted first start is rebuilt: nothing refers to it yet.
    std::filesystem::remove(path, ec);
    // An empty file is a new database to SQLite, which keeps its mode (and gives it to its journals).
    if (const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600); fd >= 0)
        ::close(fd);
    CLog log;
    if (!RegisterDataSource(kDataSource, kDriver, path)) {
        log.Write("Sample database: the data source could not be registered");
        return false;
    }
    CString error;
    if (!CreateTables(*session, kDataSource, script, &error)) {
        log.Write("Sample database: " + error);
        RemoveDataSource(kDataSource);
        std::filesystem::remove(path, ec);
        return false;
    }
    settings.setStr("DSN", kDataSource);
    settings.SaveData();
    return true;
}
