#include "BareOdbcRead.h"

#include <benchmark/benchmark.h>

#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>
#include <time.h>

#include <fstream>

namespace BenchOdbc {
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    return 0;
}

std::string WriteConfiguration(const char* source, const char* database) {
    char pattern[] = "/tmp/varnel-bench-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    std::ofstream(dir + "/odbcinst.ini")
        << "[SQLite3]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n";
    std::ofstream(dir + "/odbc.ini").flush();
    std::ofstream(dir + "/user-odbc.ini")
        << "[" << source << "]\nDriver=SQLite3\nDatabase=" << database << "\nStepAPI=1\n";
    setenv("ODBCSYSINI", dir.c_str(), 1);
    setenv("ODBCINI", (dir + "/user-odbc.ini").c_str(), 1);
    return dir;
}

long BareRead(const char* source, const char* query) {
    SQLHENV env = nullptr;
    SQLHDBC dbc = nullptr;
    SQLHSTMT stmt = nullptr;
    SQLAllocEnv(&env);
    SQLAllocConnect(env, &dbc);
    if (!SQL_SUCCEEDED(
            SQLConnect(dbc, (SQLCHAR*)source, SQL_NTS, (SQLCHAR*)"", SQL_NTS, (SQLCHAR*)"", SQL_NTS)))
        return -1;
    SQLAllocStmt(dbc, &stmt);
    SQLExecDirect(stmt, (SQLCHAR*)query, SQL_NTS);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt, &columns);
    char buffer[1024];
    SQLLEN indicator = 0;
    long cells = 0;
    while (SQLFetch(stmt) == SQL_SUCCESS) {
        for (SQLUSMALLINT c = 1; c <= columns; ++c) {
            SQLGetData(stmt, c, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
            benchmark::DoNotOptimize(buffer);
            ++cells;
        }
    }
    SQLFreeStmt(stmt, SQL_DROP);
    SQLDisconnect(dbc);
    SQLFreeConnect(dbc);
    SQLFreeEnv(env);
    return cells;
}
} // namespace BenchOdbc
