#include "codbc/ODBC.h"

#include "DatabaseSources.h"
#include "TestSandbox.h"

#include "services/Desktop.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <stdexcept>

namespace {

CString AllLog() {
    CString all;
    for (const CString& line : TestSandbox::ErrorLogLines())
        all += line + "\n";
    return all;
}

// Text of the given length whose every position is recognisable, so a lost or repeated piece shows.
CString Pattern(size_t length) {
    CString text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char>('a' + (i / 10 + i) % 26);
    return text;
}
} // namespace

// Every case runs against a fresh SQLite database and against a database of its own on the test
// run's PostgreSQL and MariaDB servers.
class ODBCSession : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), dsn, user, password);
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect(dsn, user, password)) << session->lastError;
    }
    void TearDown() override {
        if (session)
            session->Disconnect();
    }
    bool IsPostgres() const { return GetParam() == Backend::Postgres; }
    bool IsMariaDB() const { return GetParam() == Backend::MariaDB; }
    template <typename T> T Pick(T sqlite, T postgres, T mariadb) const {
        return ForBackend(GetParam(), sqlite, postgres, mariadb);
    }
    CString SlowStatement() const;
    // Executes on a fresh statement; the test fails when the session reports a failure.
    void Run(const CString& sql) {
        ASSERT_EQ(0, session->StmtRealloc());
        ASSERT_EQ(0, session->Exec(sql)) << sql << ": " << session->lastError;
    }
    // The first column of every row of a query, read as text.
    CStringArray Column(const CString& sql) {
        CStringArray values;
        Run(sql);
        CString value;
        while (session->Fetch() == 0) {
            EXPECT_EQ(0, session->GetDataAsText(0, value, nullptr));
            values.push_back(value);
        }
        return values;
    }
    CString Single(const CString& sql) {
        CStringArray values = Column(sql);
        return values.size() == 1 ? values[0] : "<" + std::to_string(values.size()) + " rows>";
    }

    const CString dsn = "db";
    CString user, password;
    std::unique_ptr<ODBC> session;
};

TEST_P(ODBCSession, ConnectReadsTheDriverFacts) {
    EXPECT_EQ(1, session->connected);
    EXPECT_NE(nullptr, session->hstmt);
    EXPECT_EQ(0, session->dbmsKind);
    EXPECT_EQ(Pick(3, 15, 10), session->dbmsVersion);
    EXPECT_EQ(IsPostgres() ? 1 : 0, session->ownerSupported) << "SQLite and MariaDB have no owner term";
    EXPECT_EQ(Pick('"', '"', '`'), session->quoteOpen);
    EXPECT_EQ(session->quoteOpen, session->quoteClose);
    EXPECT_EQ(Pick('"', '"', '`'), session->GetSep());
    CString name;
    EXPECT_EQ(0, session->GetInfo(SQL_DBMS_NAME, &name));
    EXPECT_EQ(Pick("SQLite", "PostgreSQL", "MariaDB"), name);
    short maxConcurrent = -1;
    EXPECT_EQ(0, session->GetInfo(SQL_MAX_CONCURRENT_ACTIVITIES, &maxConcurrent));
    int maxColumnName = -1;
    EXPECT_EQ(0, session->GetInfo(SQL_MAX_COLUMN_NAME_LEN, &maxColumnName));
    EXPECT_GT(maxColumnName, 0);
    EXPECT_GE(session->GetMaxCharSize(), 0);
}

TEST_P(ODBCSession, ConnectDisconnectAndReconnect) {
    void* statement = session->hstmt;
    EXPECT_EQ(4, session->Connect(dsn, user, password)) << "already connected";
    EXPECT_EQ(1, session->connected);
    EXPECT_EQ(statement, session->hstmt);

    session->Disconnect();
    EXPECT_EQ(0, session->connected);
    EXPECT_EQ(nullptr, session->hstmt);
    EXPECT_EQ(nullptr, session->hdbc);
    CString text = "kept";
    EXPECT_EQ(-1, session->GetInfo(SQL_DBMS_NAME, &text));
    EXPECT_EQ("kept", text);
    session->Disconnect(); // a second disconnect does nothing

    // A reconnect reads every driver fact again.
    session->dbmsVersion = -7;
    session->quoteOpen = session->quoteClose = 0;
    session->ownerSupported = 7;
    std::snprintf(session->typeNames[4].name, sizeof session->typeNames[4].name, "stale");
    ASSERT_EQ(0, session->Connect(dsn, user, password)) << session->lastError;
    EXPECT_EQ(Pick(3, 15, 10), session->dbmsVersion);
    EXPECT_EQ(Pick('"', '"', '`'), session->quoteOpen);
    EXPECT_EQ(IsPostgres() ? 1 : 0, session->ownerSupported);
    CString name;
    session->GetTypeName(SQL_INTEGER, &name);
    EXPECT_EQ(Pick("integer", "int4", "INTEGER"), name);
    EXPECT_EQ("1", Single("select 1"));
}

TEST_P(ODBCSession, RefusedLoginKeepsTheDriverMessageButNotThePassword) {
    const CString secret = "S3cret-Wrong";
    CString source = dsn;
    if (GetParam() == Backend::SQLite) {
        // SQLite knows no logins: a database file that cannot be opened is its refusal.
        TestSandbox::AddDataSource("broken", "SQLite3", {{"Database", "/nonexistent/folder/x.sqlite"}});
        source = "broken";
    }
    ODBC other;
    EXPECT_EQ(4, other.Connect(source, user.empty() ? "someone" : user, secret));
    EXPECT_EQ(0, other.connected);
    EXPECT_EQ(nullptr, other.hdbc);
    EXPECT_EQ(nullptr, other.hstmt);
    EXPECT_NE(CString(), other.lastError);
    if (GetParam() != Backend::SQLite) {
        EXPECT_NE(
            CString::npos,
            CString(other.lastError).find(IsPostgres() ? "password authentication failed" : "Access denied"))
            << other.lastError;
    }
    const CString log = AllLog();
    EXPECT_EQ(CString::npos, log.find(secret)) << log;
    const CString location =
        "Connect (" + source + "," + (user.empty() ? "someone" : user) + ",***), codbc [";
    EXPECT_NE(CString::npos, log.find(location)) << log;
    EXPECT_NE(CString::npos, log.find(other.lastError)) << log;
}

TEST_P(ODBCSession, UnknownDataSourceIsRefused) {
    ODBC other;
    EXPECT_EQ(4, other.Connect("no such source", "", ""));
    EXPECT_NE(CString::npos, CString(other.lastError).find("IM002")) << other.lastError;
    EXPECT_EQ(0, other.connected);
}

TEST_P(ODBCSession, StatementsOfEveryKindRunAndAreClassified) {
    struct Step {
        CString sql;
        int kind;
        int affected; // -2: not checked
    };
    std::vector<Step> steps = {
        {"create table t(a integer, b varchar(20))", 4, -2},
        {"insert into t values (1, 'one')", 1, 1},
        {"insert into t values (2, 'two')", 1, 1},
        {"insert into t values (3, 'three')", 1, 1},
        {"update t set b = 'many' where a >= 2", 2, 2},
        {"delete from t where a = 3", 3, 1},
        {"delete from t where a = 99", 3, 0},
        {"alter table t add c integer", 6, -2},
        {"create view v as select a from t", 4, -2},
    };
    if (IsMariaDB()) {
        steps.push_back({"grant select on t to " + user + "@'127.0.0.1'", 7, -2});
        steps.push_back({"revoke select on t from " + user + "@'127.0.0.1'", 8, -2});
    }
    if (IsPostgres()) {
        steps.push_back({"grant select on t to public", 7, -2});
        steps.push_back({"revoke select on t from public", 8, -2});
    }
    for (const Step& step : steps) {
        Run(step.sql);
        EXPECT_EQ(step.kind, session->stmtType) << step.sql;
        if (step.affected != -2) {
            int count = -1;
            EXPECT_EQ(0, session->NRecords(&count)) << step.sql;
            EXPECT_EQ(step.affected, count) << step.sql;
        }
    }
    EXPECT_EQ((CStringArray{"1", "2"}), Column("select a from v order by a"));
    EXPECT_EQ(0, session->stmtType);
    EXPECT_EQ((CStringArray{"many"}), Column("SELECT b FROM t WHERE a = 2"));
    Run("drop view v");
    EXPECT_EQ(5, session->stmtType);
    Run("drop table t");
    EXPECT_NE(0, session->StmtRealloc() == 0 ? session->Exec("select * from t") : 0) << "table is gone";
}

TEST_P(ODBCSession, PreparedStatementRunsThroughExecWithoutText) {
    Run("create table t(a integer)");
    ASSERT_EQ(0, session->StmtRealloc());
    ASSERT_EQ(0, session->Prepare("insert into t values (42)")) << session->lastError;
    EXPECT_EQ(1, session->stmtType);
    EXPECT_EQ(0, session->Exec("")) << session->lastError;
    EXPECT_EQ("42", Single("select a from t"));

    ASSERT_EQ(0, session->StmtRealloc());
    ASSERT_EQ(0, session->Prepare("select a, a * 2 as twice from t"));
    int count = -1;
    EXPECT_EQ(0, session->NumResultCols(&count));
    EXPECT_EQ(2, count);
    CString name;
    EXPECT_EQ(0, session->ColName(1, &name));
    EXPECT_EQ("twice", name);
}

TEST_P(ODBCSession, ResultColumnsAreDescribed) {
    Run("create table t(num integer not null, txt varchar(30))");
    Run("insert into t values (5, 'x')");
    Run("select num, txt from t");
    int count = -1;
    ASSERT_EQ(0, session->NumResultCols(&count));
    ASSERT_EQ(2, count);
    CString name, typeName;
    short type = 0, digits = 0, nullable = -1;
    unsigned long size = 0;
    ASSERT_EQ(0, session->DescribeCol(1, &name, &type, &size, &digits, &nullable, &typeName));
    EXPECT_EQ("txt", name);
    EXPECT_EQ(SQL_VARCHAR, type);
    EXPECT_EQ(30u, size);
    EXPECT_EQ(Pick("varchar", "varchar", "VARCHAR"), typeName);
    ASSERT_EQ(0, session->DescribeCol(0, &name, &type, &size, &digits, &nullable, &typeName));
    EXPECT_EQ("num", name);
    EXPECT_EQ(SQL_INTEGER, type);
    CString own;
    session->GetTypeName(SQL_INTEGER, &own);
    EXPECT_EQ(own, typeName);
    long value = -1;
    EXPECT_EQ(0, session->ColLength(1, &value));
    EXPECT_EQ(30, value);
    EXPECT_EQ(0, session->ColConciseType(0, &value));
    EXPECT_EQ(SQL_INTEGER, value);
    EXPECT_EQ(0, session->ColName(0, &name));
    EXPECT_EQ("num", name);
    EXPECT_EQ(1, session->DescribeCol(5, &name, &type, &size, &digits, &nullable, &typeName))
        << "no such column";
}

TEST_P(ODBCSession, TypeNamesAreTheDbmsOwn) {
    CString name;
    EXPECT_EQ(0, session->GetTypeName(SQL_INTEGER, &name));
    EXPECT_EQ(Pick("integer", "int4", "INTEGER"), name);
    EXPECT_EQ(0, session->GetTypeName(SQL_SMALLINT, &name));
    EXPECT_EQ(Pick("smallint", "int2", "SMALLINT"), name);
    EXPECT_EQ(0, session->GetTypeName(SQL_LONGVARCHAR, &name));
    EXPECT_EQ(Pick("longvarchar", "text", "LONG VARCHAR"), name);
    EXPECT_EQ(0, session->GetTypeName(SQL_WLONGVARCHAR, &name));
    EXPECT_EQ(Pick("long wvarcher", "text", "LONG VARCHAR"), name)
        << "types the driver does not know keep theirs";
    EXPECT_EQ(0, session->GetTypeName(SQL_REAL, &name));
    EXPECT_EQ(Pick("real", "float4", "real"), name) << "nor does MariaDB's know real";
    EXPECT_EQ(0, session->GetTypeName(93, &name));
    EXPECT_EQ("<unknown type 93>", name);
    EXPECT_EQ(0, session->GetTypeName(-100, &name));
    EXPECT_EQ("<unknown type -100>", name);
}

TEST_P(ODBCSession, NullsReadAsEmptyTextWithNullIndicator) {
    Run("create table t(a integer, b varchar(10))");
    Run("insert into t values (null, null)");
    Run("select a, b from t");
    ASSERT_EQ(0, session->Fetch());
    CString value = "before";
    long indicator = 0;
    EXPECT_EQ(0, session->GetDataAsText(0, value, &indicator));
    EXPECT_EQ("", value);
    EXPECT_EQ(SQL_NULL_DATA, indicator);
    value = "before";
    EXPECT_EQ(0, session->GetData(1, value, nullptr)) << "the session's own indicator cell is used";
    EXPECT_EQ("", value);
    EXPECT_EQ(SQL_NULL_DATA, session->indicator);
}

TEST_P(ODBCSession, LongValuesAreReadWhole) {
    Run(IsMariaDB() ? "create table t(n integer, v longtext)" : "create table t(n integer, v text)");
    const std::vector<size_t> lengths = {0, 1, 1022, 1023, 1024, 1025, 2046, 2047, 2048, 100000};
    for (size_t length : lengths)
        Run("insert into t values (" + std::to_string(length) + ", '" + Pattern(length) + "')");
    Run("select n, v from t order by n");
    CString value;
    long indicator = 0;
    for (size_t length : lengths) {
        ASSERT_EQ(0, session->Fetch());
        ASSERT_EQ(0, session->GetDataAsText(1, value, &indicator)) << length << ": " << session->lastError;
        EXPECT_EQ(length, value.size());
        EXPECT_TRUE(value == Pattern(length)) << "value of " << length << " characters differs";
        EXPECT_NE(SQL_NULL_DATA, indicator);
    }
    EXPECT_EQ(100, session->Fetch());

    // The raw read gives the same characters.
    Run("select v from t where n = 100000");
    ASSERT_EQ(0, session->Fetch());
    ASSERT_EQ(0, session->GetData(0, value, &indicator));
    EXPECT_EQ(100000u, value.size());
    EXPECT_TRUE(value == Pattern(100000));
}

TEST_P(ODBCSession, NonAsciiTextRoundTrips) {
    Run("create table t(v varchar(40))");
    Run("insert into t values ('Grüße, Ørsted – ½ €')");
    EXPECT_EQ("Grüße, Ørsted – ½ €", Single("select v from t"));
}

TEST_P(ODBCSession, FetchAfterTheLastRowGives100WithoutALogLine) {
    Run("create table t(a integer)");
    Run("insert into t values (1)");
    Run("select a from t");
    ASSERT_EQ(0, session->Fetch());
    const size_t before = TestSandbox::ErrorLogLines().size();
    EXPECT_EQ(100, session->Fetch());
    EXPECT_EQ(before, TestSandbox::ErrorLogLines().size());
}

TEST_P(ODBCSession, FetchOnAStatementNeverExecutedFailsWithTheMessage) {
    ASSERT_EQ(0, session->StmtRealloc());
    const size_t before = TestSandbox::ErrorLogLines().size();
    EXPECT_EQ(1, session->Fetch());
    EXPECT_NE(CString::npos, CString(session->lastError).find("Function sequence error"))
        << session->lastError;
    const CStringArray lines = TestSandbox::ErrorLogLines();
    ASSERT_EQ(before + 2, lines.size()) << AllLog();
    EXPECT_NE(CString::npos, lines[before].find("codbc ["));
    EXPECT_NE(CString::npos, lines[before + 1].find(session->lastError));
}

TEST_P(ODBCSession, FailedStatementKeepsItsMessageOnOneLogLine) {
    ASSERT_EQ(0, session->StmtRealloc());
    const size_t before = TestSandbox::ErrorLogLines().size();
    EXPECT_EQ(1, session->Exec("select * from no_such_table"));
    const CString error = session->lastError;
    EXPECT_NE(CString::npos, error.find("no_such_table")) << error;
    EXPECT_EQ(' ', error.back()) << "message, state and native code end with a blank";
    EXPECT_EQ(CString::npos, error.find('\n'));
    const CStringArray lines = TestSandbox::ErrorLogLines();
    ASSERT_EQ(before + 2, lines.size()) << AllLog();
    EXPECT_NE(CString::npos, lines[before + 1].find(error));
    const CString state = Pick(",S1000,", ",42P01,", ",S0002,");
    EXPECT_NE(CString::npos, error.find(state)) << error;
}

TEST_P(ODBCSession, FailureWithoutMessageKeepsTheLastError) {
    ASSERT_EQ(0, session->StmtRealloc());
    ASSERT_EQ(1, session->Exec("select * from no_such_table"));
    const CString error = session->lastError;
    const size_t before = TestSandbox::ErrorLogLines().size();
    Run("select 1");
    ASSERT_EQ(0, session->Fetch());
    // The end of the result sets is a failure for which the driver has no message.
    EXPECT_EQ(1, session->MoreResults());
    EXPECT_EQ(error, session->lastError);
    EXPECT_EQ(before, TestSandbox::ErrorLogLines().size());
}

TEST_P(ODBCSession, EveryTypeTheDriverDeliversRendersThroughGetView) {
    struct Column {
        CString declaration;
        CString literal;
        int sqlType;
        CString view;
    };
    std::vector<Column> columns;
    if (IsPostgres()) {
        columns = {
            {"integer", "-42", SQL_INTEGER, "-42"},
            {"smallint", "300", SQL_SMALLINT, "300"},
            {"bigint", "9000000000", SQL_BIGINT, "<BIG INTEGER>"},
            {"real", "2.5", SQL_REAL, "2.5"},
            {"double precision", "0.125", SQL_FLOAT, "0.125"},
            {"numeric(10,2)", "12.5", SQL_NUMERIC, "12.50"},
            {"varchar(20)", "'O''Brien  '", SQL_VARCHAR, "O''Brien"},
            {"char(5)", "'ab'", SQL_CHAR, "ab"},
            {"text", "'long text'", SQL_LONGVARCHAR, "long text"},
            {"date", "'2002-03-07'", SQL_DATE, "07.03.2002"},
            {"timestamp", "'1999-12-31 23:59:58'", SQL_TIMESTAMP, "31.12.1999"},
            {"time", "'10:11:12'", SQL_TIME, "<TIME>"},
            {"bytea", "'AB'::bytea", SQL_LONGVARBINARY, "41 42 "},
            {"boolean", "true", SQL_VARCHAR, "1"},
        };
    } else if (IsMariaDB()) {
        columns = {
            {"integer", "-42", SQL_INTEGER, "-42"},
            {"smallint", "300", SQL_SMALLINT, "300"},
            {"tinyint unsigned", "200", SQL_TINYINT, "200"},
            {"bit(1)", "1", SQL_BIT, "1"},
            {"bigint", "9000000000", SQL_BIGINT, "<BIG INTEGER>"},
            {"double", "0.125", SQL_DOUBLE, "0.125"},
            {"decimal(10,2)", "12.5", SQL_DECIMAL, "12.50"},
            {"varchar(20)", "'O''Brien  '", SQL_VARCHAR, "O''Brien"},
            {"text", "'long text'", SQL_LONGVARCHAR, "long text"},
            {"date", "'2002-03-07'", SQL_DATE, "07.03.2002"},
            {"datetime", "'1999-12-31 23:59:58'", SQL_TIMESTAMP, "31.12.1999"},
            {"time", "'10:11:12'", SQL_TIME, "<TIME>"},
            {"blob", "x'4142'", SQL_LONGVARBINARY, "41 42 "},
            {"varbinary(10)", "x'4142'", SQL_VARBINARY, "<VAR BINARY DATA>"},
        };
    } else {
        columns = {
            {"integer", "-42", SQL_INTEGER, "-42"},
            {"smallint", "300", SQL_SMALLINT, "300"},
            {"tinyint", "200", SQL_TINYINT, "200"},
            {"bit", "1", SQL_BIT, "1"},
            {"bigint", "9000000000", SQL_BIGINT, "<BIG INTEGER>"},
            {"double", "0.125", SQL_DOUBLE, "0.125"},
            {"varchar(20)", "'O''Brien  '", SQL_VARCHAR, "O''Brien"},
            {"text", "'long text'", SQL_LONGVARCHAR, "long text"},
            {"date", "'2002-03-07'", SQL_DATE, "07.03.2002"},
            {"timestamp", "'1999-12-31 23:59:58'", SQL_TIMESTAMP, "31.12.1999"},
            {"time", "'10:11:12'", SQL_TIME, "<TIME>"},
            {"blob", "x'4142'", SQL_BINARY, "<BINARY DATA>"},
            {"varbinary(10)", "x'4142'", SQL_VARBINARY, "<VAR BINARY DATA>"},
        };
    }
    CString create = "create table t(", insert = "insert into t values (";
    for (size_t i = 0; i < columns.size(); ++i) {
        create += (i ? ", c" : "c") + std::to_string(i) + " " + columns[i].declaration;
        insert += (i ? ", " : "") + columns[i].literal;
    }
    Run(create + ")");
    Run(insert + ")");
    Run("select * from t");
    ASSERT_EQ(0, session->Fetch());
    for (size_t i = 0; i < columns.size(); ++i) {
        const int col = static_cast<int>(i);
        CString name, typeName, value, view;
        short type = 0, digits = 0, nullable = 0;
        unsigned long size = 0;
        ASSERT_EQ(0, session->DescribeCol(col, &name, &type, &size, &digits, &nullable, &typeName));
        EXPECT_EQ(columns[i].sqlType, type) << columns[i].declaration;
        long indicator = 0;
        ASSERT_EQ(0, session->GetData(col, value, &indicator))
            << columns[i].declaration << session->lastError;
        session->GetView(value.c_str(), view, type, 0, nullptr);
        EXPECT_EQ(columns[i].view, view) << columns[i].declaration;
    }
}

TEST_P(ODBCSession, RecordsetGoesToTheClipboardAsTabSeparatedRows) {
    Run("create table t(a integer, b varchar(20), c date)");
    Run("insert into t values (1, 'O''Brien', '2002-03-07')");
    Run("insert into t values (2, null, null)");
    Run("select a, b, c from t order by a");
    CString copied;
    DesktopHandlers desktop = Desktop();
    desktop.copyText = [&](const CString& text) { copied = text; };
    const DesktopHandlers previous = SetDesktopHandlers(desktop);
    session->RecordsetToClipBoard();
    SetDesktopHandlers(previous);
    EXPECT_EQ("1\tO''Brien\t07.03.2002\t\r\n2\t\t\t\r\n", copied);
}

TEST_P(ODBCSession, RolledBackWorkIsGone) {
    Run("create table t(a integer)");
    ASSERT_EQ(0, session->SetConnectOption(SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF)) << session->lastError;
    Run("insert into t values (1)");
    EXPECT_EQ(0, session->EndTran(SQL_ROLLBACK)) << session->lastError;
    Run("insert into t values (2)");
    EXPECT_EQ(0, session->EndTran(SQL_COMMIT)) << session->lastError;
    ASSERT_EQ(0, session->SetConnectOption(SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_ON));
    EXPECT_EQ((CStringArray{"2"}), Column("select a from t"));
}

// A statement that keeps the server busy for a few tenths of a second while executing.
CString ODBCSession::SlowStatement() const {
    return Pick<CString>(
        "create table slow as with recursive c(x) as (select 1 union all select x + 1 from c "
        "where x < 1000000) select count(*) as v from c",
        "create table slow as select 7 as v from pg_sleep(0.3)",
        "create table slow as select 7 + sleep(0.3) as v");
}

TEST_P(ODBCSession, ExecKeepsTheUserInterfaceResponsive) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    ASSERT_EQ(0, session->StmtRealloc());
    EXPECT_EQ(0, session->Exec(SlowStatement())) << session->lastError;
    timer.stop();
    EXPECT_GT(ticks, 3) << "events were dispatched while the statement ran";
    EXPECT_EQ(Pick("1000000", "7", "7"), Single("select v from slow"));
}

TEST_P(ODBCSession, AResultComputedAtTheFirstFetchCanBeCancelledWhileEventsGoOn) {
    // The servers may do the work of a query when its first rows are fetched.
    const CString sql = Pick<CString>("with recursive c(x) as (select 1 union all select x + 1 from c "
                                      "where x < 2000000000) select count(*) from c",
                                      "select count(*) from generate_series(1, 2000000000)",
                                      "select count(*) from seq_1_to_2000000000 where seq % 7 = 3");
    int ticks = 0;
    bool cancelled = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        if (ticks >= 6 && !cancelled && session->IsExecuting())
            cancelled = session->Cancel() == 0;
    });
    timer.start(50);
    ASSERT_EQ(0, session->StmtRealloc());
    const int executed = session->Exec(sql);
    const int fetched = executed == 0 ? session->Fetch() : -2;
    timer.stop();
    EXPECT_TRUE(cancelled) << "the work was waited for on the worker";
    if (GetParam() == Backend::SQLite)
        EXPECT_EQ(0, executed) << "SQLite computes the count at the first fetch";
    EXPECT_TRUE(executed != 0 || (fetched != 0 && fetched != 100)) << "the cancelled query gives no rows";
    EXPECT_FALSE(session->IsExecuting());
    EXPECT_EQ("1", Single("select 1")) << "the session goes on working";
}

TEST_P(ODBCSession, ExceptionWhileWaitingEndsExecOnlyAfterTheWorker) {
    QTimer timer;
    bool thrown = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!thrown) {
            thrown = true;
            throw std::runtime_error("from an event handler");
        }
    });
    timer.start(1);
    ASSERT_EQ(0, session->StmtRealloc());
    EXPECT_EQ(-1, session->Exec(SlowStatement()));
    timer.stop();
    EXPECT_TRUE(thrown);
    EXPECT_NE(CString::npos, AllLog().find("Exception! ODBC::Exec"));
    // The statement ran to its end on the worker before Exec returned; the session goes on working.
    EXPECT_EQ(Pick("1000000", "7", "7"), Single("select v from slow"));
}

TEST_P(ODBCSession, EventsDuringExecCannotTakeItsStatementAway) {
    int realloc = 0, nested = 0;
    bool asked = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (asked)
            return;
        asked = true;
        realloc = session->StmtRealloc();
        nested = session->Exec("select 1");
        session->Disconnect();
    });
    timer.start(1);
    ASSERT_EQ(0, session->StmtRealloc());
    EXPECT_EQ(0, session->Exec(SlowStatement())) << session->lastError;
    timer.stop();
    ASSERT_TRUE(asked);
    EXPECT_EQ(-1, realloc);
    EXPECT_EQ(-1, nested);
    EXPECT_EQ(1, session->connected);
    EXPECT_EQ(Pick("1000000", "7", "7"), Single("select v from slow"));
}

TEST_P(ODBCSession, StatementOperationsWithoutConnectionFail) {
    session->Disconnect();
    EXPECT_EQ(1, session->Exec("select 1"));
    EXPECT_EQ(1, session->Fetch());
    CString value;
    EXPECT_EQ(1, session->GetDataAsText(0, value, nullptr));
    int count = 5;
    EXPECT_EQ(-1, session->NumResultCols(&count));
    EXPECT_EQ(0, count);
}

TEST_P(ODBCSession, AssignmentSharesTheConnectionWithAStatementOfItsOwn) {
    Run("create table t(a integer)");
    Run("insert into t values (5)");
    ODBC other;
    EXPECT_EQ(&other, (other = session.get()));
    EXPECT_EQ(session->hdbc, other.hdbc);
    EXPECT_NE(nullptr, other.hstmt);
    EXPECT_NE(session->hstmt, other.hstmt);
    EXPECT_EQ(0, other.connected) << "flags are not taken over";
    EXPECT_EQ(0, other.Exec("select a from t")) << other.lastError;
    ASSERT_EQ(0, other.Fetch());
    CString value;
    EXPECT_EQ(0, other.GetDataAsText(0, value, nullptr));
    EXPECT_EQ("5", value);
    other.Disconnect(); // not connected itself: leaves the shared connection alone
    EXPECT_EQ("5", Single("select a from t"));
}

TEST_P(ODBCSession, StmtReallocDiscardsTheResult) {
    Run("select 1");
    const int rc = session->StmtRealloc();
    EXPECT_EQ(0, rc);
    EXPECT_NE(0, session->Fetch()) << "a fresh statement has no rows";
}

INSTANTIATE_TEST_SUITE_P(Backends, ODBCSession, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);

TEST(ODBC, LaterSessionsShareTheLibraryAndTheEnvironment) {
    const int before = ODBC::inited;
    auto first = std::make_unique<ODBC>();
    EXPECT_EQ(before + 1, ODBC::inited);
    void* environment = ODBC::henv;
    ASSERT_NE(nullptr, environment);
    EXPECT_NE(nullptr, first->hLibrary) << "the first session loads the driver manager";
    {
        ODBC second;
        EXPECT_EQ(before + 2, ODBC::inited);
        EXPECT_EQ(nullptr, second.hLibrary) << "later sessions do not load it again";
        EXPECT_EQ(environment, ODBC::henv) << "nor allocate an environment";
        EXPECT_EQ(first->hInstaller, second.hInstaller);
    }
    EXPECT_EQ(before + 1, ODBC::inited);
    EXPECT_EQ(environment, ODBC::henv) << "destroying a later session keeps the environment";
    TestSandbox::AddSqliteSource("lite");
    EXPECT_EQ(0, first->Connect("lite", "", "")) << first->lastError;
    first->Disconnect();
    first.reset();
    EXPECT_EQ(before, ODBC::inited);
    if (before == 0) {
        EXPECT_EQ(nullptr, ODBC::henv);
        ODBC again; // the last session released everything; a new one sets it up again
        EXPECT_NE(nullptr, ODBC::henv);
        EXPECT_NE(nullptr, again.hLibrary);
    }
}

TEST(ODBC, WithoutConnectionOnlyTheMachineListsAreAttempted) {
    ODBC session;
    CArray<DSN_DESC> sources;
    CArray<DRV_DESC> drivers;
    CArray<FLD_DESC> fields;
    CStringArray lines;
    CString name = "t", qualifier;
    EXPECT_EQ(0, session.DSList(&sources));
    EXPECT_EQ(0, session.DrvList(&drivers));
    EXPECT_FALSE(drivers.empty());
    EXPECT_EQ(-1, session.FieldsList("t", &fields, ""));
    EXPECT_EQ(-1, session.ObjectText(OB_TABLE, name, qualifier, &lines));
    EXPECT_TRUE(fields.empty() && lines.empty());
}
