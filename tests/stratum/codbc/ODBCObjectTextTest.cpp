#include "codbc/ODBC.h"
#include "codbc/KeyNames.h"

#include "DatabaseSources.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <cctype>
#include <memory>

namespace {

CString Joined(const CStringArray& lines) {
    CString text;
    for (const CString& line : lines)
        text += line;
    return text;
}
} // namespace

// Tables with plain and quoted names, a composite index, a two-column key, foreign keys both ways, a
// view and a trigger, on SQLite and the servers of the test run.
class ODBCObjectText : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        CString user, password;
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), dsn, user, password);
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect(dsn, user, password)) << session->lastError;
        Run("create table customers (id integer not null, region integer not null, name varchar(40), "
            "primary key (id, region))");
        Run("create table orders (ord_no integer not null, cust_id integer, cust_region integer, "
            "note varchar(30), amount decimal(10,2), "
            "constraint fk_cust foreign key (cust_id, cust_region) references customers(id, region))");
        const CString q = IsMariaDB() ? "`" : "\"";
        Run("create table " + q + "order lines" + q + " (" + q + "line no" + q + " integer)");
        Run("create index ix_orders on orders(note asc, ord_no desc)");
        Run("create unique index ix_cust_name on customers(name)");
        Run("create view v_notes as select ord_no, note from orders");
        if (IsPostgres()) {
            Run("create function touch() returns trigger language plpgsql as 'begin return new; end'");
            Run("create trigger trg_orders before insert on orders for each row execute procedure touch()");
        } else if (IsMariaDB()) {
            Run("create procedure touch() select 1");
            Run("create trigger trg_orders before insert on orders for each row set new.note = new.note");
        } else {
            Run("create trigger trg_orders after insert on orders begin select 1; end");
        }
    }
    void TearDown() override {
        if (session)
            session->Disconnect();
    }
    bool IsPostgres() const { return GetParam() == Backend::Postgres; }
    bool IsMariaDB() const { return GetParam() == Backend::MariaDB; }
    void Run(const CString& sql) {
        ASSERT_EQ(0, session->StmtRealloc());
        ASSERT_EQ(0, session->Exec(sql)) << sql << ": " << session->lastError;
    }
    CStringArray Text(OB_TYPE kind, CString name, CString qualifier = "") {
        CStringArray lines{"stale"};
        EXPECT_EQ(0, session->ObjectText(kind, name, qualifier, &lines)) << session->lastError;
        return lines;
    }

    const CString dsn = "objtext_db";
    std::unique_ptr<ODBC> session;
};

TEST_P(ODBCObjectText, TablesWithPlainAndQuotedNames) {
    const CString integer = ForBackend<CString>(GetParam(), "integer", "int4", "INTEGER");
    const CString varchar = IsMariaDB() ? "VARCHAR" : "varchar";
    const CStringArray orders = Text(OB_TABLE, "orders");
    ASSERT_EQ(7u, orders.size());
    EXPECT_EQ("create table  orders  (\r\n", orders[0]);
    // Nullability comes from the catalog, not from a described query (SQLite calls every result
    // column nullable).
    EXPECT_EQ("    ord_no  " + integer + " NOT NULL,\r\n", orders[1]);
    EXPECT_EQ("    cust_id  " + integer + " NULL,\r\n", orders[2]);
    EXPECT_EQ("    note  " + varchar + "(30) NULL,\r\n", orders[4]);
    EXPECT_EQ(")\r\n", orders[6]);
    // The last column ends without a separator.
    EXPECT_EQ(CString::npos, orders[5].find(",\r\n"));
    if (IsPostgres()) {
        EXPECT_EQ("    amount  numeric NULL\r\n", orders[5]) << "numeric columns get no size";
    } else {
        EXPECT_EQ(0u, orders[5].find("    amount  ")) << orders[5];
    }

    const CStringArray lines = Text(OB_SYSTEM_TABLE, "order lines");
    const CString q(1, session->quoteOpen);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("create table " + q + "order lines" + q + " (\r\n", lines[0]);
    EXPECT_EQ("   " + q + "line no" + q + " " + integer + " NULL\r\n", lines[1]);

    // A table the server does not know still gets its head and its end.
    const CStringArray missing = Text(OB_TABLE, "no_such_table");
    EXPECT_EQ((CStringArray{"create table  no_such_table  (\r\n", ")\r\n"}), missing);
}

TEST_P(ODBCObjectText, IndexesWithUniqueAndColumnOrder) {
    // The SQLite driver reports every index column as ascending.
    const CString order = GetParam() == Backend::SQLite ? "asc" : "desc";
    EXPECT_EQ(
        (CStringArray{"create index  ix_orders \r\n", "   on  orders (note asc, ord_no " + order + ")"}),
        Text(OB_INDEX, "ix_orders", "orders"));
    EXPECT_EQ((CStringArray{"create unique index  ix_cust_name \r\n", "   on  customers (name asc)"}),
              Text(OB_INDEX, "ix_cust_name", "customers"));
}

TEST_P(ODBCObjectText, PrimaryKeyListsItsColumnsInKeyOrder) {
    // SQLite names no keys: such a key is added without a constraint name.
    const CString add = GetParam() == Backend::SQLite ? "ADD" : "ADD CONSTRAINT pk_c";
    EXPECT_EQ((CStringArray{"ALTER TABLE  customers  " + add, "\r\n PRIMARY KEY (id, region)\r\n"}),
              Text(OB_PRIMARY_KEY, "pk_c", "customers"));
}

TEST_P(ODBCObjectText, ForeignKeysReadFromEitherTableOneKeyAtATime) {
    Run("create table regions (region integer primary key)");
    Run("create table visits (cust_id integer, cust_region integer, "
        "region integer references regions(region), "
        "foreign key (cust_id, cust_region) references customers(id, region))");
    auto keyName = [&](const CString& table, const CString& other) {
        CArray<FK_DESC> keys;
        EXPECT_EQ(0, session->FKList(table, &keys, ""));
        const std::vector<ForeignKeyRow> rows = ForeignKeyRows(keys);
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i].pkTable == other || keys[i].fkTable == other)
                return rows[i].name;
        return CString("none");
    };
    // SQLite's keys have no names: the shown names are made from the tables, and the text adds the
    // key without a constraint name.
    const CString fkCust = keyName("orders", "customers");
    const bool sqlite = GetParam() == Backend::SQLite;
    EXPECT_EQ(sqlite ? "fk_orders_customers" : "fk_cust", fkCust);
    const CString add = sqlite ? CString("ADD") : "ADD CONSTRAINT " + fkCust;
    EXPECT_EQ(
        (CStringArray{"ALTER TABLE  orders  " + add + "\r\n", "   FOREIGN KEY (cust_id, cust_region)\r\n",
                      "   REFERENCES  customers (id, region)\r\n"}),
        Text(OB_FOREIGN_KEY, fkCust, "orders"));
    // Shown under the referred table, the key points the other way; the other key of customers
    // (from visits) stays out of it.
    EXPECT_EQ(fkCust, keyName("customers", "orders"));
    EXPECT_EQ((CStringArray{"ALTER TABLE  customers  " + add + "\r\n", "   FOREIGN KEY (id, region)\r\n",
                            "   REFERENCES  orders (cust_id, cust_region)\r\n"}),
              Text(OB_FOREIGN_KEY, fkCust, "customers"));

    // Two keys of one table, each on its own (MariaDB's driver lists their rows by key sequence alone).
    const CString toRegions = keyName("visits", "regions"), toCustomers = keyName("visits", "customers");
    ASSERT_NE(toRegions, toCustomers);
    EXPECT_EQ("   FOREIGN KEY (region)\r\n", Text(OB_FOREIGN_KEY, toRegions, "visits")[1]);
    EXPECT_EQ("   REFERENCES  regions (region)\r\n", Text(OB_FOREIGN_KEY, toRegions, "visits")[2]);
    EXPECT_EQ("   FOREIGN KEY (cust_id, cust_region)\r\n", Text(OB_FOREIGN_KEY, toCustomers, "visits")[1]);
}

TEST_P(ODBCObjectText, ViewsAndTriggersShowTheServersDefinition) {
    CString view = Joined(Text(OB_VIEW, "v_notes"));
    std::transform(view.begin(), view.end(), view.begin(), [](char c) { return std::tolower(c); });
    EXPECT_NE(CString::npos, view.find("from ")) << view;
    EXPECT_NE(CString::npos, view.find("orders")) << view;
    EXPECT_NE(CString::npos, view.find("v_notes")) << view;
    EXPECT_EQ("\r\n", view.substr(view.size() - 2));
    const CString trigger = Joined(Text(OB_TRIGGER, "trg_orders"));
    EXPECT_NE(CString::npos, trigger.find("trg_orders")) << trigger;
    EXPECT_NE(CString::npos, trigger.find("orders")) << trigger;
    EXPECT_TRUE(Text(OB_VIEW, "no_such_view").empty());
    if (IsPostgres()) {
        const CString function = Joined(Text(OB_PROCEDURE, "touch"));
        EXPECT_NE(CString::npos, function.find("FUNCTION public.touch()")) << function;
    }
    if (IsMariaDB()) {
        const CString procedure = Joined(Text(OB_PROCEDURE, "touch"));
        EXPECT_NE(CString::npos, procedure.find("PROCEDURE `touch`()")) << procedure;
        EXPECT_NE(CString::npos, procedure.find("select 1\r\n")) << procedure;
    }
}

TEST_P(ODBCObjectText, OneLineStatementsAndNames) {
    EXPECT_EQ(CStringArray{"CREATE DATABASE sales"}, Text(OB_DATABASE, "sales"));
    EXPECT_EQ(CStringArray{"create user scott \r\n"}, Text(OB_USER, "scott"));
    EXPECT_EQ(CStringArray{"syn_a"}, Text(OB_SYNONYM, "syn_a"));
    EXPECT_EQ(CStringArray{"note"}, Text(OB_COLUMN, "note", "orders"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ODBCObjectText, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);

// A DBMS that keeps no object text here; and the Microsoft SQL Server request, as the server gets it.
TEST(ODBCObjectTextFamilies, OracleViewsAreNotSupportedAndServerTextIsAskedByName) {
    TestSandbox::AddDataSource("oracle_db", VARNEL_SCRIPTED_DRIVER, {});
    ODBC session;
    ASSERT_EQ(0, session.Connect("oracle_db", "u", "p")) << session.lastError;
    CString name = "v_any", qualifier;
    CStringArray lines;
    EXPECT_EQ(0, session.ObjectText(OB_VIEW, name, qualifier, &lines));
    EXPECT_EQ(CStringArray{"Not supported for current DBMS"}, lines);

    session.dbmsKind = DBMS_MSSQL;
    name = "proc_a;1";
    EXPECT_EQ(0, session.ObjectText(OB_PROCEDURE, name, qualifier, &lines));
    EXPECT_TRUE(lines.empty()) << "an unknown object gives no pieces";
    EXPECT_NE(CString::npos, CString(session.lastError).find("unknown statement: sp_helptext 'proc_a'"))
        << session.lastError;
}

namespace {
// A scripted Microsoft SQL Server whose sp_helptext answers come in the server's own pieces: rows of
// at most 255 characters that may end in the middle of a line.
const char* const kHelptextScript =
    "query sp_helptext 'v_orders'\ncolumn Text -1\n"
    "row CREATE VIEW v_orders\\n\nrow AS SELECT id, note FROM orders WHERE \nrow note IS NOT NULL\\n\n"
    "query sp_helptext 'proc_a'\ncolumn Text -1\nrow CREATE PROCEDURE proc_a AS\\n\nrow SELECT 1\n"
    "query sp_helptext ';odd'\ncolumn Text -1\nrow semicolon first\n"
    "query sp_helptext 'o''neil'\ncolumn Text -1\nrow quoted name\n"
    "query sp_helptext 'locked'\nerror 42000 15197 There is no text for object 'locked'.\n";

CStringArray ObjectLines(ODBC& session, OB_TYPE kind, CString name, CString qualifier = "") {
    CStringArray lines{"stale"};
    EXPECT_EQ(0, session.ObjectText(kind, name, qualifier, &lines)) << session.lastError;
    return lines;
}
} // namespace

TEST(ODBCObjectTextFamilies, SqlServerGivesItsStoredTextPieceByPiece) {
    const CString script = TestSandbox::Directory() + "/helptext.script";
    std::ofstream(script) << kHelptextScript;
    TestSandbox::AddDataSource(
        "mssql", VARNEL_SCRIPTED_DRIVER,
        {{"DBMS_NAME", "Microsoft SQL Server"}, {"OWNER_TERM", "owner"}, {"Script", script}});
    ODBC session;
    ASSERT_EQ(0, session.Connect("mssql", "u", "p")) << session.lastError;
    ASSERT_EQ(DBMS_MSSQL, session.dbmsKind);

    const CStringArray view{"CREATE VIEW v_orders\r\n", "AS SELECT id, note FROM orders WHERE ",
                            "note IS NOT NULL\r\n"};
    EXPECT_EQ(view, ObjectLines(session, OB_VIEW, "v_orders")) << "the rows as they come, nothing between";
    for (int kind : {int(OB_TRIGGER), int(OB_PROCEDURE), 12, 23, 27})
        EXPECT_EQ(view, ObjectLines(session, static_cast<OB_TYPE>(kind), "v_orders")) << "kind " << kind;

    EXPECT_EQ((CStringArray{"CREATE PROCEDURE proc_a AS\r\n", "SELECT 1"}),
              ObjectLines(session, OB_PROCEDURE, "proc_a;1"))
        << "the group number is not part of the name";
    EXPECT_EQ(CStringArray{"semicolon first"}, ObjectLines(session, OB_PROCEDURE, ";odd"))
        << "a semicolon in the first place is part of the name";
    EXPECT_EQ(CStringArray{"quoted name"}, ObjectLines(session, OB_VIEW, "o'neil"))
        << "the apostrophe stays inside the string literal";

    EXPECT_TRUE(ObjectLines(session, OB_VIEW, "locked").empty()) << "a failing sp_helptext gives no pieces";
    EXPECT_NE(CString::npos, CString(session.lastError).find("There is no text for object 'locked'."))
        << session.lastError;

    // The kinds written here do not ask the server.
    EXPECT_EQ(CStringArray{"CREATE DATABASE sales"}, ObjectLines(session, OB_DATABASE, "sales"));
    EXPECT_EQ(CStringArray{"create user guest \r\n"}, ObjectLines(session, OB_USER, "guest"));
}

TEST(ODBCObjectTextFamilies, OtherFamiliesKeepNoStoredText) {
    int i = 0;
    for (const char* dbms : {"Oracle8", "ACCESS", "EXCEL", "DBASE", "FoxPro", "Microsoft SQL Server 2000"}) {
        const CString dsn = "nostore" + std::to_string(i++);
        TestSandbox::AddDataSource(dsn, VARNEL_SCRIPTED_DRIVER, {{"DBMS_NAME", dbms}});
        ODBC session;
        ASSERT_EQ(0, session.Connect(dsn, "u", "p")) << session.lastError;
        for (int kind : {int(OB_VIEW), int(OB_TRIGGER), int(OB_PROCEDURE), 12, 23, 27})
            EXPECT_EQ(CStringArray{"Not supported for current DBMS"},
                      ObjectLines(session, static_cast<OB_TYPE>(kind), "anything;1"))
                << dbms << " kind " << kind;
        EXPECT_EQ(CStringArray{"CREATE DATABASE db1"}, ObjectLines(session, OB_DATABASE, "db1")) << dbms;
    }
}
