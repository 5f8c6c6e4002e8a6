#include "editor/CEditViewport.h"

#include <gtest/gtest.h>

namespace {
// A window of 10 lines by 20 columns (cells of 8 x 16 pixels, 168 pixels wide: 21 cells minus one).
CEditViewport Window(int lines, int longest) {
    CEditViewport view;
    view.SetCellSize(8, 16);
    view.SetClientSize(168, 160);
    view.SetDocument(lines, longest);
    return view;
}
} // namespace

TEST(CEditViewport, CountsAndRangesFollowTheDocument) {
    CEditViewport view = Window(4, 5);
    EXPECT_EQ(10, view.VisibleLines(true));
    EXPECT_EQ(4, view.VisibleLines(false));
    EXPECT_EQ(20, view.VisibleColumns());
    EXPECT_EQ(0, view.VerticalMaximum()) << "every line fits";
    EXPECT_EQ(0, view.HorizontalMaximum()) << "the longest line fits";
    view.SetDocument(100, 50);
    EXPECT_EQ(90, view.VerticalMaximum());
    EXPECT_EQ(30, view.HorizontalMaximum());
    view.SetFirstLine(3);
    EXPECT_EQ(13, view.LastVisibleLine());
    view.SetFirstLine(95);
    EXPECT_EQ(100, view.LastVisibleLine()) << "not beyond the number of lines";
}

TEST(CEditViewport, ScrollToLineAndSoftScroll) {
    CEditViewport view = Window(100, 10);
    view.ScrollToLine(500);
    EXPECT_EQ(99, view.FirstLine());
    view.ScrollToLine(-3);
    EXPECT_EQ(0, view.FirstLine());
    view.ScrollToLine(20);
    EXPECT_FALSE(view.SoftScrollToLine(29));
    EXPECT_EQ(20, view.FirstLine());
    EXPECT_TRUE(view.SoftScrollToLine(30));
    EXPECT_EQ(30, view.FirstLine());
    EXPECT_TRUE(view.SoftScrollToLine(5));
    EXPECT_EQ(5, view.FirstLine());
}

TEST(CEditViewport, ScrollToCursorMakesTheCaretLineTheLastOrFirstVisible) {
    CEditViewport view = Window(100, 200);
    EXPECT_FALSE(view.ScrollToCursor(0, 9));
    EXPECT_TRUE(view.ScrollToCursor(0, 10));
    EXPECT_EQ(1, view.FirstLine());
    EXPECT_TRUE(view.ScrollToCursor(0, 50));
    EXPECT_EQ(41, view.FirstLine());
    EXPECT_TRUE(view.ScrollToCursor(0, 7));
    EXPECT_EQ(7, view.FirstLine());
    // Columns: three quarters across going right, a quarter back going left.
    EXPECT_FALSE(view.ScrollToCursor(20, 7));
    EXPECT_TRUE(view.ScrollToCursor(21, 7));
    EXPECT_EQ(21 - 20 + 5, view.FirstCol());
    EXPECT_TRUE(view.ScrollToCursor(3, 7));
    EXPECT_EQ(0, view.FirstCol());
    view.SetFirstCol(100);
    EXPECT_TRUE(view.ScrollToCursor(90, 7));
    EXPECT_EQ(85, view.FirstCol());
    // When every line fits, a caret below the window does not scroll.
    CEditViewport small = Window(5, 5);
    EXPECT_FALSE(small.ScrollToCursor(0, 5));
}

TEST(CEditViewport, VerticalCommands) {
    CEditViewport view = Window(30, 10);
    EXPECT_FALSE(view.VScroll(CEditViewport::LineUp));
    EXPECT_TRUE(view.VScroll(CEditViewport::LineDown));
    EXPECT_EQ(1, view.FirstLine());
    EXPECT_TRUE(view.VScroll(CEditViewport::Bottom));
    EXPECT_EQ(20, view.FirstLine());
    EXPECT_FALSE(view.VScroll(CEditViewport::LineDown)) << "line down stops at the last page";
    EXPECT_TRUE(view.VScroll(CEditViewport::PageDown));
    EXPECT_EQ(27, view.FirstLine()) << "page down is not bounded by the text";
    EXPECT_TRUE(view.VScroll(CEditViewport::PageUp));
    EXPECT_EQ(20, view.FirstLine());
    view.SetFirstLine(3);
    EXPECT_TRUE(view.VScroll(CEditViewport::PageUp));
    EXPECT_EQ(0, view.FirstLine());
    EXPECT_TRUE(view.VScroll(CEditViewport::Thumb, 99));
    EXPECT_EQ(30, view.FirstLine());
    EXPECT_TRUE(view.VScroll(CEditViewport::Top));
    EXPECT_EQ(0, view.FirstLine());
}

TEST(CEditViewport, HorizontalCommands) {
    CEditViewport view = Window(3, 50);
    EXPECT_TRUE(view.HScroll(CEditViewport::LineDown));
    EXPECT_EQ(1, view.FirstCol());
    EXPECT_TRUE(view.HScroll(CEditViewport::Thumb, 100));
    EXPECT_EQ(30, view.FirstCol());
    EXPECT_FALSE(view.HScroll(CEditViewport::LineDown));
    EXPECT_FALSE(view.HScroll(CEditViewport::Bottom)) << "the right end only repaints";
    EXPECT_TRUE(view.HScroll(CEditViewport::PageUp));
    EXPECT_EQ(30 - 15, view.FirstCol()); // three quarters of 21 cells
    EXPECT_TRUE(view.HScroll(CEditViewport::Top));
    EXPECT_EQ(0, view.FirstCol());
}

TEST(CEditViewport, WheelScrollsFiveLinesWithinTheText) {
    CEditViewport view = Window(23, 10);
    EXPECT_FALSE(view.Wheel(true));
    EXPECT_TRUE(view.Wheel(false));
    EXPECT_EQ(5, view.FirstLine());
    EXPECT_TRUE(view.Wheel(false));
    EXPECT_EQ(10, view.FirstLine());
    EXPECT_TRUE(view.Wheel(false));
    EXPECT_EQ(13, view.FirstLine()) << "not beyond lines minus visible lines";
    EXPECT_FALSE(view.Wheel(false));
    EXPECT_TRUE(view.Wheel(true));
    EXPECT_EQ(8, view.FirstLine());
}

TEST(CEditViewport, PointerPositionsGoToTheNearestBoundary) {
    CEditViewport view = Window(30, 100);
    EXPECT_EQ(0, view.ColumnAt(10));
    EXPECT_EQ(0, view.ColumnAt(13));
    EXPECT_EQ(1, view.ColumnAt(14));
    EXPECT_EQ(0, view.ColumnAt(0));
    view.SetFirstCol(4);
    view.SetFirstLine(2);
    EXPECT_EQ(5, view.ColumnAt(18));
    EXPECT_EQ(2, view.LineAt(15));
    EXPECT_EQ(3, view.LineAt(16));
    EXPECT_EQ(10 + 8 * 2, view.ColumnX(6));
    EXPECT_EQ(16 * 3, view.LineY(5));
}
