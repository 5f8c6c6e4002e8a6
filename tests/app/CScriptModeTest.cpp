#include "CScriptMode.h"

#include "CSettingsDlg.h"
#include "editor/CColorizer.h"
#include "editor/ColorEditWnd.h"
#include "parse/CParse.h"
#include "services/ProgramDirectory.h"
#include "toolkit/CHistCBox.h"

#include "DialogRecorder.h"
#include "MessageRecorder.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>

namespace {

const char* const kProfile = "Software\\Ostrak\\Varnel";
const char* const kWriteError = "Can't write file!\nTry to use anotner name or path!";

CString ReadAll(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteRaw(const CString& path, const CString& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const CString& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

class ScriptModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName(kProfile, CSysReg::STORE_MODE);
        QDir().mkpath(QString::fromStdString(ProgramDirectory()));
        NewSettings();
    }
    // A fresh settings table read from the store, as at a program start.
    void NewSettings() {
        page.reset();
        owner = std::make_unique<CSettingsDlg>();
        owner->Settings().LoadData();
    }
    CScriptMode& Page() {
        if (!page)
            page = std::make_unique<CScriptMode>(S(), &colorizer);
        return *page;
    }
    _Settings& S() { return owner->Settings(); }
    CString Path(const char* name) const { return dir.path().toStdString() + "/" + name; }
    void SetText(const CString& text) {
        Page().Editor()->LoadText(text.c_str());
        Page().SetModified(true);
    }
    CString FileBoxTop() { return Page().FileBox()->count() ? Page().FileBox()->FullText(0) : "<none>"; }

    QTemporaryDir dir;
    CColorizer colorizer;
    std::unique_ptr<CSettingsDlg> owner;
    std::unique_ptr<CScriptMode> page;
    MessageRecorder messages;
    DialogRecorder dialogs;
};

} // namespace

TEST_F(ScriptModeTest, SaveAsWritesTheChosenFileAndRemembersItsFolder) {
    SetText("select 1\r\nfrom t");
    QSignalSpy modified(&Page(), &CScriptMode::ModifiedChanged);
    QSignalSpy title(&Page(), &CScriptMode::FileChanged);
    dialogs.QueueFile(Path("a.sql"));
    EXPECT_EQ(0, Page().SaveScriptAs());

    ASSERT_EQ(1u, dialogs.FileRequests().size());
    EXPECT_EQ("Save SQL script", dialogs.FileRequests()[0].caption);
    EXPECT_TRUE(dialogs.FileRequests()[0].save);
    EXPECT_EQ("select 1\r\nfrom t\r\n", ReadAll(Path("a.sql")));
    EXPECT_EQ(Path("a.sql"), S().getStr("SqlFile"));
    EXPECT_FALSE(Page().IsModified());
    ASSERT_FALSE(modified.isEmpty());
    EXPECT_FALSE(modified.last().at(0).toBool());
    EXPECT_GE(title.count(), 1);

    // The next dialog starts in that folder, preselecting the script's name; a name typed
    // without extension gets ".sql".
    dialogs.QueueFile(Path("b"));
    EXPECT_EQ(0, Page().SaveScriptAs());
    EXPECT_EQ(Path("a.sql"), dialogs.FileRequests()[1].directory);
    EXPECT_EQ(Path("b.sql"), S().getStr("SqlFile"));
    EXPECT_TRUE(Exists(Path("b.sql")));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ScriptModeTest, SaveAsAsksBeforeReplacingTheFileItsExtensionCompletes) {
    WriteRaw(Path("old.sql"), "precious");
    SetText("new text");
    // No: the existing file stays as it was and the script keeps its name.
    dialogs.QueueFile(Path("old"));
    messages.QueueAnswer(IDNO);
    EXPECT_EQ(1, Page().SaveScriptAs());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ(Path("old.sql") + " already exists.\nDo you want to replace it?", messages.Shown()[0].text);
    EXPECT_EQ("Attention!", messages.Shown()[0].caption);
    EXPECT_EQ("precious", ReadAll(Path("old.sql")));
    EXPECT_EQ("", S().getStr("SqlFile"));
    EXPECT_TRUE(Page().IsModified());

    dialogs.QueueFile(Path("old"));
    messages.QueueAnswer(IDYES);
    EXPECT_EQ(0, Page().SaveScriptAs());
    EXPECT_EQ("new text\r\n", ReadAll(Path("old.sql")));
    EXPECT_EQ("precious", ReadAll(Path("old.bak")));
}

TEST_F(ScriptModeTest, SaveAsCancelledChangesNothing) {
    SetText("x");
    S().setStr("SqlFile", Path("keep.sql"));
    dialogs.QueueFile(std::nullopt);
    EXPECT_EQ(1, Page().SaveScriptAs());
    EXPECT_EQ(Path("keep.sql"), S().getStr("SqlFile"));
    EXPECT_TRUE(Page().IsModified());
    EXPECT_FALSE(Exists(Path("keep.sql")));
}

TEST_F(ScriptModeTest, SaveOnAnUnnamedScriptFailsWithoutWriting) {
    SetText("select 2");
    EXPECT_NE(0, Page().SaveScript());
    EXPECT_TRUE(Page().IsModified());
    EXPECT_TRUE(dialogs.FileRequests().empty());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ScriptModeTest, SavingTwiceKeepsThePreviousVersionAsBackup) {
    const CString path = Path("q.sql");
    WriteRaw(path, "on disk");
    S().setStr("SqlFile", path);
    ASSERT_EQ(0, Page().LoadScriptFile());
    SetText("first edit");
    ASSERT_EQ(0, Page().SaveScript());
    SetText("second edit");
    ASSERT_EQ(0, Page().SaveScript());
    EXPECT_EQ("second edit\r\n", ReadAll(path));
    EXPECT_EQ("first edit\r\n", ReadAll(Path("q.bak")));
    EXPECT_EQ(path, FileBoxTop());
}

TEST_F(ScriptModeTest, FailedWriteShowsTheErrorAndKeepsTheOriginal) {
    const CString path = Path("w.sql");
    WriteRaw(path, "original");
    ASSERT_TRUE(QDir(dir.path()).mkpath("w.bak/inner"));
    S().setStr("SqlFile", path);
    SetText("new text");
    EXPECT_NE(0, Page().SaveScript());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ(kWriteError, messages.Shown()[0].text);
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_ICONERROR), messages.Shown()[0].type & MB_ICONMASK);
    EXPECT_EQ("original", ReadAll(path));
    EXPECT_TRUE(Page().IsModified());
}

TEST_F(ScriptModeTest, QuerySaveAsksOnlyAboutAModifiedNonEmptyScript) {
    EXPECT_TRUE(Page().QuerySave());
    SetText("");
    EXPECT_TRUE(Page().QuerySave());
    EXPECT_TRUE(messages.Shown().empty());

    SetText("select 3");
    messages.QueueAnswer(IDCANCEL);
    EXPECT_FALSE(Page().QuerySave());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Script not saved, save it?", messages.Shown()[0].text);
    EXPECT_EQ("Attention!", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_YESNOCANCEL), messages.Shown()[0].type & MB_TYPEMASK);

    messages.QueueAnswer(IDNO);
    EXPECT_TRUE(Page().QuerySave());
    EXPECT_TRUE(dialogs.FileRequests().empty());
}

TEST_F(ScriptModeTest, QuerySaveYesOnAnUnnamedScriptGoesOnAsSaveAs) {
    SetText("select 4");
    messages.QueueAnswer(IDYES);
    dialogs.QueueFile(Path("yes.sql"));
    EXPECT_TRUE(Page().QuerySave());
    EXPECT_EQ("select 4\r\n", ReadAll(Path("yes.sql")));
    EXPECT_FALSE(Page().IsModified());

    // Cancelling the name stops the caller, so the text is not thrown away.
    SetText("select 5");
    S().setStr("SqlFile", "");
    messages.QueueAnswer(IDYES);
    dialogs.QueueFile(std::nullopt);
    EXPECT_FALSE(Page().QuerySave());
    EXPECT_EQ("select 5\r\n", Page().ScriptText());
}

TEST_F(ScriptModeTest, LoadingAMissingFileShowsTheErrorAndKeepsTheText) {
    SetText("unsaved");
    S().setStr("LastFile", Path("gone.sql"));
    S().setStr("SqlFile", Path("gone.sql"));
    EXPECT_EQ(-1, Page().LoadScriptFile());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Can't open SQL file!", messages.Shown()[0].text);
    EXPECT_EQ(Path("gone.sql"), messages.Shown()[0].caption);
    EXPECT_EQ("", S().getStr("LastFile"));
    EXPECT_EQ("unsaved\r\n", Page().ScriptText());
    EXPECT_TRUE(Page().IsModified());

    // The auto-save file fails silently.
    messages.Clear();
    S().setStr("SqlFile", S().getStr("AUTOname"));
    EXPECT_EQ(-1, Page().LoadScriptFile());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ScriptModeTest, LoadingFillsTheEditorAndTheFileBoxExceptForTheTempFile) {
    WriteRaw(Path("l.sql"), "select a\r\nfrom b");
    S().setStr("SqlFile", Path("l.sql"));
    SetText("old");
    ASSERT_EQ(0, Page().LoadScriptFile());
    EXPECT_EQ("select a\r\nfrom b\r\n", Page().ScriptText());
    EXPECT_FALSE(Page().IsModified());
    EXPECT_EQ(Path("l.sql"), FileBoxTop());

    const CString tmp = S().getStr("TmpFile");
    EXPECT_EQ(ProgramDirectory() + "temp.sql", tmp);
    WriteRaw(tmp, "select tmp");
    S().setStr("SqlFile", tmp);
    ASSERT_EQ(0, Page().LoadScriptFile());
    EXPECT_EQ("select tmp\r\n", Page().ScriptText());
    for (int i = 0; i < Page().FileBox()->count(); ++i)
        EXPECT_NE(tmp, Page().FileBox()->FullText(i));
}

TEST_F(ScriptModeTest, OpenAsksForAFileAndLoadsIt) {
    WriteRaw(Path("o.sql"), "select o");
    dialogs.QueueFile(Path("o.sql"));
    Page().OpenScript();
    ASSERT_EQ(1u, dialogs.FileRequests().size());
    EXPECT_EQ("Open SQL script", dialogs.FileRequests()[0].caption);
    EXPECT_FALSE(dialogs.FileRequests()[0].save);
    EXPECT_EQ("select o\r\n", Page().ScriptText());
    EXPECT_EQ(Path("o.sql"), S().getStr("SqlFile"));

    // A file that cannot be read leaves the script and its name as they were.
    dialogs.QueueFile(Path("vanished.sql"));
    Page().OpenScript();
    EXPECT_EQ(1u, messages.Shown().size());
    EXPECT_EQ(Path("o.sql"), S().getStr("SqlFile"));
    EXPECT_EQ("select o\r\n", Page().ScriptText());
    // The folder is remembered for the next dialog.
    dialogs.QueueFile(std::nullopt);
    Page().OpenScript();
    EXPECT_EQ(dir.path().toStdString(), dialogs.FileRequests()[2].directory);
}

TEST_F(ScriptModeTest, OpenIsStoppedByCancellingTheQuestion) {
    SetText("mine");
    messages.QueueAnswer(IDCANCEL);
    Page().OnCommand(CScriptMode::ID_FILE_OPEN);
    EXPECT_TRUE(dialogs.FileRequests().empty());
    EXPECT_EQ("mine\r\n", Page().ScriptText());
}

TEST_F(ScriptModeTest, NewEmptiesTheScriptAndItsName) {
    WriteRaw(Path("n.sql"), "select n");
    S().setStr("SqlFile", Path("n.sql"));
    ASSERT_EQ(0, Page().LoadScriptFile());
    SetText("changed");
    messages.QueueAnswer(IDNO);
    QSignalSpy title(&Page(), &CScriptMode::FileChanged);
    Page().OnCommand(CScriptMode::ID_NEW_SCRIPT);
    EXPECT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("", Page().ScriptText());
    EXPECT_EQ("", S().getStr("SqlFile"));
    EXPECT_EQ("", FileBoxTop());
    EXPECT_EQ(1, title.count());
    EXPECT_EQ("select n", ReadAll(Path("n.sql")));
}

TEST_F(ScriptModeTest, HistoriesSurviveARestart) {
    WriteRaw(Path("h1.sql"), "1");
    WriteRaw(Path("h2.sql"), "2");
    for (const char* name : {"h1.sql", "h2.sql"}) {
        S().setStr("SqlFile", Path(name));
        ASSERT_EQ(0, Page().LoadScriptFile());
    }
    const CString longStatement = "select " + CString(593, 'c');
    Page().AddToSqlHistory("select *\r\nfrom t\twhere x = 1");
    Page().AddToSqlHistory(longStatement);
    Page().SaveHistories();

    NewSettings();
    CHistCBox* files = Page().FileBox();
    ASSERT_EQ(2, files->count());
    EXPECT_EQ(Path("h2.sql"), files->FullText(0));
    EXPECT_EQ(Path("h1.sql"), files->FullText(1));
    CHistCBox* history = Page().HistoryBox();
    ASSERT_EQ(2, history->count());
    EXPECT_EQ(CParse::Encoded("select *\r\nfrom t\twhere x = 1"), history->FullText(1));
    EXPECT_EQ(512u, history->DisplayText(0).size());

    // Taking a statement replaces a modified script without asking and keeps the file name.
    S().setStr("SqlFile", Path("h2.sql"));
    SetText("unsaved work");
    Page().OnHistorySelected(1);
    // The editor holds tabs as blanks and ends the text with a line break.
    EXPECT_EQ("select *\r\nfrom t  where x = 1\r\n", Page().ScriptText());
    EXPECT_TRUE(Page().IsModified());
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(Path("h2.sql"), S().getStr("SqlFile"));
    Page().OnHistorySelected(0);
    EXPECT_EQ(longStatement + "\r\n", Page().ScriptText());
}

TEST_F(ScriptModeTest, HistoryBoxesKeepAtMostFiftyEntries) {
    for (int i = 0; i < 60; ++i)
        Page().AddToSqlHistory("select " + std::to_string(i));
    EXPECT_EQ(CScriptMode::kHistoryLimit, Page().HistoryBox()->count());
    EXPECT_EQ("select 59", Page().HistoryBox()->FullText(0));
    EXPECT_EQ(50, Page().FileBox()->Limit());
}

TEST_F(ScriptModeTest, SelectingAnotherFileAsksBeforeLoading) {
    WriteRaw(Path("f1.sql"), "one");
    WriteRaw(Path("f2.sql"), "two");
    S().setStr("SqlFile", Path("f1.sql"));
    ASSERT_EQ(0, Page().LoadScriptFile());
    S().setStr("SqlFile", Path("f2.sql"));
    ASSERT_EQ(0, Page().LoadScriptFile());
    CHistCBox* files = Page().FileBox();
    ASSERT_EQ(Path("f1.sql"), files->FullText(1));

    // The entry of the current file: nothing happens.
    Page().OnFileSelected(0);
    EXPECT_TRUE(messages.Shown().empty());

    // Answering No keeps everything.
    SetText("edited two");
    messages.QueueAnswer(IDNO);
    files->setCurrentIndex(1);
    Page().OnFileSelected(1);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Load '" + Path("f1.sql") + "' ?", messages.Shown()[0].text);
    EXPECT_EQ("Attention!", messages.Shown()[0].caption);
    EXPECT_EQ("edited two\r\n", Page().ScriptText());
    EXPECT_EQ(Path("f2.sql"), files->GetCurString());

    // Yes, then No to saving: the other file is loaded.
    messages.Clear();
    messages.QueueAnswer(IDYES);
    messages.QueueAnswer(IDNO);
    files->setCurrentIndex(1);
    Page().OnFileSelected(1);
    ASSERT_EQ(2u, messages.Shown().size());
    EXPECT_EQ("Script not saved, save it?", messages.Shown()[1].text);
    EXPECT_EQ("one\r\n", Page().ScriptText());
    EXPECT_EQ(Path("f1.sql"), S().getStr("SqlFile"));
    EXPECT_FALSE(Page().IsModified());
    EXPECT_EQ("two", ReadAll(Path("f2.sql")));
}

TEST_F(ScriptModeTest, SelectingAVanishedFileKeepsTheCurrentName) {
    WriteRaw(Path("v1.sql"), "v1");
    WriteRaw(Path("v2.sql"), "v2");
    for (const char* name : {"v1.sql", "v2.sql"}) {
        S().setStr("SqlFile", Path(name));
        ASSERT_EQ(0, Page().LoadScriptFile());
    }
    QFile::remove(QString::fromStdString(Path("v1.sql")));
    messages.QueueAnswer(IDYES);
    Page().OnFileSelected(1);
    ASSERT_EQ(2u, messages.Shown().size());
    EXPECT_EQ("Can't open SQL file!", messages.Shown()[1].text);
    EXPECT_EQ(Path("v2.sql"), S().getStr("SqlFile"));
    EXPECT_EQ("v2\r\n", Page().ScriptText());
}

TEST_F(ScriptModeTest, AutoSaveWritesOnlyWhileModified) {
    const CString autoName = S().getStr("AUTOname");
    EXPECT_EQ(ProgramDirectory() + "autosave.tmp", autoName);
    S().setInt("AutoSave", 1);
    S().setInt("AS_Min", 7);
    Page().OnAutoSaveTimer();
    EXPECT_FALSE(Exists(autoName));
    EXPECT_TRUE(Page().IsAutoSaveRunning());
    EXPECT_EQ(7 * 60 * 1000, Page().AutoSaveInterval());

    SetText("select auto");
    Page().OnAutoSaveTimer();
    EXPECT_EQ("select auto\r\n", ReadAll(autoName));
    EXPECT_TRUE(Page().IsModified());
    EXPECT_EQ("", S().getStr("SqlFile"));

    // Switched off: the tick still writes but does not start the timer again.
    Page().StopAutoSave();
    S().setInt("AutoSave", 0);
    SetText("select later");
    Page().OnAutoSaveTimer();
    EXPECT_EQ("select later\r\n", ReadAll(autoName));
    EXPECT_FALSE(Page().IsAutoSaveRunning());
}

// The auto-save copy holds whole scripts: it and its backup are the owner's only, wherever
// "AUTOname" points, as is every copy written into the program's folder; a script the user saves
// elsewhere keeps its mode.
TEST_F(ScriptModeTest, CopiesThatHoldScriptsForTheProgramAreReadableByTheOwnerOnly) {
    const struct {
        CString path;
        bool asAutoSave;
        unsigned expected;
    } cases[] = {
        {Path("elsewhere.tmp"), true, 0600},
        {ProgramDirectory() + "temp.sql", false, 0600},
        {Path("mine.sql"), false, 0644},
    };
    for (const auto& c : cases) {
        WriteRaw(c.path, "older");
        ASSERT_EQ(0, ::chmod(c.path.c_str(), 0644));
        SetText("create user u password 'secret'");
        if (c.asAutoSave) {
            S().setStr("AUTOname", c.path);
            ASSERT_EQ(0, Page().WriteAutoSave());
        } else {
            ASSERT_EQ(0, Page().WriteScriptFile(c.path));
        }
        for (const CString& file : {c.path, c.path.substr(0, c.path.rfind('.')) + ".bak"}) {
            struct stat st {};
            ASSERT_EQ(0, ::stat(file.c_str(), &st)) << file;
            EXPECT_EQ(c.expected, st.st_mode & 07777) << file;
        }
    }
}

TEST_F(ScriptModeTest, AutoSavePeriodOutOfRangeUsesTheDefault) {
    Page().StartAutoSave(0);
    EXPECT_EQ(5 * 60 * 1000, Page().AutoSaveInterval());
    Page().StartAutoSave(61);
    EXPECT_EQ(5 * 60 * 1000, Page().AutoSaveInterval());
    Page().StartAutoSave(1);
    EXPECT_EQ(60 * 1000, Page().AutoSaveInterval());
    S().setInt("AutoSave", 1);
    S().setInt("AS_Min", 0);
    Page().OnAutoSaveTimer();
    EXPECT_EQ(5 * 60 * 1000, Page().AutoSaveInterval());
}

TEST_F(ScriptModeTest, RestoredAutoSaveIsAnUnnamedModifiedScript) {
    QFile::remove(QString::fromStdString(ProgramDirectory() + "autosave.bak"));
    WriteRaw(S().getStr("AUTOname"), "select restored");
    S().setStr("SqlFile", S().getStr("AUTOname"));
    ASSERT_EQ(0, Page().RestoreAutoSave());
    EXPECT_EQ("select restored\r\n", Page().ScriptText());
    EXPECT_EQ("", S().getStr("SqlFile"));
    EXPECT_TRUE(Page().IsModified());
    // Save goes on as Save As instead of writing into the auto-save file.
    EXPECT_NE(0, Page().SaveScript());
    EXPECT_FALSE(Exists(ProgramDirectory() + "autosave.bak"));

    QFile::remove(QString::fromStdString(S().getStr("AUTOname")));
    EXPECT_EQ(-1, Page().RestoreAutoSave());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ScriptModeTest, InsertSqlAtCaretReplacingOrAppending) {
    Page().Editor()->LoadText("select  from t");
    Page().SetModified(false);
    Page().Editor()->SetSelection(0, 0, 7, 0);
    Page().InsertSql("x", 0);
    EXPECT_EQ("select x from t\r\n", Page().ScriptText());
    EXPECT_TRUE(Page().IsModified());

    Page().SetModified(false);
    // The editor's text ends with a line break, so an appended statement starts a new line.
    Page().InsertSql("select 2", 2);
    EXPECT_EQ("select x from t\r\nselect 2\r\n", Page().ScriptText());
    EXPECT_TRUE(Page().IsModified());

    Page().SetModified(false);
    Page().InsertSql("delete from t", 1);
    EXPECT_EQ("delete from t\r\n", Page().ScriptText());
    EXPECT_TRUE(Page().IsModified());
}

TEST_F(ScriptModeTest, TypingMarksTheScriptModifiedAndReportsTheCaret) {
    Page().resize(600, 400);
    Page().Activate();
    Page().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Page()));
    Page().Editor()->setFocus();
    QSignalSpy modified(&Page(), &CScriptMode::ModifiedChanged);
    QSignalSpy caret(&Page(), &CScriptMode::CaretMoved);
    QTest::keyClicks(Page().Editor(), "ab");
    EXPECT_TRUE(Page().IsModified());
    ASSERT_FALSE(modified.isEmpty());
    EXPECT_TRUE(modified.last().at(0).toBool());
    ASSERT_FALSE(caret.isEmpty());
    EXPECT_EQ(2, caret.last().at(0).toInt());
    EXPECT_EQ(0, caret.last().at(1).toInt());
}

TEST_F(ScriptModeTest, EditorTakesItsSettingsAndStoresTheCaretOnEnter) {
    S().setInt("TabSize", 0);
    S().setInt("FontSize", 0);
    S().setInt("CursorX", 3);
    S().setInt("CursorY", 1);
    Page().Editor()->LoadText("abcdef\r\nabcdef");
    // Out-of-range sizes fall back to their defaults.
    EXPECT_EQ(10, Page().Editor()->Font().pointSize());

    NewSettings();
    Page().Editor()->LoadText("abcdef\r\nabcdef\r\nabcdef");
    Page().Editor()->SetCursorPos(QPoint(4, 2));
    QTest::keyClick(static_cast<QWidget*>(Page().HistoryBox()->lineEdit()), Qt::Key_Return);
    NewSettings();
    EXPECT_EQ(4, S().getInt("CursorX"));
    EXPECT_EQ(2, S().getInt("CursorY"));
}

TEST_F(ScriptModeTest, ToolbarSaveOnAnUnnamedScriptAsksForAName) {
    SetText("select t");
    dialogs.QueueFile(Path("t.sql"));
    Page().OnCommand(CScriptMode::ID_FILE_SAVE);
    EXPECT_EQ("select t\r\n", ReadAll(Path("t.sql")));
    // A named script is saved without a dialog.
    SetText("select u");
    Page().OnCommand(CScriptMode::ID_FILE_SAVE);
    EXPECT_EQ("select u\r\n", ReadAll(Path("t.sql")));
    EXPECT_EQ(1u, dialogs.FileRequests().size());
}

TEST_F(ScriptModeTest, ZeroTabSizeUsesTheDefaultAndPrintGoesToThePrintDialog) {
    S().setInt("TabSize", 0);
    Page().Editor()->LoadText("\tx");
    EXPECT_EQ("    x\r\n", Page().ScriptText());

    dialogs.SetPrintAccepted(false);
    Page().OnCommand(CScriptMode::ID_FILE_PRINT);
    EXPECT_EQ(1, dialogs.PrintRequests());
    EXPECT_TRUE(messages.Shown().empty());
}
