#include "views/DBgrid.h"

#include "codbc/ODBC.h"

#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <charconv>

namespace {
class DBgridSqlite : public testing::Test {
protected:
    void SetUp() override {
        TestSandbox::AddSqliteSource("Grid");
        ASSERT_EQ(0, session.Connect("Grid", "", "")) << session.lastError;
    }
    void Load(const CString& sql) {
        ASSERT_EQ(0, session.StmtRealloc());
        ASSERT_EQ(0, session.Exec(sql)) << session.lastError;
        grid.AssignDatabase(&session, 0);
    }
    // A shop: categories such as "Kitchen", two-digit counts, prices, NULLs and 120 rows, so that
    // row numbers reach three digits.
    void FillShop() {
        Load("create table shop (category varchar(20), item_count integer, price numeric(10,2), note "
             "varchar(30))");
        const char* categories[] = {"Books", "Kitchen", "Garden", "Toys"};
        const char* prices[] = {"10.75", "100.25", "11.25", "9.5", "-5"};
        for (int i = 0; i < 120; ++i)
            Load(CString("insert into shop values ('") + categories[i % 4] + "', " +
                 std::to_string(10 + i % 90) + ", " + (i % 7 == 3 ? "NULL" : prices[i % 5]) + ", " +
                 (i % 3 == 0 ? "NULL" : "'gift wrap'") + ")");
    }
    // Paints the grid and compares every cell on screen with the same cell after every column grew by
    // 200 pixels: a text painted whole looks the same in both; a cut or wrapped one does not.
    void ExpectEveryCellPaintedWhole(const char* what) {
        grid.resize(1000, 500);
        grid.show();
        QApplication::processEvents();
        const QImage fitted = grid.viewport()->grab().toImage();
        struct Cell {
            int row, col;
            QRect rect;
        };
        std::vector<Cell> cells;
        for (int r = 0; r < grid.GetRowCount(); ++r)
            for (int c = 0; c < grid.GetColumnCount(); ++c) {
                const QRect rect = grid.GetCellRect(r, c);
                if (!rect.isEmpty() && fitted.rect().contains(rect))
                    cells.push_back({r, c, rect});
            }
        ASSERT_GT(cells.size(), size_t(grid.GetColumnCount())) << what;
        std::vector<int> widths;
        int total = 0;
        for (int c = 0; c < grid.GetColumnCount(); ++c) {
            widths.push_back(grid.GetColumnWidth(c));
            grid.SetColumnWidth(c, widths.back() + 200);
            total += widths.back() + 200;
        }
        grid.resize(total + 50, 500);
        QApplication::processEvents();
        const QImage wide = grid.viewport()->grab().toImage();
        int cut = 0;
        for (const Cell& cell : cells) {
            const QRect other = grid.GetCellRect(cell.row, cell.col);
            bool same = other.height() == cell.rect.height();
            // The right and bottom pixels are grid lines, which move with the wider column.
            for (int y = 0; same && y < cell.rect.height() - 1; ++y)
                for (int x = 0; same && x < cell.rect.width() - 1; ++x)
                    same = fitted.pixel(cell.rect.x() + x, cell.rect.y() + y) ==
                           wide.pixel(other.x() + x, other.y() + y);
            if (!same && ++cut <= 5)
                ADD_FAILURE() << what << ": cell (" << cell.row << ", " << cell.col << ") \""
                              << grid.GetItemText(cell.row, cell.col) << "\" is not painted whole in width "
                              << cell.rect.width();
        }
        EXPECT_EQ(0, cut) << what;
        for (int c = 0; c < grid.GetColumnCount(); ++c)
            grid.SetColumnWidth(c, widths[size_t(c)]);
        grid.resize(1000, 500);
        QApplication::processEvents();
    }
    CStringArray Column(int col) {
        CStringArray texts;
        for (int r = 1; r < grid.GetRowCount(); ++r)
            texts.push_back(grid.GetItemText(r, col));
        return texts;
    }

    ODBC session;
    DBgrid grid;
    MessageRecorder messages;
};

double Value(const CString& text) {
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}
} // namespace

TEST_F(DBgridSqlite, EveryCellIsPaintedWholeAfterLoading) {
    FillShop();
    Load("create table created_here (a integer)");
    ExpectEveryCellPaintedWhole("a summary with a blank in its heading");
    Load("select category, item_count, price as \"unit price\", note from shop");
    ExpectEveryCellPaintedWhole("the shop's rows");
    // The driver cuts the expression's name at its dot; the heading is the whole expression.
    Load(
        "select s.category, sum(s.item_count), count(*) as \"total amount\" from shop s group by s.category");
    EXPECT_EQ("sum(s.item_count)", grid.GetItemText(0, 2));
    EXPECT_EQ("sum(s.item_count)", grid.Table().Fields()[1].name);
    ExpectEveryCellPaintedWhole("a sum");

    // A cell cut by a narrowed column shows its whole text in the title tip; a fitted one none.
    EXPECT_EQ("", grid.GetTitleTipText(1, 1));
    grid.SetColumnWidth(1, grid.GetTextExtent(2, 1).width() - 1);
    EXPECT_EQ(grid.GetItemText(2, 1), grid.GetTitleTipText(2, 1));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(DBgridSqlite, NumbersSortByValueWithNullsFirstAndTheTopInView) {
    FillShop();
    Load("select category, price, note from shop");
    grid.resize(600, 200);
    grid.show();
    QApplication::processEvents();
    grid.EnsureVisible(grid.GetRowCount() - 1, 1);
    ASSERT_GT(grid.GetTopRow(), 1);

    grid.SetSelectedRange(CCellRange(3, 2, 3, 2));
    grid.Sort(-1, 1);
    EXPECT_EQ(1, grid.GetTopRow()) << "the sorted top is in view";
    const CStringArray ascending = Column(2);
    size_t nulls = 0;
    while (nulls < ascending.size() && ascending[nulls] == "<NULL>")
        ++nulls;
    EXPECT_GT(nulls, 0u);
    for (size_t i = nulls + 1; i < ascending.size(); ++i)
        ASSERT_LE(Value(ascending[i - 1]), Value(ascending[i]))
            << ascending[i - 1] << " before " << ascending[i];
    EXPECT_EQ(Value("-5"), Value(ascending[nulls]));

    grid.Sort(2, 0);
    const CStringArray descending = Column(2);
    EXPECT_EQ("100.25", descending.front());
    EXPECT_EQ("<NULL>", descending.back());

    // Text keeps its byte order, NULLs between digits and letters.
    grid.Sort(3, 1);
    const CStringArray notes = Column(3);
    EXPECT_TRUE(std::is_sorted(notes.begin(), notes.end())) << notes.front() << " .. " << notes.back();
    EXPECT_EQ("<NULL>", notes.front());
}

TEST_F(DBgridSqlite, LoadFitsSizesSetsTipsAndReplacesContent) {
    Load("create table t (short_name varchar(5), a_rather_long_column_name varchar(300))");
    EXPECT_EQ("Created object(s)", grid.GetItemText(0, 1));
    Load("insert into t values ('x', 'a value much longer than its heading, to widen the column')");
    EXPECT_EQ("1", grid.GetItemText(1, 1));

    Load("select short_name, a_rather_long_column_name from t");
    ASSERT_EQ(2, grid.GetRowCount());
    ASSERT_EQ(3, grid.GetColumnCount());
    EXPECT_EQ("x", grid.GetItemText(1, 1));
    const auto& fields = grid.Table().Fields();
    ASSERT_EQ(2u, fields.size());
    ASSERT_FALSE(fields[0].typeName.empty());
    EXPECT_EQ(fields[0].typeName + "(5) NULL", grid.GetColTip(0));
    EXPECT_EQ(fields[1].typeName + "(300) NULL", grid.GetColTip(1));
    // Sizes follow the contents: the long value's column is the widest.
    EXPECT_GE(grid.GetColumnWidth(2), grid.GetTextExtent(1, 2).width());
    EXPECT_GT(grid.GetColumnWidth(2), grid.GetColumnWidth(1));
    EXPECT_GE(grid.GetColumnWidth(0), grid.GetTextExtent(1, 0).width());
    EXPECT_FALSE(grid.IsEditable());
    ASSERT_NE(nullptr, grid.GetExport());

    // Loading again replaces cells, descriptions and tips.
    Load("select 1 as one");
    EXPECT_EQ(2, grid.GetColumnCount());
    EXPECT_EQ(1u, grid.Table().Fields().size());
    EXPECT_EQ("", grid.GetColTip(1));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(DBgridSqlite, CancelFromProcessedEventsStopsTheRead) {
    // The flag is set by an event, as the wait dialog's Cancel button would.
    int abort = 0;
    grid.AssignNeedAbort(&abort);
    grid.Loader().SetPumpInterval(std::chrono::milliseconds(0));
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(0,
              session.Exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 5000) "
                           "select i from n"));
    QMetaObject::invokeMethod(
        &grid, [&] { abort = 1; }, Qt::QueuedConnection);
    grid.AssignDatabase(&session, 0);
    ASSERT_EQ(1, abort);
    EXPECT_EQ(3, grid.GetRowCount());
    EXPECT_EQ("1", grid.GetItemText(1, 1));
    EXPECT_EQ("  2", grid.GetItemText(2, 0));
    EXPECT_EQ("", grid.GetItemText(2, 1));
}
