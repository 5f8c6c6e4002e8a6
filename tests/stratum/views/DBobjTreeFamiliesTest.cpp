// The schema tree over the scripted driver posing as Microsoft SQL Server, Oracle and a desktop
// database: the collections each family fills and the object text each family shows.
#include "views/DBobjTree.h"

#include "codbc/ODBC.h"

#include "ScriptedSource.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {
QTreeWidgetItem* Child(QTreeWidgetItem* parent, const CString& text) {
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0).toStdString() == text)
            return parent->child(i);
    }
    ADD_FAILURE() << "no child " << text;
    return nullptr;
}

CStringArray ChildTexts(QTreeWidgetItem* parent) {
    CStringArray texts;
    for (int i = 0; parent && i < parent->childCount(); ++i)
        texts.push_back(parent->child(i)->text(0).toStdString());
    return texts;
}

QTreeWidgetItem* Expand(QTreeWidgetItem* item) {
    if (item)
        item->setExpanded(true);
    return item;
}

const char* const kTablesColumns = "column TABLE_QUALIFIER 12\ncolumn TABLE_OWNER 12\ncolumn TABLE_NAME 12\n"
                                   "column TABLE_TYPE 12\ncolumn REMARKS 12\n";

class DBobjTreeFamilies : public testing::Test {
protected:
    void Open(const CString& dsn, const CString& owner) {
        ASSERT_EQ(0, session.Connect(dsn, "u", "p")) << session.lastError;
        session.SetOwner(owner.c_str());
        tree.Initialize(&session, static_cast<ColorEditWnd*>(nullptr));
        tree.Refresh();
    }
    void TearDown() override { session.Disconnect(); }
    QTreeWidgetItem* Top(const CString& text) {
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            if (tree.topLevelItem(i)->text(0).toStdString() == text)
                return tree.topLevelItem(i);
        return nullptr;
    }
    CString Select(QTreeWidgetItem* item) {
        tree.setCurrentItem(item);
        return tree.ObjectTextShown();
    }
    const DBobjTree::NODE& Node(QTreeWidgetItem* item) { return tree.Nodes()[DBobjTree::NodeIndex(item)]; }

    ODBC session;
    DBobjTree tree;
};
} // namespace

TEST_F(DBobjTreeFamilies, SqlServerUsersDatabasesTriggersAndProcedures) {
    AddScriptedSource(
        "mssql", {{"DBMS_NAME", "Microsoft SQL Server"}, {"OWNER_TERM", "owner"}, {"QUOTE", "\""}},
        CString("catalog SQLTables\n") + kTablesColumns + "row sales|dbo|orders|TABLE|\\N\n" +
            "query select * from dbo.orders\ncolumn id 4\ncolumn note 12\n"
            "query sp_helptrigger 'orders'\ncolumn trigger_name 12\ncolumn trigger_owner 12\n"
            "row orders_audit|dbo\nrow orders_check|dbo\n"
            "query sp_helptext 'orders_audit'\ncolumn Text -1\n"
            "row CREATE TRIGGER orders_audit ON orders\\n\nrow FOR INSERT AS SELECT 1\n"
            "query select name from sysusers where hasdbaccess=1\ncolumn name 12\nrow dbo\nrow guest\n"
            "query sp_helpdb\ncolumn name 12\ncolumn db_size 12\ncolumn owner 12\ncolumn dbid 5\n"
            "column created 12\nrow master|     3.50 MB|sa|1|Aug  6 2000\n"
            "row salesarchive|\\N|sa|8|\\N\n"
            "catalog SQLProcedures\ncolumn PROCEDURE_QUALIFIER 12\ncolumn PROCEDURE_OWNER 12\n"
            "column PROCEDURE_NAME 12\ncolumn NUM_INPUT_PARAMS 4\ncolumn NUM_OUTPUT_PARAMS 4\n"
            "column NUM_RESULT_SETS 4\ncolumn REMARKS 12\ncolumn PROCEDURE_TYPE 5\n"
            "row sales|dbo|sales_report;1|1|1|0|\\N|2\n"
            "catalog SQLProcedureColumns\ncolumn PROCEDURE_QUALIFIER 12\ncolumn PROCEDURE_OWNER 12\n"
            "column PROCEDURE_NAME 12\ncolumn COLUMN_NAME 12\ncolumn COLUMN_TYPE 5\n"
            "column DATA_TYPE 5\ncolumn TYPE_NAME 12\ncolumn PRECISION 4\ncolumn LENGTH 4\n"
            "column SCALE 5\ncolumn RADIX 5\ncolumn NULLABLE 5\ncolumn REMARKS 12\n"
            "row sales|dbo|sales_report;1|@RETURN_VALUE|5|4|int|10|4|0|10|0|\\N\n"
            "row sales|dbo|sales_report;1|@year|1|4|int|10|4|0|10|1|\\N\n"
            "row sales|dbo|sales_report;1|@total|4|3|money|19|21|4|10|1|\\N\n"
            "row sales|dbo|sales_report;1|@note|2|12|varchar|\\N|\\N|\\N|\\N|1|\\N\n"
            "query sp_helptext 'sales_report'\ncolumn Text -1\n"
            "row CREATE PROCEDURE sales_report @year int\\n\nrow AS SELECT @year\\n\n");
    Open("mssql", "dbo");

    QTreeWidgetItem* users = Expand(Top("USERS"));
    EXPECT_EQ((CStringArray{"dbo", "guest"}), ChildTexts(users));
    EXPECT_EQ("create user guest \r\n", Select(Child(users, "guest")));

    QTreeWidgetItem* databases = Expand(Top("DataBases"));
    EXPECT_EQ((CStringArray{"master (     3.50 MB, created: Aug  6 2000)", "salesarchive (, created: )"}),
              ChildTexts(databases));
    EXPECT_EQ("CREATE DATABASE master", Select(databases->child(0)))
        << "by the database's name, not the text";
    EXPECT_EQ("master", tree.ObjectName());

    QTreeWidgetItem* orders = Expand(Child(Expand(Top("TABLES")), "dbo.orders"));
    const CStringArray children = ChildTexts(orders);
    ASSERT_EQ(7u, children.size()) << testing::PrintToString(children);
    EXPECT_EQ(0u, children[0].find("id ")) << "columns read with the qualified name";
    EXPECT_EQ(
        "create table  dbo.orders  (\r\n    id  NUMBER(10) NULL,\r\n    note  varchar(255) NULL\r\n)\r\n",
        Select(orders))
        << "the owner stays with the name";
    QTreeWidgetItem* triggers = Expand(Child(orders, "TRIGGERS"));
    EXPECT_EQ((CStringArray{"orders_audit", "orders_check"}), ChildTexts(triggers));
    EXPECT_EQ("CREATE TRIGGER orders_audit ON orders\r\nFOR INSERT AS SELECT 1", Select(triggers->child(0)));

    QTreeWidgetItem* procedures = Expand(Top("PROCEDURES"));
    EXPECT_EQ(CStringArray{"sales_report;1"}, ChildTexts(procedures));
    QTreeWidgetItem* report = Expand(procedures->child(0));
    EXPECT_EQ("CREATE PROCEDURE sales_report @year int\r\nAS SELECT @year\r\n", Select(report))
        << "asked without the group number";
    EXPECT_EQ((CStringArray{"@RETURN_VALUE int(10)", "@year int(10)  [INPUT]", "@total money(19)  [OUTPUT]",
                            "@note varchar  [INPUT and OUTPUT]"}),
              ChildTexts(report));
}

TEST_F(DBobjTreeFamilies, OracleUsersAndTriggersOfTheOwnerWithoutDatabasesOrStoredText) {
    AddScriptedSource(
        "oracle", {{"DBMS_NAME", "Oracle8"}, {"OWNER_TERM", "Owner"}, {"QUOTE", "\""}},
        CString("catalog SQLTables\n") + kTablesColumns + "row \\N|SCOTT|EMP|TABLE|\\N\n" +
            "query select * from SCOTT.EMP\ncolumn EMPNO 3\ncolumn ENAME 12\n"
            "query select TRIGGER_NAME from ALL_TRIGGERS where TABLE_NAME='EMP'and TABLE_OWNER='SCOTT'\n"
            "column TRIGGER_NAME 12\nrow EMP_BI\n"
            "query select USERNAME from ALL_USERS\ncolumn USERNAME 12\nrow SCOTT\nrow SYSTEM\n");
    Open("oracle", "SCOTT");

    QTreeWidgetItem* users = Expand(Top("USERS"));
    EXPECT_EQ((CStringArray{"SCOTT", "SYSTEM"}), ChildTexts(users));
    EXPECT_EQ("create user SCOTT \r\n", Select(users->child(0)));

    QTreeWidgetItem* databases = Expand(Top("DataBases"));
    EXPECT_EQ(0, databases->childCount());
    EXPECT_EQ(1, Node(databases).filled);

    QTreeWidgetItem* emp = Expand(Child(Expand(Top("TABLES")), "SCOTT.EMP"));
    EXPECT_EQ(7, emp->childCount()) << testing::PrintToString(ChildTexts(emp));
    EXPECT_EQ("create table  SCOTT.EMP  (\r\n    EMPNO  decimal(255) NULL,\r\n    ENAME  varchar(255) "
              "NULL\r\n)\r\n",
              Select(emp));
    QTreeWidgetItem* triggers = Expand(Child(emp, "TRIGGERS"));
    EXPECT_EQ(CStringArray{"EMP_BI"}, ChildTexts(triggers));
    EXPECT_EQ("Not supported for current DBMS", Select(triggers->child(0)));
}

// A desktop database has no owners: names stand alone and the catalog is never asked with an owner,
// though the session holds a default one.
TEST_F(DBobjTreeFamilies, DesktopDatabaseShowsNamesWithoutOwner) {
    AddScriptedSource(
        "access", {{"DBMS_NAME", "ACCESS"}, {"OWNER_TERM", ""}, {"QUOTE", "`"}},
        CString("catalog SQLTables\n") + kTablesColumns + "row C:\\db\\shop|\\N|orders|TABLE|\\N\n" +
            "query select * from  orders\ncolumn id 4\ncolumn note 12\n"
            "catalog SQLStatistics\ncolumn TABLE_CAT 12\ncolumn TABLE_SCHEM 12\ncolumn TABLE_NAME 12\n"
            "column NON_UNIQUE 5\ncolumn INDEX_QUALIFIER 12\ncolumn INDEX_NAME 12\ncolumn TYPE 5\n"
            "column ORDINAL_POSITION 5\ncolumn COLUMN_NAME 12\ncolumn ASC_OR_DESC 1\n"
            "row \\N|\\N|orders|\\N|\\N|\\N|0|\\N|\\N|\\N\n"
            "row \\N|\\N|orders|0|\\N|PrimaryKey|3|1|id|A\n"
            "catalog SQLTablePrivileges\ncolumn TABLE_CAT 12\ncolumn TABLE_SCHEM 12\n"
            "column TABLE_NAME 12\ncolumn GRANTOR 12\ncolumn GRANTEE 12\ncolumn PRIVILEGE 12\n"
            "row \\N|\\N|orders|Admin|Users|SELECT\n"
            "catalog SQLColumnPrivileges\ncolumn TABLE_CAT 12\ncolumn TABLE_SCHEM 12\n"
            "column TABLE_NAME 12\ncolumn COLUMN_NAME 12\ncolumn GRANTOR 12\ncolumn GRANTEE 12\n"
            "column PRIVILEGE 12\nrow \\N|\\N|orders|id|Admin|Users|UPDATE\n");
    Open("access", "admin");
    CatalogCalls(session);

    QTreeWidgetItem* tables = Expand(Top("TABLES"));
    EXPECT_EQ(CStringArray{"orders"}, ChildTexts(tables));
    QTreeWidgetItem* orders = Expand(tables->child(0));
    const CStringArray children = ChildTexts(orders);
    ASSERT_EQ(7u, children.size()) << "columns read as  orders: " << testing::PrintToString(children);
    QTreeWidgetItem* indexes = Expand(Child(orders, "INDEXES"));
    EXPECT_EQ(CStringArray{"PrimaryKey  UNIQUE  ASC"}, ChildTexts(indexes));
    Expand(Child(orders, "PRIMARY KEY"));
    Expand(Child(orders, "FOREIGN KEYS"));
    QTreeWidgetItem* triggers = Expand(Child(orders, "TRIGGERS"));
    EXPECT_EQ(0, triggers->childCount());
    EXPECT_EQ(1, Node(triggers).filled);
    QTreeWidgetItem* rights = Expand(Child(orders, "RIGHTS"));
    EXPECT_EQ(CStringArray{"Users: SELECT (granted by 'Admin')"}, ChildTexts(rights));
    QTreeWidgetItem* id = Expand(orders->child(0));
    EXPECT_EQ(CStringArray{"Users: UPDATE (granted by 'Admin')"}, ChildTexts(id));
    Expand(Top("PROCEDURES"));
    EXPECT_EQ(0, Expand(Top("USERS"))->childCount());
    EXPECT_EQ(0, Expand(Top("DataBases"))->childCount());

    EXPECT_EQ((CStringArray{"SQLTables owner=NULL", "SQLStatistics owner=NULL", "SQLPrimaryKeys owner=NULL",
                            "SQLForeignKeys owner=NULL", "SQLForeignKeys owner=NULL",
                            "SQLTablePrivileges owner=NULL", "SQLColumnPrivileges owner=NULL",
                            "SQLProcedures owner=NULL"}),
              CatalogCalls(session));

    EXPECT_EQ("create table  orders  (\r\n", Select(orders).substr(0, 25));
    EXPECT_EQ("create unique index  PrimaryKey \r\n   on  orders (id asc)", Select(indexes->child(0)));
    EXPECT_EQ("Not supported for current DBMS", Select(Expand(Top("VIEWS"))->child(0)));
}
