// Results of drivers that do not know a value's length ahead: the grid still gets every character.
#include "views/CResultLoader.h"

#include "codbc/ODBC.h"
#include "grid/CResultTable.h"

#include "ScriptedSource.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

TEST(ResultLoaderFamilies, ValuesWithoutAKnownLengthReachTheGridWhole) {
    TestSandbox::AddDataSource("notal", VARNEL_SCRIPTED_DRIVER, {{"DBMS_NAME", "Microsoft SQL Server"}});
    ODBC session;
    ASSERT_EQ(0, session.Connect("notal", "u", "p")) << session.lastError;
    for (int length : {1023, 1024, 4000}) {
        ASSERT_EQ(0, session.StmtRealloc());
        ASSERT_EQ(0, session.Exec("notal " + std::to_string(length))) << session.lastError;
        CResultTable table;
        CResultLoader loader(table);
        loader.AssignDatabase(&session, 0);
        ASSERT_EQ(2, table.GetRowCount()) << length;
        const CString value = table.GetItemText(1, 1);
        EXPECT_EQ(static_cast<size_t>(length), value.size()) << "a value of " << length << " characters";
        EXPECT_TRUE(value == ScriptedValue(length)) << "the pieces in order, none twice";
    }
}
