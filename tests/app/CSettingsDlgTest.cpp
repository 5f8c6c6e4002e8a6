#include "CSettingsDlg.h"

#include "services/HtmlHelp.h"
#include "services/ProgramDirectory.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/ControlId.h"

#include "DialogRecorder.h"
#include "MessageRecorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {
const char* const kProfile = "Software\\Ostrak\\Varnel";

CString Stored(const char* name, const char* section = "Settings") {
    CSysReg reg;
    CString v;
    return reg.Read(section, name, &v, "<missing>") == 0 ? v : "<missing>";
}

class SettingsDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName(kProfile, CSysReg::STORE_MODE);
    }
    template <class W = QWidget> W* Ctrl(CSettingsDlg& dlg, int id) {
        auto* w = qobject_cast<W*>(FindControl(&dlg, id));
        EXPECT_NE(nullptr, w) << id;
        return w;
    }
    bool Checked(CSettingsDlg& dlg, int id) { return Ctrl<QCheckBox>(dlg, id)->isChecked(); }
    void ClickSpin(CSettingsDlg& dlg, int id, const char* arrow) {
        auto* b = Ctrl(dlg, id)->findChild<QToolButton*>(arrow);
        ASSERT_NE(nullptr, b);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Over the box itself: a check box takes clicks on its box and its text only.
    void ClickCheck(CSettingsDlg& dlg, int id) {
        auto* box = Ctrl<QCheckBox>(dlg, id);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }
    CString Field(CSettingsDlg& dlg, int id) { return Ctrl<QLineEdit>(dlg, id)->text().toStdString(); }
    QStringList ListTexts(QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    MessageRecorder messages;
};
} // namespace

TEST_F(SettingsDlgTest, RegistersEveryOptionWithItsDefault) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    s.LoadData();
    const std::pair<const char*, int> ints[] = {
        {"AutoSave", 1},        {"AS_Min", 5},        {"Syntax", 1},          {"CountTime", 1},
        {"OnTray", 0},          {"BlobAsText", 0},    {"SavePassword", 0},    {"NoParse", 0},
        {"OemToAnsi", 0},       {"Remove", 0},        {"Separator", 0},       {"PlaySound", 0},
        {"IsPerm", 0},          {"NeedRegister", 1},  {"NullAsNull", 1},      {"ShowAllChars", 0},
        {"TabSize", 4},         {"FontSize", 10},     {"CursorX", 0},         {"CursorY", 0},
        {"KeywordColorR", 0},   {"KeywordColorG", 0}, {"KeywordColorB", 255}, {"CommentColorR", 0},
        {"CommentColorG", 128}, {"CommentColorB", 0}, {"ConstColorR", 255},   {"ConstColorG", 0},
        {"ConstColorB", 0},
    };
    for (const auto& [name, value] : ints)
        EXPECT_EQ(value, s.getInt(name)) << name;
    for (const char* name :
         {"SoundFile", "ProgramPath", "DSN", "Password", "SqlFile", "LastFile", "UM0", "UM9"})
        EXPECT_EQ("", s.getStr(name)) << name;
    EXPECT_EQ("Courier New", s.getStr("FontFace"));
    EXPECT_EQ(ProgramDirectory() + "temp.sql", s.getStr("TmpFile"));
    EXPECT_EQ(ProgramDirectory() + "autosave.tmp", s.getStr("AUTOname"));
    EXPECT_EQ("Ctrl-O", s.getStr("HK5"));
    EXPECT_EQ("insert into values()", s.getStr("MAC2"));
    EXPECT_EQ("Ctrl-7", s.getStr("UK7"));

    ASSERT_EQ(52u, dlg.Keywords().size());
    EXPECT_EQ("ADD", dlg.Keywords().front());
    EXPECT_EQ("WHERE", dlg.Keywords().back());
    EXPECT_EQ("GO", dlg.Keywords()[27]); // the list is not alphabetical
    // No key was registered twice, nor read under a wrong type.
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(SettingsDlgTest, StorageClassesDecideWhatReachesTheStore) {
    {
        CSettingsDlg dlg;
        _Settings& s = dlg.Settings();
        s.LoadData();
        s.setStr("HK1", "Ctrl-Q");
        s.setStr("MAC1", "select 1 ");
        s.setStr("UK3", "Ctrl-X");
        s.setStr("UM3", "commit");
        s.setStr("Password", "secret");
        s.setInt("TabSize", 7);
        s.SaveData();
    }
    EXPECT_EQ("<missing>", Stored("HK1"));
    EXPECT_EQ("<missing>", Stored("MAC1"));
    EXPECT_EQ("<missing>", Stored("UK3"));
    EXPECT_EQ("commit", Stored("UM3"));
    EXPECT_EQ("7", Stored("TabSize"));
    const CString scrambled = Stored("Password");
    EXPECT_NE("<missing>", scrambled);
    EXPECT_EQ(CString::npos, scrambled.find("secret"));

    CSettingsDlg again;
    again.Settings().LoadData();
    EXPECT_EQ("secret", again.Settings().getStr("Password"));
    EXPECT_EQ("Ctrl-S", again.Settings().getStr("HK1"));
    EXPECT_EQ("commit", again.Settings().getStr("UM3"));
}

TEST_F(SettingsDlgTest, StoredKeywordsAreMergedIntoTheDefaults) {
    CSysReg reg;
    reg.Save("Settings", "keywords.0", 2);
    reg.Save("Settings", "keywords.1", "merge");
    reg.Save("Settings", "keywords.2", "SELECT");
    CSettingsDlg dlg;
    dlg.Settings().LoadData();
    ASSERT_EQ(53u, dlg.Keywords().size());
    EXPECT_EQ("MERGE", dlg.Keywords().back());
}

TEST_F(SettingsDlgTest, ValuesOutsideTheirRangeAreUsedAsDefaults) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    const struct {
        const char* name;
        int (*get)(_Settings&);
        int value, expected;
    } cases[] = {
        {"TabSize", CSettingsDlg::TabSize, 0, 4},          {"TabSize", CSettingsDlg::TabSize, 3, 3},
        {"TabSize", CSettingsDlg::TabSize, 10, 10},        {"TabSize", CSettingsDlg::TabSize, 11, 4},
        {"TabSize", CSettingsDlg::TabSize, -2, 4},         {"FontSize", CSettingsDlg::FontSize, 0, 10},
        {"FontSize", CSettingsDlg::FontSize, 4, 4},        {"FontSize", CSettingsDlg::FontSize, 121, 10},
        {"AS_Min", CSettingsDlg::AutoSaveMinutes, 0, 5},   {"AS_Min", CSettingsDlg::AutoSaveMinutes, 1, 1},
        {"AS_Min", CSettingsDlg::AutoSaveMinutes, 60, 60}, {"AS_Min", CSettingsDlg::AutoSaveMinutes, 61, 5},
    };
    for (const auto& c : cases) {
        s.setInt(c.name, c.value);
        EXPECT_EQ(c.expected, c.get(s)) << c.name << " " << c.value;
    }
}

TEST_F(SettingsDlgTest, EditorFontFallsBackToTheSystemFixedFont) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    s.setStr("FontFace", "No Such Font Family 42");
    s.setInt("FontSize", 0);
    QFont font = CSettingsDlg::EditorFont(s);
    EXPECT_EQ(QFontDatabase::systemFont(QFontDatabase::FixedFont).family(), font.family());
    EXPECT_EQ(10, font.pointSize());

    QString fixed;
    for (const QString& f : QFontDatabase::families()) {
        if (QFontDatabase::isFixedPitch(f) && fixed.isEmpty())
            fixed = f;
    }
    if (fixed.isEmpty())
        GTEST_SKIP() << "no fixed-pitch family installed";
    s.setStr("FontFace", fixed.toStdString());
    s.setInt("FontSize", 14);
    font = CSettingsDlg::EditorFont(s);
    EXPECT_EQ(fixed, font.family());
    EXPECT_EQ(14, font.pointSize());
}

TEST_F(SettingsDlgTest, ColoursAreKeptWithinTheirComponentRange) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    EXPECT_EQ(0x00FF0000u, CSettingsDlg::Color(s, "Keyword"));
    EXPECT_EQ(0x00008000u, CSettingsDlg::Color(s, "Comment"));
    s.setInt("ConstColorR", 300);
    s.setInt("ConstColorG", -4);
    s.setInt("ConstColorB", 17);
    EXPECT_EQ(0x001100FFu, CSettingsDlg::Color(s, "Const"));
}

TEST_F(SettingsDlgTest, OpeningShowsTheSettingsAndFixedPitchFontsOnly) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    s.LoadData();
    s.setInt("OnTray", 1);
    s.setInt("Syntax", 0);
    s.setInt("OemToAnsi", -1);
    s.setInt("TabSize", 6);
    s.setStr("SoundFile", "/tmp/bell.wav");
    ASSERT_TRUE(dlg.Open());
    EXPECT_EQ(0, s.NotSaved());
    EXPECT_EQ("1", Stored("OnTray"));

    EXPECT_TRUE(Checked(dlg, CSettingsDlg::IDC_ONTRAY));
    EXPECT_FALSE(Checked(dlg, CSettingsDlg::IDC_SYNTAX));
    EXPECT_TRUE(Checked(dlg, CSettingsDlg::IDC_NULLASNULL));
    EXPECT_TRUE(Ctrl<QRadioButton>(dlg, CSettingsDlg::IDC_OEMTOANSI)->isChecked());
    EXPECT_FALSE(Ctrl<QRadioButton>(dlg, CSettingsDlg::IDC_NOCONVERSION)->isChecked());
    EXPECT_EQ("6", Field(dlg, CSettingsDlg::IDC_TABSIZE));
    EXPECT_EQ("10", Field(dlg, CSettingsDlg::IDC_FONTSIZE));
    EXPECT_EQ("5", Field(dlg, CSettingsDlg::IDC_AS_MIN));
    EXPECT_EQ("/tmp/bell.wav", Field(dlg, CSettingsDlg::IDC_SOUNDFILE));

    auto* faces = Ctrl<CHistCBox>(dlg, CSettingsDlg::IDC_FONTFACE);
    QStringList names;
    for (int i = 0; i < faces->count(); ++i)
        names << faces->itemText(i);
    QStringList unique = names;
    EXPECT_EQ(0, unique.removeDuplicates());
    for (const QString& name : names) {
        if (name != "Courier New") {
            EXPECT_TRUE(QFontDatabase::isFixedPitch(name)) << name.toStdString();
        }
    }
    EXPECT_EQ("Courier New", faces->currentText().toStdString());
    if (!QFontDatabase::hasFamily("Courier New")) {
        EXPECT_EQ(0, faces->currentIndex());
    }

    auto* list = Ctrl<QListWidget>(dlg, CSettingsDlg::IDC_KEYWORDS);
    QStringList words = ListTexts(list);
    ASSERT_EQ(52, words.size());
    QStringList sorted = words;
    sorted.sort();
    EXPECT_EQ(sorted, words);

    // Opening again does not add the missing face a second time.
    ASSERT_TRUE(dlg.Open());
    EXPECT_EQ(names.size(), faces->count());
}

TEST_F(SettingsDlgTest, SpinArrowsStepFromTheFieldAndStopAtTheRangeEnds) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    s.setInt("AS_Min", 1);
    s.setInt("TabSize", 10);
    ASSERT_TRUE(dlg.Open());

    ClickSpin(dlg, CSettingsDlg::IDC_AS_MIN_SPIN, "down");
    EXPECT_EQ(1, s.getInt("AS_Min"));
    EXPECT_EQ("1", Field(dlg, CSettingsDlg::IDC_AS_MIN));

    ClickSpin(dlg, CSettingsDlg::IDC_TABSIZE_SPIN, "up");
    EXPECT_EQ(10, s.getInt("TabSize"));
    ClickSpin(dlg, CSettingsDlg::IDC_TABSIZE_SPIN, "down");
    EXPECT_EQ(9, s.getInt("TabSize"));
    EXPECT_EQ("9", Field(dlg, CSettingsDlg::IDC_TABSIZE));

    // The arrows start from what was typed, and a check box changed meanwhile is taken too.
    Ctrl<QLineEdit>(dlg, CSettingsDlg::IDC_FONTSIZE)->setText("30");
    ClickCheck(dlg, CSettingsDlg::IDC_REMOVE);
    ClickSpin(dlg, CSettingsDlg::IDC_FONTSIZE_SPIN, "up");
    EXPECT_EQ(31, s.getInt("FontSize"));
    EXPECT_EQ(1, s.getInt("Remove"));
    EXPECT_TRUE(Checked(dlg, CSettingsDlg::IDC_REMOVE));

    // A typed value beyond the range comes back into it.
    Ctrl<QLineEdit>(dlg, CSettingsDlg::IDC_FONTSIZE)->setText("500");
    ClickSpin(dlg, CSettingsDlg::IDC_FONTSIZE_SPIN, "down");
    EXPECT_EQ(120, s.getInt("FontSize"));
}

TEST_F(SettingsDlgTest, ChoosingASoundFileShowsEveryFieldFromTheSettingsAgain) {
    DialogRecorder dialogs;
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    s.setStr("SoundFile", "/music/old.wav");
    ASSERT_TRUE(dlg.Open());
    ClickCheck(dlg, CSettingsDlg::IDC_PLAYSOUND);
    ASSERT_TRUE(Checked(dlg, CSettingsDlg::IDC_PLAYSOUND));

    dialogs.QueueFile(std::nullopt);
    QTest::mouseClick(Ctrl<QPushButton>(dlg, CSettingsDlg::IDC_SOUNDBROWSE), Qt::LeftButton);
    EXPECT_EQ("/music/old.wav", s.getStr("SoundFile"));
    EXPECT_TRUE(Checked(dlg, CSettingsDlg::IDC_PLAYSOUND));

    dialogs.QueueFile(CString("/music/ding.wav"));
    QTest::mouseClick(Ctrl<QPushButton>(dlg, CSettingsDlg::IDC_SOUNDBROWSE), Qt::LeftButton);
    EXPECT_EQ("/music/ding.wav", s.getStr("SoundFile"));
    EXPECT_EQ("/music/ding.wav", Field(dlg, CSettingsDlg::IDC_SOUNDFILE));
    EXPECT_FALSE(Checked(dlg, CSettingsDlg::IDC_PLAYSOUND));
    EXPECT_EQ(0, s.getInt("PlaySound"));

    ASSERT_EQ(2u, dialogs.FileRequests().size());
    const FileDialogRequest& r = dialogs.FileRequests()[0];
    EXPECT_FALSE(r.save);
    EXPECT_EQ("WAV files (*.wav)", r.filter);
    EXPECT_EQ("/music/old.wav", r.directory);
}

TEST_F(SettingsDlgTest, ColourButtonsStartAtTheCurrentColourAndStoreTheChoice) {
    std::vector<unsigned> initials;
    std::deque<std::optional<unsigned>> answers = {0x00332211u, std::nullopt};
    StdDialogHandler handler;
    handler.color = [&](QWidget*, unsigned initial) {
        initials.push_back(initial);
        auto a = answers.front();
        answers.pop_front();
        return a;
    };
    StdDialogHandler previous = StdDialogs::SetHandler(handler);
    {
        CSettingsDlg dlg;
        _Settings& s = dlg.Settings();
        ASSERT_TRUE(dlg.Open());
        QTest::mouseClick(Ctrl<QPushButton>(dlg, CSettingsDlg::IDC_COMMENTCOLOR), Qt::LeftButton);
        EXPECT_EQ(0x11, s.getInt("CommentColorR"));
        EXPECT_EQ(0x22, s.getInt("CommentColorG"));
        EXPECT_EQ(0x33, s.getInt("CommentColorB"));
        EXPECT_EQ(0, s.getInt("KeywordColorR"));
        QTest::mouseClick(Ctrl<QPushButton>(dlg, CSettingsDlg::IDC_CONSTCOLOR), Qt::LeftButton);
        EXPECT_EQ(255, s.getInt("ConstColorR"));
        ASSERT_EQ(2u, initials.size());
        EXPECT_EQ(0x00008000u, initials[0]);
        EXPECT_EQ(0x000000FFu, initials[1]);
    }
    StdDialogs::SetHandler(previous);
}

TEST_F(SettingsDlgTest, AddingAKeywordUpperCasesItAndRefusesDuplicates) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    ASSERT_TRUE(dlg.Open());
    auto* list = Ctrl<QListWidget>(dlg, CSettingsDlg::IDC_KEYWORDS);

    // Through the "Keyword" dialog, answered while it runs.
    auto answer = [](const char* text) {
        QTimer::singleShot(0, [text] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(nullptr, modal);
            EXPECT_EQ("Keyword", modal->windowTitle().toStdString());
            QTest::keyClicks(qobject_cast<QLineEdit*>(FindControl(modal, 1045)), text);
            QTest::keyClick(modal, Qt::Key_Return);
        });
    };
    answer("select");
    emit Ctrl<QLabel>(dlg, CSettingsDlg::IDC_ADD)->linkActivated("#");
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("SELECT", messages.Shown()[0].text);
    EXPECT_EQ("Already in list!", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_ICONERROR), messages.Shown()[0].type & MB_ICONMASK);
    EXPECT_EQ(52u, dlg.Keywords().size());
    EXPECT_EQ(0, s.NotSaved());

    answer("merge");
    emit Ctrl<QLabel>(dlg, CSettingsDlg::IDC_ADD)->linkActivated("#");
    EXPECT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("MERGE", dlg.Keywords().back());
    EXPECT_EQ(53, list->count());
    EXPECT_EQ(1, s.NotSaved());
    EXPECT_TRUE(ListTexts(list).contains("MERGE"));

    // A blank keyword is not a keyword.
    EXPECT_FALSE(dlg.AddKeyword("  "));
    EXPECT_EQ(53u, dlg.Keywords().size());

    QTest::mouseClick(Ctrl<QPushButton>(dlg, CSettingsDlg::IDC_SAVE), Qt::LeftButton);
    EXPECT_EQ("53", Stored("keywords.0"));
    EXPECT_EQ("MERGE", Stored("keywords.53"));
}

TEST_F(SettingsDlgTest, DeletingAKeywordAsksFirst) {
    CSettingsDlg dlg;
    ASSERT_TRUE(dlg.Open());
    auto* list = Ctrl<QListWidget>(dlg, CSettingsDlg::IDC_KEYWORDS);
    auto* del = Ctrl<QLabel>(dlg, CSettingsDlg::IDC_DELETE);

    emit del->linkActivated("#"); // nothing selected: no question
    EXPECT_TRUE(messages.Shown().empty());

    QList<QListWidgetItem*> found = list->findItems("WHERE", Qt::MatchExactly);
    ASSERT_EQ(1, found.size());
    list->setCurrentItem(found[0]);
    messages.QueueAnswer(IDNO);
    emit del->linkActivated("#");
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("WHERE", messages.Shown()[0].text);
    EXPECT_EQ("Delete keyword?", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), messages.Shown()[0].type);
    EXPECT_EQ(52, list->count());

    messages.QueueAnswer(IDYES);
    emit del->linkActivated("#");
    EXPECT_EQ(51, list->count());
    EXPECT_FALSE(ListTexts(list).contains("WHERE"));
    ASSERT_EQ(51u, dlg.Keywords().size());
    EXPECT_EQ("VIEW", dlg.Keywords().back());
    EXPECT_EQ(1, dlg.Settings().NotSaved());
}

TEST_F(SettingsDlgTest, SaveStoresFieldsFontConversionAndPlacement) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    s.LoadData();
    ASSERT_TRUE(dlg.Open());
    dlg.show();
    ClickCheck(dlg, CSettingsDlg::IDC_COUNTTIME);
    Ctrl<QRadioButton>(dlg, CSettingsDlg::IDC_ANSITOOEM)->setChecked(true);
    Ctrl<QLineEdit>(dlg, CSettingsDlg::IDC_AS_MIN)->setText("12");
    auto* faces = Ctrl<CHistCBox>(dlg, CSettingsDlg::IDC_FONTFACE);
    faces->setCurrentIndex(faces->count() - 1);
    const CString face = faces->currentText().toStdString();
    auto* separator = Ctrl<QComboBox>(dlg, CSettingsDlg::IDC_SEPARATOR);
    EXPECT_EQ("Semicolons and GO lines", separator->itemText(1).toStdString());
    separator->setCurrentIndex(1);

    QTest::mouseClick(Ctrl<QPushButton>(dlg, CSettingsDlg::IDC_SAVE), Qt::LeftButton);
    EXPECT_EQ(QDialog::Accepted, dlg.result());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(0, s.NotSaved());
    EXPECT_EQ("0", Stored("CountTime"));
    EXPECT_EQ("1", Stored("OemToAnsi"));
    EXPECT_EQ("12", Stored("AS_Min"));
    EXPECT_EQ(face, Stored("FontFace"));
    EXPECT_EQ("1", Stored("Separator"));
    EXPECT_NE("<missing>", Stored("dlgY2", "Settings"));

    Ctrl<QRadioButton>(dlg, CSettingsDlg::IDC_OEMTOANSI)->setChecked(true);
    dlg.OnSave();
    EXPECT_EQ("-1", Stored("OemToAnsi"));
}

TEST_F(SettingsDlgTest, CancelAsksAboutUnsavedChanges) {
    CSettingsDlg dlg;
    _Settings& s = dlg.Settings();
    s.LoadData();
    ASSERT_TRUE(dlg.Open());
    dlg.show();

    // Nothing changed: closes without a question.
    QTest::mouseClick(Ctrl<QPushButton>(dlg, CSettingsDlg::IDC_CANCEL), Qt::LeftButton);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(QDialog::Rejected, dlg.result());

    ASSERT_TRUE(dlg.Open());
    dlg.show();
    ClickCheck(dlg, CSettingsDlg::IDC_BLOBASTEXT);
    ASSERT_TRUE(dlg.AddKeyword("MERGE"));
    messages.QueueAnswer(IDCANCEL);
    QTest::mouseClick(Ctrl<QPushButton>(dlg, CSettingsDlg::IDC_CANCEL), Qt::LeftButton);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Settings not saved. Save?", messages.Shown()[0].text);
    EXPECT_EQ("Attention!", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_YESNOCANCEL), messages.Shown()[0].type & MB_TYPEMASK);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(1, s.getInt("BlobAsText"));

    // The close box asks the same; No brings back what is stored.
    messages.QueueAnswer(IDNO);
    dlg.close();
    EXPECT_EQ(2u, messages.Shown().size());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(0, s.getInt("BlobAsText"));
    EXPECT_EQ("<missing>", Stored("BlobAsText"));
    EXPECT_EQ(52u, dlg.Keywords().size());
    EXPECT_EQ(0, s.NotSaved());

    // Yes saves as Save does.
    ASSERT_TRUE(dlg.Open());
    dlg.show();
    EXPECT_FALSE(Checked(dlg, CSettingsDlg::IDC_BLOBASTEXT));
    EXPECT_EQ(52, Ctrl<QListWidget>(dlg, CSettingsDlg::IDC_KEYWORDS)->count());
    Ctrl<QRadioButton>(dlg, CSettingsDlg::IDC_OEMTOANSI)->setChecked(true);
    ClickCheck(dlg, CSettingsDlg::IDC_ONTRAY);
    messages.QueueAnswer(IDYES);
    dlg.reject();
    EXPECT_EQ(3u, messages.Shown().size());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ("1", Stored("OnTray"));
    EXPECT_EQ("-1", Stored("OemToAnsi"));
}

TEST_F(SettingsDlgTest, EscapeNeitherClosesNorAsks) {
    CSettingsDlg dlg;
    ASSERT_TRUE(dlg.Open());
    dlg.show();
    ClickCheck(dlg, CSettingsDlg::IDC_ONTRAY);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(SettingsDlgTest, HelpLinkOpensTheSettingsTopic) {
    CString topic;
    SetHelpViewer([&](QWidget*, const CString&, const CString& t) { topic = t; });
    CSettingsDlg dlg;
    ASSERT_TRUE(dlg.Open());
    emit Ctrl<QLabel>(dlg, CSettingsDlg::IDC_HELP)->linkActivated("#");
    SetHelpViewer(nullptr);
    EXPECT_EQ("settings.htm", topic);
}
