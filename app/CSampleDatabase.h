// The embedded default: on a machine without any data source yet, a small SQLite database in the
// program's folder, registered as the user data source "Varnel Sample" and made the current one.
#pragma once

#include "CommonTypes.h"

class _Settings;
class CDB;

class CSampleDatabase {
public:
    static constexpr const char* kDataSource = "Varnel Sample";
    static constexpr const char* kDriver = "SQLite3";
    static constexpr const char* kFileName = "sample.sqlite";

    // Creates and registers the sample when "DSN" is empty and no user data source exists; sets
    // "DSN" to it and saves the settings. True when the sample was set up now.
    static bool EnsureDefault(_Settings& settings, CDB* session);

    // The user data sources of odbc.ini (as ODBCINI or ~/.odbc.ini names it).
    static CStringArray UserDataSources();
    // True when odbcinst.ini knows the driver.
    static bool DriverInstalled(const CString& driver);
    // Writes the user data source over the database file; false when the installer library is
    // missing or refused.
    static bool RegisterDataSource(const CString& name, const CString& driver, const CString& database);
    static bool RemoveDataSource(const CString& name);

    // The statements of a script whose statements end with ';' at a line end.
    static CStringArray SplitScript(const CString& script);
    // Creates the database behind `dataSource` by running the script through the session; false
    // (with the failing statement's message in `error`) when a statement failed.
    static bool CreateTables(CDB& session, const CString& dataSource, const CString& script, CString* error);
    // The shipped script.
    static CString SampleScript();
};
