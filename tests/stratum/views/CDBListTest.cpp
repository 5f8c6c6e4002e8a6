#include "views/CDBList.h"

#include "codbc/ODBC.h"
#include "toolkit/CListCtrl.h"
#include "views/CDBCBox.h"

#include "DatabaseSources.h"
#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {
void Execute(ODBC& session, const CString& sql) {
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
}

void SelectRows(CDBList& list, std::initializer_list<int> rows) {
    list.clearSelection();
    for (int row : rows)
        list.item(row)->setSelected(true);
}
} // namespace

class CDBListSqlite : public testing::Test {
protected:
    void SetUp() override {
        TestSandbox::AddSqliteSource("Shop");
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect("Shop", "", "")) << session->lastError;
        Execute(*session, "create table orders (a integer, b integer, note text, primary key (a, b))");
        Execute(*session, "create index ix_note on orders(note)");
        Execute(*session, "create view v_orders as select a from orders");
    }
    std::unique_ptr<ODBC> session;
    CDBList list;
    MessageRecorder messages;
};

TEST_F(CDBListSqlite, TablesOfAKindAndTheirColumns) {
    EXPECT_EQ(0, list.FillTables(session.get(), "", OB_VIEW));
    EXPECT_EQ((CStringArray{"v_orders"}), list.ItemTexts());
    EXPECT_EQ(0, list.FillTables(session.get(), "", OB_TABLE));
    EXPECT_EQ((CStringArray{"orders"}), list.ItemTexts());

    EXPECT_EQ(0, list.FillFields(session.get(), "orders", "", 1));
    EXPECT_EQ((CStringArray{"orders", "orders.a", "orders.b", "orders.note"}), list.ItemTexts());
    EXPECT_EQ(1, list.FillFields(session.get(), "", "", 0));
    EXPECT_TRUE(messages.Shown().empty());

    EXPECT_NE(0, list.FillFields(session.get(), "missing", "", 0));
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Can't fill fileds list!", messages.Shown()[0].caption);
}

TEST_F(CDBListSqlite, IndexesListAnIndexOncePerColumn) {
    EXPECT_LE(0, list.FillIndexes(session.get(), "orders", ""));
    const CStringArray names = list.ItemTexts();
    EXPECT_EQ(1, std::count(names.begin(), names.end(), "ix_note"));
    // The primary key's index over two columns is listed twice.
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const CString& n) {
        return std::count(names.begin(), names.end(), n) == 2;
    }));
    EXPECT_EQ(1, list.FillIndexes(session.get(), "", ""));
    session->Disconnect();
    EXPECT_EQ(1, list.FillIndexes(session.get(), "orders", ""));
    EXPECT_EQ(1, list.FillProcedures(session.get(), ""));
    EXPECT_EQ(-4, list.FillTables(nullptr, "", OB_TABLE));
}

TEST_F(CDBListSqlite, SelectedItemsJoinedUpToTheStar) {
    for (const char* text : {"a", "b", "*", "c"})
        list.addItem(text);
    int count = 7;
    list.clearSelection();
    EXPECT_EQ("", list.GetSelFieldList(&count, 0));
    EXPECT_EQ(7, count);
    SelectRows(list, {0, 1, 2, 3});
    count = 0;
    EXPECT_EQ("a, b, *", list.GetSelFieldList(&count, 0));
    EXPECT_EQ(3, count);
    SelectRows(list, {0, 3});
    EXPECT_EQ("a, \r\nc", list.GetSelFieldList(nullptr, 1));
    EXPECT_EQ("a, c", list.GetSelTablesList());
}

TEST_F(CDBListSqlite, FillsFromAnotherDataSource) {
    TestSandbox::AddSqliteSource("Other");
    {
        ODBC other;
        ASSERT_EQ(0, other.Connect("Other", "", ""));
        Execute(other, "create table remote (x integer, y text)");
    }
    EXPECT_EQ(-8, list.FillTables(static_cast<DS_TYPE>(-1), "Other", "", "", "", OB_TABLE));
    EXPECT_EQ(0, list.FillTables(DS_USER, "Other", "", "", "", OB_TABLE));
    EXPECT_EQ((CStringArray{"remote"}), list.ItemTexts());
    EXPECT_EQ(0, list.FillFields(DS_USER, "Other", "remote", "", "", "", 0));
    EXPECT_EQ((CStringArray{"remote", "x", "y"}), list.ItemTexts());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(CDBList, AssignmentFromEveryKindOfList) {
    CDBList list;
    CDBCBox box;
    box.addItem("one");
    box.addItem("two");
    EXPECT_EQ(&list, list = box);
    EXPECT_EQ((CStringArray{"one", "two"}), list.ItemTexts());
    CListCtrl rows;
    rows.SetColumns({"Name", "Type"});
    rows.SetItemText(rows.InsertItem(0, "first"), 1, "ignored");
    rows.InsertItem(1, "second");
    list = rows;
    EXPECT_EQ((CStringArray{"first", "second"}), list.ItemTexts());
    CDBList other;
    other = list;
    EXPECT_EQ(list.ItemTexts(), other.ItemTexts());
}

TEST(CDBList, PostgresRefusedLoginShowsTheFixedText) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("pg");
    MessageRecorder messages;
    CDBList list;
    list.addItem("kept");
    EXPECT_NE(0, list.FillFields(DS_USER, "pg", "t", TestSandbox::Postgres()->user, "wrong password", "", 0));
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Can't connect Data Source,\n please check user name and password!", messages.Shown()[0].text);
    EXPECT_EQ("Error", messages.Shown()[0].caption);
    EXPECT_EQ((CStringArray{"kept"}), list.ItemTexts());

    messages.Clear();
    EXPECT_NE(0,
              list.FillTables(DS_USER, "pg", TestSandbox::Postgres()->user, "wrong password", "", OB_TABLE));
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("ERROR: Can't connect Data Source!", messages.Shown()[0].caption);
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("password")) << messages.Shown()[0].text;

    // A good login fills the owner-qualified names when no owner is asked for.
    ODBC session;
    ASSERT_EQ(0, session.Connect("pg", TestSandbox::Postgres()->user, TestSandbox::Postgres()->password));
    Execute(session, "create schema sales");
    Execute(session, "create table sales.orders (id integer, note text)");
    session.Disconnect();
    EXPECT_EQ(0, list.FillTables(DS_USER, "pg", TestSandbox::Postgres()->user,
                                 TestSandbox::Postgres()->password, "", OB_TABLE));
    EXPECT_EQ((CStringArray{"sales.orders"}), list.ItemTexts());
    list.clear();
    EXPECT_EQ(0, list.FillFields(DS_USER, "pg", "orders", TestSandbox::Postgres()->user,
                                 TestSandbox::Postgres()->password, "sales", 1));
    EXPECT_EQ((CStringArray{"orders.id", "orders.note"}), list.ItemTexts());
}

TEST(CDBList, PostgresIndexesAndProceduresOfAnOwner) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("pg");
    MessageRecorder messages;
    ODBC session;
    ASSERT_EQ(0, session.Connect("pg", TestSandbox::Postgres()->user, TestSandbox::Postgres()->password));
    Execute(session, "create schema sales");
    Execute(session, "create table sales.orders (a integer, b integer, primary key (a, b))");
    Execute(session, "create function sales.twice(x integer) returns integer language sql as 'select 2 * x'");
    Execute(session, "create function public.other() returns integer language sql as 'select 1'");
    CDBList list;
    EXPECT_LE(0, list.FillIndexes(&session, "orders", "sales"));
    EXPECT_EQ((CStringArray{"orders_pkey", "orders_pkey"}), list.ItemTexts()) << "once per column";
    EXPECT_LE(0, list.FillProcedures(&session, "sales"));
    EXPECT_EQ((CStringArray{"twice"}), list.ItemTexts());
    EXPECT_TRUE(messages.Shown().empty());
}
