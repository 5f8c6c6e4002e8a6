// Sessions against the scripted driver posing as Microsoft SQL Server, Oracle and the desktop databases,
// and as drivers that refuse, omit functions or run long: the rules that depend on the DBMS family.
#include "codbc/DSN_Info.h"
#include "codbc/ODBC.h"
#include "services/ProgramDirectory.h"

#include "RowsSeen.h"
#include "ScriptedSource.h"
#include "TestSandbox.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

#include <fstream>

namespace {
void Connect(ODBC& session, const CString& dsn) {
    ASSERT_EQ(0, session.Connect(dsn, "u", "p")) << session.lastError;
}

const char* const kMssqlScript = "query sp_helpdb\n"
                                 "column name 12\ncolumn db_size 12\ncolumn owner 12\ncolumn dbid 5\n"
                                 "column created 12\ncolumn status 12\n"
                                 "row master|     3.50 MB|sa|1|Aug  6 2000|trunc. log\n"
                                 "row sales|    12.00 MB|sa|7|Jan 10 2001|\\N\n"
                                 "row salesarchive|\\N|sa|8|\\N|\\N\n"
                                 "query select name from sysusers where hasdbaccess=1\n"
                                 "column name 12\nrow dbo\nrow guest\n"
                                 "query sp_helptrigger 'orders'\n"
                                 "column trigger_name 12\ncolumn trigger_owner 12\n"
                                 "row orders_audit|dbo\nrow orders_check|dbo\n"
                                 "query sp_helptrigger '\"o''neil\"'\n"
                                 "column trigger_name 12\nrow quoted_trigger\n";

ScriptedAttributes Mssql() {
    return {{"DBMS_NAME", "Microsoft SQL Server"},
            {"DBMS_VER", "08.00.0760"},
            {"OWNER_TERM", "owner"},
            {"QUOTE", "\""},
            {"DATABASE_NAME", "sales"}};
}
} // namespace

TEST(ODBCFamilies, TheFamilyComesFromTheExactDbmsName) {
    const struct {
        const char* name;
        int kind;
    } cases[] = {{"DBASE", DBMS_XBASE},
                 {"FoxPro", DBMS_XBASE},
                 {"Microsoft SQL Server", DBMS_MSSQL},
                 {"ACCESS", DBMS_ACCESS},
                 {"EXCEL", DBMS_EXCEL},
                 {"Oracle8", DBMS_ORACLE},
                 {"ORACLE", DBMS_ORACLE},
                 {"Microsoft SQL Server 2000", DBMS_OTHER},
                 {"SQL Server", DBMS_OTHER},
                 {"dbase", DBMS_XBASE},
                 {"FOXPRO", DBMS_XBASE},
                 {"microsoft sql server", DBMS_MSSQL},
                 {"Access", DBMS_ACCESS},
                 {"excel", DBMS_EXCEL},
                 {"oracle 9i", DBMS_ORACLE},
                 {"ORACL", DBMS_OTHER},
                 {"DBASE IV", DBMS_OTHER},
                 {"MS ACCESS", DBMS_OTHER},
                 {"", DBMS_OTHER}};
    int i = 0;
    for (const auto& c : cases) {
        const CString dsn = "family" + std::to_string(i++);
        AddScriptedSource(dsn, {{"DBMS_NAME", c.name}, {"DBMS_VER", "08.00.0760"}});
        ODBC session;
        Connect(session, dsn);
        EXPECT_EQ(c.kind, session.dbmsKind) << c.name;
        EXPECT_EQ(8, session.dbmsVersion) << c.name;
        session.Disconnect();
        EXPECT_EQ(DBMS_OTHER, session.dbmsKind) << "no family after disconnecting";
    }
}

TEST(ODBCFamilies, SqlServerListsDatabasesUsersAndTriggersWithItsProcedures) {
    AddScriptedSource("mssql", Mssql(), kMssqlScript);
    ODBC session;
    Connect(session, "mssql");
    ASSERT_EQ(DBMS_MSSQL, session.dbmsKind);
    EXPECT_EQ(1, session.ownerSupported);

    CArray<DATAB_DESC> databases;
    ASSERT_EQ(0, session.DatabList(&databases)) << session.lastError;
    ASSERT_EQ(3u, databases.size());
    EXPECT_EQ("master", databases[0].name);
    EXPECT_EQ("     3.50 MB", databases[0].size);
    EXPECT_EQ("Aug  6 2000", databases[0].created);
    EXPECT_EQ("salesarchive", databases[2].name);
    EXPECT_EQ("", databases[2].size) << "NULL reads as empty";
    EXPECT_EQ("", databases[2].created);

    CArray<USER_DESC> users;
    ASSERT_EQ(0, session.UserList(&users)) << session.lastError;
    ASSERT_EQ(2u, users.size());
    EXPECT_EQ("dbo", users[0].name);
    EXPECT_EQ("guest", users[1].name);

    CArray<TRG_DESC> triggers;
    ASSERT_EQ(0, session.TrigList("orders", &triggers, "dbo")) << session.lastError;
    ASSERT_EQ(2u, triggers.size());
    EXPECT_EQ("orders_audit", triggers[0].name);
    EXPECT_EQ("orders_check", triggers[1].name);
    triggers.clear();
    ASSERT_EQ(0, session.TrigList("o'neil", &triggers, ""))
        << "a name that is not plain is quoted, its apostrophes doubled: " << session.lastError;
    ASSERT_EQ(1u, triggers.size());
    EXPECT_EQ("quoted_trigger", triggers[0].name);
}

TEST(ODBCFamilies, OracleUsersAndTriggersOfAnOwnerWithItsDictionaryViews) {
    AddScriptedSource(
        "oracle_owned", {{"DBMS_NAME", "Oracle8"}, {"DBMS_VER", "08.01.0700"}, {"OWNER_TERM", "Owner"}},
        "query select USERNAME from ALL_USERS\ncolumn USERNAME 12\nrow SCOTT\nrow SYSTEM\nrow \\N\n"
        "query select TRIGGER_NAME from ALL_TRIGGERS where TABLE_NAME='ORDERS'and TABLE_OWNER='SCOTT'\n"
        "column TRIGGER_NAME 12\nrow ORDERS_BI\n"
        "query select TRIGGER_NAME from ALL_TRIGGERS where TABLE_NAME='ORDERS'\n"
        "column TRIGGER_NAME 12\nrow ANY_OWNER\n");
    ODBC session;
    Connect(session, "oracle_owned");
    ASSERT_EQ(DBMS_ORACLE, session.dbmsKind);
    EXPECT_EQ(8, session.dbmsVersion);
    EXPECT_EQ(1, session.ownerSupported);

    CArray<USER_DESC> users;
    ASSERT_EQ(0, session.UserList(&users)) << session.lastError;
    ASSERT_EQ(3u, users.size());
    EXPECT_EQ("SCOTT", users[0].name);
    EXPECT_EQ("", users[2].name);

    CArray<TRG_DESC> triggers;
    ASSERT_EQ(0, session.TrigList("ORDERS", &triggers, "SCOTT")) << session.lastError;
    ASSERT_EQ(1u, triggers.size());
    EXPECT_EQ("ORDERS_BI", triggers[0].name);
    triggers.clear();
    ASSERT_EQ(0, session.TrigList("ORDERS", &triggers, "")) << session.lastError;
    ASSERT_EQ(1u, triggers.size());
    EXPECT_EQ("ANY_OWNER", triggers[0].name);

    CArray<DATAB_DESC> databases;
    EXPECT_EQ(0, session.DatabList(&databases));
    EXPECT_TRUE(databases.empty()) << "only SQL Server lists databases";
}

// Desktop databases have no owners: every catalog list goes without one, and the server lists are empty.
TEST(ODBCFamilies, DesktopDatabasesCallTheCatalogWithoutOwner) {
    for (const char* dbms : {"ACCESS", "EXCEL", "DBASE"}) {
        const CString dsn = CString("desk_") + dbms;
        AddScriptedSource(
            dsn, {{"DBMS_NAME", dbms}, {"OWNER_TERM", ""}},
            "catalog SQLTables\ncolumn TABLE_CAT 12\ncolumn TABLE_SCHEM 12\ncolumn TABLE_NAME 12\n"
            "column TABLE_TYPE 12\ncolumn REMARKS 12\nrow C:\\data|\\N|orders|TABLE|\\N\n");
        ODBC session;
        Connect(session, dsn);
        EXPECT_EQ(0, session.ownerSupported) << dbms;
        CatalogCalls(session);

        CArray<TABLE_DESC> tables;
        ASSERT_EQ(0, session.TablesList(&tables, "admin", OB_TABLE)) << session.lastError;
        ASSERT_EQ(1u, tables.size()) << dbms;
        EXPECT_EQ("orders", tables[0].name);
        EXPECT_EQ("", tables[0].owner);
        CArray<SP_DESC> procedures;
        session.SPList(&procedures, "admin");
        CArray<IDX_DESC> indexes;
        session.IndexList("orders", &indexes, "admin");
        CArray<PK_DESC> keys;
        session.PKList("orders", &keys, "admin");
        CArray<FK_DESC> foreign;
        session.FKList("orders", &foreign, "admin");
        const CStringArray calls = CatalogCalls(session);
        EXPECT_EQ((CStringArray{"SQLTables owner=NULL", "SQLProcedures owner=NULL",
                                "SQLStatistics owner=NULL", "SQLPrimaryKeys owner=NULL",
                                "SQLForeignKeys owner=NULL", "SQLForeignKeys owner=NULL"}),
                  calls)
            << dbms << ": foreign keys are asked both ways";

        CArray<USER_DESC> users;
        CArray<TRG_DESC> triggers;
        CArray<DATAB_DESC> databases;
        EXPECT_EQ(0, session.UserList(&users));
        EXPECT_EQ(0, session.TrigList("orders", &triggers, ""));
        EXPECT_EQ(0, session.DatabList(&databases));
        EXPECT_TRUE(users.empty() && triggers.empty() && databases.empty()) << dbms;
    }
}

TEST(ODBCFamilies, DsnInfoRendersTheDriversSpecialItems) {
    AddScriptedSource("info", {{"DBMS_NAME", "Microsoft SQL Server"},
                               {"DBMS_VER", "08.00.0760"},
                               {"ASYNC_MODE", "3"},
                               {"INDEX_KEYWORDS", "3"},
                               {"DEFAULT_TXN_ISOLATION", "10"},
                               {"CATALOG_TERM", "database"}});
    ODBC session;
    Connect(session, "info");
    DSN_Info info(&session);
    auto value = [&](const CString& wanted) {
        for (int i = 0; i < DSN_Info::kItemCount; ++i) {
            CString name, version, text = "unset";
            const int rc = info.GetInfo(i, &name, &version, &text);
            if (name == wanted) {
                EXPECT_EQ(0, rc) << wanted;
                return text;
            }
        }
        ADD_FAILURE() << wanted << " not listed";
        return CString();
    };
    EXPECT_EQ("unset", value("SQL_ASYNC_MODE")) << "a mode outside the known three leaves the value alone";
    EXPECT_EQ("ASC DESC ALL ", value("SQL_INDEX_KEYWORDS"));
    EXPECT_EQ("READ_COMMITTED SERIALIZABLE", value("SQL_DEFAULT_TXN_ISOLATION"));
    EXPECT_EQ("database", value("SQL_CATALOG_TERM"));
    EXPECT_NE(CString::npos, info.DBMSNameAndVer().find("Microsoft SQL Server")) << info.DBMSNameAndVer();
}

TEST(ODBCFamilies, ARefusedLoginLeavesTheSessionUnconnectedWithTheMessage) {
    AddScriptedSource("refusing", {{"Refuse", "28000 Login failed for user 'u'."}});
    ODBC session;
    EXPECT_EQ(4, session.Connect("refusing", "u", "p"));
    EXPECT_EQ(0, session.connected);
    EXPECT_NE(CString::npos, CString(session.lastError).find("Login failed for user 'u'."))
        << session.lastError;
    EXPECT_NE(CString::npos, CString(session.lastError).find("28000")) << session.lastError;
}

TEST(ODBCFamilies, AFunctionTheDriverLacksIsNotCalled) {
    AddScriptedSource("noprocs", {{"Missing", std::to_string(SQL_API_SQLPROCEDURES)}});
    ODBC session;
    Connect(session, "noprocs");
    CatalogCalls(session);
    EXPECT_EQ(0, session.isFunction(SQL_API_SQLPROCEDURES));
    EXPECT_EQ(1, session.isFunction(SQL_API_SQLTABLES));
    CArray<SP_DESC> procedures;
    EXPECT_NE(0, session.SPList(&procedures, ""));
    EXPECT_TRUE(procedures.empty());
    CArray<TABLE_DESC> tables;
    EXPECT_EQ(0, session.TablesList(&tables, "", OB_TABLE));
    EXPECT_EQ((CStringArray{"SQLTables owner=NULL"}), CatalogCalls(session));
}

TEST(ODBCFamilies, ScriptedFailuresKeepStateNativeCodeAndMessage) {
    AddScriptedSource("failing", {},
                      "query delete from locked\nerror 40001 1205 deadlock victim\\nrerun the transaction\n"
                      "query drop table gone\nerror HY000 0 \n");
    ODBC session;
    Connect(session, "failing");
    ASSERT_EQ(0, session.StmtRealloc());
    EXPECT_EQ(1, session.Exec("delete from locked"));
    const CString error = session.lastError;
    EXPECT_NE(CString::npos, error.find("deadlock victim  rerun the transaction,40001,1205")) << error;
    ASSERT_EQ(0, session.StmtRealloc());
    EXPECT_EQ(1, session.Exec("drop table gone")) << "a failure without any message is still a failure";
    EXPECT_EQ(error, CString(session.lastError));
}

TEST(ODBCFamilies, OtherStatementsRunOnTheSqliteDatabase) {
    AddScriptedSource(
        "backed", {{"DBMS_NAME", "Microsoft SQL Server"}, {"Database", TestSandbox::Directory() + "/b.db"}},
        "query select @@version\ncolumn v 12\nrow Microsoft SQL Server 2000\n");
    ODBC session;
    Connect(session, "backed");
    for (const char* sql : {"create table t (a integer, b text)", "insert into t values (1, 'one')",
                            "insert into t values (2, null)"}) {
        ASSERT_EQ(0, session.StmtRealloc());
        EXPECT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
    }
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(0, session.Exec("select a, b from t order by a")) << session.lastError;
    CString a, b;
    long indicator = 0;
    ASSERT_EQ(0, session.Fetch());
    session.GetDataAsText(0, a, &indicator);
    session.GetDataAsText(1, b, &indicator);
    EXPECT_EQ("1", a);
    EXPECT_EQ("one", b);
    ASSERT_EQ(0, session.Fetch());
    session.GetDataAsText(1, b, &indicator);
    EXPECT_EQ(SQL_NULL_DATA, indicator);
    EXPECT_EQ(100, session.Fetch());
    ASSERT_EQ(0, session.StmtRealloc());
    EXPECT_EQ(1, session.Exec("select * from missing"));
    EXPECT_NE(CString::npos, CString(session.lastError).find("no such table")) << session.lastError;
}

TEST(ODBCFamilies, ALongStatementEndsWhenCancelled) {
    AddScriptedSource("slow", {}, "query waitfor delay\nsleep 20000\ncolumn v 12\nrow done\n");
    ODBC session;
    Connect(session, "slow");
    ASSERT_EQ(0, session.StmtRealloc());
    int cancelRc = -2;
    QTimer::singleShot(200, [&] { cancelRc = session.Cancel(); });
    EXPECT_EQ(1, session.Exec("waitfor delay"));
    EXPECT_EQ(0, cancelRc) << "cancelled while running";
    EXPECT_NE(CString::npos, CString(session.lastError).find("Operation canceled")) << session.lastError;
}

TEST(ODBCFamilies, TheFirstRowsAreAwaitedOnTheWorkerAndCanBeCancelled) {
    AddScriptedSource("slow", {},
                      "query select quick\nfirstfetch 300\ncolumn v 12\nrow done\n"
                      "query select slow\nfirstfetch 20000\ncolumn v 12\nrow never\n");
    ODBC session;
    Connect(session, "slow");
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    ASSERT_EQ(0, session.Exec("select quick"));
    EXPECT_EQ(0, session.Fetch());
    EXPECT_GT(ticks, 5) << "events were dispatched while the first rows were awaited";
    CString value;
    EXPECT_EQ(0, session.GetDataAsText(0, value, nullptr));
    EXPECT_EQ("done", value);
    EXPECT_EQ(100, session.Fetch()) << "later fetches are direct";

    ASSERT_EQ(0, session.StmtRealloc());
    int cancelRc = -2;
    QTimer::singleShot(200, [&] { cancelRc = session.IsExecuting() ? session.Cancel() : -3; });
    ASSERT_EQ(0, session.Exec("select slow"));
    EXPECT_EQ(1, session.Fetch());
    EXPECT_EQ(0, cancelRc) << "cancelled while the first rows were computed";
    EXPECT_NE(CString::npos, CString(session.lastError).find("Operation canceled")) << session.lastError;
}

// One session meets one family after another: every connect reads the driver's facts afresh.
TEST(ODBCFamilies, ReconnectingToAnotherFamilyRereadsItsFacts) {
    AddScriptedSource("mssql", Mssql(), kMssqlScript);
    AddScriptedSource(
        "access", {{"DBMS_NAME", "ACCESS"}, {"DBMS_VER", "04.00.0000"}, {"OWNER_TERM", ""}, {"QUOTE", "`"}});
    ODBC session;
    Connect(session, "mssql");
    EXPECT_EQ(4, session.Connect("access", "u", "p")) << "already connected: nothing is done";
    EXPECT_EQ(DBMS_MSSQL, session.dbmsKind);
    EXPECT_EQ(8, session.dbmsVersion);
    EXPECT_EQ(1, session.ownerSupported);
    EXPECT_EQ('"', session.quoteOpen);
    session.Disconnect();

    Connect(session, "access");
    EXPECT_EQ(DBMS_ACCESS, session.dbmsKind);
    EXPECT_EQ(4, session.dbmsVersion);
    EXPECT_EQ(0, session.ownerSupported);
    EXPECT_EQ('`', session.quoteOpen);
    EXPECT_EQ('`', session.quoteClose);
    session.Disconnect();
    EXPECT_EQ(0, session.ownerSupported) << "kept until the next connect";

    Connect(session, "mssql");
    EXPECT_EQ(DBMS_MSSQL, session.dbmsKind);
    EXPECT_EQ(1, session.ownerSupported) << "an owner term again";
    CArray<DATAB_DESC> databases;
    EXPECT_EQ(0, session.DatabList(&databases));
    EXPECT_EQ(3u, databases.size());
}

// Catalog lists the earlier desktop test leaves out: procedure columns and both privilege lists.
TEST(ODBCFamilies, DesktopProcedureColumnsAndPrivilegesGoWithoutOwner) {
    AddScriptedSource(
        "excel", {{"DBMS_NAME", "EXCEL"}, {"OWNER_TERM", ""}},
        "catalog SQLTablePrivileges\ncolumn TABLE_CAT 12\ncolumn TABLE_SCHEM 12\ncolumn TABLE_NAME 12\n"
        "column GRANTOR 12\ncolumn GRANTEE 12\ncolumn PRIVILEGE 12\ncolumn IS_GRANTABLE 12\n"
        "row \\N|\\N|sheet1|admin|public|SELECT|NO\n"
        "catalog SQLColumnPrivileges\ncolumn TABLE_CAT 12\ncolumn TABLE_SCHEM 12\n"
        "column TABLE_NAME 12\ncolumn COLUMN_NAME 12\ncolumn GRANTOR 12\ncolumn GRANTEE 12\n"
        "column PRIVILEGE 12\ncolumn IS_GRANTABLE 12\nrow \\N|\\N|sheet1|a|admin|clerk|UPDATE|NO\n");
    ODBC session;
    Connect(session, "excel");
    session.SetOwner("admin");
    CatalogCalls(session);
    CArray<SPCOL_DESC> parameters;
    session.SPColsList(&parameters, "admin.report", session.owner);
    CArray<RIGHT_DESC> rights{{"stale", "stale", "stale"}};
    ASSERT_EQ(0, session.GetTableRights("admin.sheet1", &rights, session.owner)) << session.lastError;
    ASSERT_EQ(1u, rights.size()) << "the list is emptied first";
    EXPECT_EQ("public", rights[0].grantee);
    EXPECT_EQ("admin", rights[0].grantor);
    EXPECT_EQ("SELECT", rights[0].privilege);
    EXPECT_EQ(0, session.Statistics(session.owner, "admin.sheet1"));
    ASSERT_EQ(0, session.GetColumnRights("sheet1", "a", &rights, session.owner)) << session.lastError;
    ASSERT_EQ(1u, rights.size());
    EXPECT_EQ("clerk", rights[0].grantee);
    EXPECT_EQ("admin", rights[0].grantor);
    EXPECT_EQ("UPDATE", rights[0].privilege);
    EXPECT_EQ((CStringArray{"SQLProcedureColumns owner=NULL", "SQLTablePrivileges owner=NULL",
                            "SQLStatistics owner=NULL", "SQLColumnPrivileges owner=NULL"}),
              CatalogCalls(session));
}

TEST(ODBCFamilies, PrivilegeListsOfADriverWithoutThemAreEmptied) {
    AddScriptedSource("norights", {{"Missing", std::to_string(SQL_API_SQLTABLEPRIVILEGES) + "," +
                                                   std::to_string(SQL_API_SQLCOLUMNPRIVILEGES)}});
    ODBC session;
    Connect(session, "norights");
    CatalogCalls(session);
    CArray<RIGHT_DESC> rights{{"stale", "stale", "stale"}};
    EXPECT_EQ(-1, session.GetTableRights("orders", &rights, ""));
    EXPECT_TRUE(rights.empty());
    rights.push_back({"stale", "stale", "stale"});
    EXPECT_EQ(-1, session.GetColumnRights("orders", "id", &rights, ""));
    EXPECT_TRUE(rights.empty());
    EXPECT_TRUE(CatalogCalls(session).empty()) << "the driver is not asked";
}

TEST(ODBCFamilies, TypesListTakesTheDriversTypesInItsOrder) {
    AddScriptedSource(
        "oracle_types", {{"DBMS_NAME", "Oracle8"}},
        "catalog SQLGetTypeInfo\ncolumn TYPE_NAME 12\ncolumn DATA_TYPE 5\ncolumn COLUMN_SIZE 4\n"
        "row VARCHAR2|12|4000\nrow NUMBER|3|38\nrow LONG RAW|-4|\\N\n");
    ODBC session;
    Connect(session, "oracle_types");
    CArray<TYPE_DESC> types;
    ASSERT_EQ(0, session.TypesList(&types)) << session.lastError;
    ASSERT_EQ(3u, types.size());
    EXPECT_EQ("VARCHAR2", types[0].name);
    EXPECT_EQ(4000, types[0].columnSize);
    EXPECT_EQ("NUMBER", types[1].name);
    EXPECT_EQ(38, types[1].columnSize);
    EXPECT_EQ("LONG RAW", types[2].name);
    EXPECT_EQ(0, types[2].columnSize) << "a NULL size reads as 0";
}

// The information list as the Connect page shows it for a driver with unusual answers.
TEST(ODBCFamilies, DsnInfoRowsForUnusualAnswers) {
    AddScriptedSource("odd_info", {{"DBMS_NAME", "DBASE"},
                                   {"QUOTE", "`"},
                                   {"ASYNC_MODE", "3"},
                                   {"INDEX_KEYWORDS", "1"},
                                   {"DEFAULT_TXN_ISOLATION", "15"},
                                   {"INFO_" + std::to_string(SQL_FILE_USAGE), "2"},
                                   {"INFO_" + std::to_string(SQL_ODBC_INTERFACE_CONFORMANCE), "9"},
                                   {"INFO_" + std::to_string(SQL_SYSTEM_FUNCTIONS), "7"},
                                   {"INFO_" + std::to_string(SQL_AGGREGATE_FUNCTIONS), "FAIL"},
                                   {"INFO_" + std::to_string(SQL_MAX_TABLE_NAME_LEN), "FAIL"},
                                   {"INFO_" + std::to_string(SQL_MAX_DRIVER_CONNECTIONS), "0"},
                                   {"INFO_" + std::to_string(SQL_MAX_STATEMENT_LEN), "65536"},
                                   {"INFO_" + std::to_string(SQL_TABLE_TERM), "file"}});
    ODBC session;
    Connect(session, "odd_info");
    RowsSeen list;
    DSN_Info info(&session);
    info.SetList(&list);
    info.InsertAllInfo();
    ASSERT_EQ(DSN_Info::kItemCount, list.GetItemCount());
    auto row = [&](const CString& name) {
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, 0) == name)
                return list.GetItemText(i, 2);
        ADD_FAILURE() << name << " not listed";
        return CString("missing");
    };
    EXPECT_EQ("", row("SQL_ASYNC_MODE")) << "an unknown mode shows an empty value, not N/A";
    EXPECT_EQ("", row("SQL_ODBC_INTERFACE_CONFORMANCE"));
    EXPECT_EQ("ASC ", row("SQL_INDEX_KEYWORDS")) << "ascending only";
    EXPECT_EQ("READ_UNCOMMITTED READ_COMMITTED REPEATABLE_READ SERIALIZABLE",
              row("SQL_DEFAULT_TXN_ISOLATION"));
    EXPECT_EQ("FILE_CATALOG", row("SQL_FILE_USAGE"));
    EXPECT_EQ("DBNAME IFNULL USERNAME ", row("SQL_SYSTEM_FUNCTIONS"));
    EXPECT_EQ("N/A", row("SQL_AGGREGATE_FUNCTIONS")) << "a failed read";
    EXPECT_EQ("N/A", row("SQL_MAX_TABLE_NAME_LEN"));
    EXPECT_EQ("0", row("SQL_MAX_DRIVER_CONNECTIONS")) << "no limit";
    EXPECT_EQ("65536", row("SQL_MAX_STATEMENT_LEN"));
    EXPECT_EQ("`", row("SQL_IDENTIFIER_QUOTE_CHAR"));
    EXPECT_EQ("file", row("SQL_TABLE_TERM"));
    EXPECT_NE(CString::npos, CString(session.lastError).find("Information type out of range"))
        << "the failure is the driver's: " << session.lastError;
    EXPECT_EQ("DBASE  [ 3.1 ]", info.DBMSNameAndVer());
}
