// Data sources of the scripted test driver, and the reports in which the driver tells what it was
// asked ("catalog calls", "statements", "calls").
#pragma once

#include "CommonTypes.h"
#include "codbc/ODBC.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

using ScriptedAttributes = std::vector<std::pair<std::string, std::string>>;

#ifdef VARNEL_SCRIPTED_DRIVER
// Registers a data source of the scripted driver; the script text, when given, goes to a file it names.
inline void AddScriptedSource(const CString& name, ScriptedAttributes attributes,
                              const CString& script = "") {
    if (!script.empty()) {
        const CString path = TestSandbox::Directory() + "/" + name + ".script";
        std::ofstream(path) << script;
        attributes.push_back({"Script", path});
    }
    TestSandbox::AddDataSource(name, VARNEL_SCRIPTED_DRIVER, attributes);
}
#endif

// The rows of one of the driver's reports since the last look; the main statement is left fresh.
inline CStringArray DriverReport(ODBC& session, const char* report) {
    CStringArray rows;
    EXPECT_EQ(0, session.StmtRealloc());
    EXPECT_EQ(0, session.Exec(report)) << session.lastError;
    while (session.Fetch() == 0) {
        CString row;
        long indicator = 0;
        session.GetDataAsText(0, row, &indicator);
        rows.push_back(row);
    }
    EXPECT_EQ(0, session.StmtRealloc()) << "the main statement is left fresh";
    return rows;
}

// The text the scripted driver delivers for a value of n characters ("value N", "notal N", ...).
inline CString ScriptedValue(size_t n) {
    CString text;
    for (size_t i = 0; i < n; ++i)
        text += static_cast<char>('A' + (i / 7 + i) % 26);
    return text;
}

// The catalog calls the driver saw since the last look, each with its owner argument.
inline CStringArray CatalogCalls(ODBC& session) {
    return DriverReport(session, "catalog calls");
}
