#include "editor/CEditModel.h"

#include <gtest/gtest.h>

namespace {

CString Text(const CEditModel& m) {
    CString out;
    m.UnloadText(out);
    return out;
}

std::vector<int> Kinds(const CUndoFrame& frame) {
    std::vector<int> kinds;
    for (const CUndoAction& a : frame.Actions())
        kinds.push_back(a.m_Kind);
    return kinds;
}

// Caret and anchor together, as a click leaves them.
void Put(CEditModel& m, int x, int y) {
    m.SetSelection(x, y, x, y);
}

void Type(CEditModel& m, const char* s) {
    for (; *s; ++s)
        m.TypeChar(static_cast<unsigned char>(*s));
}

struct Counter {
    int changes = 0;
    int userChanges = 0;
    void Attach(CEditModel& m) {
        m.OnChange = [this] { ++changes; };
        m.OnUserChange = [this] { ++userChanges; };
    }
};

} // namespace

TEST(CEditModel, LoadTextSplitsEveryKindOfLineBreakAndExpandsTabs) {
    CEditModel m(4);
    m.LoadText("a\r\nb\rc\nd");
    EXPECT_EQ(5, m.GetLineCount());
    EXPECT_EQ("a\r\nb\r\nc\r\nd\r\n", Text(m));
    m.LoadText("ab\tc\n\t\xC3\xA9\tx\n");
    EXPECT_EQ("ab  c", m.GetLine(0));
    // Tab stops count characters, not bytes.
    EXPECT_EQ("    \xC3\xA9   x", m.GetLine(1));
    EXPECT_EQ("", m.GetLine(2));
    EXPECT_EQ(3, m.GetLineCount());
}

TEST(CEditModel, InvalidBytesSurviveLoadAndUnload) {
    CEditModel m;
    const CString raw = "select '\xFF\xFE' -- \xC3\r\n\xE2\x82 x\r\n";
    m.LoadText(raw.c_str());
    EXPECT_EQ(raw, Text(m));
    const CString withNul("a\0b\r\nc\r\n", 8);
    m.LoadText(withNul);
    EXPECT_EQ(withNul, Text(m));
    EXPECT_EQ(3, m.GetLineLength(0));
}

TEST(CEditModel, LoadTextIsOneUndoStepWithoutUserNotification) {
    CEditModel m;
    Counter c;
    c.Attach(m);
    m.LoadText("one\ntwo\nthree");
    EXPECT_EQ(1, c.changes);
    EXPECT_EQ(0, c.userChanges);
    ASSERT_EQ(1, m.UndoStack().GetCount());
    m.DoUndo();
    EXPECT_EQ(1, m.GetLineCount());
    EXPECT_EQ("", m.GetLine(0));
    m.DoRedo();
    EXPECT_EQ("one\r\ntwo\r\nthree\r\n", Text(m));

    m.LoadText("x");
    m.ClearUndoHistory();
    m.DoUndo();
    EXPECT_EQ("x\r\n", Text(m));
}

TEST(CEditModel, TypingUndoAndRedoRestoreTextAndCaret) {
    CEditModel m;
    Counter c;
    c.Attach(m);
    Type(m, "ab");
    EXPECT_EQ(2, c.userChanges);
    EXPECT_EQ(2, m.UndoStack().GetCount());
    m.DoUndo();
    m.DoUndo();
    EXPECT_EQ("", m.GetLine(0));
    EXPECT_EQ(0, m.GetCursorX());
    EXPECT_FALSE(m.CanUndo());
    m.DoRedo();
    m.DoRedo();
    EXPECT_EQ("ab", m.GetLine(0));
    EXPECT_EQ(2, m.GetCursorX());
    EXPECT_EQ(2, m.GetAnchorX());
    EXPECT_EQ(2, c.userChanges);
}

TEST(CEditModel, UndoWithEmptyHistoryOnlyNotifies) {
    CEditModel m;
    m.LoadText("x");
    m.ClearUndoHistory();
    Counter c;
    c.Attach(m);
    m.DoUndo();
    m.DoRedo();
    EXPECT_EQ(2, c.changes);
    EXPECT_EQ("x\r\n", Text(m));
}

TEST(CEditModel, ActionThatChangesNothingLeavesNoFrameButClearsRedo) {
    CEditModel m;
    Type(m, "a");
    m.DoUndo();
    EXPECT_TRUE(m.CanRedo());
    Put(m, 0, 0);
    m.Backspace();
    EXPECT_FALSE(m.CanUndo());
    EXPECT_FALSE(m.CanRedo());

    Type(m, "xy");
    Put(m, 0, 0);
    m.Backspace();
    m.DoUndo();
    EXPECT_EQ("x", m.GetLine(0));
    Type(m, "z");
    EXPECT_FALSE(m.CanRedo());
}

TEST(CEditModel, EachActionRecordsItsLineOperations) {
    CEditModel m;
    m.LoadText("abc\ndef\nghi\njkl");
    m.ClearUndoHistory();
    Put(m, 1, 0);
    m.TypeChar('\r');
    EXPECT_EQ((std::vector<int>{2, 0}), Kinds(m.UndoStack().Top()));
    EXPECT_EQ("a", m.GetLine(0));
    EXPECT_EQ("bc", m.GetLine(1));

    Put(m, 0, 3);
    m.Backspace();
    EXPECT_EQ((std::vector<int>{2, 2, 1}), Kinds(m.UndoStack().Top()));
    EXPECT_EQ("defghi", m.GetLine(2));
    EXPECT_EQ(3, m.GetCursorX());
    EXPECT_EQ(2, m.GetCursorY());

    m.SetSelection(1, 0, 1, 3); // from a|, across bc and defghi, to j|kl
    m.Delete();
    EXPECT_EQ((std::vector<int>{1, 1, 2, 1}), Kinds(m.UndoStack().Top()));
    EXPECT_EQ("akl", m.GetLine(0));
    m.DoUndo();
    EXPECT_EQ("a\r\nbc\r\ndefghi\r\njkl\r\n", Text(m));
    EXPECT_EQ(1, m.GetAnchorX());
    EXPECT_EQ(3, m.GetCursorY());
}

TEST(CEditModel, TabsAdvanceToTheNextStop) {
    CEditModel m(4);
    Type(m, "ab\t");
    EXPECT_EQ("ab  ", m.GetLine(0));
    m.TypeChar('\t');
    EXPECT_EQ("ab      ", m.GetLine(0));
    EXPECT_EQ(8, m.GetCursorX());
    EXPECT_FALSE(m.TypeChar(0x07));
    EXPECT_FALSE(m.TypeChar('\n'));
    EXPECT_EQ(4, m.UndoStack().GetCount());
}

TEST(CEditModel, PastingSplitsAroundTheCaret) {
    CEditModel m;
    m.LoadText("XY");
    Put(m, 1, 0);
    m.Paste("a\nb");
    EXPECT_EQ("Xa", m.GetLine(0));
    EXPECT_EQ("bY", m.GetLine(1));
    EXPECT_EQ(1, m.GetCursorX());
    EXPECT_EQ(1, m.GetCursorY());

    m.LoadText("XY");
    Put(m, 1, 0);
    m.Paste("1\r\n2\r\n3");
    EXPECT_EQ((std::vector<int>{2, 0, 0}), Kinds(m.UndoStack().Top()));
    EXPECT_EQ("X1\r\n2\r\n3Y\r\n", Text(m));
    m.DoUndo();
    EXPECT_EQ("XY\r\n", Text(m));
    EXPECT_EQ(1, m.GetCursorX());
    EXPECT_EQ(0, m.GetCursorY());
}

TEST(CEditModel, PasteEndingWithLineFeedAtTheEndLeavesTheCaretAfterTheLastLine) {
    CEditModel m;
    m.LoadText("abc");
    Put(m, 0, 1);
    m.Paste("x\n");
    EXPECT_EQ(2, m.GetLineCount());
    EXPECT_EQ(0, m.GetCursorX());
    EXPECT_EQ(2, m.GetCursorY());
    EXPECT_EQ("", m.GetSelectedText());
    m.TypeChar('z');
    EXPECT_EQ("abc\r\nx\r\nz", Text(m));
    EXPECT_EQ(1, m.GetCursorX());
    EXPECT_EQ(2, m.GetCursorY());
}

TEST(CEditModel, PastedLineBreakInsideTheTextIsKept) {
    CEditModel m;
    m.LoadText("XY\nZ");
    Put(m, 2, 0);
    m.Paste("\n");
    EXPECT_EQ("XY\r\n\r\nZ\r\n", Text(m));
    EXPECT_EQ(1, m.GetCursorY());
    Put(m, 0, 2);
    m.Paste("a\n");
    EXPECT_EQ("XY\r\n\r\na\r\nZ\r\n", Text(m));
}

TEST(CEditModel, PasteDropsControlCharactersAndExpandsTabsFromTheCaret) {
    CEditModel m(4);
    m.LoadText("ab");
    Put(m, 1, 0);
    m.Paste("\x01x\ty\x7F");
    EXPECT_EQ("ax  yb", m.GetLine(0));
}

TEST(CEditModel, RemoveAllTextUndoesExactly) {
    CEditModel m;
    m.LoadText("one\ntwo\nthree\nfour");
    Counter c;
    c.Attach(m);
    m.StartAction();
    m.RemoveAllText();
    m.EndAction(false);
    EXPECT_EQ("", Text(m));
    m.DoUndo();
    EXPECT_EQ("one\r\ntwo\r\nthree\r\nfour\r\n", Text(m));
    m.DoRedo();
    EXPECT_EQ("", Text(m));
    EXPECT_EQ(4, c.changes);
}

TEST(CEditModel, MultiByteCharactersAreEditedWhole) {
    CEditModel m;
    m.TypeChar(U'\u00E9');
    m.TypeChar(U'\u20AC');
    m.TypeChar('x');
    EXPECT_EQ("\xC3\xA9\xE2\x82\xAC"
              "x",
              m.GetLine(0));
    EXPECT_EQ(3, m.GetCursorX());
    m.MoveLeft(false);
    m.UpdateAnchor(false);
    m.Backspace();
    EXPECT_EQ("\xC3\xA9x", m.GetLine(0));
    m.MoveHome(false);
    m.UpdateAnchor(false);
    m.Delete();
    EXPECT_EQ("x", m.GetLine(0));
    m.LoadText("a\xFF"
               "b");
    Put(m, 2, 0);
    m.Backspace();
    EXPECT_EQ("ab", m.GetLine(0));
}

TEST(CEditModel, SelectionTextAndClipping) {
    CEditModel m;
    m.LoadText("first\nsecond\nthird");
    m.SetSelection(3, 0, 2, 2);
    EXPECT_EQ("st\r\nsecond\r\nth", m.GetSelectedText());
    EXPECT_TRUE(m.IsSelected(3, 0));
    EXPECT_FALSE(m.IsSelected(2, 2));
    m.SetSelection(0, 0, 99, 99);
    EXPECT_EQ(0, m.GetCursorX());
    EXPECT_EQ(3, m.GetCursorY());
    m.SetCursorPos(99, 1);
    EXPECT_EQ(6, m.GetCursorX());
    EXPECT_EQ(1, m.GetCursorY());
    CString cut = m.Cut();
    EXPECT_EQ("first\r\nsecond", cut);
    EXPECT_EQ("\r\nthird\r\n", Text(m));
    EXPECT_EQ("", m.Cut());
}

TEST(CEditModel, KeyMovesFollowLinesAndWords) {
    CEditModel m;
    m.LoadText("select a.b,  foo\nx");
    Put(m, 0, 0);
    m.MoveRight(true);
    EXPECT_EQ(6, m.GetCursorX());
    m.MoveRight(true);
    EXPECT_EQ(8, m.GetCursorX());
    m.MoveRight(true);
    EXPECT_EQ(9, m.GetCursorX());
    m.MoveEnd(false);
    m.MoveLeft(true);
    EXPECT_EQ(13, m.GetCursorX());
    m.MoveLeft(true);
    EXPECT_EQ(11, m.GetCursorX());
    m.MoveLeft(true);
    EXPECT_EQ(10, m.GetCursorX());
    m.MoveEnd(false);
    m.MoveRight(false);
    EXPECT_EQ(0, m.GetCursorX());
    EXPECT_EQ(1, m.GetCursorY());
    m.MoveLeft(false);
    EXPECT_EQ(16, m.GetCursorX());
    EXPECT_EQ(0, m.GetCursorY());
    m.MoveDown();
    EXPECT_EQ(1, m.GetCursorX());
    m.MoveEnd(true);
    EXPECT_EQ(2, m.GetCursorY());
    m.MoveHome(true);
    EXPECT_EQ(0, m.GetCursorY());

    // Shift+Right three times selects three characters; Left without Shift drops the selection.
    Put(m, 1, 0);
    for (int i = 0; i < 3; ++i) {
        m.MoveRight(false);
        m.UpdateAnchor(true);
    }
    EXPECT_EQ("ele", m.GetSelectedText());
    m.MoveLeft(false);
    m.UpdateAnchor(false);
    EXPECT_FALSE(m.HasSelection());
}

TEST(CEditModel, DoubleClickSelectsTheRunOfLettersAndDigits) {
    CEditModel m;
    m.LoadText("x total_sum2 + y");
    m.SelectWordAt(4, 0);
    EXPECT_EQ("total", m.GetSelectedText());
    EXPECT_EQ(2, m.GetCursorX());
    m.SelectWordAt(9, 0);
    EXPECT_EQ("sum2", m.GetSelectedText());
    m.SelectWordAt(13, 0);
    EXPECT_EQ("+", m.GetSelectedText());
}

TEST(CEditModel, FindStepsThroughOccurrencesOnce) {
    CEditModel m;
    m.LoadText("id idx id\nID");
    Put(m, 0, 0);
    std::vector<std::pair<int, int>> found;
    while (m.Find("id", 0, 1))
        found.emplace_back(m.GetAnchorX(), m.GetAnchorY());
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 0}, {7, 0}, {0, 1}}), found);
    // A user selection made right to left is searched past, not found again.
    m.SetSelection(2, 0, 0, 0);
    ASSERT_TRUE(m.Find("id", 1, 0));
    EXPECT_EQ(3, m.GetAnchorX());
    EXPECT_FALSE(m.Find("", 0, 0));
}

TEST(CEditModel, ReplaceAllNeverSearchesItsOwnReplacements) {
    CEditModel m;
    m.LoadText("aaa\nbab");
    Put(m, 0, 0);
    Counter c;
    c.Attach(m);
    EXPECT_EQ(4, m.ReplaceAll("a", "aa", 1, 0));
    EXPECT_EQ("aaaaaa\r\nbaab\r\n", Text(m));
    EXPECT_EQ(4, c.userChanges);
    m.DoUndo();
    EXPECT_EQ("aaaaaa\r\nbab\r\n", Text(m));
    EXPECT_EQ(0, m.ReplaceAll("", "x", 0, 0));
    Put(m, 0, 0);
    EXPECT_EQ(0, m.ReplaceAll("zz", "x", 0, 0));
}

TEST(CEditModel, ReplaceAllStartsAfterAFoundOccurrence) {
    CEditModel m;
    m.LoadText("ab ab ab");
    Put(m, 0, 0);
    ASSERT_TRUE(m.Find("ab", 0, 0));
    EXPECT_EQ(2, m.ReplaceAll("ab", "x\ny", 0, 0));
    EXPECT_EQ("ab x\r\ny x\r\ny\r\n", Text(m));
}

TEST(CEditModel, UndoReportsEveryLineItTouches) {
    CEditModel m;
    m.LoadText("a\nb\nc");
    m.SetSelection(0, 0, 1, 2);
    m.Delete();
    std::vector<int> lines;
    m.OnUndoLine = [&](int line) { lines.push_back(line); };
    m.DoUndo();
    EXPECT_EQ((std::vector<int>{1, 0, 1}), lines);
}

TEST(CEditModel, ColoursStayRightWhileTyping) {
    CEditModel m;
    m.LoadText("select 1\nfrom t\nwhere x");
    Put(m, 0, 0);
    Type(m, "/*");
    const COLORREF comment = RGB(0, 196, 0);
    EXPECT_EQ(comment, m.Text()._GetLineColors(2)[0]);
    m.DoUndo();
    m.DoUndo();
    EXPECT_NE(comment, m.Text()._GetLineColors(2)[0]);
}
