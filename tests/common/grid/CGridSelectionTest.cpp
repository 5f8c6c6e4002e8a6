#include "grid/CGridSelection.h"

#include <gtest/gtest.h>

TEST(CGridSelection, AddRemoveAndToggleKeepCellsExact) {
    CGridSelection s;
    EXPECT_EQ(CCellRange(), s.Bounds());
    s.Add(CCellRange(1, 1, 10, 10));
    s.Add(CCellRange(5, 5, 12, 12)); // overlaps
    EXPECT_EQ(100 + 64 - 36, s.CellCount());
    s.Remove(CCellRange(3, 3, 4, 4));
    EXPECT_FALSE(s.Contains(3, 4));
    EXPECT_TRUE(s.Contains(2, 4));
    EXPECT_EQ(100 + 64 - 36 - 4, s.CellCount());
    s.Toggle(3, 3);
    EXPECT_TRUE(s.Contains(3, 3));
    s.Toggle(3, 3);
    EXPECT_FALSE(s.Contains(3, 3));
    EXPECT_EQ(CCellRange(1, 1, 12, 12), s.Bounds());
}

TEST(CGridSelection, HugeRangesCostNothing) {
    CGridSelection s;
    s.Add(CCellRange(1, 1, 999999, 8));
    s.Toggle(500000, 4);
    EXPECT_EQ(int64_t(999999) * 8 - 1, s.CellCount());
    EXPECT_LE(s.Ranges().size(), 4u);
    s.Clip(CCellRange(0, 0, 9, 8));
    EXPECT_EQ(CCellRange(1, 1, 9, 8), s.Bounds());
}
