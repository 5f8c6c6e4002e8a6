#include "CMainWindow.h"

#include "CAboutDlg.h"
#include "CConnectMode.h"
#include "CHelpWindow.h"
#include "CMacrosDlg.h"
#include "CResultsMode.h"
#include "CScriptMode.h"
#include "CSettingsDlg.h"

#include "editor/ColorEditWnd.h"
#include "services/CLog.h"
#include "services/CSysReg.h"
#include "services/ProgramDirectory.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/CStringTable.h"
#include "toolkit/CTipDlg.h"
#include "toolkit/ControlId.h"
#include "toolkit/MessageBox.h"

#include "codbc/ODBC.h"

#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolBar>
#include <QMenuBar>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace {
const char* const kProfile = "Software\\Ostrak\\Varnel";

CString ReadFile(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const CString& path, const CString& text) {
    std::ofstream(path, std::ios::binary) << text;
}

CString Stored(const char* section, const char* name) {
    CSysReg reg;
    CString value;
    return reg.Read(section, name, &value, "<missing>") == 0 ? value : "<missing>";
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName(kProfile, CSysReg::STORE_MODE);
        // No tip dialog unless a test asks for it.
        reg.Save("Tips", "m_TipOnStartup", 0);
        m_Settings = std::make_unique<CSettingsDlg>();
        m_Settings->Settings().LoadData();
        CMainWindow::SetModalRunner([this](QDialog& dialog) {
            m_Modals.push_back(dialog.windowTitle().toStdString());
            return 1;
        });
        CMainWindow::SetUrlOpener([this](const CString& url) {
            m_Urls.push_back(url);
            return true;
        });
    }
    void TearDown() override {
        m_Window.reset();
        m_Session.reset();
        CMainWindow::SetModalRunner(nullptr);
        CMainWindow::SetUrlOpener(nullptr);
    }
    _Settings& S() { return m_Settings->Settings(); }

    // Builds and shows the window as the program does, without its deferred questions.
    CMainWindow& Open(bool withSession = false) {
        if (withSession) {
            TestSandbox::AddSqliteSource("Shop");
            S().setStr("DSN", "Shop");
            m_Session = std::make_unique<ODBC>();
        }
        m_Window = std::make_unique<CMainWindow>(*m_Settings, m_Log);
        m_Window->SetSession(m_Session.get());
        EXPECT_TRUE(m_Window->Create(0, 0));
        m_Window->show();
        return *m_Window;
    }
    CString Title() const { return m_Window->windowTitle().toStdString(); }
    // The script without the line end the editor keeps after its last line.
    CString ScriptText() const {
        CString text = m_Window->ScriptPage()->ScriptText();
        if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
            text.resize(text.size() - 2);
        return text;
    }
    CString TempFile(const char* name, const CString& text) {
        const CString path = TestSandbox::Directory() + "/" + name;
        WriteFile(path, text);
        return path;
    }

    MessageRecorder messages;
    CLog m_Log;
    std::unique_ptr<CSettingsDlg> m_Settings;
    std::unique_ptr<ODBC> m_Session;
    std::unique_ptr<CMainWindow> m_Window;
    CStringArray m_Modals;
    CStringArray m_Urls;
};

TEST_F(MainWindowTest, FiveTabsWithImagesAndTheScriptModeCurrent) {
    CMainWindow& w = Open();
    QTabBar* tabs = w.Tabs();
    ASSERT_EQ(5, tabs->count());
    const char* texts[] = {"S&cript", "C&onnect", "Sche&ma", "&Results", "&Builder"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[i], tabs->tabText(i).toStdString());
        EXPECT_FALSE(tabs->tabIcon(i).isNull()) << i;
        ASSERT_NE(nullptr, w.Page(i));
        EXPECT_EQ(i == 0, w.Page(i)->isVisible()) << i;
    }
    EXPECT_EQ(0, w.CurrentMode());
    EXPECT_EQ(0, tabs->currentIndex());
    EXPECT_EQ("Varnel [  ] ", Title());
    EXPECT_GE(w.minimumWidth(), 539);
    EXPECT_GE(w.minimumHeight(), 495);
}

TEST_F(MainWindowTest, HotKeysSwitchModesFromInsideAPageAndOtherAltKeysPassOn) {
    CMainWindow& w = Open(true);
    QWidget* editor = w.ScriptPage()->Editor();
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(1, w.CurrentMode());
    EXPECT_EQ(1, w.Tabs()->currentIndex());
    EXPECT_TRUE(w.ConnectPage()->isVisible());
    EXPECT_FALSE(w.ScriptPage()->isVisible());

    // The Schema mode connects on entry and disconnects when left (no permanent connection).
    QTest::keyClick(w.ConnectPage(), Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(2, w.CurrentMode());
    EXPECT_EQ(1, m_Session->connected);
    QTest::keyClick(w.Page(2), Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(4, w.CurrentMode());
    // Entering the Results mode runs the script; an empty one would send the user back.
    w.ScriptPage()->Editor()->LoadText("select 1 as one");
    QTest::keyClick(w.Page(4), Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(3, w.CurrentMode());
    EXPECT_EQ(0, m_Session->connected);
    QTest::keyClick(w.Page(3), Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(3, w.CurrentMode());
    QTest::keyClick(w.Page(3), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(0, w.CurrentMode());
    EXPECT_TRUE(w.ScriptPage()->isVisible());
    for (int i = 1; i < 5; ++i)
        EXPECT_FALSE(w.Page(i)->isVisible()) << i;

    // Alt+R typed into the editor switches; a plain R is text.
    w.ScriptPage()->Editor()->LoadText("");
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_R);
    EXPECT_EQ(0, w.CurrentMode());
    EXPECT_EQ("r", ScriptText());
}

TEST_F(MainWindowTest, FailedConnectionOnEnteringSchemaEndsOnTheConnectTab) {
    S().setStr("DSN", "NoSuchSource");
    m_Session = std::make_unique<ODBC>();
    m_Window = std::make_unique<CMainWindow>(*m_Settings, m_Log);
    m_Window->SetSession(m_Session.get());
    ASSERT_TRUE(m_Window->Create(0, 0));
    m_Window->show();
    m_Window->Tabs()->setCurrentIndex(2); // a click on the tab
    EXPECT_EQ(1, m_Window->CurrentMode());
    EXPECT_EQ(1, m_Window->Tabs()->currentIndex());
    EXPECT_TRUE(m_Window->ConnectPage()->isVisible());
    EXPECT_FALSE(m_Window->Page(2)->isVisible());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    m_Window->SwitchMode(4);
    EXPECT_EQ(1, m_Window->CurrentMode());
}

TEST_F(MainWindowTest, TitleNamesTheFileAndTheConnection) {
    const CString path = TempFile("report.sql", "select 1;\r\n");
    CMainWindow& w = Open(true);
    S().setStr("SqlFile", path);
    ASSERT_EQ(0, w.ScriptPage()->LoadScriptFile());
    EXPECT_EQ("Varnel [ report.sql ] (Shop///)", Title());
    w.OnCommand(CMainWindow::ID_NEW);
    EXPECT_EQ("Varnel [  ] (Shop///)", Title());
}

TEST_F(MainWindowTest, StatusPanesFollowTheEditor) {
    CMainWindow& w = Open();
    EXPECT_EQ("", w.Pane(2)->text().toStdString());
    ColorEditWnd* editor = w.ScriptPage()->Editor();
    editor->setFocus();
    QTest::keyClicks(editor, "ab");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "c");
    QApplication::processEvents();
    EXPECT_EQ("Ln 2, Col 2", w.Pane(1)->text().toStdString());
    EXPECT_EQ("Changed", w.Pane(2)->text().toStdString());
    w.SetCaretPane(4, 9);
    EXPECT_EQ("Ln 10, Col 5", w.Pane(1)->text().toStdString());
    w.SetModifiedMark(false);
    EXPECT_EQ("", w.Pane(2)->text().toStdString());
    w.SetStatusText("Ready");
    EXPECT_EQ("Ready", w.Pane(0)->text().toStdString());
}

TEST_F(MainWindowTest, MenuHoldsEveryCommand) {
    CMainWindow& w = Open();
    std::set<unsigned> ids;
    std::function<void(QMenu*)> collect = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->menu())
                collect(a->menu());
            else if (!a->isSeparator())
                ids.insert(a->data().toUInt());
        }
    };
    CStringArray titles;
    for (QAction* a : w.MenuBar()->actions()) {
        titles.push_back(a->text().toStdString());
        collect(a->menu());
    }
    EXPECT_EQ((CStringArray{"&File", "&Edit", "Results", "Tool&s", "&Help"}), titles);
    const std::set<unsigned> expected = {1062,  57672, 57673, 57674, 32785, 1,     57643, 57644, 57635, 57634,
                                         57637, 57642, 57641, 1028,  1029,  32828, 32829, 32801, 1963,  32796,
                                         32797, 57670, 32804, 32807, 1012,  57671, 32860, 32861};
    EXPECT_EQ(expected, ids);
    EXPECT_EQ("Export: Microsoft Excel", CStringTable::TipText(32827));
    EXPECT_EQ("Copy object's text", CStringTable::TipText(32841));
}

TEST_F(MainWindowTest, EditCommandsReachTheScriptEditor) {
    CMainWindow& w = Open();
    w.InsertIntoScript("select * from t", 1);
    EXPECT_EQ("select * from t", ScriptText());
    EXPECT_TRUE(w.OnCommand(CMainWindow::ID_SELECT_ALL));
    EXPECT_TRUE(w.OnCommand(CMainWindow::ID_CUT));
    EXPECT_EQ("", ScriptText());
    EXPECT_TRUE(w.OnCommand(CMainWindow::ID_UNDO));
    EXPECT_EQ("select * from t", ScriptText());
}

TEST_F(MainWindowTest, LogTruncateAsksFirst) {
    CMainWindow& w = Open();
    m_Log.Write("first line");
    const CString log = ProgramDirectory() + "Error.Log";
    ASSERT_NE(CString::npos, ReadFile(log).find("first line"));
    messages.QueueAnswer(IDNO);
    w.OnCommand(CMainWindow::ID_LOG_TRUNCATE);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Truncate log file.\nAre you sure?", messages.Shown()[0].text);
    EXPECT_EQ("Attention!", messages.Shown()[0].caption);
    EXPECT_NE(CString::npos, ReadFile(log).find("first line"));
    // The log asks once more before it deletes.
    messages.QueueAnswer(IDYES);
    messages.QueueAnswer(IDYES);
    w.OnCommand(CMainWindow::ID_LOG_TRUNCATE);
    EXPECT_EQ(CString::npos, ReadFile(log).find("first line"));
}

TEST_F(MainWindowTest, HelpShowsTheTopicOfTheCurrentMode) {
    CMainWindow& w = Open();
    w.OnCommand(CMainWindow::ID_HELP_INDEX);
    ASSERT_NE(nullptr, w.HelpWindow());
    EXPECT_TRUE(w.HelpWindow()->isVisible());
    EXPECT_EQ("editor.htm", w.HelpWindow()->CurrentTopic());
    EXPECT_FALSE(w.HelpWindow()->Browser()->toPlainText().isEmpty());
    w.SwitchMode(1);
    // The "Help" link in the corner issues the same command.
    auto* link = qobject_cast<QLabel*>(FindControl(&w, CMainWindow::IDC_HELPLINK));
    ASSERT_NE(nullptr, link);
    EXPECT_NE(-1, link->text().indexOf("Help"));
    emit link->linkActivated("help");
    EXPECT_EQ("index.htm", w.HelpWindow()->CurrentTopic());
    w.HelpWindow()->ShowTopic("../../etc/passwd");
    EXPECT_EQ("index.htm", w.HelpWindow()->CurrentTopic());
}

TEST_F(MainWindowTest, AboutTipsAndLinksGoThroughTheirSeams) {
    CMainWindow& w = Open();
    m_Log.Begin("Ostrak Varnel");
    w.OnCommand(CMainWindow::ID_ABOUT);
    w.OnCommand(CMainWindow::ID_TIP);
    ASSERT_EQ(2u, m_Modals.size());
    EXPECT_EQ(CAboutDlg::VersionLine(m_Log), m_Modals[0]);
    EXPECT_EQ(0u, m_Modals[0].find("Ostrak Varnel. Version "));
    EXPECT_NE(CString::npos, m_Modals[0].find("  [")) << m_Modals[0];
    w.OnCommand(CMainWindow::ID_WEB_SITE);
    w.OnCommand(CMainWindow::ID_MAIL);
    ASSERT_EQ(2u, m_Urls.size());
    EXPECT_EQ(0u, m_Urls[0].find("https://"));
    EXPECT_EQ(0u, m_Urls[1].find("mailto:"));
}

TEST_F(MainWindowTest, DroppingTwoFilesOpensTheFirstAndSaysSo) {
    const CString first = TempFile("first.sql", "select 1;");
    const CString second = TempFile("second.sql", "select 2;");
    CMainWindow& w = Open();
    w.OnDropFiles({first, second});
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Varnel support drag-n-drop only one file!\nFirst file accepted!", messages.Shown()[0].text);
    EXPECT_EQ("Attention!", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_ICONINFORMATION), messages.Shown()[0].type & MB_ICONMASK);
    EXPECT_EQ(first, S().getStr("SqlFile"));
    EXPECT_EQ("select 1;", ScriptText());
    EXPECT_EQ("Varnel [ first.sql ] (///)", Title());
}

TEST_F(MainWindowTest, DroppingOnAnUnsavedScriptAsksAndCancelKeepsIt) {
    const CString other = TempFile("other.sql", "select 2;");
    CMainWindow& w = Open();
    w.InsertIntoScript("unsaved work", 1);
    w.ScriptPage()->SetModified(true);
    messages.QueueAnswer(IDCANCEL);
    w.OnDropFiles({other});
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Script not saved, save it?", messages.Shown()[0].text);
    EXPECT_EQ("unsaved work", ScriptText());
    EXPECT_EQ("", S().getStr("SqlFile"));
}

TEST_F(MainWindowTest, ExitAsksAboutChangesAndKeepsTheFileAsLastFile) {
    const CString path = TempFile("kept.sql", "select 1;");
    CMainWindow& w = Open();
    S().setStr("SqlFile", path);
    ASSERT_EQ(0, w.ScriptPage()->LoadScriptFile());
    w.InsertIntoScript(" -- more", 2);
    w.ScriptPage()->SetModified(true);
    messages.QueueAnswer(IDCANCEL);
    w.OnCommand(CMainWindow::ID_EXIT);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ("", S().getStr("LastFile"));
    // The close box arrives at the same exit.
    messages.QueueAnswer(IDNO);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(2u, messages.Shown().size());
    EXPECT_EQ(path, S().getStr("LastFile"));
    EXPECT_EQ("select 1;", ReadFile(path)) << "No leaves the file as it was";
}

TEST_F(MainWindowTest, EscapeDoesNotEndTheWindow) {
    CMainWindow& w = Open();
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(MainWindowTest, StartupOpensTheLastFileButNotTheAutoSaveFile) {
    const CString last = TempFile("last.sql", "select 'last';");
    S().setStr("LastFile", last);
    Open();
    EXPECT_EQ(last, S().getStr("SqlFile"));
    EXPECT_EQ("select 'last';", ScriptText());
    m_Window.reset();

    // A command-line file wins over "LastFile".
    const CString given = TempFile("given.sql", "select 'given';");
    S().setStr("SqlFile", given);
    Open();
    EXPECT_EQ("select 'given';", ScriptText());
    m_Window.reset();

    S().setStr("SqlFile", "");
    S().setStr("LastFile", TestSandbox::Directory() + "/gone.sql");
    Open();
    EXPECT_EQ("", S().getStr("LastFile"));
    EXPECT_EQ("", Stored("Settings", "LastFile")) << "the cleared name is saved at once";
    EXPECT_TRUE(messages.Shown().empty());
    m_Window.reset();

    const CString autoSave = S().getStr("AUTOname");
    WriteFile(autoSave, "select 'crash';");
    S().setStr("LastFile", autoSave);
    Open();
    EXPECT_EQ("", S().getStr("SqlFile"));
    EXPECT_EQ("", ScriptText());
}

TEST_F(MainWindowTest, AutoSaveFileAtStartupIsOfferedOnceAndRestoredUnnamed) {
    const CString last = TempFile("last.sql", "select 'last';");
    S().setStr("LastFile", last);
    const CString autoSave = S().getStr("AUTOname");
    WriteFile(autoSave, "select 'crash';");
    CMainWindow& w = Open();
    messages.QueueAnswer(IDYES);
    w.OnStartupTimer();
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("You have 'Auto Save file'. Restore it\nas current file?", messages.Shown()[0].text);
    EXPECT_EQ("Attention!", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_YESNO), messages.Shown()[0].type & MB_TYPEMASK);
    EXPECT_EQ("select 'crash';", ScriptText());
    EXPECT_EQ("", S().getStr("SqlFile"));
    EXPECT_TRUE(w.ScriptPage()->IsModified());
    EXPECT_FALSE(w.IsStartupTimerActive());
    QTest::qWait(20);
    EXPECT_EQ(1u, messages.Shown().size()) << "asked once";
}

TEST_F(MainWindowTest, DecliningTheAutoSaveFileKeepsItUntilANormalEnd) {
    const CString last = TempFile("last.sql", "select 'last';");
    S().setStr("LastFile", last);
    const CString autoSave = S().getStr("AUTOname");
    WriteFile(autoSave, "select 'crash';");
    CMainWindow& w = Open();
    messages.QueueAnswer(IDNO);
    w.OnStartupTimer();
    EXPECT_EQ("select 'last';", ScriptText());
    EXPECT_TRUE(std::filesystem::exists(autoSave));
    w.OnExit();
    w.Shutdown();
    EXPECT_FALSE(std::filesystem::exists(autoSave));
}

TEST_F(MainWindowTest, DeferredStartupAddsTheThirteenTipsAndShowsThemWhenAsked) {
    CSysReg reg;
    reg.Save("Tips", "m_TipOnStartup", 1);
    reg.Save("Tips", "iNextTipIndex", 12);
    m_Settings->Settings().LoadData();
    CMainWindow& w = Open();
    w.OnStartupTimer();
    ASSERT_TRUE(w.Tips()->isVisible());
    EXPECT_EQ(CMainWindow::TipTexts()[12], w.Tips()->CurrentText());
    EXPECT_EQ(13u, CMainWindow::TipTexts().size());
    EXPECT_EQ(0u, CMainWindow::TipTexts()[1].find("You can switch between program modes"));
    w.Tips()->close();
}

TEST_F(MainWindowTest, PermanentConnectionIsOfferedAtStartupAndNoClearsIt) {
    S().setInt("IsPerm", 1);
    CMainWindow& w = Open(true);
    messages.QueueAnswer(IDNO);
    w.OnStartupTimer();
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Permanent connection", messages.Shown()[0].caption);
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("Data Source = Shop\n"));
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("Restore last connection?"));
    EXPECT_EQ(0, S().getInt("IsPerm"));
    EXPECT_EQ(0, m_Session->connected);
}

TEST_F(MainWindowTest, ShutdownDisconnectsStoresHistoriesAndPlacementAndDeletesTheAutoSaveFile) {
    CMainWindow& w = Open(true);
    w.SwitchMode(2);
    ASSERT_EQ(1, m_Session->connected);
    S().setInt("IsPerm", 1); // so that only the shut-down disconnects
    const CString path = TempFile("kept.sql", "select 1;");
    S().setStr("SqlFile", path);
    w.ScriptPage()->LoadScriptFile();
    w.ScriptPage()->AddToSqlHistory("select\r\n  2");
    w.resize(700, 560);
    w.OnCommand(CMainWindow::ID_HELP_INDEX);
    ASSERT_TRUE(w.HelpWindow()->isVisible());
    const CString autoSave = S().getStr("AUTOname");
    WriteFile(autoSave, "x");
    // Writing the auto-save file twice leaves its backup beside it.
    const CString autoSaveBackup = autoSave.substr(0, autoSave.rfind('.')) + ".bak";
    WriteFile(autoSaveBackup, "y");
    ASSERT_TRUE(w.OnExit());
    w.Shutdown();
    EXPECT_EQ(0, m_Session->connected);
    EXPECT_FALSE(w.HelpWindow()->isVisible());
    EXPECT_FALSE(std::filesystem::exists(autoSave));
    EXPECT_FALSE(std::filesystem::exists(autoSaveBackup));
    EXPECT_FALSE(w.Page(2)->isVisible());
    EXPECT_EQ("700", Stored("MainWindow", "dlgX2").empty()
                         ? ""
                         : std::to_string(std::stoi(Stored("MainWindow", "dlgX2")) -
                                          std::stoi(Stored("MainWindow", "dlgX1"))));
    EXPECT_NE(CString::npos,
              ReadFile(TestSandbox::Directory() + "/config/Ostrak/Varnel.ini").find("[FileHistory]"))
        << ReadFile(TestSandbox::Directory() + "/config/Ostrak/Varnel.ini");
    EXPECT_EQ(path, S().getStr("LastFile"));
    // Placement comes back with the next window.
    m_Window.reset();
    CMainWindow& again = Open();
    EXPECT_EQ(700, again.width());
    EXPECT_EQ(560, again.height());
}

TEST_F(MainWindowTest, TypingAfterTheTipIsClosedReachesTheEditorAndSoAfterEachReturnToScript) {
    CSysReg().Save("Tips", "m_TipOnStartup", 1);
    CMainWindow& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.OnStartupTimer();
    ASSERT_TRUE(w.Tips()->isVisible());
    w.Tips()->accept();
    QApplication::processEvents();
    // A desktop hands the activation back; the offscreen platform has to be told.
    if (!w.isActiveWindow()) {
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    // On a busy machine the focus comes back a few events later.
    QTest::qWaitFor(
        [] { return QApplication::focusWidget() && QApplication::focusWidget()->inherits("ColorEditWnd"); },
        2000);
    ASSERT_NE(nullptr, QApplication::focusWidget());
    QTest::keyClicks(QApplication::focusWidget(), "sel");
    EXPECT_EQ("sel", ScriptText());

    w.SwitchMode(CMainWindow::MODE_CONNECT);
    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    QApplication::processEvents();
    ASSERT_NE(nullptr, QApplication::focusWidget());
    QTest::keyClicks(QApplication::focusWidget(), "ect");
    EXPECT_EQ("select", ScriptText());
}

TEST_F(MainWindowTest, ARunShowsTheResultsTabAndNotThePreviousRunsTime) {
    CMainWindow& w = Open(true);
    S().setInt("CountTime", 1);
    w.InsertIntoScript("select 1", 1);
    w.SwitchMode(CMainWindow::MODE_RESULTS);
    ASSERT_EQ(CMainWindow::MODE_RESULTS, w.CurrentMode());
    ASSERT_FALSE(w.ResultsPage()->TimeLine()->text().isEmpty());

    // Two statements: the run asks before it goes on, and that is where it is looked at.
    w.SwitchMode(CMainWindow::MODE_SCRIPT);
    w.InsertIntoScript("create table t (a integer)\r\ninsert into t values (1)", 1);
    int tabDuringRun = -1;
    QString timeDuringRun = "<not asked>";
    const MessageHandler previous = SetMessageHandler([&](const MessageRequest&) {
        tabDuringRun = w.Tabs()->currentIndex();
        timeDuringRun = w.ResultsPage()->TimeLine()->text();
        return IDNO;
    });
    w.SwitchMode(CMainWindow::MODE_RESULTS);
    SetMessageHandler(previous);
    EXPECT_EQ(CMainWindow::MODE_RESULTS, tabDuringRun);
    EXPECT_EQ("", timeDuringRun.toStdString());
    // Declined: back in the Script mode, and the tab says so.
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, w.CurrentMode());
    EXPECT_EQ(CMainWindow::MODE_SCRIPT, w.Tabs()->currentIndex());
}

TEST_F(MainWindowTest, MacrosSavedFromTheToolsMenuWorkAtOnce) {
    CMainWindow& w = Open();
    CMainWindow::SetModalRunner([](QDialog& dialog) {
        auto* text = qobject_cast<QLineEdit*>(FindControl(&dialog, 1169)); // the text of Ctrl-5
        if (!text)
            return 0;
        text->setText("count(*) ");
        static_cast<CMacrosDlg&>(dialog).OnSave();
        return dialog.result();
    });
    w.OnCommand(CMainWindow::ID_MACROS);
    EXPECT_EQ("count(*) ", S().getStr("UM5"));
    QTest::keyClick(w.ScriptPage()->Editor(), Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ("count(*) ", ScriptText());
}

TEST_F(MainWindowTest, DialogsOpenCentredOnTheWindowAndAPlacementOffEveryScreenComesBack) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    CMainWindow& w = Open();
    w.setGeometry(screen.left() + 20, screen.top() + 10, 560, 500);
    QApplication::processEvents();
    // Centred on the window, as far as the screen lets it be.
    auto centredOnWindow = [&](const QWidget& dialog, const char* name) {
        const QRect frame = dialog.frameGeometry();
        QPoint expected = w.frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2);
        expected.setX(std::clamp(expected.x(), screen.left(),
                                 std::max(screen.left(), screen.right() + 1 - frame.width())));
        expected.setY(std::clamp(expected.y(), screen.top(),
                                 std::max(screen.top(), screen.bottom() + 1 - frame.height())));
        EXPECT_LE((frame.topLeft() - expected).manhattanLength(), 2)
            << name << " at " << frame.x() << "," << frame.y() << ", expected " << expected.x() << ","
            << expected.y();
    };
    // The Settings dialog, which belongs to no window, and the macros, opened without placements.
    ASSERT_TRUE(m_Settings->Open());
    m_Settings->show();
    QApplication::processEvents();
    centredOnWindow(*m_Settings, "Settings");
    m_Settings->hide();
    CMainWindow::SetModalRunner([&](QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        centredOnWindow(dialog, "Macro definitions");
        dialog.hide();
        return 0;
    });
    w.OnCommand(CMainWindow::ID_MACROS);
    w.Save(CMainWindow::kPlacement);
    m_Window.reset();

    // The window left at 5000,5000 by a larger screen opens where it can be reached.
    CSysReg reg;
    reg.Save("MainWindow", "dlgX1", 5000);
    reg.Save("MainWindow", "dlgY1", 5000);
    reg.Save("MainWindow", "dlgX2", 5560);
    reg.Save("MainWindow", "dlgY2", 5500);
    CMainWindow& again = Open();
    QApplication::processEvents();
    EXPECT_TRUE(screen.contains(again.frameGeometry().topLeft()))
        << again.x() << "," << again.y() << " on " << screen.width() << "x" << screen.height();
    EXPECT_EQ(560, again.width());
}

TEST_F(MainWindowTest, EveryToolbarButtonHasAnImageAndATip) {
    CMainWindow& w = Open(true);
    int buttons = 0;
    for (QToolBar* bar : w.findChildren<QToolBar*>()) {
        for (QAction* action : bar->actions()) {
            if (action->isSeparator())
                continue;
            ++buttons;
            EXPECT_FALSE(action->icon().pixmap(bar->iconSize()).isNull()) << action->toolTip().toStdString();
            EXPECT_FALSE(action->toolTip().isEmpty()) << action->text().toStdString();
        }
    }
    // Script 14, Results 11, Schema 3, Builder 4.
    EXPECT_EQ(32, buttons);
}

TEST_F(MainWindowTest, MinimisingWithoutATrayBehavesNormally) {
    S().setInt("OnTray", 1);
    CMainWindow& w = Open();
    w.showMinimized();
    QTest::qWait(10);
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this desktop has a tray";
    EXPECT_EQ(nullptr, w.TrayIcon());
    EXPECT_TRUE(w.isMinimized());
    w.showNormal();
    EXPECT_FALSE(w.isMinimized());
}
} // namespace
