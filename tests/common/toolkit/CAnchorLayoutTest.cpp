#include "toolkit/CAnchorLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {
// Rectangles of a simulated dialog: items by index, plus the status bar and the splitter.
struct Board {
    CAnchorLayout layout;
    std::map<int, CAnchorRect> rects;
    std::vector<int> order;

    int Add(RZ_TYPE type, CAnchorRect rect, int flags = SPLIT_NONE) {
        int i = layout.Add(100 + static_cast<int>(rects.size()), type, flags);
        rects[i] = rect;
        return i;
    }
    void Run(const CArray<CAnchorLayout::Step>& steps) {
        order.clear();
        for (const auto& s : steps) {
            order.push_back(s.item);
            layout.Apply(rects[s.item], s);
        }
    }
    void Resize(int w, int h, bool statusBar = false) {
        if (layout.SizeChanged(w, h))
            Run(layout.ResizeSteps(statusBar));
    }
};

const CAnchorRect kUpper{10, 10, 200, 100};
const CAnchorRect kLower{10, 100, 200, 190};
} // namespace

TEST(CAnchorLayout, GrowingBy20MovesAndHalves) {
    Board b;
    int moved = b.Add(RZ_MOVE_Y, {10, 200, 80, 220});
    int upper = b.Add(RZ_UPPER_HALF, kUpper);
    int lower = b.Add(RZ_LOWER_HALF, kLower);
    b.Resize(300, 250);
    EXPECT_EQ(kUpper, b.rects[upper]) << "the first size is only recorded";
    b.Resize(300, 270);
    EXPECT_EQ((CAnchorRect{10, 220, 80, 240}), b.rects[moved]);
    EXPECT_EQ((CAnchorRect{10, 10, 200, 110}), b.rects[upper]);
    EXPECT_EQ((CAnchorRect{10, 110, 200, 210}), b.rects[lower]);
    // Shrinking by 31 halves toward zero: 15.
    b.Resize(300, 239);
    EXPECT_EQ(95, b.rects[upper].bottom);
    EXPECT_EQ(95, b.rects[lower].top);
    EXPECT_EQ(179, b.rects[lower].bottom);
}

TEST(CAnchorLayout, SmallChangesAlternateBetweenTheStackedControls) {
    Board b;
    int upper = b.Add(RZ_UPPER_HALF, kUpper);
    int lower = b.Add(RZ_LOWER_HALF, kLower);
    b.Resize(300, 250);
    std::vector<int> upperBottoms, lowerTops;
    for (int h = 251; h <= 254; ++h) {
        b.Resize(300, h);
        upperBottoms.push_back(b.rects[upper].bottom);
        lowerTops.push_back(b.rects[lower].top);
        EXPECT_LE(std::abs(b.rects[upper].bottom - b.rects[lower].top), 1) << "at height " << h;
    }
    // The upper control takes the first and third pixel, the lower one the second and fourth.
    EXPECT_EQ((std::vector<int>{101, 101, 102, 102}), upperBottoms);
    EXPECT_EQ((std::vector<int>{100, 101, 101, 102}), lowerTops);
    EXPECT_EQ(194, b.rects[lower].bottom);
}

TEST(CAnchorLayout, EveryTypeMovesItsEdges) {
    const CAnchorRect r{10, 20, 110, 70};
    const std::pair<RZ_TYPE, CAnchorRect> cases[] = {
        {RZ_MOVE_X, {15, 20, 115, 70}},          {RZ_GROW_XY, {10, 20, 115, 77}},
        {RZ_GROW_X, {10, 20, 115, 70}},          {RZ_MOVE_Y, {10, 27, 110, 77}},
        {RZ_GROW_Y, {10, 20, 110, 77}},          {RZ_MOVE_XY, {15, 27, 115, 77}},
        {RZ_STATUSBAR, {10, 27, 115, 77}},       {RZ_ABOVE_HSPLIT, {10, 20, 110, 77}},
        {RZ_BELOW_HSPLIT, {10, 27, 110, 70}},    {RZ_LEFT_OF_VSPLIT, {10, 20, 115, 70}},
        {RZ_RIGHT_OF_VSPLIT, {15, 20, 110, 70}}, {RZ_GROW_Y_MOVE_X, {15, 20, 115, 77}},
        {static_cast<RZ_TYPE>(42), r},
    };
    for (const auto& [type, expected] : cases) {
        CAnchorRect got = r;
        CAnchorLayout::Apply(got, type, 5, 7, nullptr);
        EXPECT_EQ(expected, got) << "type " << type;
    }
    CAnchorRect same = r;
    for (RZ_TYPE t : {RZ_MOVE_X, RZ_GROW_X, RZ_LEFT_OF_VSPLIT, RZ_RIGHT_OF_VSPLIT})
        EXPECT_FALSE(CAnchorLayout::Apply(same, t, 0, 7, nullptr)) << "type " << t << " without dx";
    for (RZ_TYPE t : {RZ_MOVE_Y, RZ_ABOVE_HSPLIT, RZ_BELOW_HSPLIT})
        EXPECT_FALSE(CAnchorLayout::Apply(same, t, 5, 0, nullptr)) << "type " << t << " without dy";
    EXPECT_EQ(r, same);
}

TEST(CAnchorLayout, ShrinkingMovesInReverseWithTheStatusBarLast) {
    Board b;
    b.Add(RZ_MOVE_X, {200, 10, 250, 30});
    b.Add(RZ_GROW_XY, {10, 10, 190, 150});
    b.Add(RZ_MOVE_XY, {200, 160, 250, 180});
    b.rects[CAnchorLayout::kStatusBar] = {0, 190, 300, 200};
    b.Resize(300, 200, true);
    b.Resize(280, 200, true);
    EXPECT_EQ((std::vector<int>{2, 1, 0, CAnchorLayout::kStatusBar}), b.order);
    EXPECT_EQ((CAnchorRect{0, 190, 280, 200}), b.rects[CAnchorLayout::kStatusBar]);
    b.Resize(280, 220, true);
    EXPECT_EQ((std::vector<int>{2, 1, 0, CAnchorLayout::kStatusBar}), b.order)
        << "same width counts as shrinking";
    b.Resize(300, 220, true);
    EXPECT_EQ((std::vector<int>{CAnchorLayout::kStatusBar, 0, 1, 2}), b.order);
    EXPECT_EQ((CAnchorRect{0, 210, 300, 220}), b.rects[CAnchorLayout::kStatusBar]);
    EXPECT_EQ((CAnchorRect{10, 10, 190, 170}), b.rects[1]);
}

TEST(CAnchorLayout, DraggingTheHorizontalSplitterDown30) {
    Board b;
    int above = b.Add(RZ_GROW_XY, {0, 0, 300, 100}, SPLIT_H_GROW);
    int below = b.Add(RZ_GROW_XY, {0, 105, 300, 200}, SPLIT_H_FOLLOW);
    int side = b.Add(RZ_MOVE_X, {310, 0, 350, 20}, SPLIT_V_FOLLOW);
    int splitter = b.Add(RZ_GROW_X, {0, 100, 300, 105}, SPLIT_H_GROW);
    b.rects[CAnchorLayout::kSplitter] = b.rects[splitter];
    b.layout.SetChange(4, 30);
    b.Run(b.layout.SplitterSteps(true, splitter));
    EXPECT_EQ((CAnchorRect{0, 0, 300, 130}), b.rects[above]);
    EXPECT_EQ((CAnchorRect{0, 135, 300, 200}), b.rects[below]);
    EXPECT_EQ((CAnchorRect{310, 0, 350, 20}), b.rects[side]);
    EXPECT_EQ((CAnchorRect{0, 130, 300, 135}), b.rects[CAnchorLayout::kSplitter]);
    EXPECT_EQ((std::vector<int>{above, below, CAnchorLayout::kSplitter}), b.order);

    b.Run(b.layout.SplitterSteps(false, -1));
    EXPECT_EQ((CAnchorRect{314, 0, 350, 20}), b.rects[side])
        << "the vertical splitter moves flag-8 items by dx";
}
