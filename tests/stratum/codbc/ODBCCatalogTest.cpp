#include "codbc/ODBC.h"

#include "DatabaseSources.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <memory>
#include <unistd.h>

namespace {

template <typename T, typename F> CStringArray Texts(const CArray<T>& list, F field) {
    CStringArray texts;
    for (const T& record : list)
        texts.push_back(field(record));
    return texts;
}

bool Has(const CStringArray& texts, const CString& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

CString LongText(size_t n, char first) {
    CString text;
    for (size_t i = 0; i < n; ++i)
        text += static_cast<char>(first + i % 20);
    return text;
}
} // namespace

// A schema made for the catalog: two owners on PostgreSQL, views, indexes unique and not, a composite
// primary key, foreign keys both ways, a routine with parameters and privileges of a second user on the
// servers, and names longer than 510 characters on SQLite.
class ODBCCatalog : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), dsn, user, password);
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect(dsn, user, password)) << session->lastError;
        // MariaDB allows names of 64 characters at most.
        longName = "v_" + LongText(GetParam() == Backend::SQLite ? 600 : 40, 'a');
        const CString owner = IsPostgres() ? "sales." : "";
        if (IsPostgres())
            Run("create schema sales");
        Run("create table " + owner + "customers (id integer primary key, name varchar(40))");
        Run("create table " + owner +
            "orders (ord_no integer not null, line integer not null, customer_id integer references " +
            owner + "customers(id), note varchar(100), primary key (ord_no, line))");
        Run("create table " + owner + "shipments (id integer, ord_no integer, line integer, " +
            "constraint fk_ship_order foreign key (ord_no, line) references " + owner +
            "orders(ord_no, line))");
        Run("create unique index ix_cust_name on " + owner + "customers(name)");
        Run("create index ix_orders_note on " + owner + "orders(note, line)");
        Run("create view " + owner + longName + " as select ord_no, note from " + owner + "orders");
        if (IsPostgres()) {
            Run("create table public.elsewhere (x integer)");
            Run("create function sales.add_tax(amount numeric, rate integer) returns numeric "
                "language sql as 'select amount * (100 + rate) / 100'");
            reader = "reader_" + std::to_string(getpid());
            Run("create role " + reader + " login");
            Run("grant select, update on sales.orders to " + reader);
            Run("grant usage on schema sales to " + reader);
        }
        if (IsMariaDB()) {
            Run("create procedure add_tax(in amount decimal(10,2), in rate integer) "
                "select amount * (100 + rate) / 100");
            reader = "reader_" + std::to_string(getpid());
            Run("create user " + reader);
            Run("grant select, update on orders to " + reader);
        }
        if (IsPostgres())
            session->SetOwner("sales");
    }
    void TearDown() override {
        if (session && !reader.empty() && IsMariaDB()) {
            session->StmtRealloc();
            session->Exec("drop user " + reader);
        } else if (session && !reader.empty()) {
            session->StmtRealloc();
            session->Exec("drop owned by " + reader);
            session->StmtRealloc();
            session->Exec("drop role " + reader);
        }
        if (session)
            session->Disconnect();
    }
    bool IsPostgres() const { return GetParam() == Backend::Postgres; }
    bool IsMariaDB() const { return GetParam() == Backend::MariaDB; }
    void Run(const CString& sql) {
        ASSERT_EQ(0, session->StmtRealloc());
        ASSERT_EQ(0, session->Exec(sql)) << sql << ": " << session->lastError;
    }
    CString Owner() const { return IsPostgres() ? "sales" : ""; }

    const CString dsn = "db";
    CString user, password, reader, longName;
    std::unique_ptr<ODBC> session;
};

TEST_P(ODBCCatalog, TablesOfEachKindWithOwnersAndWholeTexts) {
    CArray<TABLE_DESC> tables;
    EXPECT_LE(0, session->TablesList(&tables, Owner(), OB_TABLE));
    const CStringArray names = Texts(tables, [](const TABLE_DESC& t) { return t.name; });
    EXPECT_TRUE(Has(names, "customers") && Has(names, "orders") && Has(names, "shipments"));
    EXPECT_FALSE(Has(names, longName)) << "views are not tables";
    EXPECT_FALSE(Has(names, "elsewhere")) << "another owner's table";
    for (const TABLE_DESC& t : tables) {
        EXPECT_EQ("TABLE", t.type);
        EXPECT_EQ(Owner(), t.owner);
    }

    // The list is appended to; a kind other than the four table kinds lists tables.
    CArray<TABLE_DESC> more = tables;
    EXPECT_LE(0, session->TablesList(&more, Owner(), OB_USER));
    EXPECT_EQ(2 * tables.size(), more.size());

    CArray<TABLE_DESC> views;
    EXPECT_LE(0, session->TablesList(&views, Owner(), OB_VIEW));
    ASSERT_EQ(1u, views.size());
    EXPECT_EQ(longName, views[0].name) << "a long view name arrives whole";
    EXPECT_EQ("VIEW", views[0].type);

    CArray<TABLE_DESC> system;
    EXPECT_LE(0, session->TablesList(&system, IsPostgres() ? "pg_catalog" : "", OB_SYSTEM_TABLE));
    EXPECT_EQ(IsPostgres(), !system.empty()) << "the SQLite and MariaDB drivers show no system tables";
    for (const TABLE_DESC& t : system) {
        EXPECT_EQ("SYSTEM TABLE", t.type);
    }
}

TEST_P(ODBCCatalog, WithoutOwnerEveryOwnersTablesAreListed) {
    CArray<TABLE_DESC> tables;
    EXPECT_LE(0, session->TablesList(&tables, "", OB_TABLE));
    const CStringArray names = Texts(tables, [](const TABLE_DESC& t) { return t.name; });
    EXPECT_TRUE(Has(names, "orders"));
    EXPECT_EQ(IsPostgres(), Has(names, "elsewhere"));
}

TEST_P(ODBCCatalog, ColumnsArePreparedOnTheMainStatement) {
    CArray<FLD_DESC> fields;
    EXPECT_EQ(0, session->FieldsList("orders", &fields, Owner()));
    ASSERT_EQ(4u, fields.size());
    EXPECT_EQ("ord_no", fields[0].name);
    EXPECT_EQ("note", fields[3].name);
    EXPECT_EQ(SQL_VARCHAR, fields[3].sqlType);
    EXPECT_EQ(100, fields[3].columnSize);
    EXPECT_EQ(fields[3].columnSize, fields[3].width);
    EXPECT_FALSE(fields[3].typeName.empty());
    if (IsPostgres()) {
        EXPECT_EQ(SQL_NO_NULLS, fields[0].nullable);
    }

    // An owner-qualified name overrides the owner argument.
    CArray<FLD_DESC> qualified;
    EXPECT_EQ(0, session->FieldsList(IsPostgres() ? "sales.customers" : "customers", &qualified, "nobody"));
    EXPECT_EQ(2u, qualified.size());

    // A missing table: empty list, a failure with the driver's message, and a fresh main statement.
    void* before = session->hstmt;
    CArray<FLD_DESC> none;
    session->lastError[0] = 0;
    EXPECT_NE(0, session->FieldsList("no_such_table", &none, Owner()));
    EXPECT_TRUE(none.empty());
    EXPECT_STRNE("", session->lastError);
    EXPECT_NE(nullptr, session->hstmt);
    (void)before;
    Run("select count(*) from " + CString(IsPostgres() ? "sales." : "") + "orders");
    EXPECT_EQ(0, session->Fetch());
}

TEST_P(ODBCCatalog, IndexesUniqueAndNotWithTheirColumns) {
    CArray<IDX_DESC> indexes;
    EXPECT_LE(0, session->IndexList("orders", &indexes, Owner()));
    CArray<IDX_DESC> note;
    for (const IDX_DESC& x : indexes) {
        EXPECT_FALSE(x.name.empty()) << "statistics rows are skipped";
        if (x.name == "ix_orders_note")
            note.push_back(x);
    }
    ASSERT_EQ(2u, note.size());
    EXPECT_EQ("note", note[0].column);
    EXPECT_EQ(1, note[0].position);
    EXPECT_EQ("line", note[1].column);
    EXPECT_EQ(2, note[1].position);
    EXPECT_EQ(1, note[0].nonUnique);
    EXPECT_EQ("A", note[0].order);

    CArray<IDX_DESC> customers;
    EXPECT_LE(0, session->IndexList(IsPostgres() ? "sales.customers" : "customers", &customers, ""));
    auto unique =
        std::find_if(customers.begin(), customers.end(), [](auto& x) { return x.name == "ix_cust_name"; });
    ASSERT_NE(customers.end(), unique);
    EXPECT_EQ(0, unique->nonUnique);
    EXPECT_EQ("name", unique->column);

    // The statistics on the main statement are left for the caller to fetch.
    EXPECT_EQ(0, session->Statistics(Owner(), "orders"));
    int rows = 0;
    while (session->Fetch() == 0)
        ++rows;
    EXPECT_GE(rows, 2);
}

TEST_P(ODBCCatalog, CompositePrimaryKeyInKeyOrder) {
    CArray<PK_DESC> keys;
    EXPECT_LE(0, session->PKList("orders", &keys, Owner()));
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ("ord_no", keys[0].column);
    EXPECT_EQ("line", keys[1].column);
    if (IsPostgres()) {
        EXPECT_EQ("orders_pkey", keys[0].keyName);
    }
}

TEST_P(ODBCCatalog, ForeignKeysOutgoingFirstThenIncoming) {
    CArray<FK_DESC> keys;
    EXPECT_LE(0, session->FKList("orders", &keys, Owner()));
    ASSERT_EQ(3u, keys.size());
    // orders refers to customers ...
    EXPECT_EQ("customers", keys[0].pkTable);
    EXPECT_EQ("orders", keys[0].fkTable);
    EXPECT_EQ("customer_id", keys[0].fkColumn);
    EXPECT_EQ("id", keys[0].pkColumn);
    EXPECT_EQ(1, keys[0].keySeq);
    // ... and shipments refers to orders over two columns.
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ("orders", keys[i].pkTable);
        EXPECT_EQ("shipments", keys[i].fkTable);
        EXPECT_EQ(static_cast<int>(i), keys[i].keySeq);
    }
    EXPECT_EQ("ord_no", keys[1].fkColumn);
    EXPECT_EQ("line", keys[2].pkColumn);
    if (IsPostgres()) {
        EXPECT_EQ("fk_ship_order", keys[1].fkName);
    }

    CArray<FK_DESC> none;
    EXPECT_LE(0, session->FKList(longName, &none, Owner()));
    EXPECT_TRUE(none.empty());
}

TEST_P(ODBCCatalog, TypesAndProcedures) {
    CArray<TYPE_DESC> types;
    EXPECT_LE(0, session->TypesList(&types));
    ASSERT_FALSE(types.empty());
    const CStringArray names = Texts(types, [](const TYPE_DESC& t) { return t.name; });
    const CString varcharName = IsMariaDB() ? "VARCHAR" : "varchar";
    EXPECT_TRUE(Has(names, varcharName));
    auto varchar = std::find_if(types.begin(), types.end(), [&](auto& t) { return t.name == varcharName; });
    EXPECT_GE(varchar->columnSize, 255);
    const CString integerName = ForBackend<CString>(GetParam(), "integer", "int4", "INTEGER");
    auto integer = std::find_if(types.begin(), types.end(), [&](auto& t) { return t.name == integerName; });
    ASSERT_NE(types.end(), integer);
    EXPECT_EQ(ForBackend(GetParam(), 9, 10, 10), integer->columnSize);

    if (GetParam() == Backend::SQLite)
        return;
    // On MariaDB the routines are those of the database in use, without owner.
    CArray<SP_DESC> procedures;
    EXPECT_LE(0, session->SPList(&procedures, Owner()));
    ASSERT_EQ(1u, procedures.size());
    EXPECT_EQ("add_tax", procedures[0].name);
    EXPECT_EQ(Owner(), procedures[0].owner);

    CArray<SPCOL_DESC> columns;
    EXPECT_LE(0, session->SPColsList(&columns, "add_tax", Owner()));
    const CStringArray params = Texts(columns, [](const SPCOL_DESC& c) { return c.name; });
    EXPECT_TRUE(Has(params, "amount") && Has(params, "rate"));
    for (const SPCOL_DESC& c : columns) {
        if (c.name == "rate") {
            EXPECT_EQ(SQL_PARAM_INPUT, c.columnType);
            EXPECT_EQ(IsMariaDB() ? "int" : "int4", c.typeName);
            EXPECT_EQ(10, c.size);
        }
    }
}

TEST_P(ODBCCatalog, PrivilegesOfASecondUser) {
    CArray<RIGHT_DESC> rights{{"stale", "stale", "stale"}};
    const int rc = session->GetTableRights("orders", &rights, Owner());
    if (GetParam() == Backend::SQLite) {
        // The list is emptied whether or not the driver offers privileges.
        for (const RIGHT_DESC& r : rights) {
            EXPECT_NE("stale", r.grantee);
        }
        return;
    }
    EXPECT_LE(0, rc);
    CStringArray granted;
    // MariaDB names the grantee with its host and keeps no grantor.
    const CString grantee = IsMariaDB() ? "'" + reader + "'@'%'" : reader;
    for (const RIGHT_DESC& r : rights) {
        // psqlODBC also gives rows with an empty privilege for access bits it has no name for.
        if (r.grantee == grantee && !r.privilege.empty()) {
            EXPECT_EQ(IsMariaDB() ? "" : user, r.grantor);
            granted.push_back(r.privilege);
        }
    }
    std::sort(granted.begin(), granted.end());
    EXPECT_EQ((CStringArray{"SELECT", "UPDATE"}), granted);

    CArray<RIGHT_DESC> columnRights{{"stale", "", ""}};
    session->GetColumnRights("orders", "note", &columnRights, Owner());
    for (const RIGHT_DESC& r : columnRights) {
        EXPECT_NE("stale", r.grantee);
    }
}

TEST_P(ODBCCatalog, FamiliesWithoutDatabasesUsersOrTriggersListNothing) {
    CArray<DATAB_DESC> databases;
    CArray<USER_DESC> users;
    CArray<TRG_DESC> triggers;
    EXPECT_EQ(0, session->DatabList(&databases));
    EXPECT_EQ(0, session->UserList(&users));
    EXPECT_EQ(0, session->TrigList("orders", &triggers, Owner()));
    EXPECT_TRUE(databases.empty() && users.empty() && triggers.empty());
}

TEST_P(ODBCCatalog, DisconnectedListsAreNotAttempted) {
    session->Disconnect();
    CArray<TABLE_DESC> tables;
    CArray<PK_DESC> keys;
    CArray<FLD_DESC> fields;
    EXPECT_EQ(-1, session->TablesList(&tables, "", OB_TABLE));
    EXPECT_EQ(-1, session->PKList("orders", &keys, ""));
    EXPECT_EQ(-1, session->FieldsList("orders", &fields, ""));
    EXPECT_TRUE(tables.empty() && keys.empty() && fields.empty());
    // The machine's data sources need no connection.
    CArray<DSN_DESC> sources;
    EXPECT_EQ(0, session->DSList(&sources));
    EXPECT_TRUE(Has(Texts(sources, [](const DSN_DESC& d) { return d.name; }), dsn));
}

INSTANTIATE_TEST_SUITE_P(Backends, ODBCCatalog, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);

// Naming helpers and the machine-wide lists, without a data source.
TEST(ODBCCatalogNames, PlainNamesNeedNoQuotes) {
    EXPECT_EQ(1, CDB::isEngName("Order_Total$"));
    EXPECT_EQ(1, CDB::isEngName(""));
    EXPECT_EQ(1, CDB::isEngName("a#b@c9"));
    EXPECT_EQ(0, CDB::isEngName("2ndTable"));
    EXPECT_EQ(0, CDB::isEngName("my table"));
    EXPECT_EQ(0, CDB::isEngName("_x"));
    EXPECT_EQ(0, CDB::isEngName("caf\xc3\xa9"));
}

TEST(ODBCCatalogNames, PrepareOwnerSplitsAndQuotes) {
    ODBC session;
    session.quoteOpen = session.quoteClose = '"';
    CString owner, name;
    EXPECT_STREQ("sales", session.PrepareOwner(&owner, &name, "dbo", "sales.orders", 0));
    EXPECT_EQ("orders", name);
    EXPECT_STREQ("dbo", session.PrepareOwner(&owner, &name, "dbo", ".orders", 0));
    EXPECT_EQ(".orders", name);
    session.PrepareOwner(&owner, &name, "my owner", "a.b.order items", 1);
    EXPECT_EQ("\"a.b\"", owner);
    EXPECT_EQ("\"order items\"", name);
    EXPECT_EQ(nullptr, session.PrepareOwner(&owner, &name, "", "orders", 1));
    session.ownerSupported = 0;
    EXPECT_EQ(nullptr, session.PrepareOwner(&owner, &name, "dbo", "sales.orders", 0));
    EXPECT_EQ("", owner);
    EXPECT_EQ("orders", name);
}

TEST(ODBCCatalogNames, DriversAndDataSourcesOfTheMachine) {
    TestSandbox::AddSqliteSource("first");
    TestSandbox::AddSqliteSource("second");
    ODBC session;
    CArray<DSN_DESC> sources{{"kept", ""}};
    EXPECT_EQ(0, session.DSList(&sources));
    const CStringArray names = Texts(sources, [](const DSN_DESC& d) { return d.name; });
    EXPECT_EQ("kept", names[0]) << "the list is appended to";
    EXPECT_TRUE(Has(names, "first") && Has(names, "second"));
    CArray<DRV_DESC> drivers;
    EXPECT_EQ(0, session.DrvList(&drivers));
    bool driverLine = false;
    for (const DRV_DESC& d : drivers) {
        EXPECT_NE(CString::npos, d.text.find('=')) << d.text;
        driverLine = driverLine || d.text.rfind("Driver=", 0) == 0;
    }
    EXPECT_TRUE(driverLine);
}

// A driver that calls its DBMS Oracle: users and triggers are asked with the DBMS's own SQL, which
// this driver refuses with the statement text in its message.
TEST(ODBCCatalogFamilies, OracleUsersAndTriggersAreAskedWithItsOwnSql) {
    TestSandbox::AddDataSource("oracle_db", VARNEL_SCRIPTED_DRIVER, {});
    ODBC session;
    ASSERT_EQ(0, session.Connect("oracle_db", "u", "p")) << session.lastError;
    ASSERT_EQ(DBMS_ORACLE, session.dbmsKind);
    EXPECT_EQ(0, session.ownerSupported);

    CArray<USER_DESC> users;
    EXPECT_EQ(SQL_ERROR, session.UserList(&users));
    EXPECT_NE(CString::npos,
              CString(session.lastError).find("unknown statement: select USERNAME from ALL_USERS"))
        << session.lastError;
    EXPECT_TRUE(users.empty());

    CArray<TRG_DESC> triggers;
    EXPECT_EQ(SQL_ERROR, session.TrigList("orders", &triggers, "scott"));
    EXPECT_NE(
        CString::npos,
        CString(session.lastError).find("select TRIGGER_NAME from ALL_TRIGGERS where TABLE_NAME='orders',"))
        << "no owner without an owner term: " << session.lastError;

    CArray<DATAB_DESC> databases;
    EXPECT_EQ(0, session.DatabList(&databases));
    EXPECT_TRUE(databases.empty());
}
