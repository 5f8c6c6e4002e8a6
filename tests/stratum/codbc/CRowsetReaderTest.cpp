#include "codbc/CRowsetReader.h"

#include "codbc/ODBC.h"
#include "grid/CResultTable.h"
#include "views/CResultLoader.h"

#include "DatabaseSources.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <memory>

#include <sql.h>
#include <sqlext.h>

namespace {
// Every column type family, NULLs, empty texts, texts far beyond their bound cell, apostrophes and
// multibyte characters, over more rows than one rowset holds.
const char* const kSqliteTable =
    "create table fam(id integer, i integer, si smallint, bi bigint, re real, db double, nu numeric(10,2), "
    "vc varchar(5), ch char(3), tx text, dt date, ts timestamp, tm time, bl blob)";
const char* const kSqliteRows =
    "insert into fam with recursive c(x) as (select 1 union all select x + 1 from c where x < 700) "
    "select x, case when x % 7 = 0 then null else x * 37 - 5000 end, x % 300, x * 1000000007, x / 3.0, "
    "x * 1.5e10, x / 4.0, case x % 4 when 0 then '' when 1 then 'O''Br' when 2 then 'longer than five' "
    "else null end, 'c' || (x % 10), case when x % 50 = 0 then replace(hex(zeroblob(3000 + x)), '00', 'z') "
    "when x % 9 = 0 then '' when x % 11 = 0 then null else 'héllo wörld ' || x end, "
    "date('2001-01-01', '+' || x || ' days'), datetime('2001-01-01 10:20:30', '+' || x || ' hours'), "
    "time('12:00:00', '+' || x || ' seconds'), case when x % 5 = 0 then null else randomblob(x % 40 + 1) end "
    "from c";
const char* const kPostgresTable =
    "create table fam(id integer, i integer, si smallint, bi bigint, re real, db double precision, "
    "nu numeric(10,2), vc varchar(5), ch char(3), tx text, dt date, ts timestamp, tm time, bo boolean, "
    "by bytea, uu uuid)";
const char* const kPostgresRows =
    "insert into fam select x, case when x % 7 = 0 then null else x * 37 - 5000 end, x % 300, "
    "x::bigint * 1000000007, x / 3.0, x * 1.5e10, x / 4.0, case x % 4 when 0 then '' when 1 then 'O''Br' "
    "when 2 then 'ééééé' else null end, 'c' || (x % 10), case when x % 50 = 0 then repeat('z', 3000 + x) "
    "when x % 9 = 0 then '' when x % 11 = 0 then null else 'héllo wörld ' || x end, "
    "date '2001-01-01' + x, timestamp '2001-01-01 10:20:30' + x * interval '1 hour', "
    "time '12:00:00' + x * interval '1 second', x % 2 = 0, "
    "case when x % 5 = 0 then null else decode(repeat('ab', x % 40 + 1), 'hex') end, "
    "md5(x::text)::uuid from generate_series(1, 700) x";
const char* const kMariaDBTable =
    "create table fam(id integer, i integer, si smallint, bi bigint, re float, db double, nu decimal(10,2), "
    "vc varchar(5), ch char(3), tx text, dt date, ts datetime, tm time, bo boolean, bt blob, uu uuid)";
const char* const kMariaDBRows =
    "insert into fam select x, case when x % 7 = 0 then null else x * 37 - 5000 end, x % 300, "
    "x * 1000000007, x / 3.0, x * 1.5e10, x / 4.0, case x % 4 when 0 then '' when 1 then 'O''Br' "
    "when 2 then 'ééééé' else null end, concat('c', x % 10), case when x % 50 = 0 then repeat('z', 3000 + x) "
    "when x % 9 = 0 then '' when x % 11 = 0 then null else concat('héllo wörld ', x) end, "
    "date '2001-01-01' + interval x day, timestamp '2001-01-01 10:20:30' + interval x hour, "
    "addtime('12:00:00', sec_to_time(x)), x % 2 = 0, "
    "case when x % 5 = 0 then null else unhex(repeat('ab', x % 40 + 1)) end, "
    "uuid() from (select cast(seq as signed) as x from seq_1_to_700) c";
} // namespace

class RowsetReading : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        CString user, password;
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), "fam", user, password);
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect("fam", user, password)) << session->lastError;
        Execute(ForBackend(GetParam(), kSqliteTable, kPostgresTable, kMariaDBTable));
        Execute(ForBackend(GetParam(), kSqliteRows, kPostgresRows, kMariaDBRows));
    }
    void Execute(const CString& sql) {
        ASSERT_EQ(0, session->StmtRealloc());
        ASSERT_EQ(0, session->Exec(sql)) << sql << ": " << session->lastError;
    }
    void Load(CResultTable& table, const CString& sql, bool rowsets, int* abort = nullptr,
              std::function<void()> pump = {}) {
        Execute(sql);
        CResultLoader loader(table);
        loader.SetRowsetReading(rowsets);
        loader.AssignNeedAbort(abort);
        loader.SetPump(std::move(pump));
        loader.SetPumpInterval(std::chrono::milliseconds(0));
        loader.AssignDatabase(session.get(), 0);
    }
    static void ExpectSameCells(const CResultTable& cells, const CResultTable& rowsets) {
        ASSERT_EQ(cells.GetRowCount(), rowsets.GetRowCount());
        ASSERT_EQ(cells.GetColumnCount(), rowsets.GetColumnCount());
        int mismatches = 0;
        for (int r = 0; r < cells.GetRowCount() && mismatches < 10; ++r)
            for (int c = 0; c < cells.GetColumnCount(); ++c)
                if (cells.GetItemText(r, c) != rowsets.GetItemText(r, c)) {
                    ++mismatches;
                    ADD_FAILURE() << "cell " << r << "," << c << ": per cell \"" << cells.GetItemText(r, c)
                                  << "\", rowsets \"" << rowsets.GetItemText(r, c) << "\"";
                }
    }

    std::unique_ptr<ODBC> session;
};

TEST_P(RowsetReading, BindsEveryColumnFamily) {
    Execute("select * from fam order by id");
    int columns = 0;
    ASSERT_EQ(0, session->NumResultCols(&columns));
    std::vector<short> types;
    std::vector<unsigned long> sizes;
    for (int c = 0; c < columns; ++c) {
        short type = 0, digits = 0, nullable = 0;
        unsigned long size = 0;
        ASSERT_EQ(0, session->DescribeCol(c, nullptr, &type, &size, &digits, &nullable, nullptr));
        types.push_back(type);
        sizes.push_back(size);
    }
    CRowsetReader reader(*session);
    ASSERT_TRUE(reader.Bind(types, sizes, 64));
    // Both drivers read a bound column again with SQLGetData; PostgreSQL positions within rowsets too.
    if (GetParam() == Backend::Postgres) {
        EXPECT_EQ(64, reader.RowsetSize());
    }
    int rows = 0;
    for (int n; (n = reader.Fetch()) > 0;) {
        EXPECT_LE(n, reader.RowsetSize());
        rows += n;
    }
    EXPECT_EQ(700, rows);
}

TEST_P(RowsetReading, GivesTheTextsOfTheCellByCellRead) {
    CResultTable cells, rowsets;
    Load(cells, "select * from fam order by id", false);
    Load(rowsets, "select * from fam order by id", true);
    ASSERT_EQ(701, cells.GetRowCount());
    ExpectSameCells(cells, rowsets);
    // Spot checks that the comparison covers what it should.
    EXPECT_EQ("<NULL>", rowsets.GetItemText(7, 2));
    EXPECT_EQ(CString(3050, 'z'), rowsets.GetItemText(50, 10));
    EXPECT_EQ("", rowsets.GetItemText(9, 10));
    EXPECT_EQ("héllo wörld 1", rowsets.GetItemText(1, 10));
    EXPECT_EQ("O'Br", rowsets.GetItemText(1, 8));

    cells.ViewNull(0);
    rowsets.ViewNull(0);
    Load(cells, "select tx, vc, id from fam where id % 3 = 0 order by id", false);
    Load(rowsets, "select tx, vc, id from fam where id % 3 = 0 order by id", true);
    ASSERT_EQ(234, rowsets.GetRowCount());
    ExpectSameCells(cells, rowsets);
    EXPECT_EQ("", rowsets.GetItemText(11, 1)); // id 33: NULL shown empty
}

TEST_P(RowsetReading, EmptyResultAndOneLongValue) {
    CResultTable cells, rowsets;
    Load(rowsets, "select * from fam where id < 0", true);
    EXPECT_EQ(1, rowsets.GetRowCount());
    EXPECT_EQ(15 + (GetParam() == Backend::SQLite ? 0 : 2), rowsets.GetColumnCount());
    Load(cells, "select tx from fam where id = 650", false);
    Load(rowsets, "select tx from fam where id = 650", true);
    ASSERT_EQ(2, rowsets.GetRowCount());
    EXPECT_EQ(CString(3650, 'z'), rowsets.GetItemText(1, 1));
    ExpectSameCells(cells, rowsets);
}

// Values just below, at and just beyond the size of their bound cell (21 bytes for varchar(5) on SQLite,
// 1024 for text) read through rowsets as they are stored and as the cell-by-cell read gives them.
TEST_P(RowsetReading, ValuesAsLongAsTheirBoundCellAreReadWhole) {
    const bool sqlite = GetParam() == Backend::SQLite;
    Execute("create table edge(id integer, vc varchar(5), tx text)");
    const CString kVarcharCell(CRowsetReader::CellSize(SQL_VARCHAR, 5), 'v');
    const CString kTextCell(CRowsetReader::kLongCell, 't');
    ASSERT_EQ(21u, kVarcharCell.size());
    const struct {
        CString vc, tx;
    } rows[] = {
        {sqlite ? kVarcharCell.substr(1) : "abcde", kTextCell.substr(1)},
        {sqlite ? kVarcharCell : "éé", kTextCell},
        {sqlite ? kVarcharCell + "v" : "", kTextCell + "t"},
        {sqlite ? "é" + kVarcharCell.substr(2) : "x", CString(511, 'a') + "é" + CString(511, 'b')},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        Execute("insert into edge values (" + std::to_string(i + 1) + ", '" + rows[i].vc + "', '" +
                rows[i].tx + "')");
    CResultTable cells, rowsets;
    Load(cells, "select vc, tx from edge order by id", false);
    Load(rowsets, "select vc, tx from edge order by id", true);
    ASSERT_EQ(int(std::size(rows)) + 1, rowsets.GetRowCount());
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(rows[i].vc, rowsets.GetItemText(int(i) + 1, 1)) << "row " << i + 1;
        EXPECT_EQ(rows[i].tx, rowsets.GetItemText(int(i) + 1, 2)) << "row " << i + 1;
    }
    ExpectSameCells(cells, rowsets);
}

TEST_P(RowsetReading, AbortStopsBetweenRows) {
    for (bool rowsets : {false, true}) {
        CResultTable table;
        int abort = 0, pumped = 0;
        Load(table, "select id, tx from fam order by id", rowsets, &abort, [&] {
            if (++pumped == 300)
                abort = 1;
        });
        // 300 rows read, then one more numbered row with empty cells.
        ASSERT_EQ(302, table.GetRowCount()) << rowsets;
        EXPECT_EQ("300", table.GetItemText(300, 1));
        EXPECT_EQ("301", table.GetItemText(301, 0));
        EXPECT_EQ("", table.GetItemText(301, 1));
        EXPECT_EQ("", table.GetItemText(301, 2));
        // The statement was released after the load.
        EXPECT_NE(0, session->Fetch());
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, RowsetReading, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);

// A driver that can't read a bound column again gets nothing bound and is read cell by cell.
TEST(RowsetReadingScripted, DriverWithoutBoundReadsKeepsTheCellByCellPath) {
    TestSandbox::AddDataSource("scripted", VARNEL_SCRIPTED_DRIVER, {});
    ODBC session;
    ASSERT_EQ(0, session.Connect("scripted", "u", "p")) << session.lastError;
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(0, session.Exec("badread")) << session.lastError;
    {
        CRowsetReader reader(session);
        EXPECT_FALSE(reader.Bind({SQL_VARCHAR, SQL_VARCHAR}, {10, 10}));
        EXPECT_EQ(0, reader.Fetch());
    }
    ASSERT_EQ(0, session.Fetch());
    CString value;
    long indicator = 0;
    EXPECT_EQ(0, session.GetDataAsText(0, value, &indicator));
    EXPECT_EQ("ok", value);
}
