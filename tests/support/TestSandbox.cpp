#include "TestSandbox.h"

#include "services/ProgramDirectory.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {
const char* kSandboxVariable = "VARNEL_TEST_SANDBOX";
const char* kDriverDir = "/usr/lib/x86_64-linux-gnu/odbc";
} // namespace

std::string TestSandbox::Directory() {
    const char* dir = std::getenv(kSandboxVariable);
    return dir ? dir : "";
}

std::string TestSandbox::OdbcDirectory() {
    return Directory() + "/odbc";
}

std::string TestSandbox::UserOdbcIni() {
    return OdbcDirectory() + "/user-odbc.ini";
}

void TestSandbox::WriteOdbcConfiguration(const std::string& odbcDir) {
    std::ofstream inst(odbcDir + "/odbcinst.ini");
    inst << "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=" << kDriverDir << "/libsqlite3odbc.so\n"
         << "Setup=" << kDriverDir << "/libsqlite3odbc.so\nUsageCount=1\n\n"
         << "[PostgreSQL Unicode]\nDescription=PostgreSQL ODBC driver (Unicode)\nDriver=" << kDriverDir
         << "/psqlodbcw.so\nSetup=" << kDriverDir << "/libodbcpsqlS.so\nUsageCount=1\n\n"
         << "[PostgreSQL ANSI]\nDescription=PostgreSQL ODBC driver (ANSI)\nDriver=" << kDriverDir
         << "/psqlodbca.so\nSetup=" << kDriverDir << "/libodbcpsqlS.so\nUsageCount=1\n\n"
         << "[MariaDB Unicode]\nDescription=MariaDB Connector/ODBC (Unicode)\nDriver=" << kDriverDir
         << "/libmaodbc.so\nUsageCount=1\n";
    std::ofstream(odbcDir + "/odbc.ini").flush();
    std::ofstream(odbcDir + "/user-odbc.ini").flush();
}

void TestSandbox::AddDataSource(const std::string& name, const std::string& driver,
                                const std::vector<std::pair<std::string, std::string>>& attributes) {
    std::ofstream ini(UserOdbcIni(), std::ios::app);
    ini << "\n[" << name << "]\nDriver=" << driver << "\n";
    for (const auto& [key, value] : attributes)
        ini << key << "=" << value << "\n";
}

std::string TestSandbox::AddSqliteSource(const std::string& name) {
    const std::string file = Directory() + "/data/" + name + ".sqlite";
    std::error_code ignored;
    fs::remove(file, ignored);
    AddDataSource(name, "SQLite3", {{"Database", file}, {"StepAPI", "1"}, {"Timeout", "5000"}});
    return file;
}

namespace {
// The server whose address the variables that begin with `prefix` hold, if they name one.
std::optional<TestSandbox::DatabaseServer> ServerFromEnvironment(const std::string& prefix) {
    auto get = [&prefix](const char* variable) {
        const char* value = std::getenv((prefix + variable).c_str());
        return std::string(value ? value : "");
    };
    TestSandbox::DatabaseServer server{get("HOST"), get("PORT"), get("USER"), get("PASSWORD"),
                                       get("DATABASE")};
    if (server.port.empty() || server.user.empty() || server.database.empty())
        return std::nullopt;
    if (server.host.empty())
        server.host = "127.0.0.1";
    return server;
}

// A database name of this test process, so tests may run side by side on one server.
std::string ProcessDatabaseName() {
    return "t" + std::to_string(getpid()) + "_" + std::to_string(time(nullptr) % 100000);
}

// Runs `command` with its output in the sandbox's log; on failure fills `error` with the log.
bool RunLogged(const std::string& command, const std::string& what, std::string* error) {
    const std::string log = TestSandbox::Directory() + "/createdb.log";
    if (std::system((command + " >'" + log + "' 2>&1").c_str()) == 0)
        return true;
    if (error) {
        std::ifstream in(log);
        std::ostringstream text;
        text << in.rdbuf();
        *error = what + ": " + text.str();
    }
    return false;
}
} // namespace

std::optional<TestSandbox::DatabaseServer> TestSandbox::Postgres() {
    return ServerFromEnvironment("VARNEL_TEST_PG_");
}

bool TestSandbox::PostgresRequired() {
    const char* value = std::getenv("VARNEL_TEST_PG_REQUIRED");
    return value && std::string(value) == "1";
}

bool TestSandbox::AddPostgresSource(const std::string& name, const std::string& driver, std::string* error) {
    const auto server = Postgres();
    if (!server) {
        if (error)
            *error = "no PostgreSQL server for this test run (VARNEL_TEST_PG_PORT is not set)";
        return false;
    }
    const std::string database = ProcessDatabaseName();
    std::ostringstream command;
    command << "PGPASSWORD='" << server->password << "' psql -X -q -h " << server->host << " -p "
            << server->port << " -U '" << server->user << "' -d '" << server->database
            << "' -c 'create database " << database << "'";
    if (!RunLogged(command.str(), "could not create the database " + database, error))
        return false;
    AddDataSource(name, driver,
                  {{"Servername", server->host},
                   {"Port", server->port},
                   {"Database", database},
                   {"Username", server->user},
                   {"Password", server->password},
                   {"UseDeclareFetch", "1"},
                   {"Fetch", "10000"}});
    return true;
}

std::optional<TestSandbox::DatabaseServer> TestSandbox::MariaDB() {
    return ServerFromEnvironment("VARNEL_TEST_MARIADB_");
}

bool TestSandbox::MariaDBRequired() {
    const char* value = std::getenv("VARNEL_TEST_MARIADB_REQUIRED");
    return value && std::string(value) == "1";
}

bool TestSandbox::AddMariaDBSource(const std::string& name, std::string* error) {
    const auto server = MariaDB();
    if (!server) {
        if (error)
            *error = "no MariaDB server for this test run (VARNEL_TEST_MARIADB_PORT is not set)";
        return false;
    }
    const std::string database = ProcessDatabaseName();
    std::ostringstream command;
    command << "MYSQL_PWD='" << server->password << "' mariadb --no-defaults -h " << server->host << " -P "
            << server->port << " -u '" << server->user << "' -e 'create database if not exists " << database
            << "'";
    if (!RunLogged(command.str(), "could not create the database " + database, error))
        return false;
    AddDataSource(name, "MariaDB Unicode",
                  {{"Server", server->host},
                   {"Port", server->port},
                   {"Database", database},
                   {"User", server->user},
                   {"Password", server->password}});
    return true;
}

void TestSandbox::CreateFolders(const std::string& dir) {
    for (const char* sub : {"config", "data", "cache", "home", "odbc", "runtime"})
        fs::create_directories(dir + "/" + sub);
    fs::permissions(dir + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
    WriteOdbcConfiguration(dir + "/odbc");
}

void TestSandbox::RestoreEnvironment() {
    static const std::map<std::string, std::string> saved = [] {
        std::map<std::string, std::string> variables;
        for (char** entry = environ; *entry; ++entry) {
            const std::string text = *entry;
            const size_t eq = text.find('=');
            if (eq != std::string::npos)
                variables[text.substr(0, eq)] = text.substr(eq + 1);
        }
        return variables;
    }();
    std::vector<std::string> added;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (!saved.count(name))
            added.push_back(name);
    }
    for (const std::string& name : added)
        unsetenv(name.c_str());
    for (const auto& [name, value] : saved) {
        const char* now = std::getenv(name.c_str());
        if (!now || value != now)
            setenv(name.c_str(), value.c_str(), 1);
    }
}

void TestSandbox::Reset() {
    RestoreEnvironment();
    const std::string dir = Directory();
    if (dir.empty())
        return;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(dir, ignored))
        fs::remove_all(entry.path(), ignored);
    CreateFolders(dir);
}

int TestSandbox::RunInSandbox(int argc, char** argv) {
    if (!Directory().empty())
        return -1;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/varnel-test-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = pattern;
    CreateFolders(dir);

    setenv(kSandboxVariable, dir.c_str(), 1);
    setenv("HOME", (dir + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (dir + "/runtime").c_str(), 1);
    setenv("ODBCSYSINI", (dir + "/odbc").c_str(), 1);
    setenv("ODBCINI", (dir + "/odbc/user-odbc.ini").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // No test reaches the user's own session bus, and so never the user's keyring.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");

    const pid_t child = fork();
    if (child == 0) {
        execv("/proc/self/exe", argv);
        std::perror("execv");
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::error_code ignored;
    if (!std::getenv("VARNEL_KEEP_SANDBOX"))
        fs::remove_all(dir, ignored);
    else
        std::fprintf(stderr, "sandbox kept: %s\n", dir.c_str());
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

std::vector<std::string> TestSandbox::ErrorLogLines() {
    std::ifstream in(ProgramDirectory() + "Error.Log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
