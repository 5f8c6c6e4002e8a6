#include "CSchemaMode.h"

#include "editor/CEditModel.h"
#include "editor/ColorEditWnd.h"
#include "views/CSchemaView.h"
#include "views/DBobjTree.h"

#include "ModePageFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QToolBar>

namespace {
QTreeWidgetItem* ChildEndingWith(QTreeWidgetItem* parent, const QString& end) {
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0).endsWith(end))
            return parent->child(i);
    return nullptr;
}

QStringList ChildTexts(QTreeWidgetItem* parent) {
    QStringList texts;
    for (int i = 0; parent && i < parent->childCount(); ++i)
        texts << parent->child(i)->text(0);
    return texts;
}
} // namespace

class CSchemaModeTest : public ModePageFixture {
protected:
    CSchemaMode& Page() { return *m_Window->SchemaPage(); }
    DBobjTree* Tree() { return Page().View()->Tree(); }
    QTreeWidgetItem* Tables() { return Tree()->topLevelItem(0); }
    // Expanding TABLES fills it; a refresh puts back an unfilled node.
    bool TablesFilled() {
        return Tree()->topLevelItemCount() && Tree()->Nodes()[DBobjTree::NodeIndex(Tables())].filled;
    }
    QAction* Command(int id) {
        for (QAction* action : Page().View()->ToolBar()->actions())
            if (action->data().toInt() == id)
                return action;
        ADD_FAILURE() << "no toolbar command " << id;
        return nullptr;
    }
};

TEST_F(CSchemaModeTest, RefreshesOnFirstEntryAndAfterTheConnectionChangedOnly) {
    TestSandbox::AddSqliteSource("Shop");
    TestSandbox::AddSqliteSource("Archive");
    Execute("Shop", {"create table parts (id integer not null)"});
    Execute("Archive", {"create table old_parts (id integer not null)"});
    CMainWindow& w = Open("Shop");
    EXPECT_EQ(0, Tree()->topLevelItemCount());

    w.SwitchMode(CMainWindow::MODE_SCHEMA);
    ASSERT_EQ(CMainWindow::MODE_SCHEMA, w.CurrentMode());
    EXPECT_TRUE(Page().isVisible());
    ASSERT_EQ(7, Tree()->topLevelItemCount());
    Tables()->setExpanded(true);
    EXPECT_EQ(QStringList{"parts"}, ChildTexts(Tables()));
    ASSERT_TRUE(TablesFilled());

    // Back with the same connection: the tree as it was left.
    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    w.SwitchMode(CMainWindow::MODE_SCHEMA);
    EXPECT_TRUE(TablesFilled());
    EXPECT_EQ(w.ConnectPage()->ConnectionGeneration(), Page().View()->Generation());

    // Another data source: the next entry reads the tree again.
    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    const int before = w.ConnectPage()->ConnectionGeneration();
    ChooseDataSource("Archive");
    w.SwitchMode(CMainWindow::MODE_SCHEMA);
    ASSERT_EQ(CMainWindow::MODE_SCHEMA, w.CurrentMode());
    EXPECT_NE(before, w.ConnectPage()->ConnectionGeneration());
    EXPECT_EQ(w.ConnectPage()->ConnectionGeneration(), Page().View()->Generation());
    EXPECT_FALSE(TablesFilled());
    Tables()->setExpanded(true);
    EXPECT_EQ(QStringList{"old_parts"}, ChildTexts(Tables()));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CSchemaModeTest, LeavingDisconnectsUnlessTheConnectionIsPermanent) {
    TestSandbox::AddSqliteSource("Shop");
    CMainWindow& w = Open("Shop");
    S().setInt("IsPerm", 0);
    w.SwitchMode(CMainWindow::MODE_SCHEMA);
    EXPECT_EQ(1, m_Session->connected);
    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ(0, m_Session->connected);

    S().setInt("IsPerm", 1);
    w.SwitchMode(CMainWindow::MODE_SCHEMA);
    EXPECT_EQ(1, m_Session->connected);
    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ(1, m_Session->connected);
    EXPECT_FALSE(Page().isVisible());
}

TEST_F(CSchemaModeTest, AFailedConnectionEndsOnConnectWithoutShowingThePage) {
    CMainWindow& w = Open("NoSuchSource");
    w.Tabs()->setCurrentIndex(CMainWindow::MODE_SCHEMA);
    EXPECT_EQ(CMainWindow::MODE_CONNECT, w.CurrentMode());
    EXPECT_EQ(CMainWindow::MODE_CONNECT, w.Tabs()->currentIndex());
    EXPECT_FALSE(Page().isVisible());
    EXPECT_EQ(0, Tree()->topLevelItemCount()) << "nothing read without a connection";
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
}

TEST_F(CSchemaModeTest, ToolbarHasImagesAndCopiesNameAndText) {
    TestSandbox::AddSqliteSource("Shop");
    Execute("Shop", {"create table parts (id integer not null, label varchar(20))"});
    CMainWindow& w = Open("Shop");
    QStringList tips;
    for (QAction* action : Page().View()->ToolBar()->actions()) {
        if (action->isSeparator())
            continue;
        tips << action->toolTip();
        EXPECT_FALSE(action->icon().isNull()) << action->toolTip().toStdString();
    }
    EXPECT_EQ((QStringList{"Refresh information", "Copy object name", "Copy object's text"}), tips);

    w.SwitchMode(CMainWindow::MODE_SCHEMA);
    Tables()->setExpanded(true);
    QTreeWidgetItem* parts = ChildEndingWith(Tables(), "parts");
    ASSERT_NE(nullptr, parts);
    Tree()->setCurrentItem(parts);
    Command(CSchemaView::ID_COPY_NAME)->trigger();
    EXPECT_EQ("parts", QApplication::clipboard()->text().toStdString());
    Command(CSchemaView::ID_COPY_TEXT)->trigger();
    const QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith("create table  parts  (")) << text.toStdString();
    EXPECT_TRUE(text.contains("label")) << text.toStdString();

    // Refresh information reads the tree again and empties the text.
    Command(CSchemaView::ID_REFRESH)->trigger();
    EXPECT_FALSE(TablesFilled());
    EXPECT_EQ("", Page().View()->Editor()->GetLine(0));
}

TEST_F(CSchemaModeTest, EditorFollowsTheSettingsAndTheWindowsColouring) {
    S().setInt("TabSize", 7);
    S().setInt("FontSize", 13);
    CMainWindow& w = Open("Shop");
    ColorEditWnd* editor = Page().View()->Editor();
    EXPECT_EQ(7, editor->Model().GetTabSize());
    EXPECT_EQ(13, editor->Font().pointSize());
    EXPECT_EQ(w.Colorizer(), editor->Model().Text().GetColorizer());
    EXPECT_TRUE(editor->IsReadOnly());
}

TEST_F(CSchemaModeTest, PostgresTablesAreShownWithTheirOwnerAndCopied) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("Shop");
    const auto server = TestSandbox::Postgres();
    Execute("Shop", {"create table parts (id integer not null primary key, label varchar(20))"}, server->user,
            server->password);
    CMainWindow& w = Open("Shop");
    w.SwitchMode(CMainWindow::MODE_SCHEMA);
    ASSERT_EQ(CMainWindow::MODE_SCHEMA, w.CurrentMode());
    Tables()->setExpanded(true);
    QTreeWidgetItem* parts = ChildEndingWith(Tables(), ".parts");
    ASSERT_NE(nullptr, parts) << ChildTexts(Tables()).join(", ").toStdString();
    EXPECT_EQ("public.parts", parts->text(0).toStdString());
    Tree()->setCurrentItem(parts);
    Command(CSchemaView::ID_COPY_TEXT)->trigger();
    const QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.contains("parts")) << text.toStdString();
    EXPECT_TRUE(text.contains("label")) << text.toStdString();

    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ(0, m_Session->connected);
    w.SwitchMode(CMainWindow::MODE_SCHEMA);
    EXPECT_TRUE(Tree()->Nodes()[DBobjTree::NodeIndex(Tables())].filled) << "same connection: kept";
}
