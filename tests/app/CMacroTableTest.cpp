#include "CMacroTable.h"

#include "CSettingsDlg.h"

#include <gtest/gtest.h>

namespace {
// Collects what an editor's SetMacro receives.
struct MacroSink {
    struct Call {
        char key;
        CString text;
        int append;
    };
    void SetMacro(char key, const CString& text, int append) {
        if (append == 0)
            calls.clear();
        calls.push_back({key, text, append});
    }
    std::vector<Call> calls;
};

class MacroTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
    }
};
} // namespace

TEST_F(MacroTableTest, FifteenSlotsWithFixedKeysAndTexts) {
    CSettingsDlg owner;
    _Settings& s = owner.Settings();
    s.LoadData();
    const CArray<MacroSlot> macros = CMacroTable::Slots(s);
    ASSERT_EQ(15u, macros.size());
    const char keys[] = "SIUDO0123456789";
    const char* texts[] = {"select * from where ", "insert into values()", "update set where ",
                           "delete from where ", "order by "};
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(i, macros[i].slot);
        EXPECT_EQ(keys[i], macros[i].key) << i;
        EXPECT_EQ(i < 5 ? CString(texts[i]) : CString(), macros[i].text) << i;
    }
    EXPECT_EQ("HK1", CMacroTable::KeySetting(0));
    EXPECT_EQ("MAC5", CMacroTable::TextSetting(4));
    EXPECT_EQ("UK0", CMacroTable::KeySetting(5));
    EXPECT_EQ("UM9", CMacroTable::TextSetting(14));
    EXPECT_EQ(0, CMacroTable::KeyOf("Ctrl"));
}

TEST_F(MacroTableTest, InstallGivesEverySlotInOrderAndStartsAFreshList) {
    CSettingsDlg owner;
    _Settings& s = owner.Settings();
    s.setStr("UM5", "exec sp_who");
    MacroSink editor;
    editor.calls.push_back({'Z', "stale", 3});
    CMacroTable::Install(editor, s);
    ASSERT_EQ(15u, editor.calls.size());
    EXPECT_EQ('S', editor.calls[0].key);
    EXPECT_EQ('5', editor.calls[10].key);
    EXPECT_EQ("exec sp_who", editor.calls[10].text);
    EXPECT_EQ(10, editor.calls[10].append);
}

TEST_F(MacroTableTest, OnlyUserTextsSurviveARestart) {
    {
        CSettingsDlg owner;
        _Settings& s = owner.Settings();
        s.LoadData();
        s.setStr("MAC1", "select top 10 * from ");
        s.setStr("UK5", "Ctrl-Q");
        s.setStr("UM5", "exec sp_who");
        s.SaveData();
    }
    CSettingsDlg owner;
    owner.Settings().LoadData();
    const CArray<MacroSlot> macros = CMacroTable::Slots(owner.Settings());
    EXPECT_EQ("select * from where ", macros[0].text);
    EXPECT_EQ('5', macros[10].key);
    EXPECT_EQ("exec sp_who", macros[10].text);
}
