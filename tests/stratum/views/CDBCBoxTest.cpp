#include "views/CDBCBox.h"

#include "codbc/ODBC.h"
#include "services/CSysReg.h"
#include "views/CDBList.h"

#include "DatabaseSources.h"
#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <memory>

namespace {
void Execute(ODBC& session, const CString& sql) {
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
}
} // namespace

// Boxes filled from a SQLite data source with two tables.
class CDBCBoxSqlite : public testing::Test {
protected:
    void SetUp() override {
        TestSandbox::AddSqliteSource("Shop");
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect("Shop", "", "")) << session->lastError;
        Execute(*session, "create table orders (id integer, note varchar(30), total numeric(10,2))");
        Execute(*session, "create table customers (id integer)");
        box.show();
    }
    std::unique_ptr<ODBC> session;
    CDBCBox box;
    MessageRecorder messages;
};

TEST_F(CDBCBoxSqlite, DataSourcesSelectByPrefixWithoutRegardToCase) {
    TestSandbox::AddSqliteSource("Archive");
    EXPECT_EQ(0, box.FillDSN(DS_USER, "shop"));
    EXPECT_EQ(2, box.count());
    EXPECT_EQ("Shop", box.GetCurDSN());
    EXPECT_EQ(0, box.FillDSN(DS_USER, "unknown"));
    EXPECT_EQ(0, box.currentIndex());
    EXPECT_EQ(box.FullText(0), box.GetCurDSN());
}

TEST_F(CDBCBoxSqlite, TablesFieldsAndTypes) {
    EXPECT_EQ(0, box.FillTables(session.get(), "ignored"));
    CStringArray tables = box.ItemTexts();
    std::sort(tables.begin(), tables.end());
    EXPECT_EQ((CStringArray{"customers", "orders"}), tables) << "no owners on SQLite";
    EXPECT_EQ(box.FullText(0), box.GetCurTable());
    EXPECT_EQ(0, box.currentIndex());

    box.clear();
    EXPECT_EQ(0, box.FillFields(session.get(), "orders", "", 1));
    EXPECT_EQ(0, box.FillFields(session.get(), "orders", "", 0));
    EXPECT_EQ((CStringArray{"orders.id", "orders.note", "orders.total", "id", "note", "total"}),
              box.ItemTexts())
        << "columns are appended";
    EXPECT_EQ(SQL_VARCHAR, box.ItemSqlType(1));
    EXPECT_EQ(SQL_INTEGER, box.ItemSqlType(3));
    EXPECT_TRUE(messages.Shown().empty());

    EXPECT_EQ(0, box.FillFields(session.get(), "missing", "", 0));
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Can't fill filed list!", messages.Shown()[0].caption);
    EXPECT_EQ(CString(session->lastError), messages.Shown()[0].text);
    EXPECT_EQ(6, box.count());

    EXPECT_EQ(0, box.FillDataTypes(session.get()));
    EXPECT_GT(box.count(), 3);

    session->Disconnect();
    EXPECT_EQ(-4, box.FillTables(session.get(), ""));
    EXPECT_EQ(-4, box.FillDataTypes(nullptr));
    EXPECT_GT(box.count(), 3) << "a refused fill leaves the items";
}

TEST_F(CDBCBoxSqlite, DatabasesOfAnotherFamilyShowTheOneInUse) {
    box.setEnabled(true);
    EXPECT_EQ(0, box.FillDatabases(session.get(), "other"));
    CString inUse;
    session->GetInfo(SQL_DATABASE_NAME, &inUse);
    EXPECT_EQ((CStringArray{inUse}), box.ItemTexts());
    EXPECT_EQ(0, box.currentIndex());
    EXPECT_FALSE(box.isEnabled());
    EXPECT_EQ(-4, box.FillDatabases(nullptr, ""));
    session->Disconnect();
    box.setEnabled(true);
    EXPECT_EQ(0, box.FillDatabases(session.get(), ""));
    EXPECT_FALSE(box.isEnabled());
}

TEST_F(CDBCBoxSqlite, TablesOfAnotherDataSource) {
    TestSandbox::AddSqliteSource("Other");
    {
        ODBC other;
        ASSERT_EQ(0, other.Connect("Other", "", ""));
        Execute(other, "create table elsewhere (x integer)");
        other.Disconnect();
    }
    EXPECT_EQ(-8, box.FillTables(static_cast<DS_TYPE>(3), "Other", "", "", ""));
    EXPECT_EQ(0, box.count());
    EXPECT_EQ(0, box.FillTables(DS_SYSTEM, "Other", "", "", ""));
    EXPECT_EQ((CStringArray{"elsewhere"}), box.ItemTexts());
    EXPECT_TRUE(messages.Shown().empty());

    EXPECT_NE(0, box.FillTables(DS_USER, "NoSuchSource", "", "", ""));
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("ERROR: Can't connect Data Source!", messages.Shown()[0].caption);
    EXPECT_FALSE(messages.Shown()[0].text.empty());
    EXPECT_EQ((CStringArray{"elsewhere"}), box.ItemTexts());
}

TEST(CDBCBox, CurrentItemBeforeTheWindowExistsComesFromTheStore) {
    CSysReg reg;
    reg.Save("Database", "value0", CString("first"));
    reg.Save("Database", "value1", CString("second"));
    reg.Save("Database", "Current", 1);
    CDBCBox box;
    EXPECT_EQ("second", box.GetCurItem("Database"));
    box.addItem("shown");
    box.show();
    box.setCurrentIndex(0);
    EXPECT_EQ("shown", box.GetCurItem("Database"));
    box.setCurrentIndex(-1);
    EXPECT_EQ("", box.GetCurItem("Database"));
}

TEST(CDBCBox, AssignmentCopiesTheItemTexts) {
    CDBCBox source, target;
    source.addItem("a");
    source.addItem("b");
    target.addItem("old");
    EXPECT_EQ(&target, target = source);
    EXPECT_EQ((CStringArray{"a", "b"}), target.ItemTexts());
    CDBList list;
    list.addItem("x");
    target = list;
    EXPECT_EQ((CStringArray{"x"}), target.ItemTexts());
}

TEST(CDBCBox, PostgresTablesWithOwners) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("pg");
    ODBC session;
    ASSERT_EQ(0, session.Connect("pg", TestSandbox::Postgres()->user, TestSandbox::Postgres()->password))
        << session.lastError;
    Execute(session, "create schema sales");
    Execute(session, "create table sales.orders (id integer)");
    Execute(session, "create table public.items (id integer)");
    CDBCBox box;
    box.show();
    EXPECT_EQ(0, box.FillTables(&session, "sales"));
    EXPECT_EQ((CStringArray{"sales.orders"}), box.ItemTexts());
    EXPECT_EQ(0, box.FillTables(&session, ""));
    EXPECT_EQ((CStringArray{"items", "orders"}), box.ItemTexts());
}

TEST(CDBCBox, OracleShowsOnlyTheDatabaseInUse) {
    TestSandbox::AddDataSource("oracle_db", VARNEL_SCRIPTED_DRIVER, {});
    ODBC session;
    ASSERT_EQ(0, session.Connect("oracle_db", "u", "p")) << session.lastError;
    CDBCBox box;
    box.addItem("stale");
    box.show();
    EXPECT_EQ(0, box.FillDatabases(&session, "other"));
    EXPECT_EQ(1, box.count());
    EXPECT_EQ(0, box.currentIndex());
    EXPECT_FALSE(box.isEnabled());
}
