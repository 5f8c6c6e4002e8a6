#include "grid/CGridNavigation.h"

#include "grid/CGridModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Key = CGridNavigation::Key;
constexpr unsigned kNone = CGridNavigation::NoModifier;
constexpr unsigned kShift = CGridNavigation::Shift;
constexpr unsigned kCtrl = CGridNavigation::Ctrl;

// One user action on the grid and what it must leave: the focus cell, the bounds of the selection
// and how many cells that selection holds.
struct Step {
    enum Kind { Click, RightClick, DragTo, Press } kind;
    int row = -1, col = -1;
    Key key = Key::Up;
    unsigned modifiers = kNone;
    CCellID focus;
    CCellRange bounds;
    int64_t cells = 0;
};

Step Click(int row, int col, unsigned mods, CCellID focus, CCellRange bounds, int64_t cells) {
    return {Step::Click, row, col, Key::Up, mods, focus, bounds, cells};
}
Step Right(int row, int col, CCellID focus, CCellRange bounds, int64_t cells) {
    return {Step::RightClick, row, col, Key::Up, kNone, focus, bounds, cells};
}
Step Drag(int row, int col, CCellID focus, CCellRange bounds, int64_t cells) {
    return {Step::DragTo, row, col, Key::Up, kNone, focus, bounds, cells};
}
Step Press(Key key, unsigned mods, CCellID focus, CCellRange bounds, int64_t cells) {
    return {Step::Press, -1, -1, key, mods, focus, bounds, cells};
}

// A grid with one fixed row and column, some rows or columns hidden (size 0), and a page size.
struct Scenario {
    const char* name;
    int rows, cols;
    std::vector<int> hiddenRows, hiddenCols;
    bool listMode;
    std::vector<Step> steps;
};

const int kPage = 10;

// clang-format off
const Scenario kScenarios[] = {
    {"ClickShiftClickAndCtrlClickSelectCells", 10, 5, {}, {}, false,
     {Click(2, 1, kNone, {2, 1}, {2, 1, 2, 1}, 1),
      Click(4, 3, kShift, {4, 3}, {2, 1, 4, 3}, 9),
      Click(3, 2, kCtrl, {3, 2}, {2, 1, 4, 3}, 8),
      Click(3, 2, kCtrl, {3, 2}, {2, 1, 4, 3}, 9),
      Click(5, 4, kNone, {5, 4}, {5, 4, 5, 4}, 1)}},
    {"HeadingsSelectColumnsRowsAndAll", 10, 5, {}, {}, false,
     {Click(0, 2, kNone, {}, {1, 2, 9, 2}, 9),
      Drag(0, 4, {}, {1, 2, 9, 4}, 27),
      Click(3, 0, kNone, {}, {3, 1, 3, 4}, 4),
      Click(0, 0, kNone, {}, {1, 1, 9, 4}, 36),
      Click(0, 3, kCtrl, {}, {1, 1, 9, 4}, 36),
      Click(2, 1, kNone, {2, 1}, {2, 1, 2, 1}, 1),
      Drag(3, 2, {3, 2}, {2, 1, 3, 2}, 4),
      Click(0, 4, kShift, {3, 2}, {1, 2, 9, 4}, 27)}},
    {"KeysMoveExtendAndWrap", 50, 4, {}, {}, false,
     {Click(1, 1, kNone, {1, 1}, {1, 1, 1, 1}, 1),
      Press(Key::Right, kNone, {1, 2}, {1, 2, 1, 2}, 1),
      Press(Key::Down, kShift, {2, 2}, {1, 2, 2, 2}, 2),
      Press(Key::Right, kShift, {2, 3}, {1, 2, 2, 3}, 4),
      Press(Key::Tab, kNone, {3, 1}, {3, 1, 3, 1}, 1),
      Press(Key::Backtab, kShift, {2, 3}, {2, 3, 2, 3}, 1),
      Press(Key::End, kCtrl, {49, 3}, {49, 3, 49, 3}, 1),
      Press(Key::Home, kNone, {49, 1}, {49, 1, 49, 1}, 1),
      Press(Key::Home, kCtrl, {1, 1}, {1, 1, 1, 1}, 1),
      Press(Key::Up, kNone, {1, 1}, {1, 1, 1, 1}, 1),
      Press(Key::PageDown, kNone, {11, 1}, {11, 1, 11, 1}, 1),
      Press(Key::PageUp, kShift, {1, 1}, {1, 1, 11, 1}, 11)}},
    {"HiddenRowsAndColumnsAreSkipped", 30, 6, {2, 3, 29}, {1, 5}, false,
     {Press(Key::Down, kNone, {1, 2}, {1, 2, 1, 2}, 1),
      Press(Key::Down, kNone, {4, 2}, {4, 2, 4, 2}, 1),
      Press(Key::End, kNone, {4, 4}, {4, 4, 4, 4}, 1),
      Press(Key::Right, kNone, {4, 4}, {4, 4, 4, 4}, 1),
      Press(Key::Tab, kNone, {5, 2}, {5, 2, 5, 2}, 1),
      Press(Key::Backtab, kNone, {4, 4}, {4, 4, 4, 4}, 1),
      Press(Key::End, kCtrl, {28, 4}, {28, 4, 28, 4}, 1),
      Press(Key::Home, kCtrl, {1, 2}, {1, 2, 1, 2}, 1),
      Press(Key::PageDown, kNone, {13, 2}, {13, 2, 13, 2}, 1)}},
    {"TabStopsAtTheLastCellAndBacktabAtTheFirst", 3, 3, {}, {}, false,
     {Click(2, 2, kNone, {2, 2}, {2, 2, 2, 2}, 1),
      Press(Key::Tab, kNone, {2, 2}, {2, 2, 2, 2}, 1),
      Click(1, 1, kNone, {1, 1}, {1, 1, 1, 1}, 1),
      Press(Key::Backtab, kNone, {1, 1}, {1, 1, 1, 1}, 1)}},
    {"ListModeSelectsWholeRows", 8, 4, {}, {}, true,
     {Click(2, 2, kNone, {2, 2}, {2, 1, 2, 3}, 3),
      Click(4, 1, kCtrl, {4, 1}, {2, 1, 4, 3}, 6),
      Click(2, 3, kCtrl, {2, 3}, {4, 1, 4, 3}, 3),
      Press(Key::Down, kShift, {3, 3}, {2, 1, 3, 3}, 6),
      Press(Key::Down, kNone, {4, 3}, {4, 1, 4, 3}, 3),
      Right(6, 2, {6, 2}, {6, 2, 6, 2}, 1),
      Right(0, 2, {6, 2}, {6, 2, 6, 2}, 1)}},
    {"WithoutAFocusAKeyGoesToTheFirstShownCell", 5, 4, {}, {1}, false,
     {Press(Key::End, kCtrl, {1, 2}, {1, 2, 1, 2}, 1)}},
};
// clang-format on

class CGridNavigationRules : public ::testing::TestWithParam<Scenario> {};
} // namespace

TEST_P(CGridNavigationRules, EachStepLeavesItsFocusAndSelection) {
    const Scenario& s = GetParam();
    CGridModel model;
    model.SetRowCount(s.rows);
    model.SetColumnCount(s.cols);
    model.SetFixedRowCount(1);
    model.SetFixedColumnCount(1);
    for (int r : s.hiddenRows)
        model.SetRowHeight(r, 0);
    for (int c : s.hiddenCols)
        model.SetColumnWidth(c, 0);
    CGridNavigation nav(model);
    nav.SetListMode(s.listMode);
    for (size_t i = 0; i < s.steps.size(); ++i) {
        const Step& step = s.steps[i];
        switch (step.kind) {
        case Step::Click:
            nav.EndDrag();
            nav.OnLeftClick(CCellID(step.row, step.col), step.modifiers);
            break;
        case Step::RightClick:
            nav.OnRightClick(CCellID(step.row, step.col));
            break;
        case Step::DragTo:
            nav.DragTo(CCellID(step.row, step.col));
            break;
        case Step::Press:
            EXPECT_TRUE(nav.OnKey(step.key, step.modifiers, kPage)) << "step " << i;
            break;
        }
        EXPECT_EQ(step.focus, model.GetFocusCell()) << "focus after step " << i;
        EXPECT_EQ(step.bounds, model.Selection().Bounds()) << "selection after step " << i;
        EXPECT_EQ(step.cells, model.Selection().CellCount()) << "selected cells after step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Grid, CGridNavigationRules, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// Keys are left to the window when there is no cell to move to; a heading click in list mode with
// header sort asks for sorting and leaves the selection alone.
TEST(CGridNavigation, EmptyGridsAndSortingHeadingsLeaveTheWorkToTheWindow) {
    CGridModel model;
    model.SetColumnCount(3);
    model.SetRowCount(1);
    model.SetFixedRowCount(1);
    model.SetFixedColumnCount(1);
    CGridNavigation nav(model);
    EXPECT_FALSE(nav.OnKey(Key::Down, kNone, kPage));
    EXPECT_FALSE(model.GetFocusCell().IsValid());

    model.SetRowCount(4);
    nav.SetListMode(true);
    EXPECT_EQ(CGridNavigation::Click::SortColumn, nav.OnLeftClick(CCellID(0, 2), kNone));
    EXPECT_TRUE(model.Selection().IsEmpty());
    nav.SetHeaderSort(false);
    EXPECT_EQ(CGridNavigation::Click::Selected, nav.OnLeftClick(CCellID(0, 2), kNone));
    EXPECT_EQ(CCellRange(1, 2, 3, 2), model.Selection().Bounds());
    EXPECT_EQ(CGridNavigation::Click::Nothing, nav.OnLeftClick(CCellID(), kNone));
}
