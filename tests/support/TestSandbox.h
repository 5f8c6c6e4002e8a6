// Every test process runs in a private sandbox folder: its own settings, data folder and ODBC
// configuration, so no test sees another's files or the user's own. Cases that share a process
// start from a fresh sandbox too: its files are reset before each case.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

class TestSandbox {
public:
    // The sandbox folder of this process ("" outside a sandbox).
    static std::string Directory();
    // ODBC configuration folder (ODBCSYSINI) and the user data-source file (ODBCINI).
    static std::string OdbcDirectory();
    static std::string UserOdbcIni();
    // The lines of the program's error log in the sandbox ("Error.Log" in the program directory).
    static std::vector<std::string> ErrorLogLines();

    // Registers a user data source in the sandbox's odbc.ini with the given driver and attributes.
    static void AddDataSource(const std::string& name, const std::string& driver,
                              const std::vector<std::pair<std::string, std::string>>& attributes);
    // Registers a SQLite data source (driver "SQLite3", StepAPI=1) over a new, empty database file in
    // the sandbox; returns the file's path.
    static std::string AddSqliteSource(const std::string& name);

    // Where a database server of the test run listens and how to log in.
    struct DatabaseServer {
        std::string host, port, user, password, database;
    };
    // The PostgreSQL server of the test run (started by run-tests.sh through postgres-server.sh).
    static std::optional<DatabaseServer> Postgres();
    // True when CTest runs this test as one that needs the server (label "postgres").
    static bool PostgresRequired();
    // Creates a database of this test process on the server and registers a psqlODBC data source
    // for it (UseDeclareFetch=1, Fetch=10000). False, with the reason, when there is no server or
    // the database cannot be created.
    static bool AddPostgresSource(const std::string& name, const std::string& driver = "PostgreSQL Unicode",
                                  std::string* error = nullptr);

    // The MariaDB server of the test run (started by run-tests.sh through mariadb-server.sh).
    static std::optional<DatabaseServer> MariaDB();
    // True when CTest runs this test as one that needs the server (label "mariadb").
    static bool MariaDBRequired();
    // Creates a database of this test process on the server and registers a data source of the
    // MariaDB Connector/ODBC (driver "MariaDB Unicode") for it. False, with the reason, when there is
    // no server or the database cannot be created.
    static bool AddMariaDBSource(const std::string& name, std::string* error = nullptr);

    // Gives the next case of this process what a process of its own would have: the environment as
    // it was before the first case (a case may change PATH or TMPDIR), and an empty sandbox but for a
    // fresh ODBC configuration (no settings file, no program directory with Error.Log, no plug-in
    // folder, nothing else a case left there).
    static void Reset();

    // Creates the sandbox, points the environment at it and runs this program again inside it;
    // returns the child's exit status. Returns -1 when already inside a sandbox.
    static int RunInSandbox(int argc, char** argv);

private:
    static void WriteOdbcConfiguration(const std::string& odbcDir);
    static void CreateFolders(const std::string& dir);
    static void RestoreEnvironment();
};
