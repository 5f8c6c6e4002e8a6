#include "TestSandbox.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
const char* kSandboxVariable = "VARNEL_TEST_SANDBOX";
const char* kDriverDir = "/usr/lib/x86_64-linux-gnu/odbc";
} // namespace

std::string TestSandbox::Directory() {
    const char* dir = std::getenv(kSandboxVariable);
    return dir ? dir : "";
}

std::string TestSandbox::OdbcDirectory() { return Directory() + "/odbc"; }

std::string TestSandbox::UserOdbcIni() { return OdbcDirectory() + "/user-odbc.ini"; }

void TestSandbox::WriteOdbcConfiguration(const std::string& odbcDir) {
    std::ofstream inst(odbcDir + "/odbcinst.ini");
    inst << "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=" << kDriverDir << "/libsqlite3odbc.so\n"
         << "Setup=" << kDriverDir << "/libsqlite3odbc.so\nUsageCount=1\n\n"
         << "[PostgreSQL Unicode]\nDescription=PostgreSQL ODBC driver (Unicode)\nDriver=" << kDriverDir
         << "/psqlodbcw.so\nSetup=" << kDriverDir << "/libodbcpsqlS.so\nUsageCount=1\n\n"
         << "[PostgreSQL ANSI]\nDescription=PostgreSQL ODBC driver (ANSI)\nDriver=" << kDriverDir
         << "/psqlodbca.so\nSetup=" << kDriverDir << "/libodbcpsqlS.so\nUsageCount=1\n";
    std::ofstream(odbcDir + "/odbc.ini").flush();
    std::ofstream(odbcDir + "/user-odbc.ini").flush();
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
    for (const char* sub : {"config", "data", "cache", "home", "odbc", "runtime"})
        fs::create_directories(dir + "/" + sub);
    fs::permissions(dir + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
    WriteOdbcConfiguration(dir + "/odbc");

    setenv(kSandboxVariable, dir.c_str(), 1);
    setenv("HOME", (dir + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (dir + "/runtime").c_str(), 1);
    setenv("ODBCSYSINI", (dir + "/odbc").c_str(), 1);
    setenv("ODBCINI", (dir + "/odbc/user-odbc.ini").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

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
