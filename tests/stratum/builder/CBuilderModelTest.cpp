#include "builder/CBuilderModel.h"

#include "codbc/ODBC.h"

#include "DatabaseSources.h"
#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {
CBuilderModel ModelOf(SQL_MODE mode) {
    CBuilderModel model;
    model.typeChoice = mode;
    model.NextPage(PG_TYPE);
    return model;
}

int IndexOf(const CStringArray& list, const CString& text) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}

CStringArray Sorted(CStringArray list) {
    std::sort(list.begin(), list.end());
    return list;
}

Selection Rows(const CStringArray& list, std::initializer_list<const char*> texts) {
    Selection rows;
    for (const char* text : texts)
        rows.insert(IndexOf(list, text));
    return rows;
}
} // namespace

TEST(CBuilderModelText, SelectWithAliasConditionAndOrder) {
    CBuilderModel model = ModelOf(SQL_SELECT);
    model.fromList = {{"EMP", "E"}};
    model.items = {{"ID", "", ""}, {"NAME", "", ""}};
    model.conditions[0] = {{"ID", ">", "5", ""}};
    model.orderBy = {"NAME"};
    EXPECT_EQ("SELECT \r\n    ID,\r\n    NAME\r\nFROM\r\n    EMP E\r\nWHERE\r\n    ID>5 \r\n\r\nORDER BY\r\n"
              "    NAME\r\n",
              model.GetSQL());
}

TEST(CBuilderModelText, UpdateSetsFieldsAndConditions) {
    CBuilderModel model = ModelOf(SQL_UPDATE);
    model.singleTables = {"EMP"};
    model.singleSel = 0;
    model.values = {{"NAME", "'X'"}};
    EXPECT_EQ("UPDATE EMP SET\r\n    NAME='X'\r\n", model.GetSQL());
    model.values.push_back({"AGE", "NULL"});
    model.conditions[0] = {{"ID", "=", "1", "OR"}, {"ID", " IN ", "(2,3)", ""}};
    EXPECT_EQ(
        "UPDATE EMP SET\r\n    NAME='X',\r\n    AGE=NULL\r\nWHERE\r\n    ID=1 OR\r\n    ID IN (2,3) \r\n",
        model.GetSQL());
}

TEST(CBuilderModelText, AliasesReachEveryPartAndHavingFollowsGroupBy) {
    CBuilderModel model = ModelOf(SQL_SELECT);
    model.fromList = {{"T", "X"}, {"U", ""}};
    model.items = {{"T.A", "Y", "First"}, {"COUNT(U.B)", "", ""}, {"TT.A", "", ""}};
    model.conditions[0] = {{"T.A", "=", "U.A", "AND"}, {"U.C", " LIKE ", "'a%'", ""}};
    model.conditions[1] = {{"COUNT(U.B)", ">", "T.A", ""}};
    model.groupBy = {"T.A", "U.C"};
    model.orderBy = {"T.A"};
    // The select list uses the tables as they were when the FROM page was left.
    model.GetPageSQL(PG_FROM);
    EXPECT_EQ("SELECT \r\n    DISTINCT X.A AS \"First\",\r\n    COUNT(U.B),\r\n    TT.A\r\n"
              "FROM\r\n    T X,\r\n    U\r\n"
              "WHERE\r\n    X.A=U.A AND\r\n    U.C LIKE 'a%' \r\n"
              "GROUP BY\r\n    X.A,\r\n    U.C\r\n"
              "HAVING\r\n    COUNT(U.B)>X.A \r\n"
              "ORDER BY\r\n    X.A\r\n",
              model.GetSQL());
    EXPECT_EQ((CStringArray{"X.A", "COUNT(U.B)", "TT.A"}), model.fieldList);
    EXPECT_EQ("t.A", model.FieldWithAlias("t.A"));
    EXPECT_EQ("MAX(X.A, X.B)", model.FieldWithAlias("MAX(T.A, T.B)"));
    EXPECT_EQ("COUNT(TT.A)+T.A", model.FieldWithAlias("COUNT(TT.A)+T.A"));
    EXPECT_EQ("U.B", model.FieldWithAlias("U.B"));
    // Literals and quoted names are never rewritten.
    EXPECT_EQ("'Smith, T.J.'", model.FieldWithAlias("'Smith, T.J.'"));
    EXPECT_EQ("IN ('O''Neil, T.A', X.A)", model.FieldWithAlias("IN ('O''Neil, T.A', T.A)"));
    EXPECT_EQ("MAX(\"T.A\", X.B)", model.FieldWithAlias("MAX(\"T.A\", T.B)"));
}

TEST(CBuilderModelText, InsertDeleteDropsAndCreate) {
    CBuilderModel insert = ModelOf(SQL_INSERT);
    insert.singleTables = {"EMP"};
    insert.singleSel = 0;
    insert.columnFields = {"ID", "NAME", "AGE"};
    insert.columnSel = {0, 2};
    insert.GetPageSQL(PG_COLUMNS);
    insert.ActivatePage(PG_VALUES);
    ASSERT_EQ(2u, insert.values.size());
    EXPECT_EQ(1, insert.SetValue(0, "7"));
    EXPECT_EQ(1, insert.SetValue(1, "DEFAULT"));
    EXPECT_EQ("INSERT INTO EMP (\r\n    ID,\r\n    AGE\r\n)\r\nVALUES\r\n(\r\n    7,\r\n    DEFAULT\r\n)\r\n",
              insert.GetSQL());

    CBuilderModel remove = ModelOf(SQL_DELETE);
    remove.singleTables = {"EMP"};
    EXPECT_EQ("DELETE FROM ", remove.GetSQL());
    remove.singleSel = 0;
    EXPECT_EQ("DELETE FROM EMP ", remove.GetSQL());
    remove.conditions[0] = {{"AGE", " IS ", "NULL", ""}};
    EXPECT_EQ("DELETE FROM EMP WHERE\r\n    AGE IS NULL \r\n", remove.GetSQL());

    for (SQL_MODE mode : {SQL_DROP_TABLE, SQL_DROP_VIEW}) {
        CBuilderModel drop = ModelOf(mode);
        drop.singleTables = {"V1", "dbo.My View"};
        drop.singleSel = 1;
        // Without a session there is no quote character; the owner is split off all the same.
        EXPECT_EQ(CString(CBuilderModel::Keyword(mode)) + "dbo.My View ", drop.GetSQL());
    }

    CBuilderModel index = ModelOf(SQL_DROP_INDEX);
    index.singleTables = {"EMP"};
    index.singleSel = 0;
    index.GetPageSQL(PG_TABLE);
    index.indexes = {"IX_A", "IX_B"};
    EXPECT_EQ("DROP INDEX ", index.GetSQL());
    index.indexSel = 1;
    EXPECT_EQ("DROP INDEX EMP.IX_B", index.GetSQL());

    CBuilderModel procedure = ModelOf(SQL_DROP_PROCEDURE);
    procedure.procedures = {"P1"};
    EXPECT_EQ("DROP PROCEDURE ", procedure.GetSQL());
    procedure.procedureSel = 0;
    EXPECT_EQ("DROP PROCEDURE P1", procedure.GetSQL());

    MessageRecorder messages;
    CBuilderModel create = ModelOf(SQL_CREATE_TABLE);
    create.newTable = "T2";
    EXPECT_EQ(1, create.ColumnAdd("ID", "integer", "", 0));
    EXPECT_EQ(1, create.ColumnAdd("NAME", "varchar(20)", "'none'", 1));
    EXPECT_EQ(
        "CREATE TABLE T2 (\r\n  ID\tinteger\t\tNOT NULL,\r\n  NAME\tvarchar(20)\tdefault 'none'\tNULL \r\n)",
        create.GetSQL());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(CBuilderModelButtons, EveryButtonCheckShowsItsMessage) {
    MessageRecorder messages;
    CBuilderModel model = ModelOf(SQL_SELECT);
    model.fromTables = {"A", "B"};
    EXPECT_EQ(0, model.FromAdd({}));
    EXPECT_EQ(0, model.FromRemove({}));
    EXPECT_EQ(0, model.FromAlias({}, "x"));
    model.FromAddAll();
    EXPECT_EQ(0, model.FromAlias({0}, ""));
    EXPECT_EQ(1, model.FromAlias({0}, "x"));
    messages.QueueAnswer(IDNO);
    EXPECT_EQ(0, model.FromAlias({0}, ""));
    EXPECT_EQ("x", model.fromList[0].alias);
    messages.QueueAnswer(IDYES);
    EXPECT_EQ(1, model.FromAlias({0}, ""));
    EXPECT_EQ("", model.fromList[0].alias);
    EXPECT_EQ(1, model.FromRemove({0}));
    ASSERT_EQ(1u, model.fromList.size());
    EXPECT_EQ("B", model.fromList[0].table);

    model.selectFields = {"*", "X", "Y"};
    EXPECT_EQ(0, model.ItemsAddFields({}));
    EXPECT_EQ(0, model.ItemsAddFunction(-1, {1}));
    EXPECT_EQ(0, model.ItemsAddFunction(4, {}));
    EXPECT_EQ(1, model.ItemsAddFunction(4, {1, 2}));
    EXPECT_EQ(0, model.ItemsAddValue(""));
    EXPECT_EQ(0, model.ItemsRemove({}));
    EXPECT_EQ(0, model.ItemsDistinct({}));
    EXPECT_EQ(0, model.ItemsAs({}, "a"));
    EXPECT_EQ(0, model.OrderRemove(0));
    EXPECT_EQ(0, model.GroupRemove(-1));
    EXPECT_EQ(-1, model.ConditionEditRow(0, {}));
    EXPECT_EQ(0, model.ConditionDelete(1, {}));
    EXPECT_EQ(0, model.SetValue(0, "1"));
    EXPECT_EQ(0, model.ColumnAdd("", "int", "", 0));
    EXPECT_EQ(0, model.ColumnAdd("1st", "int", "", 0));
    EXPECT_EQ(0, model.ColumnDelete({}));
    EXPECT_EQ((std::vector<CString>{"Select table(s) to add first!",
                                    "Select table name first!",
                                    "Select table name first!",
                                    "Enter alias text first!",
                                    "Delete alias for this table?",
                                    "Delete alias for this table?",
                                    "Select field(s) to add first!",
                                    "Select function first!",
                                    "Select function argument(s) from fields list!",
                                    "Enter value to add first!",
                                    "Select field(s) to delete from list first!",
                                    "Select field(s) to set/remove 'distinct' cause first!",
                                    "Select field first!",
                                    "Select order item first!",
                                    "Select 'group by' item first!",
                                    "Select condition to edit first!",
                                    "Select condition(s) to delete from list first!",
                                    "Select field name first!",
                                    "Bad field name!",
                                    "Bad field name!",
                                    "Select field(s) to delete from list first!"}),
              messages.Texts());
    for (const MessageRequest& shown : messages.Shown()) {
        if (shown.text == "Delete alias for this table?") {
            EXPECT_EQ("Warning!", shown.caption);
            EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION), shown.type);
        } else {
            EXPECT_EQ("Error!", shown.caption);
            EXPECT_EQ(unsigned(MB_OK | MB_ICONERROR), shown.type);
        }
    }
    ASSERT_EQ(1u, model.items.size());
    EXPECT_EQ("SUM(X, Y)", model.items[0].item);
}

TEST(CBuilderModelButtons, SortedListsDistinctToggleAndEditRow) {
    CBuilderModel model = ModelOf(SQL_SELECT);
    model.orderFields = {"A", "B", "C"};
    for (int row : {2, 0, 1})
        model.OrderAdd({row});
    model.GroupAdd({2});
    model.GroupAdd({2});
    EXPECT_EQ((CStringArray{"A", "B", "C"}), model.orderBy);
    EXPECT_EQ((CStringArray{"C", "C"}), model.groupBy);
    EXPECT_EQ(1, model.OrderRemove(1));
    EXPECT_EQ((CStringArray{"A", "C"}), model.orderBy);

    model.items = {{"A", "", ""}, {"B", "", ""}};
    model.ItemsDistinct({0, 1});
    model.ItemsDistinct({1});
    EXPECT_EQ("Y", model.items[0].distinct);
    EXPECT_EQ("", model.items[1].distinct);
    model.ItemsAs({1}, "bee");
    model.ItemsAs({1}, "");
    EXPECT_EQ("", model.items[1].as);

    model.conditions[0] = {{"A", "=", "1", ""}, {"B", "=", "2", ""}, {"C", "=", "3", ""}};
    EXPECT_EQ(1, model.ConditionEditRow(0, {0, 1}));
    model.ConditionDelete(0, {0, 2});
    ASSERT_EQ(1u, model.conditions[0].size());
    EXPECT_EQ("B", model.conditions[0][0].operand1);
}

TEST(CBuilderModelFlow, PagesOfEveryStatementKindAndTheirChecks) {
    struct Flow {
        SQL_MODE mode;
        std::vector<int> pages;
    };
    const std::vector<Flow> flows{
        {SQL_SELECT, {0, 1, 4, 6, 5}}, {SQL_INSERT, {0, 2, 3, 7}},   {SQL_UPDATE, {0, 2, 3, 7, 6}},
        {SQL_DELETE, {0, 2, 6}},       {SQL_DROP_TABLE, {0, 2}},     {SQL_DROP_VIEW, {0, 2}},
        {SQL_DROP_INDEX, {0, 2, 8}},   {SQL_DROP_PROCEDURE, {0, 9}}, {SQL_CREATE_TABLE, {0, 10}}};
    for (const Flow& flow : flows) {
        CBuilderModel model;
        model.typeChoice = flow.mode;
        int page = 0;
        for (size_t i = 1; i < flow.pages.size(); ++i) {
            const int next = model.NextPage(page);
            EXPECT_EQ(flow.pages[i], next) << flow.mode;
            EXPECT_EQ(page, model.BackPage(next)) << flow.mode;
            page = next;
        }
        EXPECT_EQ(-1, model.NextPage(page)) << flow.mode;
    }

    // Without a connection page 0 stays, with no message.
    MessageRecorder messages;
    CBuilderModel model;
    EXPECT_EQ(1, model.ShowsWarning());
    EXPECT_EQ(1, model.CanNext());
    EXPECT_EQ(0, model.CanBack());
    EXPECT_EQ(0, model.Next());
    EXPECT_EQ(PG_TYPE, model.CurrentPage());
    EXPECT_EQ(0, model.Back());
    EXPECT_TRUE(messages.Shown().empty());

    EXPECT_EQ(0, model.ValidatePage(PG_FROM));
    EXPECT_EQ(0, model.ValidatePage(PG_TABLE));
    EXPECT_EQ(0, model.ValidatePage(PG_INDEX));
    EXPECT_EQ(0, model.ValidatePage(PG_PROCEDURE));
    EXPECT_EQ(0, model.ValidatePage(PG_CREATE_TABLE));
    model.newTable = "9lives";
    EXPECT_EQ(0, model.ValidatePage(PG_CREATE_TABLE));
    model.newTable = "lives";
    EXPECT_EQ(0, model.ValidatePage(PG_CREATE_TABLE));
    EXPECT_EQ((std::vector<CString>{"At least one table must be selected!", "One table must be selected!",
                                    "One index must be selected!", "One stored procedure must be selected!",
                                    "Enter correct table name first!", "Enter correct table name first!",
                                    "At least one field must be specified!"}),
              messages.Texts());
}

namespace {
void Execute(ODBC& session, const CString& sql) {
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
}

void Advance(CBuilderModel& model, int page) {
    ASSERT_EQ(1, model.CanNext());
    ASSERT_EQ(1, model.Next()) << "leaving page " << model.CurrentPage();
    ASSERT_EQ(page, model.CurrentPage());
}
} // namespace

class CBuilderModelSqlite : public testing::Test {
protected:
    void SetUp() override {
        TestSandbox::AddSqliteSource("Shop");
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect("Shop", "", "")) << session->lastError;
        Execute(*session, "create table emp (id integer, name text, dept integer)");
        Execute(*session, "create table dept (id integer, title text)");
        Execute(*session, "create index ix_name on emp(name)");
        Execute(*session, "create view v_emp as select id from emp");
        Execute(*session, "insert into dept values (1, 'sales')");
        model.SetSession(session.get());
    }
    std::unique_ptr<ODBC> session;
    CBuilderModel model;
    MessageRecorder messages;
};

TEST_F(CBuilderModelSqlite, SelectThroughEveryPageRunsOnTheDatabase) {
    EXPECT_EQ(0, model.ShowsWarning());
    Advance(model, PG_FROM);
    EXPECT_EQ((CStringArray{"dept", "emp"}), Sorted(model.fromTables));
    EXPECT_EQ(0, model.Next());
    EXPECT_EQ(PG_FROM, model.CurrentPage());
    model.FromAdd(Rows(model.fromTables, {"dept"}));
    model.FromAdd(Rows(model.fromTables, {"emp"}));
    model.FromAlias({1}, "e");
    Advance(model, PG_SELECT_LIST);
    EXPECT_EQ((CStringArray{"*", "dept.id", "dept.title", "emp.dept", "emp.id", "emp.name"}),
              model.selectFields);
    EXPECT_EQ(0, model.Next()); // no items yet
    model.ItemsAddFields(Rows(model.selectFields, {"emp.name"}));
    model.ItemsAddFields(Rows(model.selectFields, {"dept.title"}));
    model.ItemsAddFunction(1, Rows(model.selectFields, {"emp.id"}));
    model.ItemsAs({2}, "n");
    Advance(model, PG_CONDITIONS);
    EXPECT_EQ(1, model.HavingEnabled());
    EXPECT_EQ(5u, model.ConditionFields().size());
    model.ConditionAdd(0, {"emp.dept", "=", "dept.id", ""});
    model.ConditionAdd(1, {"COUNT(emp.id)", ">=", "0", ""});
    Advance(model, PG_ORDER_GROUP);
    EXPECT_EQ(0, model.CanNext());
    model.GroupAdd(Rows(model.orderFields, {"emp.name", "dept.title"}));
    model.OrderAdd(Rows(model.orderFields, {"emp.name"}));
    EXPECT_EQ(0, model.Next());
    EXPECT_EQ(PG_ORDER_GROUP, model.CurrentPage());

    const CString sql = model.GetSQL();
    EXPECT_EQ("SELECT \r\n    e.name,\r\n    dept.title,\r\n    COUNT(e.id) AS \"n\"\r\nFROM\r\n    "
              "dept,\r\n    emp e\r\n"
              "WHERE\r\n    e.dept=dept.id \r\nGROUP BY\r\n    dept.title,\r\n    e.name\r\n"
              "HAVING\r\n    COUNT(e.id)>=0 \r\nORDER BY\r\n    e.name\r\n",
              sql);
    Execute(*session, sql);

    // Back on the FROM page with the same tables the conditions stay; with other tables they go.
    ASSERT_EQ(1, model.Back());
    ASSERT_EQ(1, model.Back());
    ASSERT_EQ(1, model.Back());
    ASSERT_EQ(PG_FROM, model.CurrentPage());
    Advance(model, PG_SELECT_LIST);
    Advance(model, PG_CONDITIONS);
    EXPECT_EQ(1u, model.conditions[0].size());
    model.Back();
    model.Back();
    model.FromRemove({0});
    Advance(model, PG_SELECT_LIST);
    EXPECT_EQ((CStringArray{"*", "dept", "id", "name"}), model.selectFields);
    Advance(model, PG_CONDITIONS);
    EXPECT_TRUE(model.conditions[0].empty());
    EXPECT_TRUE(model.conditions[1].empty());
    EXPECT_EQ((std::vector<CString>{"At least one table must be selected!"}), messages.Texts());

    model.Refresh();
    EXPECT_EQ(PG_TYPE, model.CurrentPage());
    EXPECT_TRUE(model.tableList.empty() && model.fromList.empty() && model.items.empty() &&
                model.orderBy.empty() && model.conditions[0].empty());
}

TEST_F(CBuilderModelSqlite, InsertUpdateDeleteAndCreateRunOnTheDatabase) {
    model.typeChoice = SQL_INSERT;
    Advance(model, PG_TABLE);
    EXPECT_EQ((CStringArray{"dept", "emp"}), Sorted(model.singleTables));
    model.singleSel = IndexOf(model.singleTables, "emp");
    Advance(model, PG_COLUMNS);
    EXPECT_EQ((CStringArray{"id", "name", "dept"}), model.columnFields);
    model.columnSel = {0, 1};
    Advance(model, PG_VALUES);
    EXPECT_EQ(0, model.CanNext());
    model.SetValue(0, "5");
    model.SetValue(1, "'Ann'");
    EXPECT_EQ(0, model.Next());
    Execute(*session, model.GetSQL());

    // The values are lost when going back to the fields and on again.
    model.Back();
    EXPECT_EQ(PG_COLUMNS, model.CurrentPage());
    EXPECT_EQ((Selection{0, 1}), model.columnSel);
    Advance(model, PG_VALUES);
    EXPECT_EQ("", model.values[0].value);

    model.Refresh();
    model.typeChoice = SQL_UPDATE;
    Advance(model, PG_TABLE);
    model.singleSel = IndexOf(model.singleTables, "emp");
    Advance(model, PG_COLUMNS);
    model.columnSel = {1};
    Advance(model, PG_VALUES);
    model.SetValue(0, "'Bob'");
    Advance(model, PG_CONDITIONS);
    EXPECT_EQ(0, model.HavingEnabled());
    model.ConditionAdd(0, {"id", "=", "5", ""});
    EXPECT_EQ("UPDATE emp SET\r\n    name='Bob'\r\nWHERE\r\n    id=5 \r\n", model.GetSQL());
    Execute(*session, model.GetSQL());

    model.Refresh();
    model.typeChoice = SQL_DELETE;
    Advance(model, PG_TABLE);
    model.singleSel = IndexOf(model.singleTables, "dept");
    Advance(model, PG_CONDITIONS);
    EXPECT_EQ(PG_TABLE, model.BackPage(PG_CONDITIONS));
    model.ConditionAdd(0, {"title", " LIKE ", "'s%'", ""});
    EXPECT_EQ("DELETE FROM dept WHERE\r\n    title LIKE 's%' \r\n", model.GetSQL());
    Execute(*session, model.GetSQL());

    model.Refresh();
    model.typeChoice = SQL_CREATE_TABLE;
    Advance(model, PG_CREATE_TABLE);
    EXPECT_FALSE(model.dataTypes.empty());
    model.newTable = "item";
    model.ColumnAdd("id", "integer", "", 0);
    model.ColumnAdd("label", "varchar(10)", "'x'", 1);
    EXPECT_EQ(0, model.Next());
    EXPECT_EQ(
        "CREATE TABLE item (\r\n  id\tinteger\t\tNOT NULL,\r\n  label\tvarchar(10)\tdefault 'x'\tNULL \r\n)",
        model.GetSQL());
    Execute(*session, model.GetSQL());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CBuilderModelSqlite, DropsListViewsTablesAndIndexes) {
    model.typeChoice = SQL_DROP_VIEW;
    Advance(model, PG_TABLE);
    EXPECT_EQ((CStringArray{"v_emp"}), model.singleTables);
    EXPECT_EQ(0, model.CanNext());
    model.singleSel = 0;
    EXPECT_EQ(0, model.Next());
    EXPECT_EQ("DROP VIEW v_emp ", model.GetSQL());
    Execute(*session, model.GetSQL());

    model.Refresh();
    model.typeChoice = SQL_DROP_INDEX;
    Advance(model, PG_TABLE);
    EXPECT_EQ((CStringArray{"dept", "emp"}), Sorted(model.singleTables));
    model.singleSel = IndexOf(model.singleTables, "emp");
    Advance(model, PG_INDEX);
    EXPECT_EQ((CStringArray{"ix_name"}), model.indexes);
    model.indexSel = 0;
    EXPECT_EQ(0, model.Next());
    EXPECT_EQ("DROP INDEX emp.ix_name", model.GetSQL());

    // Page 2 selects the table of the table list again after a restart of the flow.
    model.Back();
    EXPECT_EQ(IndexOf(model.singleTables, "emp"), model.singleSel);

    model.Refresh();
    model.typeChoice = SQL_DROP_TABLE;
    Advance(model, PG_TABLE);
    model.singleSel = 0;
    EXPECT_EQ(0, model.Next());
    Execute(*session, model.GetSQL());
    EXPECT_TRUE(messages.Shown().empty());

    model.Refresh();
    model.typeChoice = SQL_DROP_PROCEDURE;
    Advance(model, PG_PROCEDURE);
    EXPECT_EQ(0, model.Next());
    EXPECT_EQ((std::vector<CString>{"One stored procedure must be selected!"}), messages.Texts());
}

TEST(CBuilderModelPostgres, OwnersAndQuotedNames) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("Pg");
    ODBC session;
    ASSERT_EQ(0, session.Connect("Pg", TestSandbox::Postgres()->user, TestSandbox::Postgres()->password))
        << session.lastError;
    Execute(session, "create schema sales");
    Execute(session, "create table sales.\"Order Lines\" (id integer, \"Qty\" integer)");
    Execute(session, "create table sales.client (id integer, name varchar(20))");
    Execute(session, "insert into sales.client values (1, 'a')");
    session.SetOwner("sales");
    MessageRecorder messages;
    CBuilderModel model(&session);
    Advance(model, PG_FROM);
    ASSERT_EQ(2u, model.fromTables.size());
    model.FromAdd(Rows(model.fromTables, {"Order Lines"}));
    model.FromAdd(Rows(model.fromTables, {"client"}));
    model.FromAlias({0}, "o");
    Advance(model, PG_SELECT_LIST);
    model.ItemsAddFields(Rows(model.selectFields, {"Order Lines.id", "client.name"}));
    Advance(model, PG_CONDITIONS);
    model.ConditionAdd(0, {"Order Lines.id", "=", "client.id", ""});
    Advance(model, PG_ORDER_GROUP);
    const CString sql = model.GetSQL();
    EXPECT_EQ("SELECT \r\n    o.id,\r\n    client.name\r\nFROM\r\n    \"Order Lines\" o,\r\n    client\r\n"
              "WHERE\r\n    o.id=client.id \r\n\r\n\r\n",
              sql);
    Execute(session, "set search_path to sales");
    Execute(session, sql);

    model.Refresh();
    model.typeChoice = SQL_DROP_TABLE;
    Advance(model, PG_TABLE);
    model.singleSel = IndexOf(model.singleTables, "Order Lines");
    model.Next();
    EXPECT_EQ("DROP TABLE \"Order Lines\" ", model.GetSQL());
    model.singleSel = 0;
    model.singleTables = {"sales.Order Lines"};
    EXPECT_EQ("DROP TABLE sales.\"Order Lines\" ", model.GetSQL());
    Execute(session, model.GetSQL());
    EXPECT_TRUE(messages.Shown().empty());
}
