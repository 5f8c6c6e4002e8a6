#include "views/DBobjTree.h"

#include "codbc/ODBC.h"
#include "editor/ColorEditWnd.h"
#include "toolkit/ControlId.h"

#include "DatabaseSources.h"
#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include <memory>

namespace {

QTreeWidgetItem* Child(QTreeWidgetItem* parent, const CString& text) {
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0).toStdString() == text)
            return parent->child(i);
    }
    return nullptr;
}

CStringArray ChildTexts(QTreeWidgetItem* parent) {
    CStringArray texts;
    for (int i = 0; parent && i < parent->childCount(); ++i)
        texts.push_back(parent->child(i)->text(0).toStdString());
    return texts;
}

CString Joined(const CStringArray& lines) {
    CString text;
    for (const CString& line : lines)
        text += line;
    return text;
}
} // namespace

// Without a database: the collections and what they show.
TEST(DBobjTreeCollections, RefreshPutsTheSevenCollectionsInOrder) {
    ODBC session;
    DBobjTree tree;
    QWidget dialog;
    auto* text = new QPlainTextEdit(&dialog);
    SetControlId(text, 1500);
    tree.Initialize(&session, &dialog, 1500);
    tree.Refresh();
    ASSERT_EQ(7, tree.topLevelItemCount());
    const CStringArray expected{"TABLES", "SYSTEM TABLES", "VIEWS",    "SYNONYMS",
                                "USERS",  "PROCEDURES",    "DataBases"};
    const int kinds[] = {OB_TABLE, OB_SYSTEM_TABLE, OB_VIEW, OB_SYNONYM, OB_USER, OB_PROCEDURE, OB_DATABASE};
    for (int i = 0; i < 7; ++i) {
        QTreeWidgetItem* item = tree.topLevelItem(i);
        EXPECT_EQ(expected[i], item->text(0).toStdString());
        EXPECT_FALSE(item->icon(0).isNull());
        ASSERT_EQ(1, item->childCount()) << "a placeholder until the first expansion";
        const DBobjTree::NODE& node = tree.Nodes()[DBobjTree::NodeIndex(item)];
        EXPECT_EQ(kinds[i], node.kind);
        EXPECT_EQ(1, node.collection);
        EXPECT_EQ(0, node.filled);
    }
    EXPECT_EQ("", tree.ObjectName());

    tree.setCurrentItem(tree.topLevelItem(2));
    EXPECT_EQ("COLLECTION of VIEWS", text->toPlainText().toStdString());
    EXPECT_EQ("VIEWS", tree.ObjectName());
    tree.Refresh();
    EXPECT_EQ("", tree.ObjectName()) << "a refresh forgets the selection";
}

TEST(DBobjTreeCollections, ExpandingWhileDisconnectedAsksAgainLater) {
    TestSandbox::AddSqliteSource("tree_db");
    ODBC session;
    DBobjTree tree;
    tree.Initialize(&session, static_cast<ColorEditWnd*>(nullptr));
    tree.Refresh();
    MessageRecorder messages;
    QTreeWidgetItem* tables = tree.topLevelItem(0);
    tables->setExpanded(true);
    EXPECT_EQ(std::vector<CString>{"Not connected"}, messages.Texts());
    EXPECT_EQ(1, tables->childCount()) << "still expandable";
    EXPECT_FALSE(tables->isExpanded());

    ASSERT_EQ(0, session.Connect("tree_db", "", ""));
    session.StmtRealloc();
    ASSERT_EQ(0, session.Exec("create table t1 (a integer)"));
    tables->setExpanded(true);
    EXPECT_EQ(CStringArray{"t1"}, ChildTexts(tables));
    EXPECT_EQ(1u, messages.Texts().size());
}

// The same schema as a user meets it on SQLite and the servers of the test run.
class DBobjTreeBrowse : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        CString user, password;
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), dsn, user, password);
        ASSERT_EQ(0, session.Connect(dsn, user, password)) << session.lastError;
        const CString s = IsPostgres() ? "sales." : "";
        if (IsPostgres())
            Run("create schema sales");
        Run("create table " + s + "customers (id integer not null, region integer not null, " +
            "name varchar(40), primary key (id, region))");
        Run("create table " + s + "orders (ord_no integer not null, cust_id integer, cust_region integer, " +
            "note varchar(30), amount numeric(10,2), constraint fk_cust foreign key (cust_id, cust_region) " +
            "references " + s + "customers(id, region))");
        Run("create index ix_orders on " + s + "orders(note asc, ord_no desc)");
        Run("create view " + s + "v_notes as select ord_no, note from " + s + "orders");
        if (IsPostgres()) {
            Run("create function sales.add_tax(amount numeric, rate integer) returns numeric "
                "language sql as 'select amount * (100 + rate) / 100'");
            session.SetOwner("sales");
        }
        if (IsMariaDB()) {
            Run("create procedure add_tax(in amount decimal(10,2), in rate integer) "
                "select amount * (100 + rate) / 100");
        }
        editor = std::make_unique<ColorEditWnd>();
        editor->SetReadOnly(true);
        tree.Initialize(&session, editor.get());
        tree.Refresh();
    }
    void TearDown() override { session.Disconnect(); }
    bool IsPostgres() const { return GetParam() == Backend::Postgres; }
    bool IsMariaDB() const { return GetParam() == Backend::MariaDB; }
    CString Name(const CString& table) const { return (IsPostgres() ? "sales." : "") + table; }
    void Run(const CString& sql) {
        ASSERT_EQ(0, session.StmtRealloc());
        ASSERT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
    }
    QTreeWidgetItem* Expand(QTreeWidgetItem* item) {
        EXPECT_NE(nullptr, item);
        if (item)
            item->setExpanded(true);
        return item;
    }

    const CString dsn = "tree_db";
    ODBC session;
    std::unique_ptr<ColorEditWnd> editor;
    DBobjTree tree;
};

TEST_P(DBobjTreeBrowse, TablesAreReadOnceAcrossCollapseAndExpand) {
    QTreeWidgetItem* tables = Expand(tree.topLevelItem(0));
    const CStringArray names = ChildTexts(tables);
    EXPECT_EQ((CStringArray{Name("customers"), Name("orders")}), names);
    const size_t records = tree.Nodes().size();
    tables->setExpanded(false);
    tables->setExpanded(true);
    EXPECT_EQ(names, ChildTexts(tables));
    EXPECT_EQ(records, tree.Nodes().size()) << "no second read of the catalog";

    QTreeWidgetItem* views = Expand(tree.topLevelItem(2));
    EXPECT_EQ(CStringArray{Name("v_notes")}, ChildTexts(views));
}

TEST_P(DBobjTreeBrowse, ATableShowsColumnsIndexesAndKeys) {
    QTreeWidgetItem* orders = Expand(Child(Expand(tree.topLevelItem(0)), Name("orders")));
    const CStringArray children = ChildTexts(orders);
    ASSERT_EQ(10u, children.size());
    // Nullability comes from the catalog (SQLite calls every result column nullable).
    EXPECT_EQ("ord_no " + ForBackend<CString>(GetParam(), "integer", "int4", "INTEGER") + "(10) ",
              children[0]);
    EXPECT_EQ("note " + CString(IsMariaDB() ? "VARCHAR" : "varchar") + "(30) NULL", children[3]);
    EXPECT_EQ(0u, children[4].find("amount ")) << children[4];
    if (IsPostgres()) {
        EXPECT_EQ("amount numeric(10,2) NULL", children[4]);
    }
    EXPECT_EQ((CStringArray{"INDEXES", "PRIMARY KEY", "FOREIGN KEYS", "TRIGGERS", "RIGHTS"}),
              CStringArray(children.begin() + 5, children.end()));

    QTreeWidgetItem* indexes = Expand(Child(orders, "INDEXES"));
    QTreeWidgetItem* index = Child(indexes, "ix_orders  ASC");
    ASSERT_NE(nullptr, index) << testing::PrintToString(ChildTexts(indexes));
    EXPECT_EQ((CStringArray{"note", "ord_no"}), ChildTexts(index));

    QTreeWidgetItem* customers = Expand(Child(tree.topLevelItem(0), Name("customers")));
    QTreeWidgetItem* key = Expand(Child(customers, "PRIMARY KEY"));
    ASSERT_EQ(2, key->childCount());
    // SQLite names no keys; the tree makes a name from the table.
    EXPECT_EQ(ForBackend<CString>(GetParam(), "pk_customers", "customers_pkey", "PRIMARY"),
              key->child(0)->text(0).toStdString());
    EXPECT_EQ(key->child(0)->text(0), key->child(1)->text(0)) << "both columns carry the key's name";

    QTreeWidgetItem* foreign = Expand(Child(orders, "FOREIGN KEYS"));
    ASSERT_EQ(2, foreign->childCount()) << "one node per key column";
    EXPECT_EQ(GetParam() == Backend::SQLite ? "fk_orders_customers" : "fk_cust",
              foreign->child(1)->text(0).toStdString());
    EXPECT_EQ((CStringArray{"Foreign: orders.cust_id", "Primary: customers.id"}),
              ChildTexts(foreign->child(0)));

    QTreeWidgetItem* triggers = Expand(Child(orders, "TRIGGERS"));
    EXPECT_EQ(0, triggers->childCount());
    EXPECT_EQ(1, tree.Nodes()[DBobjTree::NodeIndex(triggers)].filled);
}

TEST_P(DBobjTreeBrowse, SelectionShowsTheObjectsText) {
    QTreeWidgetItem* orders = Expand(Child(Expand(tree.topLevelItem(0)), Name("orders")));
    tree.setCurrentItem(orders);
    CString name = Name("orders"), qualifier;
    CStringArray lines;
    session.ObjectText(OB_TABLE, name, qualifier, &lines);
    EXPECT_EQ(Joined(lines), tree.ObjectTextShown());
    EXPECT_EQ("create table  " + Name("orders") + "  (", editor->GetLine(0));
    EXPECT_EQ(Name("orders"), tree.ObjectName());

    // MariaDB adds an index of its own for the foreign key.
    QTreeWidgetItem* index = Child(Expand(Child(orders, "INDEXES")), "ix_orders  ASC");
    tree.setCurrentItem(index);
    EXPECT_EQ("create index  ix_orders ", editor->GetLine(0));
    EXPECT_EQ("   on  " + Name("orders") + " (note asc, ord_no " +
                  (GetParam() == Backend::SQLite ? "asc)" : "desc)"),
              editor->GetLine(1));
    EXPECT_EQ("ix_orders", tree.ObjectName());

    tree.setCurrentItem(tree.topLevelItem(0));
    EXPECT_EQ("COLLECTION of TABLES", editor->GetLine(0));
}

TEST_P(DBobjTreeBrowse, ProceduresWithTheirParameters) {
    if (GetParam() == Backend::SQLite)
        GTEST_SKIP() << "SQLite keeps no procedures";
    QTreeWidgetItem* procedures = Expand(tree.topLevelItem(5));
    QTreeWidgetItem* addTax = Expand(Child(procedures, "add_tax"));
    ASSERT_NE(nullptr, addTax) << testing::PrintToString(ChildTexts(procedures));
    const CStringArray parameters = ChildTexts(addTax);
    ASSERT_FALSE(parameters.empty());
    bool input = false;
    for (const CString& p : parameters)
        input = input || (p.find("rate ") == 0 && p.size() > 9 && p.substr(p.size() - 9) == "  [INPUT]");
    EXPECT_TRUE(input) << testing::PrintToString(parameters);
}

INSTANTIATE_TEST_SUITE_P(Backends, DBobjTreeBrowse, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);
