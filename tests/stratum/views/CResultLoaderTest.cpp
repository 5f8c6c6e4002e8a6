#include "views/CResultLoader.h"

#include "codbc/Charset.h"
#include "codbc/ODBC.h"
#include "grid/CExport.h"
#include "grid/CResultTable.h"

#include "DatabaseSources.h"
#include "MessageRecorder.h"
#include "ScriptedSource.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace {
void Execute(ODBC& session, const CString& sql) {
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
}

CString ReadBytes(const CString& path) {
    std::ifstream file(path, std::ios::binary);
    return CString(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

CStringArray RowTexts(const CResultTable& table, int row) {
    CStringArray texts;
    for (int c = 0; c < table.GetColumnCount(); ++c)
        texts.push_back(table.GetItemText(row, c));
    return texts;
}
} // namespace

// Loading tests that run the same way on every database.
class ResultLoaderTest : public testing::Test {
protected:
    void Connect(const CString& source) {
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect(source, "", "")) << session->lastError;
    }
    void Load(const CString& sql, int conversion = 0) {
        Execute(*session, sql);
        loader.AssignDatabase(session.get(), conversion);
    }
    // After a load the statement is released: a fresh one has no rows to fetch.
    void ExpectStatementReleased() { EXPECT_NE(0, session->Fetch()); }

    void RowsNullsAndLargeResults(const CString& tableSql, const CString& series) {
        Execute(*session, tableSql);
        Execute(*session, "insert into people values (1, 'Ann', 12.5)");
        Execute(*session, "insert into people values (2, NULL, NULL)");

        Load("select id, name, score from people order by id");
        EXPECT_EQ(3u, table.GetResultColumns());
        ASSERT_EQ(3, table.GetRowCount());
        EXPECT_EQ((CStringArray{"", "id", "name", "score"}), RowTexts(table, 0));
        EXPECT_EQ("  1", table.GetItemText(1, 0));
        EXPECT_EQ("Ann", table.GetItemText(1, 2));
        EXPECT_EQ((CStringArray{"  2", "2", "<NULL>", "<NULL>"}), RowTexts(table, 2));
        EXPECT_EQ(CGridModel::kCommonFormat, table.GetItemFormat(2, 2));
        ASSERT_EQ(3u, table.Fields().size());
        EXPECT_EQ("name", table.Fields()[1].name);
        EXPECT_EQ(40, table.Fields()[1].columnSize);
        EXPECT_EQ(40, table.Fields()[1].width);
        EXPECT_EQ(1, table.GetFixedRowCount());
        EXPECT_EQ(1, table.GetFixedColumnCount());
        ExpectStatementReleased();

        table.ViewNull(0);
        Load("select id, name from people where id = 2");
        EXPECT_EQ((CStringArray{"  1", "2", ""}), RowTexts(table, 1));

        Load("select id, name from people where id > 100");
        EXPECT_EQ(1, table.GetRowCount());
        EXPECT_EQ((CStringArray{"", "id", "name"}), RowTexts(table, 0));

        Load(series);
        ASSERT_EQ(1501, table.GetRowCount());
        EXPECT_EQ("999", table.GetItemText(999, 0));
        EXPECT_EQ("1000", table.GetItemText(1000, 0));
        EXPECT_EQ("1000", table.GetItemText(1000, 1));
        EXPECT_EQ("1500", table.GetItemText(1500, 0));
        EXPECT_EQ("row 1500", table.GetItemText(1500, 2));
    }

    // Every statement kind without rows, with the count it shows.
    void NonSelectKinds() {
        Execute(*session, "create table k (a integer)");
        int pending = 0;
        ASSERT_EQ(0, session->NRecords(&pending));
        loader.AssignDatabase(session.get(), 0);
        EXPECT_EQ((CStringArray{"", "Created object(s)"}), RowTexts(table, 0));
        EXPECT_EQ((CStringArray{"  1", "1"}), RowTexts(table, 1));
        ASSERT_EQ(1u, table.Fields().size());
        EXPECT_EQ(4, table.Fields()[0].sqlType);
        EXPECT_EQ(8, table.Fields()[0].width);
        EXPECT_EQ("Created object(s)", table.Fields()[0].name);
        EXPECT_EQ(1u, table.GetResultColumns());
        ExpectStatementReleased();

        Load("insert into k values (1)");
        Load("insert into k select a + 1 from k");
        Load("insert into k select a + 2 from k");
        EXPECT_EQ((CStringArray{"", "Inserted record(s)"}), RowTexts(table, 0));
        EXPECT_EQ("2", table.GetItemText(1, 1));
        Load("update k set a = a * 10 where a > 1");
        EXPECT_EQ((CStringArray{"  1", "3"}), RowTexts(table, 1));
        EXPECT_EQ("Updated record(s)", table.GetItemText(0, 1));
        Load("delete from k where a = 1");
        EXPECT_EQ("Deleted record(s)", table.GetItemText(0, 1));
        EXPECT_EQ("1", table.GetItemText(1, 1));

        Execute(*session, "alter table k add column b integer");
        int altered = -7;
        ASSERT_EQ(0, session->NRecords(&altered));
        loader.AssignDatabase(session.get(), 0);
        EXPECT_EQ((CStringArray{"", "Altered object(s)"}), RowTexts(table, 0));
        EXPECT_EQ(std::to_string(altered), table.GetItemText(1, 1));

        Load("drop table k");
        EXPECT_EQ((CStringArray{"", "Droped object(s)"}), RowTexts(table, 0));
        EXPECT_EQ("1", table.GetItemText(1, 1));
        EXPECT_TRUE(messages.Shown().empty());
    }

    // A cancel read once per row keeps the rows read so far and one numbered row left empty.
    void CancelKeepsRowsReadSoFar(const CString& series) {
        int abort = 0, pumps = 0;
        loader.AssignNeedAbort(&abort);
        loader.SetPumpInterval(std::chrono::milliseconds(0));
        loader.SetPump([&] {
            if (++pumps == 3)
                abort = 1;
        });
        Load(series);
        ASSERT_EQ(5, table.GetRowCount());
        EXPECT_EQ((CStringArray{"  3", "3", "row 3"}), RowTexts(table, 3));
        EXPECT_EQ((CStringArray{"  4", "", ""}), RowTexts(table, 4));
        EXPECT_FALSE(table.GetColTip(0).empty());
        ExpectStatementReleased();

        // A flag already set stops before the first row's values.
        Load(series);
        ASSERT_EQ(2, table.GetRowCount());
        EXPECT_EQ((CStringArray{"  1", "", ""}), RowTexts(table, 1));

        loader.AssignNeedAbort(nullptr);
        Load(series);
        EXPECT_EQ(1501, table.GetRowCount());
    }

    // The export of the loaded table, and the same export fed row by row by the loader.
    CString ExportOfLoad(const CString& sql, EXP_TYPE mode) {
        Load(sql);
        CExport e(&table, mode);
        e.GetOptions().FileName = TestSandbox::Directory() + "/table.out";
        e.SetSeparator("\t");
        EXPECT_EQ(EXP_DONE, e.Run());
        return ReadBytes(e.GetOptions().FileName);
    }
    CString ExportWhileLoading(const CString& sql, EXP_TYPE mode) {
        CExport e(&table, mode);
        e.GetOptions().FileName = TestSandbox::Directory() + "/rows.out";
        e.SetSeparator("\t");
        EXPECT_EQ(EXP_DONE, e.OpenFile());
        loader.SetRowSink(&e);
        Load(sql);
        loader.SetRowSink(nullptr);
        EXPECT_EQ(EXP_DONE, e.CloseFile());
        // The rows went to the export only.
        EXPECT_EQ(1, table.GetRowCount());
        return ReadBytes(e.GetOptions().FileName);
    }

    // Rows, NULLs, an empty result, a summary and a cancelled read: the loader gives a row sink what
    // it gives the table.
    void ExportWhileLoadingWritesTheTablesExport(const CString& series) {
        Execute(*session, "create table s (id integer, name varchar(10))");
        Execute(*session, "insert into s values (1, 'a,b')");
        Execute(*session, "insert into s values (2, NULL)");
        for (const EXP_TYPE mode : {EXP_TEXT, EXP_SQL, EXP_XML, EXP_HTML}) {
            for (const CString& sql :
                 {CString("select id, name from s order by id"), CString("select id from s where id < 0"),
                  CString("update s set id = id")})
                EXPECT_EQ(ExportOfLoad(sql, mode), ExportWhileLoading(sql, mode)) << sql << " mode " << mode;
        }
        EXPECT_EQ("id\tname\r\n1\ta,b\r\n2\t<NULL>\r\n",
                  ExportWhileLoading("select id, name from s order by id", EXP_TEXT));

        int abort = 0, pumps = 0;
        loader.AssignNeedAbort(&abort);
        loader.SetPumpInterval(std::chrono::milliseconds(0));
        loader.SetPump([&] {
            if (++pumps == 3)
                abort = 1;
        });
        const CString whole = ExportOfLoad(series, EXP_XML);
        EXPECT_EQ(5, table.GetRowCount());
        abort = pumps = 0;
        EXPECT_EQ(whole, ExportWhileLoading(series, EXP_XML));
        EXPECT_EQ(4, loader.RowsRead());
        ExpectStatementReleased();
        loader.AssignNeedAbort(nullptr);
    }

    std::unique_ptr<ODBC> session;
    CResultTable table;
    CResultLoader loader{table};
    MessageRecorder messages;
};

class ResultLoaderSqlite : public ResultLoaderTest {
protected:
    void SetUp() override {
        TestSandbox::AddSqliteSource("Results");
        Connect("Results");
    }
    const CString kSeries = "with recursive n(i) as (select 1 union all select i + 1 from n where i < 1500) "
                            "select i, 'row ' || i as label from n";
};

TEST_F(ResultLoaderSqlite, RowsNullsNoRowsAndLargeResults) {
    RowsNullsAndLargeResults("create table people (id integer, name varchar(40), score numeric(10,2))",
                             kSeries);
}

TEST_F(ResultLoaderSqlite, NonSelectKindsShowTheirCounts) {
    NonSelectKinds();
}

TEST_F(ResultLoaderSqlite, CancelKeepsRowsReadSoFar) {
    CancelKeepsRowsReadSoFar(kSeries);
}

TEST_F(ResultLoaderSqlite, ExportWhileLoadingWritesTheTablesExport) {
    ExportWhileLoadingWritesTheTablesExport(kSeries);
}

TEST_F(ResultLoaderSqlite, StatementWithoutResultSetLeavesOnlyTheLayout) {
    Load("pragma user_version = 3");
    EXPECT_EQ(1, table.GetRowCount());
    EXPECT_EQ(1, table.GetColumnCount());
    EXPECT_EQ(1, table.GetFixedRowCount());
    EXPECT_EQ(0u, table.GetResultColumns());
    EXPECT_TRUE(table.Fields().empty());
}

TEST_F(ResultLoaderSqlite, UnknownStatementKindWarnsAndShowsAnEmptyHeading) {
    Execute(*session, "create table g (a integer)");
    Execute(*session, "insert into g values (1)");
    session->stmtType = STMT_GRANT;
    loader.AssignDatabase(session.get(), 0);
    EXPECT_EQ((CStringArray{"Error SQL statement type!"}), messages.Texts());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ(unsigned(MB_OK), messages.Shown()[0].type);
    EXPECT_EQ("", table.GetItemText(0, 1));
    EXPECT_EQ(2, table.GetColumnCount());
    EXPECT_EQ("1", table.GetItemText(1, 1));
}

TEST_F(ResultLoaderSqlite, ConversionBetweenAnsiAndOem) {
    Load("select 'Café' as v, cast(x'82' as text) as w");
    EXPECT_EQ("Café", table.GetItemText(1, 1));
    EXPECT_EQ("\x82", table.GetItemText(1, 2));

    Load("select 'Café' as v", 1);
    EXPECT_EQ(AnsiToOem("Café"), table.GetItemText(1, 1));
    EXPECT_EQ("Caf\x82", table.GetItemText(1, 1));

    Load("select cast(x'82' as text) as w", -1);
    EXPECT_EQ("é", table.GetItemText(1, 1));
}

TEST_F(ResultLoaderSqlite, BlobAsTextFlagReachesTheConnection) {
    table.SetBlobAsText(1);
    Load("select 1 as a");
    EXPECT_EQ(1, session->blobAsText);
    table.SetBlobAsText(0);
    Load("select 1 as a");
    EXPECT_EQ(0, session->blobAsText);
}

TEST(ResultLoaderScripted, FailedReadShowsSevenBlanks) {
    TestSandbox::AddDataSource("scripted", VARNEL_SCRIPTED_DRIVER, {});
    ODBC session;
    ASSERT_EQ(0, session.Connect("scripted", "u", "p")) << session.lastError;
    Execute(session, "badread");
    CResultTable table;
    CResultLoader loader(table);
    loader.AssignDatabase(&session, 0);
    ASSERT_EQ(2, table.GetRowCount());
    EXPECT_EQ((CStringArray{"  1", "ok", "       "}), RowTexts(table, 1));
}

// A fetch or a value read that fails stops being a silent end of the rows: the rows before it stay, the
// result is marked incomplete with the driver's message, and the driver is never asked to fetch again
// (the scripted driver aborts the process if it is).
TEST(ResultLoaderScripted, FailedFetchOrValueReadLeavesAnIncompleteResult) {
    TestSandbox::AddDataSource("scripted", VARNEL_SCRIPTED_DRIVER, {});
    ODBC session;
    ASSERT_EQ(0, session.Connect("scripted", "u", "p")) << session.lastError;
    const struct {
        const char* sql;
        int rows;
        bool incomplete;
        const char* message;
        CStringArray lastRow;
    } cases[] = {
        {"failfetch 300", 300, true, "server closed the connection", {"300", "r300"}},
        {"failfetch 0", 0, true, "server closed the connection", {}},
        {"cutvalue 5000", 2, true, "lost while the value was read", {"  2", "after"}},
        {"value 5000", 1, false, "", {"  1", ScriptedValue(5000)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        Execute(session, c.sql);
        CResultTable table;
        CResultLoader loader(table);
        loader.AssignDatabase(&session, 0);
        EXPECT_EQ(c.rows, loader.RowsRead());
        ASSERT_EQ(c.rows + 1, table.GetRowCount());
        if (!c.lastRow.empty())
            EXPECT_EQ(c.lastRow, RowTexts(table, c.rows));
        EXPECT_EQ(c.incomplete, loader.Incomplete());
        EXPECT_NE(CString::npos, loader.ReadError().find(c.message)) << loader.ReadError();
    }
    // The cut value shows the failed read's blanks, not a part of the value.
    Execute(session, "cutvalue 5000");
    CResultTable table;
    CResultLoader loader(table);
    loader.AssignDatabase(&session, 0);
    EXPECT_EQ(CResultLoader::kFailedRead, table.GetItemText(1, 1));
}

TEST(ResultLoaderTips, TipsFormatTypeSizeDigitsAndNullability) {
    CResultTable table;
    table.SetColumnCount(5);
    table.SetResultColumns(4);
    table.Fields() = {{12, 40, 40, 0, 1, "a", "VARCHAR"},
                      {2, 10, 10, 2, 1, "b", "NUMERIC"},
                      {4, 10, 10, 0, 0, "c", "INTEGER"},
                      {4, 10, 10, 0, 1, "d", ""}};
    CResultLoader(table).AddToolTips();
    EXPECT_EQ("VARCHAR(40) NULL", table.GetColTip(0));
    EXPECT_EQ("NUMERIC(10.2) NULL", table.GetColTip(1));
    EXPECT_EQ("INTEGER(10) ", table.GetColTip(2));
    EXPECT_EQ("", table.GetColTip(3));
}

class ResultLoaderPostgres : public ResultLoaderTest {
protected:
    void SetUp() override {
        VARNEL_REQUIRE_POSTGRES_SOURCE("ResultsPg");
        Connect("ResultsPg");
    }
    const CString kSeries = "select i, 'row ' || i as label from generate_series(1, 1500) as s(i)";
};

TEST_F(ResultLoaderPostgres, RowsNullsNoRowsAndLargeResults) {
    RowsNullsAndLargeResults("create table people (id integer, name varchar(40), score numeric(10,2))",
                             kSeries);
}

TEST_F(ResultLoaderPostgres, NonSelectKindsShowTheirCounts) {
    NonSelectKinds();
}

TEST_F(ResultLoaderPostgres, CancelKeepsRowsReadSoFar) {
    CancelKeepsRowsReadSoFar(kSeries);
}

TEST_F(ResultLoaderPostgres, ExportWhileLoadingWritesTheTablesExport) {
    ExportWhileLoadingWritesTheTablesExport(kSeries);
}

TEST_F(ResultLoaderPostgres, StatementWithoutResultSetAndGrant) {
    Load("set search_path to public");
    EXPECT_EQ(1, table.GetRowCount());
    EXPECT_EQ(1, table.GetColumnCount());
    EXPECT_TRUE(messages.Shown().empty());

    Execute(*session, "create table g (a integer)");
    Load("grant select on g to public");
    EXPECT_EQ((CStringArray{"Error SQL statement type!"}), messages.Texts());
    EXPECT_EQ("", table.GetItemText(0, 1));
}

TEST_F(ResultLoaderPostgres, TipsAndDisplayWidthOfDescribedColumns) {
    Execute(*session, "create table t (v varchar(40), n numeric(10,2) not null, big varchar(5000))");
    Load("select v, n, big from t");
    ASSERT_EQ(3u, table.Fields().size());
    const auto& f = table.Fields();
    ASSERT_FALSE(f[0].typeName.empty());
    EXPECT_EQ(f[0].typeName + "(40) NULL", table.GetColTip(0));
    EXPECT_EQ(f[1].typeName + "(10.2) ", table.GetColTip(1));
    EXPECT_EQ(0, f[1].nullable);
    EXPECT_EQ(5000, f[2].columnSize);
    EXPECT_EQ(2048, f[2].width);
    EXPECT_EQ(f[2].typeName + "(5000) NULL", table.GetColTip(2));
}
