#include "grid/coreDBgrid.h"

#include "MessageRecorder.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {
// Opens the loading interface that derived grids use.
class TestGrid : public coreDBgrid {
public:
    using coreDBgrid::AddColumn;
    using coreDBgrid::CopyToClipBoard;
    using coreDBgrid::Initialize;
    using coreDBgrid::NextRow;
    using coreDBgrid::SetCellText;
    int m_ExportDialogs = 0;
    EXP_TYPE m_ModeAtDialog = EXP_NONE;

protected:
    void OpenExportDialog() override {
        ++m_ExportDialogs;
        m_ModeAtDialog = GetExport()->GetMode();
    }
};

// Loads rows of texts under the given headings, as the result loading does.
void Load(TestGrid& g, const std::vector<CString>& headings, const std::vector<std::vector<CString>>& rows) {
    g.Clear();
    g.Initialize();
    g.SetColumnCount(int(headings.size()) + 1);
    for (size_t c = 0; c < headings.size(); ++c)
        g.AddColumn(int(c), headings[c]);
    for (size_t r = 0; r < rows.size(); ++r) {
        const int row = g.NextRow(int(r));
        for (size_t c = 0; c < rows[r].size(); ++c)
            g.SetCellText(row, int(c) + 1, rows[r][c]);
    }
}

std::vector<CString> Column(const coreDBgrid& g, int col) {
    std::vector<CString> out;
    for (int r = 1; r < g.GetRowCount(); ++r)
        out.push_back(g.GetItemText(r, col));
    return out;
}

CString Clipboard() {
    return QApplication::clipboard()->text().toStdString();
}
} // namespace

TEST(coreDBgrid, InitializeLaysOutAReadOnlyResultAndReplacesTheExport) {
    TestGrid g;
    EXPECT_EQ(0, g.GetRowCount());
    EXPECT_EQ(1, g.Table().GetViewNull());
    EXPECT_EQ(0, g.Table().GetBlobAsText());
    g.Initialize();
    EXPECT_EQ(1, g.GetRowCount());
    EXPECT_EQ(1, g.GetFixedRowCount());
    EXPECT_EQ(1, g.GetFixedColumnCount());
    EXPECT_FALSE(g.IsEditable());
    EXPECT_FALSE(g.GetListMode());
    EXPECT_FALSE(g.GetHeaderSort());
    EXPECT_FALSE(g.GetDragAndDrop());
    ASSERT_NE(nullptr, g.GetExport());
    EXPECT_TRUE(g.GetExport()->IsPreset());
    g.GetExport()->SetMode(EXP_XML);
    g.GetExport()->GetOptions().FileName = "chosen.xml";
    g.Initialize();
    EXPECT_EQ(EXP_TEXT, g.GetExport()->GetMode()) << "a new result starts from the defaults";
    EXPECT_EQ("", g.GetExport()->GetOptions().FileName);
    EXPECT_EQ(&g.Table(), g.GetExport()->GetTable());
}

TEST(coreDBgrid, HeadingsAndRowNumbers) {
    TestGrid g;
    Load(g, {"ID", "NAME"}, {{"1", "a"}});
    EXPECT_EQ("ID", g.GetItemText(0, 1));
    EXPECT_EQ(unsigned(DT_WORDBREAK | DT_NOPREFIX), g.GetItemFormat(0, 1));
    EXPECT_EQ("  1", g.GetItemText(1, 0));
    EXPECT_EQ(CGridModel::kCommonFormat, g.GetItemFormat(1, 2));
    for (int i = 1; i < 1000; ++i)
        g.NextRow(i);
    EXPECT_EQ(" 10", g.GetItemText(10, 0));
    EXPECT_EQ("1000", g.GetItemText(1000, 0)) << "numbers grow beyond three digits";
    g.Table().Fields().push_back({});
    g.Clear();
    EXPECT_EQ(0, g.GetRowCount());
    EXPECT_EQ(0, g.GetColumnCount());
    EXPECT_EQ(0, g.GetFixedRowCount());
    EXPECT_TRUE(g.Table().Fields().empty());
}

TEST(coreDBgrid, SortWithoutSelectedColumnAsksForOne) {
    TestGrid g;
    Load(g, {"N"}, {{"2"}, {"1"}});
    MessageRecorder messages;
    g.Sort(-1, 1);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Select column first!", messages.Shown()[0].text);
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_ICONERROR), messages.Shown()[0].type & MB_ICONMASK);
    EXPECT_EQ((std::vector<CString>{"2", "1"}), Column(g, 1));
}

TEST(coreDBgrid, SortUsesTheLeftmostSelectedColumnAndKeepsFetchNumbers) {
    TestGrid g;
    Load(g, {"N", "T"}, {{"9", "x"}, {"10", "y"}, {"<NULL>", "z"}, {"-5", "w"}, {"abc", "v"}, {"", "u"}});
    g.SetSelectedRange(CCellRange(2, 1, 3, 2));
    g.SetFocusCell(2, 1);
    g.Sort(-1, 1);
    EXPECT_EQ((std::vector<CString>{"", "-5", "10", "9", "<NULL>", "abc"}), Column(g, 1));
    EXPECT_EQ((std::vector<CString>{"  6", "  4", "  2", "  1", "  3", "  5"}), Column(g, 0));
    EXPECT_EQ((std::vector<CString>{"u", "w", "y", "x", "z", "v"}), Column(g, 2));
    EXPECT_TRUE(g.Table().Selection().IsEmpty());
    EXPECT_FALSE(g.GetFocusCell().IsValid());
    EXPECT_EQ(1, g.Table().GetSortColumn());
    g.Sort(2, 0);
    EXPECT_EQ((std::vector<CString>{"z", "y", "x", "w", "v", "u"}), Column(g, 2));
    EXPECT_FALSE(g.Table().GetSortAscending());
}

TEST(coreDBgrid, CopySelectedTakesTheWholeRectangleWithTrailingTabs) {
    TestGrid g;
    Load(g, {"A", "B", "C"}, {{"a1", "b1", "c1"}, {"a2", "b2", "c2"}, {"a3", "b3", "c3"}});
    g.Table().Selection().Add(CCellRange(1, 1, 1, 1));
    g.Table().Selection().Add(CCellRange(2, 3, 2, 3));
    EXPECT_EQ(1, g.ProceedCommand(ID_GRID_COPYSELECTED));
    EXPECT_EQ("a1\tb1\tc1\t\r\na2\tb2\tc2\t\r\n", Clipboard());
    g.SetSelectedRange(CCellRange(3, 2, 3, 2));
    EXPECT_TRUE(g.OnCommand(ID_EDIT_COPY));
    EXPECT_EQ("b3\t\r\n", Clipboard());
    g.Table().Selection().Add(CCellRange(3, 0, 3, 0));
    g.CopyToClipBoard();
    EXPECT_EQ("a3\tb3\t\r\n", Clipboard()) << "the row-number column is never copied";
    g.ClearSelection();
    QApplication::clipboard()->setText("old");
    g.CopyToClipBoard();
    EXPECT_EQ("", Clipboard());
}

TEST(coreDBgrid, ContextMenuAndCommands) {
    TestGrid g;
    Load(g, {"A"}, {{"a"}});
    const std::unique_ptr<QMenu> menu = g.CreateContextMenu();
    ASSERT_EQ(2, menu->actions().size());
    EXPECT_EQ("Copy selected", menu->actions()[0]->text().toStdString());
    EXPECT_EQ(1028, menu->actions()[0]->data().toInt());
    EXPECT_EQ("Export...", menu->actions()[1]->text().toStdString());
    EXPECT_EQ(1029, menu->actions()[1]->data().toInt());

    const std::pair<int, EXP_TYPE> targets[] = {{32822, EXP_SQL},  {1029, EXP_SQL},    {32823, EXP_XML},
                                                {32825, EXP_HTML}, {32827, EXP_EXCEL}, {32821, EXP_TEXT}};
    int dialogs = 0;
    for (const auto& [id, mode] : targets) {
        EXPECT_EQ(1, g.ProceedCommand(id));
        EXPECT_EQ(++dialogs, g.m_ExportDialogs);
        EXPECT_EQ(mode, g.m_ModeAtDialog) << id;
    }
    EXPECT_EQ(0, g.ProceedCommand(32824));
    EXPECT_EQ(0, g.ProceedCommand(57642));
    EXPECT_TRUE(g.OnCommand(57642)) << "unknown ids go to the grid control: select all";
    EXPECT_EQ(CCellRange(1, 1, 1, 1), g.GetSelectedCellRange());
    EXPECT_FALSE(g.OnCommand(4711));
}
