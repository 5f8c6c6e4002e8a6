#include "toolkit/CHistCBox.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {
class HistCBoxTest : public ::testing::Test {
protected:
    void SetUp() override { m_Reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE); }

    void StoreHistory(const CStringArray& values, int current = -1) {
        for (size_t i = 0; i < values.size(); ++i)
            m_Reg.Save("Hist", ("value" + std::to_string(i)).c_str(), values[i]);
        m_Reg.Save("Hist", "Counter", static_cast<int>(values.size()));
        m_Reg.Save("Hist", "Current", current);
    }
    CString Stored(const char* name) {
        CString v;
        return m_Reg.Read("Hist", name, &v, "<missing>") == 0 ? v : "<missing>";
    }
    static CStringArray Entries(const CHistCBox& box) {
        CStringArray out;
        for (int i = 0; i < box.count(); ++i)
            out.push_back(box.FullText(i));
        return out;
    }

    CSysReg m_Reg;
};
} // namespace

TEST_F(HistCBoxTest, LoadSkipsWhatAnEntryBeginsWithIgnoringCase) {
    StoreHistory({"SELECT * FROM AB", "select * from a", "select * from abc", "other"}, 3);
    CHistCBox box;
    box.Load("Hist");
    EXPECT_EQ((CStringArray{"SELECT * FROM AB", "select * from abc", "other"}), Entries(box));
    EXPECT_EQ(-1, box.currentIndex()) << "Current 3 names no loaded entry";
}

TEST_F(HistCBoxTest, LoadKeepsOneEmptyEntryAndHonoursTheLimitAndCurrent) {
    StoreHistory({"", "a", "", "b", "c", "d"}, 2);
    CHistCBox box;
    box.SetLimit(5);
    box.Load("Hist");
    EXPECT_EQ((CStringArray{"", "a", "b", "c"}), Entries(box));
    EXPECT_EQ(2, box.currentIndex());
    EXPECT_EQ("b", box.LastActive());
}

TEST_F(HistCBoxTest, SetActiveOrAddMovesToTheTopAndDropsTheOldestAtTheLimit) {
    CHistCBox box;
    box.SetLimit(50);
    box.SetLimit(0);
    box.SetLimit(-4);
    EXPECT_EQ(50, box.Limit());
    for (int i = 0; i < 50; ++i)
        box.SetActiveOrAdd("s" + std::to_string(i));
    ASSERT_EQ(50, box.count());
    EXPECT_EQ("s0", box.FullText(49));
    box.SetActiveOrAdd("new");
    EXPECT_EQ(50, box.count());
    EXPECT_EQ("new", box.FullText(0));
    EXPECT_EQ("s1", box.FullText(49));

    box.SetActiveOrAdd("s10");
    EXPECT_EQ(50, box.count()) << "an existing entry moves, nothing is dropped";
    EXPECT_EQ("s10", box.FullText(0));
    EXPECT_EQ("new", box.FullText(1));
    EXPECT_EQ(0, box.currentIndex());
    box.SetActiveOrAdd("S10");
    EXPECT_EQ("s10", box.FullText(1)) << "comparison is case-sensitive";
}

TEST_F(HistCBoxTest, LongStatementsShowTheirStartButAreKeptWhole) {
    CString longText;
    for (int i = 0; i < 600; ++i)
        longText += static_cast<char>('a' + i % 26);
    CHistCBox box;
    box.SetActiveOrAdd("short");
    box.SetActiveOrAdd(longText);
    EXPECT_EQ(longText.substr(0, 512), box.DisplayText(0));
    EXPECT_EQ(512, box.itemText(0).size());
    EXPECT_EQ(longText, box.GetCurString("Hist"));
    box.SetActiveOrAdd(longText);
    EXPECT_EQ(2, box.count()) << "the same long statement again is not a second entry";

    box.Save("Hist");
    EXPECT_EQ(longText, Stored("value0"));
    EXPECT_EQ("short", Stored("value1"));
    EXPECT_EQ("0", Stored("Current"));
    EXPECT_EQ("2", Stored("Counter"));
    EXPECT_EQ(longText, CHistCBox::StoredCurString("Hist"));

    CHistCBox again;
    again.Load("Hist");
    EXPECT_EQ((CStringArray{longText, "short"}), Entries(again));
    EXPECT_EQ(longText, again.GetCurString());
}

TEST_F(HistCBoxTest, CutCountsCharactersNotBytes) {
    CString text;
    for (int i = 0; i < 600; ++i)
        text += "\xC3\xA4"; // a two-byte character
    EXPECT_EQ(1024u, CHistCBox::CutChars(text, 512).size());
    EXPECT_EQ("ab", CHistCBox::CutChars("ab", 512));
    CHistCBox box;
    box.SetActiveOrAdd(text);
    EXPECT_EQ(512, box.itemText(0).size());
    EXPECT_EQ(text, box.GetCurString());
}

TEST_F(HistCBoxTest, TypedTextWinsOverTheSelectedEntry) {
    CHistCBox box;
    box.SetActiveOrAdd("select 1");
    box.lineEdit()->setText("select 2");
    EXPECT_EQ("select 2", box.GetCurString());
    box.Back();
    EXPECT_EQ("select 1", box.GetCurString());
    EXPECT_EQ(1, box.count());
}

TEST_F(HistCBoxTest, BytesThatAreNotUtf8SurviveTheBox) {
    const CString odd = "name\xFF\xFE";
    CHistCBox box;
    box.SetActiveOrAdd(odd);
    EXPECT_EQ(odd, box.GetCurString());
    box.Save("Hist");
    EXPECT_EQ(odd, Stored("value0"));
}

TEST_F(HistCBoxTest, SaveCutsToTheLimitAndRecordsNoSelection) {
    CHistCBox box;
    for (const char* s : {"a", "b", "c"})
        box.SetActiveOrAdd(s);
    box.setCurrentIndex(-1);
    box.Save("Hist");
    EXPECT_EQ("3", Stored("Counter"));
    EXPECT_EQ("-1", Stored("Current"));
    EXPECT_EQ("", CHistCBox::StoredCurString("Hist"));
}
