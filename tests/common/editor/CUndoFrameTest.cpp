#include "editor/CUndoFrame.h"
#include "editor/CUndoStack.h"

#include <gtest/gtest.h>

TEST(CUndoFrame, GivesActionsBackNewestFirstAndCopiesDeeply) {
    CUndoFrame frame;
    frame.Add(CUndoAction(CUndoAction::Replaced, "old", 3, 1, 2, 3, 4));
    frame.Add(CUndoAction(CUndoAction::Inserted, "", 4, 0, 4, 0, 4));
    CUndoFrame copy(frame);
    CUndoAction a;
    ASSERT_TRUE(frame.GetNext(a));
    EXPECT_EQ(CUndoAction::Inserted, a.m_Kind);
    ASSERT_TRUE(frame.GetNext(a));
    EXPECT_EQ("old", a.m_LineText);
    EXPECT_EQ(3, a.m_AnchorX);
    EXPECT_FALSE(frame.GetNext(a));
    EXPECT_EQ(2, copy.GetCount());
}

TEST(CUndoStack, PopsTheMostRecentFrame) {
    CUndoStack stack;
    CUndoFrame one, two;
    one.Add(CUndoAction(CUndoAction::Removed, "1", 1, 0, 0, 0, 0));
    two.Add(CUndoAction(CUndoAction::Removed, "2", 2, 0, 0, 0, 0));
    stack.Push(one);
    stack.Push(two);
    CUndoFrame out;
    ASSERT_TRUE(stack.Pop(out));
    CUndoAction a;
    ASSERT_TRUE(out.GetNext(a));
    EXPECT_EQ("2", a.m_LineText);
    EXPECT_EQ(1, stack.GetCount());
    stack.Clear();
    EXPECT_FALSE(stack.Pop(out));
}
