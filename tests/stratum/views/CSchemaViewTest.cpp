#include "views/CSchemaView.h"

#include "codbc/ODBC.h"
#include "editor/ColorEditWnd.h"
#include "views/DBobjTree.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QToolBar>

class CSchemaViewTest : public testing::Test {
protected:
    void SetUp() override {
        TestSandbox::AddSqliteSource("schema_db");
        view.Create(&session, nullptr, "Monospace", 100, 4);
        view.SetConnection(
            [this] {
                ++connects;
                if (!session.connected && (!allowConnect || session.Connect("schema_db", "", "") != 0))
                    return false;
                return true;
            },
            [this] { return generation; });
    }
    void TearDown() override { session.Disconnect(); }
    // Marks the tree by expanding TABLES: a refresh puts back an unfilled node.
    void Mark() { view.Tree()->topLevelItem(0)->setExpanded(true); }
    bool Marked() const {
        const DBobjTree* tree = view.Tree();
        return tree->topLevelItemCount() && tree->Nodes()[DBobjTree::NodeIndex(tree->topLevelItem(0))].filled;
    }

    ODBC session;
    CSchemaView view;
    int generation = 1;
    int connects = 0;
    bool allowConnect = true;
};

TEST_F(CSchemaViewTest, RefreshesOnlyWhenTheConnectionChanged) {
    EXPECT_TRUE(view.Activate());
    EXPECT_EQ(7, view.Tree()->topLevelItemCount());
    EXPECT_EQ(1, view.Generation());
    Mark();
    ASSERT_TRUE(Marked());

    view.Deactivate(1);
    EXPECT_TRUE(session.connected) << "a permanent connection stays";
    EXPECT_TRUE(view.Activate());
    EXPECT_TRUE(Marked()) << "same connection: the tree is kept";

    generation = 2;
    EXPECT_TRUE(view.Activate());
    EXPECT_FALSE(Marked()) << "new connection: the tree is read again";
    EXPECT_EQ(2, view.Generation());
    EXPECT_EQ(3, connects);

    view.Deactivate(0);
    EXPECT_FALSE(session.connected);
}

TEST_F(CSchemaViewTest, AFailedConnectionLeavesThePageAlone) {
    allowConnect = false;
    EXPECT_FALSE(view.Activate());
    EXPECT_EQ(0, view.Tree()->topLevelItemCount());
    EXPECT_EQ(-1, view.Generation());
}

TEST_F(CSchemaViewTest, ToolbarRefreshesAndCopiesNameAndText) {
    QStringList texts;
    for (QAction* action : view.ToolBar()->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    EXPECT_EQ((QStringList{"Refresh information", "Copy object name", "Copy object's text"}), texts);

    ASSERT_TRUE(view.Activate());
    session.StmtRealloc();
    ASSERT_EQ(0, session.Exec("create table parts (id integer not null)"));
    QTreeWidgetItem* tables = view.Tree()->topLevelItem(0);
    tables->setExpanded(true);
    ASSERT_EQ(1, tables->childCount());
    view.Tree()->setCurrentItem(tables->child(0));

    EXPECT_TRUE(view.OnCommand(CSchemaView::ID_COPY_NAME));
    EXPECT_EQ("parts", QApplication::clipboard()->text().toStdString());
    EXPECT_TRUE(view.OnCommand(CSchemaView::ID_COPY_TEXT));
    const std::string copied = QApplication::clipboard()->text().toStdString();
    EXPECT_EQ(0u, copied.find("create table  parts  (")) << copied;

    generation = 5;
    Mark();
    EXPECT_TRUE(view.OnCommand(CSchemaView::ID_REFRESH));
    EXPECT_FALSE(Marked());
    EXPECT_EQ(5, view.Generation());
    EXPECT_EQ("", view.Editor()->GetLine(0));
}
