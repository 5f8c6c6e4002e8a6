// Every test process runs in a private sandbox folder: its own settings, data folder and ODBC
// configuration, so no test sees another's files or the user's own.
#pragma once

#include <string>

class TestSandbox {
public:
    // The sandbox folder of this process ("" outside a sandbox).
    static std::string Directory();
    // ODBC configuration folder (ODBCSYSINI) and the user data-source file (ODBCINI).
    static std::string OdbcDirectory();
    static std::string UserOdbcIni();

    // Creates the sandbox, points the environment at it and runs this program again inside it;
    // returns the child's exit status. Returns -1 when already inside a sandbox.
    static int RunInSandbox(int argc, char** argv);

private:
    static void WriteOdbcConfiguration(const std::string& odbcDir);
};
