#include "CBuilderMode.h"

#include "CResultsMode.h"
#include "CSampleDatabase.h"

#include "builder/Builder.h"
#include "builder/CBuilderPanel.h"
#include "builder/CConditionDlg.h"
#include "builder/CConditionsPage.h"
#include "builder/CFromPage.h"
#include "builder/COrderGroupPage.h"
#include "builder/CSelectListPage.h"
#include "builder/CTablePage.h"
#include "builder/CTypePage.h"
#include "editor/ColorEditWnd.h"
#include "grid/CResultTable.h"
#include "views/DBgrid.h"

#include "ModePageFixture.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <functional>

namespace {
void Click(QWidget* page, const char* name) {
    auto* button = page->findChild<QPushButton*>(name);
    ASSERT_NE(nullptr, button) << name;
    button->click();
}

// Selects the list's entries that end with the given texts (owners may stand before them).
void Select(QListWidget* list, std::initializer_list<const char*> ends) {
    list->clearSelection();
    for (const char* end : ends) {
        QListWidgetItem* found = nullptr;
        for (int i = 0; i < list->count() && !found; ++i)
            if (list->item(i)->text() == end || list->item(i)->text().endsWith(QString(".") + end))
                found = list->item(i);
        ASSERT_NE(nullptr, found) << end;
        found->setSelected(true);
        list->setCurrentItem(found, QItemSelectionModel::Select);
    }
}

// Runs `fill` on the condition dialog once it is open, then closes it with OK.
void AnswerCondition(std::function<void(CConditionDlg*)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* dialog = qobject_cast<CConditionDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dialog);
        fill(dialog);
        dialog->accept();
    });
}
} // namespace

class CBuilderModeTest : public ModePageFixture {
protected:
    CBuilderMode& Page() { return *m_Window->BuilderPage(); }
    Builder* Wizard() { return Page().Panel()->GetBuilder(); }
    template <class P> P* WizardPage(int index) { return static_cast<P*>(Wizard()->Page(index)); }
    void Forward() { Page().Panel()->ForwardButton()->click(); }
    void Command(unsigned id) {
        for (QAction* action : Page().ToolBar()->actions())
            if (action->data().toUInt() == id)
                return action->trigger();
        ADD_FAILURE() << "no toolbar command " << id;
    }
    // A SELECT of the customers' names and order dates, joined, ordered by name.
    void BuildSelect(const char* customers = "customers", const char* orders = "orders") {
        ASSERT_EQ(PG_TYPE, Wizard()->CurrentPage());
        Forward();
        ASSERT_EQ(PG_FROM, Wizard()->CurrentPage());
        auto* from = WizardPage<CFromPage>(PG_FROM);
        Select(from->Tables(), {customers, orders});
        Click(from, ">");
        ASSERT_EQ(2, from->FromList()->topLevelItemCount());
        Forward();
        ASSERT_EQ(PG_SELECT_LIST, Wizard()->CurrentPage());
        EXPECT_TRUE(Page().Panel()->BackButton()->isVisible());
        auto* select = WizardPage<CSelectListPage>(PG_SELECT_LIST);
        Select(select->Fields(), {"name", "ordered"});
        Click(select, "addFields");
        ASSERT_EQ(2, select->Items()->topLevelItemCount());
        Forward();
        ASSERT_EQ(PG_CONDITIONS, Wizard()->CurrentPage());
        const QString join1 = select->Fields()->findItems(".customer_id", Qt::MatchEndsWith).value(0)->text();
        const QString join2 = select->Fields()->findItems(".customer_id", Qt::MatchEndsWith).value(1)->text();
        AnswerCondition([join1, join2](CConditionDlg* dialog) {
            dialog->Operand1()->setCurrentText(join1);
            dialog->Operand2()->setCurrentText(join2);
        });
        Click(WizardPage<CConditionsPage>(PG_CONDITIONS), "WHERE Add");
        Forward();
        ASSERT_EQ(PG_ORDER_GROUP, Wizard()->CurrentPage());
        EXPECT_EQ("Finish", Page().Panel()->ForwardButton()->text().toStdString());
    }
    CString Statement() { return Page().Panel()->Statement()->toPlainText().toStdString(); }
};

TEST_F(CBuilderModeTest, AppendAddsTheBuiltSelectToTheEndOfTheScript) {
    TestSandbox::AddSqliteSource("Shop");
    CString error;
    ASSERT_TRUE(CSampleDatabase::CreateTables(*m_Session, "Shop", CSampleDatabase::SampleScript(), &error))
        << error;
    CMainWindow& w = Open("Shop");
    w.ScriptPage()->InsertSql("select 1;\r\n", 1);
    w.SwitchMode(CMainWindow::MODE_BUILDER);
    ASSERT_EQ(CMainWindow::MODE_BUILDER, w.CurrentMode());
    EXPECT_TRUE(Page().isVisible());
    EXPECT_FALSE(Page().Panel()->BackButton()->isVisible());
    EXPECT_EQ("&Next >>>", Page().Panel()->ForwardButton()->text().toStdString());
    BuildSelect();
    const CString sql = Wizard()->GetSQL();
    EXPECT_EQ(0u, sql.find("SELECT \r\n    customers.name,\r\n    orders.ordered\r\nFROM\r\n")) << sql;
    EXPECT_NE(CString::npos, sql.find("customers.customer_id=orders.customer_id")) << sql;
    // The box shows the statement with plain line breaks.
    CString shown = sql;
    for (size_t at; (at = shown.find("\r\n")) != CString::npos;)
        shown.replace(at, 2, "\n");
    EXPECT_EQ(shown, Statement());

    Command(CBuilderMode::ID_APPEND);
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, w.CurrentMode());
    EXPECT_TRUE(w.ScriptPage()->isVisible());
    EXPECT_FALSE(Page().isVisible());
    EXPECT_EQ("select 1;\r\n" + sql, ScriptText() + "\r\n");
    EXPECT_TRUE(w.ScriptPage()->IsModified());
    EXPECT_EQ(0, m_Session->connected) << "left without a permanent connection";
    EXPECT_TRUE(messages.Shown().empty());

    // The statement runs on the sample database through the Results mode.
    w.ScriptPage()->InsertSql(sql, 1);
    w.SwitchMode(CMainWindow::MODE_RESULTS);
    EXPECT_EQ(CMainWindow::MODE_RESULTS, w.CurrentMode()) << "the run was abandoned";
    EXPECT_TRUE(messages.Shown().empty());
    const CResultTable& result = w.ResultsPage()->Grid()->Table();
    EXPECT_EQ("name", result.GetItemText(0, 1));
    EXPECT_GT(result.GetRowCount(), 1) << "the sample's customers have orders";
}

TEST_F(CBuilderModeTest, InsertGoesToTheCaretAndReplaceTakesTheWholeScript) {
    TestSandbox::AddSqliteSource("Shop");
    Execute("Shop", {"create table dept (id integer, title text)"});
    CMainWindow& w = Open("Shop");
    w.ScriptPage()->InsertSql("AAA\r\nBBB", 1);
    w.ScriptPage()->Editor()->SetCursorPos(QPoint(0, 1));

    w.SwitchMode(CMainWindow::MODE_BUILDER);
    WizardPage<CTypePage>(PG_TYPE)->Buttons()->button(SQL_DROP_TABLE)->setChecked(true);
    Forward();
    ASSERT_EQ(PG_TABLE, Wizard()->CurrentPage());
    Select(WizardPage<CTablePage>(PG_TABLE)->List(), {"dept"});
    Forward();
    EXPECT_EQ("DROP TABLE dept ", Statement());
    Command(CBuilderMode::ID_INSERT);
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, w.CurrentMode());
    EXPECT_EQ("AAA\r\nDROP TABLE dept BBB", ScriptText());

    w.SwitchMode(CMainWindow::MODE_BUILDER);
    EXPECT_EQ(PG_TABLE, Wizard()->CurrentPage()) << "same connection: the builder is where it was";
    Command(CBuilderMode::ID_REPLACE);
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, w.CurrentMode());
    EXPECT_EQ("DROP TABLE dept ", ScriptText());
}

TEST_F(CBuilderModeTest, AnotherConnectionOrRestartStartsTheBuilderAgain) {
    TestSandbox::AddSqliteSource("Shop");
    TestSandbox::AddSqliteSource("Archive");
    Execute("Shop", {"create table dept (id integer, title text)"});
    Execute("Archive", {"create table old_dept (id integer)"});
    CMainWindow& w = Open("Shop");
    EXPECT_EQ(0, Page().SeenGeneration());
    w.SwitchMode(CMainWindow::MODE_BUILDER);
    Forward();
    auto* from = WizardPage<CFromPage>(PG_FROM);
    Select(from->Tables(), {"dept"});
    Click(from, ">");

    // Back with the same connection: nothing lost.
    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    w.SwitchMode(CMainWindow::MODE_BUILDER);
    EXPECT_EQ(PG_FROM, Wizard()->CurrentPage());
    EXPECT_EQ(1, from->FromList()->topLevelItemCount());

    // Another data source: the builder starts again on the first page, with the new catalog.
    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    const int before = w.ConnectPage()->ConnectionGeneration();
    ChooseDataSource("Archive");
    w.SwitchMode(CMainWindow::MODE_BUILDER);
    ASSERT_EQ(CMainWindow::MODE_BUILDER, w.CurrentMode());
    EXPECT_NE(before, w.ConnectPage()->ConnectionGeneration());
    EXPECT_EQ(w.ConnectPage()->ConnectionGeneration(), Page().SeenGeneration());
    EXPECT_EQ(PG_TYPE, Wizard()->CurrentPage());
    EXPECT_FALSE(Page().Panel()->BackButton()->isVisible());
    EXPECT_EQ(0, from->FromList()->topLevelItemCount());
    Forward();
    EXPECT_EQ(1, from->Tables()->count());
    EXPECT_EQ(1, from->Tables()->findItems("old_dept", Qt::MatchExactly).size());

    // Restart: the first page again, everything emptied.
    Select(from->Tables(), {"old_dept"});
    Click(from, ">");
    Command(CBuilderMode::ID_RESTART);
    EXPECT_EQ(CMainWindow::MODE_BUILDER, w.CurrentMode());
    EXPECT_EQ(PG_TYPE, Wizard()->CurrentPage());
    EXPECT_EQ(0, from->FromList()->topLevelItemCount());
    EXPECT_FALSE(Page().Panel()->BackButton()->isVisible());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CBuilderModeTest, FailedConnectionEndsOnConnectAndToolbarHasImages) {
    CMainWindow& w = Open("NoSuchSource");
    QStringList tips;
    for (QAction* action : Page().ToolBar()->actions()) {
        if (action->isSeparator())
            continue;
        tips << action->toolTip();
        EXPECT_FALSE(action->icon().isNull()) << action->toolTip().toStdString();
    }
    EXPECT_EQ((QStringList{"Restart the builder", "Append", "Insert", "Replace"}), tips);

    w.Tabs()->setCurrentIndex(CMainWindow::MODE_BUILDER);
    EXPECT_EQ(CMainWindow::MODE_CONNECT, w.CurrentMode());
    EXPECT_FALSE(Page().isVisible());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
}

TEST_F(CBuilderModeTest, PostgresSelectReplacesTheScriptAndRuns) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("Shop");
    const auto server = TestSandbox::Postgres();
    Execute("Shop",
            {"create table customers (customer_id integer primary key, name varchar(40))",
             "create table orders (order_id integer primary key, customer_id integer, ordered date)",
             "insert into customers values (1, 'Anna')", "insert into orders values (7, 1, '2024-05-01')"},
            server->user, server->password);
    CMainWindow& w = Open("Shop");
    w.ScriptPage()->InsertSql("select 1;", 1);
    w.SwitchMode(CMainWindow::MODE_BUILDER);
    ASSERT_EQ(CMainWindow::MODE_BUILDER, w.CurrentMode());
    BuildSelect();
    const CString sql = Wizard()->GetSQL();
    S().setInt("IsPerm", 1);
    Command(CBuilderMode::ID_REPLACE);
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, w.CurrentMode());
    EXPECT_EQ(sql, ScriptText() + "\r\n");
    ASSERT_EQ(1, m_Session->connected) << "a permanent connection stays";
    ASSERT_EQ(0, m_Session->StmtRealloc());
    EXPECT_EQ(0, m_Session->Exec(sql)) << sql << ": " << m_Session->lastError;
    EXPECT_TRUE(messages.Shown().empty()) << (messages.Shown().empty() ? "" : messages.Shown()[0].text);
}
