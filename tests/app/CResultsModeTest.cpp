#include "CResultsMode.h"

#include "CConnectMode.h"
#include "CMainWindow.h"
#include "CScriptFile.h"
#include "CScriptMode.h"
#include "CSettingsDlg.h"

#include "editor/ColorEditWnd.h"
#include "parse/CParse.h"
#include "services/CLog.h"
#include "services/CSysReg.h"
#include "services/Helpers.h"
#include "toolkit/CErrorDlg.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/CWait.h"
#include "toolkit/ControlId.h"

#include "codbc/ODBC.h"
#include "views/CDBCBox.h"
#include "views/DBgrid.h"

#include "DatabaseSources.h"
#include "MessageRecorder.h"
#include "ScriptedSource.h"
#include "TestSandbox.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <memory>
#include <regex>
#include <sstream>

namespace {
const char* const kProfile = "Software\\Ostrak\\Varnel";

// What an execution-error dialog showed and the button the test pressed.
struct ErrorSeen {
    CString statement, message;
};
enum Choice { CONTINUE, CONTINUE_QUIET, CANCEL };

CString WithoutCR(CString text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

TEST(CResultsModeTimeText, MillisecondsAreThreeDigitsAcrossASecondBoundary) {
    using S = CResultsMode::Stamp;
    EXPECT_EQ("Execution time: 1.150 sec, reading 0.000 sec",
              CResultsMode::FormatTimeText(S{100, 950}, S{102, 100}, S{102, 100}));
    EXPECT_EQ("Execution time: 0.005 sec, reading 12.999 sec",
              CResultsMode::FormatTimeText(S{7, 0}, S{7, 5}, S{20, 4}));
    EXPECT_EQ("Execution time: 3600.000 sec, reading 0.999 sec",
              CResultsMode::FormatTimeText(S{0, 1}, S{3600, 1}, S{3601, 0}));
    EXPECT_EQ("Execution time: 0.000 sec, reading 0.250 sec",
              CResultsMode::FormatTimeText(S{50, 500}, S{50, 100}, S{50, 350}))
        << "a clock set back counts as no time";
}

// The run on a real database: the main window with its session, the script typed into the editor,
// and the Results mode made current as the user does it.
class CResultsModeRun : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName(kProfile, CSysReg::STORE_MODE);
        reg.Save("Tips", "m_TipOnStartup", 0);
        m_Settings = std::make_unique<CSettingsDlg>();
        m_Settings->Settings().LoadData();
        CMainWindow::SetModalRunner([](QDialog&) { return 1; });
        CErrorDlg::SetRunner([this](CErrorDlg& dialog) {
            errors.push_back({dialog.Statement(), dialog.Message()});
            if (duringError)
                duringError();
            const Choice choice = choices.empty() ? CONTINUE : choices.front();
            if (!choices.empty())
                choices.pop_front();
            QPushButton* button = choice == CONTINUE         ? dialog.ContinueButton()
                                  : choice == CONTINUE_QUIET ? dialog.QuietButton()
                                                             : dialog.CancelButton();
            QTest::mouseClick(button, Qt::LeftButton);
        });
        CString user, password; // the data source carries the login
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), "Run", user, password);
        S().setStr("DSN", "Run");
        S().setInt("IsPerm", 0);
        m_Session = std::make_unique<ODBC>();
        m_Window = std::make_unique<CMainWindow>(*m_Settings, m_Log);
        m_Window->SetSession(m_Session.get());
        ASSERT_TRUE(m_Window->Create(0, 0));
        m_Window->show();
        // The questions asked once the window is up come before any run.
        while (m_Window->IsStartupTimerActive())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_EQ(0, m_Helper.Connect("Run", "", "")) << m_Helper.lastError;
        Sql("create table t (n integer)");
    }
    void TearDown() override {
        if (HasFailure()) {
            for (const ErrorSeen& e : errors)
                std::cerr << "error dialog: [" << e.statement << "] " << e.message << "\n";
            for (const MessageRequest& m : messages.Shown())
                std::cerr << "message: " << m.caption << ": " << m.text << "\n";
        }
        m_Window.reset();
        m_Session.reset();
        m_Helper.Disconnect();
        CMainWindow::SetModalRunner(nullptr);
        CErrorDlg::SetRunner(nullptr);
    }
    _Settings& S() { return m_Settings->Settings(); }
    // A data source registered after the window came up, chosen on the Connect page as a user would.
    void UseDataSource(const CString& name) {
        CDBCBox* box = m_Window->ConnectPage()->DataSourceBox();
        box->FillDSN(DS_USER, name);
        ASSERT_EQ(name, box->GetCurDSN());
        emit box->activated(box->currentIndex());
    }
    bool Postgres() const { return GetParam() == Backend::Postgres; }
    bool SQLite() const { return GetParam() == Backend::SQLite; }

    // A statement on a session of the test's own.
    void Sql(const CString& sql) {
        ASSERT_EQ(0, m_Helper.StmtRealloc());
        ASSERT_EQ(0, m_Helper.Exec(sql)) << sql << ": " << m_Helper.lastError;
    }
    CString Value(const CString& sql) {
        CString value;
        long indicator = 0;
        if (m_Helper.StmtRealloc() != 0 || m_Helper.Exec(sql) != 0 || m_Helper.Fetch() != 0)
            return "<" + CString(m_Helper.lastError) + ">";
        m_Helper.GetData(0, value, &indicator);
        m_Helper.StmtRealloc(); // SQLite keeps the table locked while a statement reads it
        return value;
    }
    CString Rows() { return Value("select count(*) from t"); }

    void SetScript(const CString& text) { m_Window->ScriptPage()->Editor()->LoadText(text.c_str()); }
    // Alt+R, as the user switches to the Results mode; returns the mode that is current afterwards.
    int Run() {
        QTest::keyClick(m_Window->ScriptPage()->Editor(), Qt::Key_R, Qt::AltModifier);
        return m_Window->CurrentMode();
    }
    void BackToScript() {
        m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
        ASSERT_EQ(CMainWindow::MODE_SCRIPT, m_Window->CurrentMode());
    }
    CResultsMode& Page() { return *m_Window->ResultsPage(); }
    DBgrid& Grid() { return *Page().Grid(); }
    CStringArray History() {
        CStringArray entries;
        CHistCBox* box = m_Window->ScriptPage()->HistoryBox();
        for (int i = 0; i < box->count(); ++i)
            entries.push_back(box->FullText(i));
        return entries;
    }
    CString Current() { return m_Window->ScriptPage()->HistoryBox()->currentText().toStdString(); }
    // The grid's data cell (from 1) as text.
    CString Cell(int row, int col) { return Grid().Table().GetItemText(row, col); }
    int DataRows() { return Grid().Table().GetRowCount() - Grid().Table().GetFixedRowCount(); }

    MessageRecorder messages;
    std::vector<ErrorSeen> errors;
    std::deque<Choice> choices;
    std::function<void()> duringError;
    CLog m_Log;
    std::unique_ptr<CSettingsDlg> m_Settings;
    std::unique_ptr<ODBC> m_Session;
    std::unique_ptr<CMainWindow> m_Window;
    ODBC m_Helper;
};
} // namespace

TEST_P(CResultsModeRun, ASelectFillsTheGridAndTheHistory) {
    Sql("insert into t values (7)");
    SetScript("select n from t");
    const CString before = m_Window->ScriptPage()->ScriptText();
    EXPECT_EQ("Time", Page().TimeLine()->text().toStdString());
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_TRUE(Page().isVisible());
    EXPECT_TRUE(messages.Shown().empty()) << "one statement: no question";
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(1, DataRows());
    EXPECT_EQ("n", Cell(0, 1));
    EXPECT_EQ("7", Cell(1, 1));
    EXPECT_EQ((CStringArray{"select n from t<CR/LF>"}), History());
    EXPECT_EQ(nullptr, Page().Wait()) << "the progress window is gone";
    EXPECT_FALSE(Page().IsRunning());
    EXPECT_TRUE(Page().ToolBar()->isEnabled());
    EXPECT_EQ(0, m_Session->connected) << "not permanent: disconnected after the run";
    EXPECT_EQ(before, m_Window->ScriptPage()->ScriptText());
}

// A NUL read from a script file (shown as its symbol) would end the statement for the driver: the run
// refuses the script, naming the line, and executes nothing.
TEST_P(CResultsModeRun, AScriptHoldingANulIsRefusedWithItsLine) {
    SetScript(CString("insert into t values (1)\r\ninsert into t values (2)") + CScriptFile::kNulSymbol +
              " junk");
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("NUL character on line 2"))
        << messages.Shown()[0].text;
    EXPECT_EQ("0", Rows());
}

TEST_P(CResultsModeRun, TheToolbarSortsCopiesAndSelectsInTheGrid) {
    CStringArray tips;
    for (QAction* action : Page().ToolBar()->actions())
        tips.push_back(action->isSeparator() ? "|" : action->toolTip().toStdString());
    EXPECT_EQ((CStringArray{"Copy selected", "Select all", "|", "Export: text", "Export: SQL", "Export: XML",
                            "Export: HTML", "Export: Microsoft Excel", "|", "Sort ASC", "Sort DESC", "Print",
                            "|", "Keep every result of a run"}),
              tips);

    Sql("insert into t values (2)");
    Sql("insert into t values (1)");
    Sql("insert into t values (3)");
    SetScript("select n from t");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    Grid().SetSelectedRange(CCellRange(1, 1, 1, 1));
    EXPECT_TRUE(Page().OnCommand(CResultsMode::ID_SORT_ASC));
    EXPECT_EQ("1", Cell(1, 1));
    EXPECT_EQ("3", Cell(3, 1));
    Grid().SetSelectedRange(CCellRange(2, 1, 2, 1));
    EXPECT_TRUE(Page().OnCommand(CResultsMode::ID_SORT_DESC));
    EXPECT_EQ("3", Cell(1, 1));
    EXPECT_EQ("1", Cell(3, 1));
    EXPECT_TRUE(Page().OnCommand(CResultsMode::ID_SELECT_ALL));
    EXPECT_TRUE(Page().OnCommand(CResultsMode::ID_COPY));
    CString copied = WithoutCR(QGuiApplication::clipboard()->text().toStdString());
    copied.erase(std::remove(copied.begin(), copied.end(), '\t'), copied.end());
    EXPECT_EQ(0u, copied.find("3\n2\n1")) << copied;
    EXPECT_FALSE(Page().OnCommand(1062)) << "not a grid command";
}

TEST_P(CResultsModeRun, AnUnchangedScriptIsNotRunAgainButAnAbandonedOneIs) {
    SetScript("insert into t values (1)");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ("1", Rows());
    const CString time = Page().TimeLine()->text().toStdString();
    EXPECT_NE(0u, CResultsMode::LastRunChecksum());
    BackToScript();
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ("1", Rows()) << "the kept result is shown, nothing executed";
    EXPECT_EQ(time, Page().TimeLine()->text().toStdString()) << "no new times";
    EXPECT_EQ(1u, History().size());

    // An edited script runs; a failing last statement abandons it and forgets the checksum.
    BackToScript();
    SetScript("insert into t values (2)\r\nselect * from nosuch");
    messages.QueueAnswer(IDYES);
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    EXPECT_EQ("2", Rows());
    EXPECT_EQ(0u, CResultsMode::LastRunChecksum());
    EXPECT_EQ(0, DataRows()) << "an abandoned run leaves an empty grid";
    messages.QueueAnswer(IDYES);
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    EXPECT_EQ("3", Rows()) << "the same script runs again after an abandoned run";
    EXPECT_EQ(2u, errors.size());

    // An empty script abandons at once.
    SetScript("");
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    EXPECT_EQ(0u, CResultsMode::LastRunChecksum());
}

TEST_P(CResultsModeRun, SeveralStatementsAskWithTheCountAndNoExecutesNothing) {
    SetScript("select 5 as five");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    ASSERT_EQ("5", Cell(1, 1));
    BackToScript();

    SetScript("insert into t values (1)\r\ninsert into t values (2)\r\ninsert into t values (3)");
    messages.QueueAnswer(IDNO);
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Attention!", messages.Shown()[0].caption);
    EXPECT_EQ("Script containts 3 SQL statements.\nYou'll view olny results of last statement.\nContinue ?",
              messages.Shown()[0].text);
    EXPECT_EQ(MB_YESNO, messages.Shown()[0].type & MB_TYPEMASK);
    EXPECT_EQ("0", Rows()) << "nothing executed";
    EXPECT_EQ("5", Cell(1, 1)) << "the grid keeps its content";
    EXPECT_EQ(1u, History().size());

    messages.QueueAnswer(IDYES);
    EXPECT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ("3", Rows());
    // Each text runs up to the start of the next statement; the line breaks travel with them.
    EXPECT_EQ((CStringArray{"<CR/LF>insert into t values (3)<CR/LF>", "<CR/LF>insert into t values (2)",
                            "insert into t values (1)", "select 5 as five<CR/LF>"}),
              History());
    EXPECT_EQ("<CR/LF>insert into t values (3)<CR/LF>", Current());
}

TEST_P(CResultsModeRun, NoParseSendsTheWholeScriptAsOneStatement) {
    S().setInt("NoParse", 1);
    S().setInt("Remove", 1);
    // The driver gets one text: the first terminator outside quotes is blanked, and the result is
    // a failure of the whole text, shown as it was executed.
    SetScript("select 'x;y' as v\r\nfrom nosuch; select 2;");
    choices = {CANCEL};
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    EXPECT_TRUE(messages.Shown().empty()) << "no question without parsing";
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("select 'x;y' as v\nfrom nosuch  select 2;\n", WithoutCR(errors[0].statement));
    EXPECT_TRUE(History().empty());

    S().setInt("Remove", 0);
    SetScript("select n\r\nfrom t");
    Sql("insert into t values (4)");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ("4", Cell(1, 1));
    EXPECT_EQ((CStringArray{"select n<CR/LF>from t<CR/LF>"}), History());
}

TEST_P(CResultsModeRun, SemicolonSeparatorRunsEachStatementAndRecordsItWithoutItsTerminator) {
    S().setInt("Separator", 1);
    S().setInt("Remove", 1); // nothing left to blank: a quoted ";" stays
    SetScript("select 1;\r\ninsert into t values (7); -- seven\r\nselect n, 'a;b' from t where n = 7;\r\n");
    messages.QueueAnswer(IDYES);
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("containts 3 SQL")) << messages.Shown()[0].text;
    EXPECT_EQ("7", Cell(1, 1));
    EXPECT_EQ("a;b", Cell(1, 2));
    EXPECT_EQ((CStringArray{"select n, 'a;b' from t where n = 7", "insert into t values (7)", "select 1"}),
              History());
}

TEST_P(CResultsModeRun, RemoveBlanksTheTerminatorOutsideQuotesAndTheHistoryKeepsIt) {
    S().setInt("Remove", 1);
    Sql("insert into t values (1)");
    SetScript("select 'a;b' as v from t;");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ("a;b", Cell(1, 1));
    EXPECT_EQ((CStringArray{"select 'a;b' as v from t;<CR/LF>"}), History());

    BackToScript();
    SetScript("select 'a;b' as v from nosuch;");
    choices = {CONTINUE};
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("select 'a;b' as v from nosuch \n", WithoutCR(errors[0].statement))
        << "same length, the quoted one stays";
}

TEST_P(CResultsModeRun, TerminatedStatementsRunWithoutRemove) {
    SetScript("insert into t values (1);\r\ninsert into t values (2);\r\nselect count(*) as c from t;");
    messages.QueueAnswer(IDYES);
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_TRUE(errors.empty()) << "the terminator the cut leaves before a statement is not sent";
    EXPECT_EQ("2", Cell(1, 1));
    EXPECT_EQ((CStringArray{";<CR/LF>select count(*) as c from t;<CR/LF>", ";<CR/LF>insert into t values (2)",
                            "insert into t values (1)"}),
              History())
        << "the history keeps the texts as cut";
}

TEST_P(CResultsModeRun, AutocommitIsSwitchedOnWhereTheDriverHasTransactions) {
    if (!SQLite())
        GTEST_SKIP() << "the scripted driver shows what is set; it runs the same on every backend";
    // The scripted driver records the options it is given among its statements.
    auto optionsOfARun = [&](const CString& name, const CString& capable) {
        AddScriptedSource(name, {{"TXN_CAPABLE", capable}, {"Database", TestSandbox::Directory() + "/x.db"}});
        UseDataSource(name);
        BackToScript();
        SetScript("select '" + name + "' as v");
        EXPECT_EQ(CMainWindow::MODE_RESULTS, Run());
        ODBC reader;
        EXPECT_EQ(0, reader.Connect(name, "", "")) << reader.lastError;
        return DriverReport(reader, "statements");
    };
    EXPECT_EQ((CStringArray{"option 102 1", "select 'Transactional' as v\r\n"}),
              optionsOfARun("Transactional", "2"));
    EXPECT_EQ((CStringArray{"select 'Plain' as v\r\n"}), optionsOfARun("Plain", "0"));
}

TEST_P(CResultsModeRun, AFailingMiddleStatementWithContinueShowsTheLastResult) {
    SetScript("insert into t values (1)\r\ninsert into nosuch values (2)\r\nselect count(*) as c from t");
    messages.QueueAnswer(IDYES);
    choices = {CONTINUE};
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("\ninsert into nosuch values (2)", WithoutCR(errors[0].statement));
    EXPECT_NE(CString::npos, errors[0].message.find("nosuch")) << errors[0].message;
    EXPECT_EQ("1", Cell(1, 1));
    EXPECT_EQ(3u, History().size()) << "every statement enters the history";
    EXPECT_EQ("<CR/LF>select count(*) as c from t<CR/LF>", Current());
}

TEST_P(CResultsModeRun, KeepEveryResultGivesATabPerResultAndOffRunsAsBefore) {
    Sql("insert into t values (5)");
    Sql("insert into t values (6)");
    const CString script =
        "select n from t order by n\r\ninsert into t values (7)\r\nselect count(*) as c from t";
    // Off (the default): only the last result, no tabs.
    SetScript(script);
    messages.QueueAnswer(IDYES);
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_FALSE(Page().ResultTabs()->isVisible());
    EXPECT_EQ(0, Page().ResultTabs()->count());
    EXPECT_EQ("3", Cell(1, 1));
    BackToScript();

    // On, through the toolbar's toggle, with a limit that cuts the first result but never the last.
    QAction* keep = nullptr;
    for (QAction* action : Page().ToolBar()->actions())
        if (action->data().toUInt() == CResultsMode::ID_KEEP_RESULTS)
            keep = action;
    ASSERT_NE(nullptr, keep);
    keep->trigger();
    EXPECT_EQ(1, S().getInt("KeepResults"));
    S().setInt("KeepResultsLimit", 2);
    SetScript(script + " where n > 0");
    messages.QueueAnswer(IDYES);
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    QTabBar* tabs = Page().ResultTabs();
    ASSERT_EQ(2, tabs->count()) << "the insert adds no tab";
    EXPECT_TRUE(tabs->isVisible());
    EXPECT_EQ("1: select n from t order by n (2 rows, cut)", tabs->tabText(0).toStdString());
    EXPECT_EQ("3: select count(*) as c from t where n > 0 (1 row)", tabs->tabText(1).toStdString());
    EXPECT_EQ(1, tabs->currentIndex()) << "the last result is shown first";
    EXPECT_EQ("4", Cell(1, 1));

    tabs->setCurrentIndex(0);
    ASSERT_EQ(2, DataRows());
    EXPECT_EQ("5", Cell(1, 1));
    EXPECT_EQ("6", Cell(2, 1));
    // Sorting acts on the shown result and stays with it.
    Grid().SetSelectedRange(CCellRange(1, 1, 1, 1));
    EXPECT_TRUE(Page().OnCommand(CResultsMode::ID_SORT_DESC));
    EXPECT_EQ("6", Cell(1, 1));
    tabs->setCurrentIndex(1);
    EXPECT_EQ("4", Cell(1, 1));
    tabs->setCurrentIndex(0);
    EXPECT_EQ("6", Cell(1, 1));
    EXPECT_TRUE(errors.empty());
}

TEST_P(CResultsModeRun, CancelAtAFailureStopsTheRun) {
    SetScript("insert into t values (1)\r\ninsert into nosuch values (2)\r\ninsert into t values (3)");
    messages.QueueAnswer(IDYES);
    choices = {CANCEL};
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    EXPECT_EQ(1u, errors.size());
    EXPECT_EQ("1", Rows()) << "the third statement did not run";
    EXPECT_EQ(0u, CResultsMode::LastRunChecksum());
    EXPECT_TRUE(History().empty());
    EXPECT_EQ(0, m_Session->connected);
    EXPECT_FALSE(Page().IsRunning());
}

TEST_P(CResultsModeRun, ContinueWithoutMessagesHoldsForThisRunOnly) {
    const CString script = "insert into nosuch values (1)\r\ninsert into nosuch values (2)\r\n"
                           "insert into t values (3)\r\nselect n from t";
    SetScript(script);
    messages.QueueAnswer(IDYES);
    choices = {CONTINUE_QUIET};
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ(1u, errors.size()) << "the second failure shows no dialog";
    EXPECT_EQ("3", Cell(1, 1));
    EXPECT_EQ(4u, History().size());

    BackToScript();
    SetScript(script + " ");
    messages.QueueAnswer(IDYES);
    choices = {CONTINUE, CONTINUE};
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ(3u, errors.size()) << "the next run shows every failure again";
    EXPECT_EQ("\ninsert into nosuch values (2)", WithoutCR(errors[2].statement));
}

TEST_P(CResultsModeRun, APermanentConnectionStaysOtherwiseEachRunConnectsAndDisconnects) {
    SetScript("select 1 as one");
    ASSERT_EQ(0, m_Session->connected);
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ("1", Cell(1, 1));
    EXPECT_EQ(0, m_Session->connected);

    S().setInt("IsPerm", 1);
    ASSERT_EQ(0, m_Session->Connect("Run", "", "")) << m_Session->lastError;
    BackToScript();
    SetScript("select 2 as two");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ("2", Cell(1, 1));
    EXPECT_EQ(1, m_Session->connected) << "the permanent connection stays";
    BackToScript();
    SetScript("select * from nosuch");
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    EXPECT_EQ(1, m_Session->connected) << "an abandoned run keeps it too";
}

TEST_P(CResultsModeRun, TheTimeLineIsEmptyWithoutCountTimeAndOtherwiseGivesBothTimes) {
    S().setInt("CountTime", 0);
    SetScript("select 1 as one");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_EQ("", Page().TimeLine()->text().toStdString());

    S().setInt("CountTime", 1);
    BackToScript();
    SetScript("select 2 as two");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    const CString line = Page().TimeLine()->text().toStdString();
    EXPECT_TRUE(
        std::regex_match(line, std::regex(R"(Execution time: \d+\.\d{3} sec, reading \d+\.\d{3} sec)")))
        << line;
    EXPECT_EQ(line, Page().TimeText());
}

TEST_P(CResultsModeRun, CancelWhileReadingKeepsTheRowsReadSoFar) {
    if (Postgres())
        Sql("insert into t select generate_series(1, 3000)");
    else if (GetParam() == Backend::MariaDB)
        Sql("insert into t select seq from seq_1_to_3000");
    else
        Sql("insert into t with recursive c(i) as (select 1 union all select i + 1 from c where i < 3000) "
            "select i from c");
    SetScript("select n from t order by n");
    int pumps = 0;
    bool enabled = false;
    Grid().Loader().SetPumpInterval(std::chrono::milliseconds(0));
    Grid().Loader().SetPump([&] {
        if (++pumps == 200 && Page().Wait()) {
            enabled = Page().Wait()->CancelButton()->isEnabled();
            QTest::mouseClick(Page().Wait()->CancelButton(), Qt::LeftButton);
        }
        PumpMessage();
    });
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_TRUE(enabled) << "Cancel is enabled while results are read";
    EXPECT_GT(DataRows(), 0);
    EXPECT_LT(DataRows(), 3000) << "reading stopped early";
    EXPECT_EQ("1", Cell(1, 1));
    EXPECT_EQ((CStringArray{"select n from t order by n<CR/LF>"}), History()) << "the run ended normally";
    EXPECT_NE(0u, CResultsMode::LastRunChecksum());
    EXPECT_EQ(nullptr, Page().Wait());
}

TEST_P(CResultsModeRun, CancelWhileTheFirstRowsAreComputedEndsTheRunWithoutThem) {
    if (!SQLite())
        GTEST_SKIP() << "the scripted driver computes its first rows for as long as it is told";
    const CString file = TestSandbox::Directory() + "/slow.script";
    std::ofstream(file) << "query select total from big\nfirstfetch 30000\ncolumn total 4\nrow 42\n";
    AddScriptedSource("Slow", {{"Script", file}});
    UseDataSource("Slow");
    SetScript("select total from big");
    bool pressed = false, clockRan = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        CWait* wait = Page().Wait();
        if (!wait || pressed || !wait->CancelButton()->isEnabled())
            return;
        clockRan = true;
        pressed = true;
        QTest::mouseClick(wait->CancelButton(), Qt::LeftButton);
    });
    poll.start();
    EXPECT_EQ(CMainWindow::MODE_RESULTS, Run()) << "a cancel while reading ends the run normally";
    poll.stop();
    EXPECT_TRUE(pressed && clockRan) << "the window answered while the rows were awaited";
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(messages.Shown().empty()) << "the user asked for the stop: no message about it";
    EXPECT_EQ(0, DataRows());
    EXPECT_EQ((CStringArray{"select total from big<CR/LF>"}), History());
    EXPECT_FALSE(Page().IsRunning());
}

TEST_P(CResultsModeRun, AFailedFetchShowsTheDriversMessageAndKeepsTheRowsRead) {
    if (!SQLite())
        GTEST_SKIP() << "the scripted driver fails the fetch; the server case is the runner's test";
    AddScriptedSource("Broken", {});
    UseDataSource("Broken");
    for (int countTime : {1, 0}) {
        S().setInt("CountTime", countTime);
        SetScript("failfetch " + std::to_string(5 + countTime));
        ASSERT_EQ(CMainWindow::MODE_RESULTS, Run()) << "the rows read so far are shown";
        EXPECT_EQ(5 + countTime, DataRows());
        EXPECT_EQ("r5", Cell(5, 1));
        ASSERT_EQ(1u, messages.Shown().size());
        EXPECT_EQ("Error!", messages.Shown()[0].caption);
        EXPECT_NE(CString::npos, messages.Shown()[0].text.find("server closed the connection"))
            << messages.Shown()[0].text;
        const CString line = Page().TimeLine()->text().toStdString();
        const CString note =
            "Incomplete result: reading failed after " + std::to_string(5 + countTime) + " rows";
        EXPECT_EQ(countTime ? "Execution time: " : note, line.substr(0, countTime ? 16 : CString::npos))
            << line;
        EXPECT_NE(CString::npos, line.find(note)) << line;
        messages.Clear();
        BackToScript();
    }
}

TEST_P(CResultsModeRun, CancelWhileALongStatementRunsStopsItAndAbandonsTheRun) {
    // The slow statement ends at its closing parenthesis: its text carries no line break.
    CString script = "insert into t values ((select 1 from pg_sleep(30)))\r\ninsert into t values (2)";
    // A cancelled sleep ends without an error on MariaDB: a long count is cancelled instead.
    if (GetParam() == Backend::MariaDB)
        script = "insert into t select count(*) from seq_1_to_2000000000 where seq % 7 = 3\r\n"
                 "insert into t values (2)";
    if (SQLite()) {
        // SQLite has no sleep: the scripted driver answers this statement slowly.
        const CString file = TestSandbox::Directory() + "/slow.script";
        std::ofstream(file) << "query insert into t values (1)\nsleep 30000\n";
        TestSandbox::AddDataSource("Slow", VARNEL_SCRIPTED_DRIVER, {{"Script", file}});
        UseDataSource("Slow");
        script = "insert into t values (1)\r\ninsert into t values (2)";
    }
    messages.QueueAnswer(IDYES);
    SetScript(script);
    std::vector<bool> states;
    bool pressed = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        CWait* wait = Page().Wait();
        if (!wait || pressed)
            return;
        states.push_back(wait->CancelButton()->isEnabled());
        if (states.back()) {
            pressed = true;
            QTest::mouseClick(wait->CancelButton(), Qt::LeftButton);
        }
    });
    poll.start();
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    poll.stop();
    ASSERT_TRUE(pressed);
    ASSERT_GE(states.size(), 2u);
    EXPECT_FALSE(states.front()) << "Cancel waits until the statement has run a second";
    EXPECT_TRUE(errors.empty()) << "a cancelled statement shows no error dialog";
    EXPECT_EQ(1u, messages.Shown().size()) << "only the question about two statements";
    const CString expected =
        ForBackend<CString>(GetParam(), "Operation canceled", "canceling statement due to user request",
                            "Query execution was interrupted");
    EXPECT_NE(CString::npos, CString(m_Session->lastError).find(expected)) << m_Session->lastError;
    EXPECT_EQ(0u, CResultsMode::LastRunChecksum());
    EXPECT_EQ(script + "\r\n", m_Window->ScriptPage()->ScriptText()) << "the script is untouched";
    EXPECT_TRUE(History().empty());
    EXPECT_FALSE(Page().IsRunning());
    EXPECT_EQ(0, m_Session->connected);
    EXPECT_EQ("0", Rows()) << "neither statement took effect";
}

TEST_P(CResultsModeRun, ModesAndExitAreRefusedWhileARunIsInProgress) {
    Sql("insert into t values (3)");
    SetScript("insert into nosuch values (1)\r\nselect n from t");
    messages.QueueAnswer(IDYES);
    std::vector<int> modes;
    bool running = false, exited = true, closed = true;
    duringError = [&] {
        running = m_Window->IsRunning();
        m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
        modes.push_back(m_Window->CurrentMode());
        m_Window->Tabs()->setCurrentIndex(CMainWindow::MODE_SCHEMA);
        modes.push_back(m_Window->CurrentMode());
        modes.push_back(m_Window->Tabs()->currentIndex());
        QTest::keyClick(m_Window->ResultsPage(), Qt::Key_B, Qt::AltModifier);
        modes.push_back(m_Window->CurrentMode());
        exited = m_Window->OnExit();
        closed = m_Window->close();
        m_Window->ResultsPage()->Activate(); // a nested activation starts no second run
        // The Connect page's actions would disconnect the session the run uses.
        for (int id : {1064 /* Test */, 1186 /* permanent option */, 1063 /* Manage... */})
            if (auto* button = qobject_cast<QAbstractButton*>(FindControl(m_Window->ConnectPage(), id)))
                button->click();
    };
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_TRUE(running);
    EXPECT_EQ((std::vector<int>{3, 3, 3, 3}), modes);
    EXPECT_FALSE(exited);
    EXPECT_FALSE(closed) << "closing the window waits for the run";
    EXPECT_EQ(1u, errors.size());
    EXPECT_EQ("3", Cell(1, 1)) << "the connection stayed up for the last statement";
    EXPECT_EQ(1u, messages.Shown().size()) << "only the question about two statements, no test result";
    EXPECT_EQ(0, S().getInt("IsPerm"));
    EXPECT_TRUE(m_Window->isVisible());
    EXPECT_FALSE(m_Window->IsRunning());
    m_Window->SwitchMode(CMainWindow::MODE_SCHEMA);
    EXPECT_EQ(CMainWindow::MODE_SCHEMA, m_Window->CurrentMode()) << "after the run the modes are free again";
}

TEST_P(CResultsModeRun, TheSoundIsPlayedAtTheEndWhenAsked) {
    const CString bin = TestSandbox::Directory() + "/bin";
    std::filesystem::create_directories(bin);
    const CString log = TestSandbox::Directory() + "/played.log";
    std::ofstream(bin + "/paplay") << "#!/bin/sh\necho \"$*\" >>'" << log << "'\n";
    std::filesystem::permissions(bin + "/paplay", std::filesystem::perms::owner_all);
    const CString wav = TestSandbox::Directory() + "/end.wav";
    std::ofstream(wav) << "RIFF";
    setenv("PATH", bin.c_str(), 1);
    S().setStr("SoundFile", wav);

    SetScript("select 1 as one");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    EXPECT_FALSE(std::filesystem::exists(log)) << "PlaySound is off";
    S().setInt("PlaySound", 1);
    BackToScript();
    SetScript("select 2 as two");
    ASSERT_EQ(CMainWindow::MODE_RESULTS, Run());
    std::ifstream in(log);
    std::stringstream played;
    played << in.rdbuf();
    EXPECT_EQ(wav + "\n", played.str());
}

TEST_P(CResultsModeRun, AFailedConnectionGoesBackToTheScriptMode) {
    TestSandbox::AddDataSource("Refusing", VARNEL_SCRIPTED_DRIVER, {{"Refuse", "28000 Login failed"}});
    UseDataSource("Refusing");
    SetScript("select 1 as one");
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, Run());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("Login failed")) << messages.Shown()[0].text;
    EXPECT_EQ(0u, CResultsMode::LastRunChecksum());
    EXPECT_EQ(nullptr, Page().Wait());
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(, CResultsModeRun, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);

// Ctrl+Enter runs only the statement holding the caret, marks its lines, and leaves the whole-script
// check alone; Ctrl+Shift+Enter runs the selection as a script of its own.
TEST_P(CResultsModeRun, CtrlEnterRunsTheStatementAtTheCaretAndCtrlShiftEnterTheSelection) {
    ColorEditWnd* editor = m_Window->ScriptPage()->Editor();
    SetScript("insert into t values (1);\r\n\r\ninsert into t values (2);\r\n\r\ninsert into t values (3)");
    editor->SetCursorPos(QPoint(3, 2));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(CMainWindow::MODE_RESULTS, m_Window->CurrentMode());
    EXPECT_EQ("1", Rows());
    EXPECT_EQ("1", Value("select count(*) from t where n = 2"));
    EXPECT_EQ(2, editor->MarkedFirst());
    EXPECT_EQ(2, editor->MarkedLast());
    EXPECT_EQ("insert into t values (2)", Current());
    EXPECT_EQ(0u, CResultsMode::LastRunChecksum()) << "a part is not the script";
    EXPECT_TRUE(messages.Shown().empty()) << "one statement: no question";

    // The caret in the blank line below the first statement takes that one.
    BackToScript();
    editor->SetCursorPos(QPoint(0, 1));
    m_Window->OnCommand(CMainWindow::ID_RUN_STATEMENT);
    EXPECT_EQ("1", Value("select count(*) from t where n = 1"));
    EXPECT_EQ("2", Rows());

    // A selection spanning the last two statements and a query runs them all, asking first.
    BackToScript();
    SetScript("insert into t values (8)\r\ninsert into t values (9)\r\nselect n from t order by n");
    editor->SetSelection(0, 1, 26, 2);
    messages.QueueAnswer(IDYES);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(CMainWindow::MODE_RESULTS, m_Window->CurrentMode());
    EXPECT_EQ("0", Value("select count(*) from t where n = 8"));
    EXPECT_EQ(3, DataRows()) << "1, 2 and 9";
    EXPECT_EQ("9", Cell(3, 1));
    EXPECT_EQ(1, editor->MarkedFirst());
    EXPECT_EQ(2, editor->MarkedLast());
    // The next edit takes the mark away.
    BackToScript();
    editor->ReplaceSelText("x");
    EXPECT_EQ(-1, editor->MarkedFirst());
}
