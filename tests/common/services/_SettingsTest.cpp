#include "services/_Settings.h"
#include "toolkit/CDataExchange.h"
#include "toolkit/ControlId.h"

#include "MessageRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {
const char* const kProfile = "Software\\Ostrak\\Varnel";

CString Stored(const char* name, const char* section = "Settings") {
    CSysReg reg;
    CString v;
    return reg.Read(section, name, &v, "<missing>") == 0 ? v : "<missing>";
}

void Store(const char* name, const CString& value, const char* section = "Settings") {
    CSysReg reg;
    reg.Save(section, name, value);
}

// True when an internal failure with exactly this message was shown.
bool ShownFailure(const MessageRecorder& messages, const CString& message) {
    for (const auto& r : messages.Shown())
        if (r.caption == "ASSERT" && r.text.size() >= message.size() &&
            r.text.compare(r.text.size() - message.size(), message.size(), message) == 0 &&
            r.text.find("_Settings") != CString::npos)
            return true;
    return false;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName(kProfile, CSysReg::STORE_MODE);
    }
};
} // namespace

TEST_F(SettingsTest, NeverStoredSettingsReadAsTheirDefaults) {
    _Settings s;
    s.Add("Font", S_STRING, 0, "Monospace");
    s.Add("TabSize", S_INT, 0, "4 spaces");
    s.LoadData();
    EXPECT_EQ("Monospace", s.getStr("Font"));
    EXPECT_EQ(4, s.getInt("TabSize"));
    EXPECT_EQ(0, s.NotSaved());
}

TEST_F(SettingsTest, StoredIntegersFollowTheLeadingDigitsRule) {
    Store("A", "abc");
    Store("B", "17px");
    Store("C", "-3");
    _Settings s;
    s.Add("A", S_INT, 0, "5");
    s.Add("B", S_INT, 0, "5");
    s.Add("C", S_INT, 0, "5");
    s.LoadData();
    EXPECT_EQ(0, s.getInt("A"));
    EXPECT_EQ(17, s.getInt("B"));
    EXPECT_EQ(-3, s.getInt("C"));
}

TEST_F(SettingsTest, OnlyEffectiveChangesMarkTheTableUnsaved) {
    _Settings s;
    s.Add("Font", S_STRING, 0, "Monospace");
    s.Add("Tab", S_INT, 0, "4");
    s.LoadData();
    s.setStr("Font", "Monospace");
    s.setInt("Tab", 4);
    EXPECT_EQ(0, s.NotSaved());
    s.SaveData();
    EXPECT_EQ("<missing>", Stored("Font")) << "nothing was changed, so nothing is written";

    s.setInt("Tab", 8);
    EXPECT_EQ(1, s.NotSaved());
    s.SaveData();
    EXPECT_EQ(0, s.NotSaved());
    EXPECT_EQ("8", Stored("Tab"));
    EXPECT_EQ("<missing>", Stored("Font"));
}

TEST_F(SettingsTest, SaveWritesOnlyChangedEntries) {
    _Settings s;
    s.Add("A", S_STRING, 0, "a");
    s.Add("B", S_STRING, 0, "b");
    s.LoadData();
    s.setStr("A", "a2");
    s.setStr("B", "b2");
    s.SaveData();
    // Another program changes B; a later save of A alone must not overwrite it.
    Store("B", "external");
    s.setStr("A", "a3");
    s.SaveData();
    EXPECT_EQ("a3", Stored("A"));
    EXPECT_EQ("external", Stored("B"));
}

TEST_F(SettingsTest, ValuesWithAwkwardBytesSurviveSaveAndLoad) {
    const CString awkward = "x = 'y'; # [z] \"q\" \\ \n\r\xC3\xA4\xFF";
    {
        _Settings s;
        s.Add("Text", S_STRING, 0, "");
        s.LoadData();
        s.setStr("Text", awkward);
        s.SaveData();
    }
    _Settings s;
    s.Add("Text", S_STRING, 0, "");
    s.LoadData();
    EXPECT_EQ(awkward, s.getStr("Text"));
}

TEST_F(SettingsTest, ArraysMergeStoredElementsUpperCasedAfterTheDefaults) {
    Store("Keywords.0", "2");
    Store("Keywords.1", "select");
    Store("Keywords.2", "merge");
    CStringArray words{"SELECT", "FROM"};
    _Settings s;
    s.AddArray("Keywords", &words);
    s.LoadData();
    EXPECT_EQ((CStringArray{"SELECT", "FROM", "MERGE"}), words);
    s.LoadData();
    EXPECT_EQ((CStringArray{"SELECT", "FROM", "MERGE"}), words) << "loading again adds no duplicates";
}

TEST_F(SettingsTest, ShorterArrayStoresTheNewCountAndLeavesTheOldTail) {
    CStringArray words{"A", "B", "C"};
    {
        _Settings s;
        s.AddArray("W", &words);
        s.LoadData();
        s.setArr("W", &words);
        s.SaveData();
        EXPECT_EQ("3", Stored("W.0"));
        words.pop_back();
        s.setArr("W", &words);
        s.SaveData();
    }
    EXPECT_EQ("2", Stored("W.0"));
    EXPECT_EQ("B", Stored("W.2"));
    EXPECT_EQ("C", Stored("W.3"));
    CStringArray loaded;
    _Settings s;
    s.AddArray("W", &loaded);
    s.LoadData();
    EXPECT_EQ((CStringArray{"A", "B"}), loaded);
}

TEST_F(SettingsTest, ScrambledEntriesAreStoredEncoded) {
    {
        _Settings s;
        s.Add("Password", S_STRING, S_ENCODED, "");
        s.LoadData();
        s.setStr("Password", "tiger");
        s.SaveData();
    }
    EXPECT_EQ(CSysReg::Encode("tiger"), Stored("Password"));
    _Settings s;
    s.Add("Password", S_STRING, S_ENCODED, "");
    s.LoadData();
    EXPECT_EQ("tiger", s.getStr("Password"));

    // A damaged stored value gives the default instead of garbage.
    Store("Password", "6Z");
    s.LoadData();
    EXPECT_EQ("", s.getStr("Password"));
}

TEST_F(SettingsTest, NeverStoredEntriesKeepTheirValueOnlyUntilTheEnd) {
    {
        _Settings s;
        s.Add("Temp", S_INT, S_NOSAVE, "1");
        s.Add("Kept", S_INT, 0, "1");
        s.LoadData();
        s.setInt("Temp", 9);
        s.setInt("Kept", 9);
        s.SaveData();
        EXPECT_EQ(9, s.getInt("Temp"));
    }
    EXPECT_EQ("<missing>", Stored("Temp"));
    _Settings s;
    s.Add("Temp", S_INT, S_NOSAVE, "1");
    s.Add("Kept", S_INT, 0, "1");
    s.LoadData();
    EXPECT_EQ(1, s.getInt("Temp"));
    EXPECT_EQ(9, s.getInt("Kept"));
}

TEST_F(SettingsTest, LoadingAgainDiscardsUnsavedChanges) {
    _Settings s;
    s.Add("Font", S_STRING, 0, "Monospace");
    s.LoadData();
    s.setStr("Font", "Serif");
    s.LoadData();
    EXPECT_EQ("Monospace", s.getStr("Font"));
    EXPECT_EQ(0, s.NotSaved());
}

TEST_F(SettingsTest, OwnSectionIsUsedAndCut) {
    _Settings s;
    s.Section(nullptr);
    s.Section("Other");
    s.Add("K", S_STRING, 0, "");
    s.LoadData();
    s.setStr("K", "v");
    s.SaveData();
    EXPECT_EQ("v", Stored("K", "Other"));
    EXPECT_EQ("<missing>", Stored("K"));

    _Settings t;
    t.Section(CString(200, 'S').c_str());
    t.Add("K", S_STRING, 0, "");
    t.setStr("K", "w");
    t.SaveData();
    EXPECT_EQ("w", Stored("K", CString(127, 'S').c_str()));
}

TEST_F(SettingsTest, ProgrammingErrorsShowTheFailureDialogAndContinue) {
    MessageRecorder messages;
    _Settings s;
    s.Add("Font", S_STRING, 0, "Monospace");
    s.Add("Tab", S_INT, 0, "4");
    s.Add("Font", S_INT, 0, "12");
    EXPECT_TRUE(ShownFailure(messages, "_Settings::Add(Font) duplicate"));
    EXPECT_EQ("Monospace", s.getStr("Font")) << "the second registration is ignored";

    messages.Clear();
    EXPECT_EQ("", s.getStr("Nope"));
    EXPECT_TRUE(ShownFailure(messages, "_Settings::IndexFor(Nope)"));
    EXPECT_EQ(0, s.getInt("Nope"));
    s.setStr("Nope", "x");
    EXPECT_EQ(0, s.NotSaved());

    messages.Clear();
    EXPECT_EQ(0, s.getInt("Font"));
    EXPECT_TRUE(ShownFailure(messages, "_Settings:: incorrect getInt(Font)"));
    EXPECT_EQ("4", s.getStr("Tab"));
    EXPECT_TRUE(ShownFailure(messages, "_Settings:: incorrect getStr(Tab)"));

    messages.Clear();
    s.setInt("Font", 3);
    EXPECT_TRUE(ShownFailure(messages, "_Settings:: incorrect setInt(Font)"));
    s.setStr("Tab", "x");
    EXPECT_TRUE(ShownFailure(messages, "_Settings:: incorrect setInt(Tab)"));
    EXPECT_EQ("x", s.getStr("Tab")) << "the value is set all the same";
}

TEST_F(SettingsTest, DialogControlsExchangeWithSettings) {
    _Settings s;
    s.Add("Wrap", S_INT, 0, "1");
    s.Add("Name", S_STRING, 0, "scott");
    s.Add("Width", S_INT, 0, "-12");
    s.Add("Font", S_STRING, 0, "Serif");
    s.LoadData();

    QDialog dialog;
    auto* check = new QCheckBox(&dialog);
    auto* edit = new QLineEdit(&dialog);
    auto* width = new QLineEdit(&dialog);
    auto* combo = new QComboBox(&dialog);
    combo->setEditable(true);
    SetControlId(check, 1001);
    SetControlId(edit, 1002);
    SetControlId(width, 1003);
    SetControlId(combo, 1004);

    CDataExchange show{&dialog, false};
    s.sDDX_Check(&show, 1001, "Wrap");
    s.sDDX_Text(&show, 1002, "Name");
    s.sDDX_Int(&show, 1003, "Width");
    s.sDDX_Text(&show, 1004, "Font");
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ("scott", edit->text().toStdString());
    EXPECT_EQ("-12", width->text().toStdString());
    EXPECT_EQ("Serif", combo->currentText().toStdString());

    check->setCheckState(Qt::PartiallyChecked);
    edit->setText("tiger");
    width->setText("80 columns");
    combo->setEditText("Monospace");
    CDataExchange take{&dialog, true};
    s.sDDX_Check(&take, 1001, "Wrap");
    s.sDDX_Text(&take, 1002, "Name");
    s.sDDX_Int(&take, 1003, "Width");
    s.sDDX_Text(&take, 1004, "Font");
    EXPECT_EQ(2, s.getInt("Wrap"));
    EXPECT_EQ("tiger", s.getStr("Name"));
    EXPECT_EQ(80, s.getInt("Width"));
    EXPECT_EQ("Monospace", s.getStr("Font"));
    EXPECT_EQ(1, s.NotSaved());
}

TEST_F(SettingsTest, UnchangedControlTextKeepsStoredBytes) {
    const CString bytes = "ab\xFF";
    _Settings s;
    s.Add("Name", S_STRING, 0, bytes);
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    SetControlId(edit, 7);
    CDataExchange show{&dialog, false};
    s.sDDX_Text(&show, 7, "Name");
    CDataExchange take{&dialog, true};
    s.sDDX_Text(&take, 7, "Name");
    EXPECT_EQ(bytes, s.getStr("Name"));
    EXPECT_EQ(0, s.NotSaved());
}
