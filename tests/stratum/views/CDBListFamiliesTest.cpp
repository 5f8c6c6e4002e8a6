// The catalog-filled lists over the scripted driver: owners where the DBMS has them, bare names where
// it has none, and the messages of a catalog that fails.
#include "views/CDBCBox.h"
#include "views/CDBList.h"

#include "codbc/ODBC.h"

#include "MessageRecorder.h"
#include "ScriptedSource.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {
const char* const kTables = "catalog SQLTables\ncolumn TABLE_QUALIFIER 12\ncolumn TABLE_OWNER 12\n"
                            "column TABLE_NAME 12\ncolumn TABLE_TYPE 12\ncolumn REMARKS 12\n";
const char* const kStatistics =
    "catalog SQLStatistics\ncolumn TABLE_CAT 12\ncolumn TABLE_SCHEM 12\ncolumn TABLE_NAME 12\n"
    "column NON_UNIQUE 5\ncolumn INDEX_QUALIFIER 12\ncolumn INDEX_NAME 12\ncolumn TYPE 5\n"
    "column ORDINAL_POSITION 5\ncolumn COLUMN_NAME 12\ncolumn ASC_OR_DESC 1\n"
    "row \\N|\\N|t|0|\\N|pk_t|1|1|a|A\nrow \\N|\\N|t|0|\\N|pk_t|1|2|b|A\n";
} // namespace

TEST(CDBListFamilies, DesktopListsShowBareNamesAndAskWithoutOwner) {
    AddScriptedSource("excel", {{"DBMS_NAME", "EXCEL"}, {"OWNER_TERM", ""}},
                      CString(kTables) + "row C:\\book.xls|\\N|Sheet1$|TABLE|\\N\n" +
                          "query select * from  Sheet1$\ncolumn a 8\ncolumn b 12\n" + kStatistics);
    ODBC session;
    ASSERT_EQ(0, session.Connect("excel", "u", "p")) << session.lastError;
    CatalogCalls(session);
    MessageRecorder messages;

    CDBList list;
    EXPECT_EQ(0, list.FillTables(&session, "admin", OB_TABLE));
    EXPECT_EQ(CStringArray{"Sheet1$"}, list.ItemTexts());
    CDBCBox box;
    box.show();
    EXPECT_EQ(0, box.FillTables(&session, "admin"));
    EXPECT_EQ(CStringArray{"Sheet1$"}, box.ItemTexts()) << "no owner before the name";

    CDBList fields;
    EXPECT_EQ(0, fields.FillFields(&session, "Sheet1$", "admin", 1)) << session.lastError;
    EXPECT_EQ((CStringArray{"Sheet1$.a", "Sheet1$.b"}), fields.ItemTexts());
    EXPECT_EQ(0, box.FillFields(&session, "Sheet1$", "admin", 0)) << session.lastError;
    EXPECT_EQ((CStringArray{"Sheet1$", "a", "b"}), box.ItemTexts()) << "columns are appended";

    CDBList indexes;
    EXPECT_EQ(0, indexes.FillIndexes(&session, "Sheet1$", "admin"));
    EXPECT_EQ((CStringArray{"pk_t", "pk_t"}), indexes.ItemTexts()) << "once per column";
    EXPECT_TRUE(messages.Shown().empty());

    EXPECT_EQ((CStringArray{"SQLTables owner=NULL", "SQLTables owner=NULL", "SQLStatistics owner=NULL"}),
              CatalogCalls(session));
}

TEST(CDBListFamilies, SqlServerListsQualifyByOwner) {
    AddScriptedSource("mssql", {{"DBMS_NAME", "Microsoft SQL Server"}, {"OWNER_TERM", "owner"}},
                      CString(kTables) + "row sales|dbo|orders|TABLE|\\N\nrow sales|audit|log|TABLE|\\N\n" +
                          "query select * from dbo.orders\ncolumn id 4\ncolumn note 12\n");
    ODBC session;
    ASSERT_EQ(0, session.Connect("mssql", "u", "p")) << session.lastError;
    CatalogCalls(session);

    CDBList list;
    EXPECT_EQ(0, list.FillTables(&session, "", OB_TABLE));
    EXPECT_EQ((CStringArray{"dbo.orders", "audit.log"}), list.ItemTexts()) << "each with its own owner";
    EXPECT_EQ(0, list.FillTables(&session, "dbo", OB_TABLE));
    EXPECT_EQ((CStringArray{"orders", "log"}), list.ItemTexts()) << "the owner asked for is not repeated";
    CDBCBox box;
    box.show();
    EXPECT_EQ(0, box.FillTables(&session, "dbo"));
    EXPECT_EQ((CStringArray{"dbo.orders", "audit.log"}), box.ItemTexts());
    EXPECT_EQ(0, box.FillTables(&session, ""));
    EXPECT_EQ((CStringArray{"orders", "log"}), box.ItemTexts());
    EXPECT_EQ((CStringArray{"SQLTables owner=NULL", "SQLTables owner=dbo", "SQLTables owner=dbo",
                            "SQLTables owner=NULL"}),
              CatalogCalls(session));

    CDBList fields;
    EXPECT_EQ(0, fields.FillFields(&session, "orders", "dbo", 1)) << session.lastError;
    EXPECT_EQ((CStringArray{"orders.id", "orders.note"}), fields.ItemTexts());
}

TEST(CDBListFamilies, AFailingCatalogShowsTheDriversMessageWhereTheListHasOne) {
    AddScriptedSource("broken", {{"DBMS_NAME", "Oracle8"}, {"OWNER_TERM", "Owner"}},
                      "catalog SQLTables\nerror 42000 942 ORA-00942: table or view does not exist\n"
                      "catalog SQLProcedures\nerror 42000 942 ORA-00942: table or view does not exist\n"
                      "catalog SQLStatistics\nerror S1000 1 no statistics\n");
    ODBC session;
    ASSERT_EQ(0, session.Connect("broken", "u", "p")) << session.lastError;
    MessageRecorder messages;

    CDBList list;
    list.addItem("stale");
    EXPECT_NE(0, list.FillTables(&session, "SCOTT", OB_VIEW));
    EXPECT_EQ(0, list.count());
    CDBList procedures;
    EXPECT_NE(0, procedures.FillProcedures(&session, "SCOTT"));
    CDBList indexes;
    EXPECT_NE(0, indexes.FillIndexes(&session, "EMP", "SCOTT"));
    CDBCBox box;
    box.show();
    EXPECT_EQ(0, box.FillTables(&session, "SCOTT"));
    EXPECT_EQ(0, box.count());

    ASSERT_EQ(3u, messages.Shown().size()) << "the combo box shows nothing";
    EXPECT_EQ("Can't fill Tables list!", messages.Shown()[0].caption);
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("ORA-00942: table or view does not exist"))
        << messages.Shown()[0].text;
    EXPECT_EQ("Can't fill procedures list!", messages.Shown()[1].caption);
    EXPECT_EQ("Can't fill indexes list!", messages.Shown()[2].caption);
    EXPECT_NE(CString::npos, messages.Shown()[2].text.find("no statistics")) << messages.Shown()[2].text;
}

// A refused login: the table lists show the driver's message, the column list a fixed text.
TEST(CDBListFamilies, ARefusedLoginIsReportedByEachList) {
    TestSandbox::AddDataSource("refusing", VARNEL_SCRIPTED_DRIVER,
                               {{"Refuse", "28000 Login failed for user 'clerk'."}});
    MessageRecorder messages;
    CDBList list;
    list.addItem("kept");
    EXPECT_EQ(4, list.FillTables(DS_USER, "refusing", "clerk", "secret", "", OB_TABLE));
    EXPECT_EQ(CStringArray{"kept"}, list.ItemTexts()) << "nothing was filled";
    CDBCBox box;
    box.show();
    EXPECT_EQ(4, box.FillTables(DS_SYSTEM, "refusing", "clerk", "secret", ""));
    EXPECT_EQ(4, list.FillFields(DS_FILE, "refusing", "orders", "clerk", "secret", "", 0));
    ASSERT_EQ(3u, messages.Shown().size());
    for (int i : {0, 1}) {
        EXPECT_EQ("ERROR: Can't connect Data Source!", messages.Shown()[i].caption);
        EXPECT_NE(CString::npos, messages.Shown()[i].text.find("Login failed for user 'clerk'."))
            << messages.Shown()[i].text;
    }
    EXPECT_EQ("Error", messages.Shown()[2].caption);
    EXPECT_EQ("Can't connect Data Source,\n please check user name and password!", messages.Shown()[2].text);
    EXPECT_EQ(-8, box.FillTables(static_cast<DS_TYPE>(3), "refusing", "clerk", "secret", ""));
    EXPECT_EQ(3u, messages.Shown().size()) << "an unknown kind of data source is not tried";
}

TEST(CDBListFamilies, SqlServerDatabaseBoxIsEnabledAndSelectsByPrefix) {
    AddScriptedSource("mssql",
                      {{"DBMS_NAME", "Microsoft SQL Server"},
                       {"DBMS_VER", "08.00.0760"},
                       {"OWNER_TERM", "owner"},
                       {"QUOTE", "\""},
                       {"DATABASE_NAME", "sales"}},
                      "query sp_helpdb\n"
                      "column name 12\ncolumn db_size 12\ncolumn owner 12\ncolumn dbid 5\n"
                      "column created 12\ncolumn status 12\n"
                      "row master|     3.50 MB|sa|1|Aug  6 2000|trunc. log\n"
                      "row sales|    12.00 MB|sa|7|Jan 10 2001|\\N\n"
                      "row salesarchive|\\N|sa|8|\\N|\\N\n");
    ODBC session;
    ASSERT_EQ(0, session.Connect("mssql", "u", "p")) << session.lastError;
    CDBCBox box;
    box.show();
    EXPECT_EQ(0, box.FillDatabases(&session, ""));
    EXPECT_EQ((CStringArray{"master", "sales", "salesarchive"}), box.ItemTexts());
    EXPECT_TRUE(box.isEnabled());
    EXPECT_EQ(1, box.currentIndex()) << "the database in use";
    EXPECT_EQ(0, box.FillDatabases(&session, "SALESA"));
    EXPECT_EQ(2, box.currentIndex()) << "the first name starting with the current one";
    EXPECT_EQ(0, box.FillDatabases(&session, "nowhere"));
    EXPECT_EQ(1, box.currentIndex()) << "an unknown current name falls back to the one in use";
}

TEST(CDBListFamilies, TypesBoxTakesTheDriversTypesInItsOrder) {
    AddScriptedSource(
        "oracle_types", {{"DBMS_NAME", "Oracle8"}},
        "catalog SQLGetTypeInfo\ncolumn TYPE_NAME 12\ncolumn DATA_TYPE 5\ncolumn COLUMN_SIZE 4\n"
        "row VARCHAR2|12|4000\nrow NUMBER|3|38\nrow LONG RAW|-4|\\N\n");
    ODBC session;
    ASSERT_EQ(0, session.Connect("oracle_types", "u", "p")) << session.lastError;
    CDBCBox box;
    box.show();
    EXPECT_EQ(0, box.FillDataTypes(&session));
    EXPECT_EQ((CStringArray{"VARCHAR2", "NUMBER", "LONG RAW"}), box.ItemTexts());
    EXPECT_EQ(0, box.currentIndex());
}
