#include "views/DBgrid.h"

#include "codbc/ODBC.h"

#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

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
    ODBC session;
    DBgrid grid;
    MessageRecorder messages;
};
} // namespace

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
