#include "grid/CGridModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {
// Rows of a one-column grid, column 0 holding the row label.
std::vector<CString> Column(const CGridModel& m, int col) {
    std::vector<CString> out;
    for (int r = m.GetFixedRowCount(); r < m.GetRowCount(); ++r)
        out.push_back(m.GetItemText(r, col));
    return out;
}

void Fill(CGridModel& m, const std::vector<CString>& keys) {
    m.SetColumnCount(2);
    m.SetFixedRowCount(1);
    m.SetFixedColumnCount(1);
    for (size_t i = 0; i < keys.size(); ++i) {
        const int row = m.InsertRow("#" + std::to_string(i + 1));
        m.SetItemText(row, 1, keys[i]);
    }
}
} // namespace

TEST(CGridModel, TextsSetInAnyOrderReadBackExactly) {
    CGridModel m;
    m.SetColumnCount(4);
    m.SetRowCount(2);
    m.SetItemText(0, 2, "middle");
    m.SetItemText(0, 0, "first");
    m.SetItemText(0, 3, "last");
    m.SetItemText(0, 2, "m"); // shorter
    m.SetItemText(0, 0, "a much longer first text");
    m.SetItemText(0, 1, "");
    EXPECT_EQ("a much longer first text", m.GetItemText(0, 0));
    EXPECT_EQ("", m.GetItemText(0, 1));
    EXPECT_EQ("m", m.GetItemText(0, 2));
    EXPECT_EQ("last", m.GetItemText(0, 3));
    EXPECT_EQ("", m.GetItemText(1, 3));
    EXPECT_EQ("", m.GetItemText(5, 0)) << "outside the grid";
    EXPECT_FALSE(m.SetItemText(2, 0, "x"));
    EXPECT_EQ(std::string("a much longer first textmlast").size(), m.TextBytes());
}

TEST(CGridModel, TextTakenFromTheSameRowIsCopiedSafely) {
    CGridModel m;
    m.SetColumnCount(3);
    m.SetRowCount(1);
    m.SetItemText(0, 0, "abcdef");
    m.SetItemText(0, 2, "xyz");
    m.SetItemText(0, 1, m.TextView(0, 0));
    m.SetItemText(0, 0, m.TextView(0, 2));
    EXPECT_EQ("xyz", m.GetItemText(0, 0));
    EXPECT_EQ("abcdef", m.GetItemText(0, 1));
    EXPECT_EQ("xyz", m.GetItemText(0, 2));
}

TEST(CGridModel, ShrinkingColumnsDropsTheirTextsForGood) {
    CGridModel m;
    m.SetColumnCount(3);
    m.SetRowCount(1);
    m.SetItemText(0, 1, "b");
    m.SetItemText(0, 2, "c");
    m.SetItemFormat(0, 2, DT_RIGHT);
    m.SetColumnCount(2);
    m.SetColumnCount(3);
    EXPECT_EQ("b", m.GetItemText(0, 1));
    EXPECT_EQ("", m.GetItemText(0, 2));
    EXPECT_EQ(CGridModel::kCommonFormat, m.GetItemFormat(0, 2));
}

TEST(CGridModel, PlainCellsKeepNoAttributeObject) {
    CGridModel m;
    m.SetColumnCount(2);
    m.SetRowCount(2);
    _GV_ITEM item;
    item.row = 1;
    item.col = 1;
    item.mask = GVIF_TEXT | GVIF_FORMAT;
    item.szText = "value";
    item.nFormat = CGridModel::kCommonFormat;
    EXPECT_TRUE(m.SetItem(item));
    EXPECT_EQ(nullptr, m.Attributes(1, 1));
    EXPECT_TRUE(m.SetItemFormat(1, 1, DT_WORDBREAK | DT_NOPREFIX));
    ASSERT_NE(nullptr, m.Attributes(1, 1));
    EXPECT_TRUE(m.SetItemFormat(1, 1, CGridModel::kCommonFormat));
    EXPECT_EQ(nullptr, m.Attributes(1, 1)) << "back to the common format releases the attributes";
    EXPECT_EQ("value", m.GetItemText(1, 1));
}

TEST(CGridModel, ItemFieldsRoundTripByMask) {
    CGridModel m;
    m.SetColumnCount(2);
    m.SetRowCount(2);
    _GV_ITEM in;
    in.row = 1;
    in.col = 0;
    in.mask = GVIF_TEXT | GVIF_IMAGE | GVIF_PARAM | GVIF_BKCLR | GVIF_FGCLR | GVIF_FORMAT | GVIF_STATE;
    in.szText = "t";
    in.iImage = 4;
    in.lParam = 0xDEADBEEF;
    in.crBkClr = RGB(1, 2, 3);
    in.crFgClr = RGB(250, 0, 0);
    in.nFormat = DT_CENTER;
    in.state = GVIS_READONLY | GVIS_SELECTED;
    ASSERT_TRUE(m.SetItem(in));
    _GV_ITEM out;
    out.row = 1;
    out.col = 0;
    out.mask = in.mask;
    ASSERT_TRUE(m.GetItem(out));
    EXPECT_EQ("t", out.szText);
    EXPECT_EQ(4, out.iImage);
    EXPECT_EQ(0xDEADBEEFu, out.lParam);
    EXPECT_EQ(0x030201u, out.crBkClr);
    EXPECT_EQ(0xFAu, out.crFgClr);
    EXPECT_EQ(unsigned(DT_CENTER), out.nFormat);
    EXPECT_EQ(unsigned(GVIS_READONLY | GVIS_SELECTED), out.state);
    EXPECT_TRUE(m.IsCellSelected(1, 0));
    _GV_ITEM outside;
    outside.row = 7;
    EXPECT_FALSE(m.GetItem(outside));
}

TEST(CGridModel, FixedCountsGrowTheTotalsAndRowInsertNeedsAColumn) {
    CGridModel m;
    m.SetFixedRowCount(2);
    m.SetFixedColumnCount(3);
    EXPECT_EQ(2, m.GetRowCount());
    EXPECT_EQ(3, m.GetColumnCount());
    CGridModel n;
    EXPECT_EQ(0, n.InsertRow("x"));
    EXPECT_EQ(1, n.GetColumnCount());
    EXPECT_EQ("x", n.GetItemText(0, 0));
    EXPECT_EQ(0, n.InsertRow("y", 0));
    EXPECT_EQ("x", n.GetItemText(1, 0));
}

TEST(CGridModel, EmptySelectionRangeConvention) {
    CGridModel m;
    m.SetColumnCount(4);
    m.SetRowCount(6);
    EXPECT_EQ(CCellRange(6, 4, -1, -1), m.GetSelectedCellRange());
    m.Selection().Add(CCellRange(2, 1, 2, 1));
    m.Selection().Add(CCellRange(4, 3, 5, 3));
    EXPECT_EQ(CCellRange(2, 1, 5, 3), m.GetSelectedCellRange());
    EXPECT_EQ(CCellRange(0, 0, 5, 3), m.GetCellRange());
    m.SetRowCount(3);
    EXPECT_EQ(CCellRange(2, 1, 2, 1), m.GetSelectedCellRange()) << "selection is clipped to the grid";
}

TEST(CGridModel, DeleteAllItemsResetsEverything) {
    CGridModel m;
    Fill(m, {"b", "a"});
    m.SetColTip(1, "tip");
    m.Selection().Add(CCellRange(1, 1, 2, 1));
    m.SetFocusCell(CCellID(1, 1));
    m.SortTextItems(1, true);
    m.DeleteAllItems();
    EXPECT_EQ(0, m.GetRowCount());
    EXPECT_EQ(0, m.GetColumnCount());
    EXPECT_EQ(0, m.GetFixedRowCount());
    EXPECT_EQ(0, m.GetFixedColumnCount());
    EXPECT_TRUE(m.Selection().IsEmpty());
    EXPECT_FALSE(m.GetFocusCell().IsValid());
    EXPECT_EQ(-1, m.GetSortColumn());
    EXPECT_EQ("", m.GetColTip(1));
}

TEST(CGridModel, CopyTakesSelectedCellsSkipsHiddenAndEndsWithoutTab) {
    CGridModel m;
    m.SetColumnCount(4);
    m.SetRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m.SetItemText(r, c, std::string(1, char('a' + c)) + std::to_string(r));
    m.Selection().Add(CCellRange(1, 1, 1, 1));
    m.Selection().Add(CCellRange(3, 3, 3, 3));
    EXPECT_EQ("b1\t\t\r\n\t\t\r\n\t\td3", m.SelectedText());
    m.SetColumnWidth(2, 0);
    m.SetRowHeight(2, 0);
    EXPECT_EQ("b1\t\r\n\td3", m.SelectedText());
    m.Selection().Clear();
    EXPECT_EQ("", m.SelectedText());
}

TEST(CGridModel, SortOrdersByBytesAndKeepsRowLabels) {
    CGridModel m;
    Fill(m, {"9", "10", "-5", "1", "abc", "Abc", "\xc3\xa9"});
    ASSERT_TRUE(m.SortTextItems(1, true));
    EXPECT_EQ((std::vector<CString>{"-5", "1", "10", "9", "Abc", "abc", "\xc3\xa9"}), Column(m, 1));
    EXPECT_EQ((std::vector<CString>{"#3", "#4", "#2", "#1", "#6", "#5", "#7"}), Column(m, 0));
    EXPECT_EQ(1, m.GetSortColumn());
    ASSERT_TRUE(m.SortTextItems(1, false));
    EXPECT_EQ((std::vector<CString>{"\xc3\xa9", "abc", "Abc", "9", "10", "1", "-5"}), Column(m, 1));
    EXPECT_FALSE(m.SortTextItems(5, true));
}

TEST(CGridModel, NumbersCompareByValueWithNonNumbersFirst) {
    struct Case {
        const char *a, *b;
        int order;
    };
    const Case cases[] = {
        {"10.75", "100.25", -1},
        {"100.25", "11.25", 1},
        {"9", "10", -1},
        {"-5", "1", -1},
        {"-10", "-9", -1},
        {"-0", "0.000", 0},
        {"2.50", "2.5", 0},
        {"0.5", ".6", -1},
        {"1e3", "999.9", 1},
        {"  42", "42", 0},
        // Digits beyond what a double holds still count.
        {"12345678901234567890.1", "12345678901234567890.2", -1},
        {"<NULL>", "-1000", -1},
        {"", "0", -1},
        {"       ", "<NULL>", -1},
        {"abc", "12abc", 1},
    };
    for (const Case& c : cases) {
        const int order = CGridModel::CompareByValue(c.a, c.b);
        EXPECT_EQ(c.order, (order > 0) - (order < 0)) << c.a << " vs " << c.b;
        const int reverse = CGridModel::CompareByValue(c.b, c.a);
        EXPECT_EQ(-c.order, (reverse > 0) - (reverse < 0)) << c.b << " vs " << c.a;
    }
}

TEST(CGridModel, EqualTextsAreNeverSwappedAndResortingKeepsOrder) {
    CGridModel m;
    Fill(m, {"b", "a", "b", "a", "b", "a", "c", "a"});
    m.SortTextItems(1, true);
    const std::vector<CString> once = Column(m, 0);
    m.SortTextItems(1, true);
    EXPECT_EQ(once, Column(m, 0));
    CGridModel same;
    Fill(same, {"x", "x", "x", "x", "x"});
    same.SortTextItems(1, false);
    EXPECT_EQ((std::vector<CString>{"#1", "#2", "#3", "#4", "#5"}), Column(same, 0));
}

TEST(CGridModel, SortOfManyRowsIsAPermutationInOrder) {
    std::mt19937 rng(7);
    std::vector<CString> keys;
    for (int i = 0; i < 5000; ++i)
        keys.push_back(std::to_string(rng() % 300));
    // Already sorted halves are the classic hard input for a middle-pivot quicksort.
    for (int i = 0; i < 3000; ++i)
        keys.push_back(std::to_string(100000 + i));
    CGridModel m;
    Fill(m, keys);
    m.SortTextItems(1, true);
    std::vector<CString> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, Column(m, 1));
    // Every row keeps its label: label n still holds the n-th key.
    for (int r = 1; r < m.GetRowCount(); ++r)
        ASSERT_EQ(keys[size_t(std::stoi(m.GetItemText(r, 0).substr(1)) - 1)], m.GetItemText(r, 1));
}

TEST(CGridModel, RowHeightsMoveWithTheirRows) {
    CGridModel m;
    Fill(m, {"b", "a"});
    m.SetRowHeight(1, 40);
    m.SetRowHeight(2, 15);
    m.SortTextItems(1, true);
    EXPECT_EQ(15, m.GetRowHeight(1));
    EXPECT_EQ(40, m.GetRowHeight(2));
}
