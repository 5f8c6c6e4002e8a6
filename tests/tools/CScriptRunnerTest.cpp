#include "CScriptRunner.h"

#include "codbc/ODBC.h"

#include "DatabaseSources.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>

namespace {
// Standard error of a runner, kept in memory.
class CapturedStream {
public:
    CapturedStream() : m_File(open_memstream(&m_Data, &m_Size)) {}
    ~CapturedStream() {
        std::fclose(m_File);
        std::free(m_Data);
    }
    FILE* File() { return m_File; }
    CString Text() {
        std::fflush(m_File);
        return CString(m_Data, m_Size);
    }

private:
    char* m_Data = nullptr;
    size_t m_Size = 0;
    FILE* m_File;
};
} // namespace

TEST(ScriptRunner, UnknownDataSourceIsAConnectionFailureWithTheDriversMessage) {
    CRunOptions options;
    ODBC session;
    CScriptRunner runner(options, session);
    CapturedStream err;
    runner.SetMessages(err.File());
    EXPECT_EQ(CScriptRunner::EXIT_CONNECT, runner.Run("select 1\r\n", "no_such_source", ""));
    EXPECT_NE(CString::npos, err.Text().find("Data source name not found")) << err.Text();
    EXPECT_FALSE(session.connected);
    EXPECT_EQ(CScriptRunner::EXIT_USAGE, runner.Run("select 1\r\n", "", ""));
}

class ScriptRunning : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), "runs", user, password);
        options.user = user;
        runner = std::make_unique<CScriptRunner>(options, session);
        runner->SetMessages(err.File());
        ASSERT_EQ(0, runner->Connect("runs", password)) << err.Text();
        ASSERT_EQ(0, runner->Execute("create table p(id integer, name varchar(20));\r\n"
                                     "insert into p values (1, 'Ann');\r\n"
                                     "insert into p values (2, NULL);\r\n"))
            << err.Text();
    }
    int Count() {
        EXPECT_EQ(0, runner->Execute("select count(*) from p\r\n")) << err.Text();
        return std::atoi(runner->Table().GetItemText(1, 1).c_str());
    }

    CString user, password;
    CRunOptions options;
    ODBC session;
    CapturedStream err;
    std::unique_ptr<CScriptRunner> runner;
};

TEST_P(ScriptRunning, LastStatementsResultIsLoadedAsTheGridLoadsIt) {
    ASSERT_EQ(0,
              runner->Execute("insert into p values (3, 'Cy');\r\nselect id, name from p order by id;\r\n"))
        << err.Text();
    const CResultTable& t = runner->Table();
    ASSERT_EQ(4, t.GetRowCount());
    EXPECT_EQ("name", t.GetItemText(0, 2));
    EXPECT_EQ("  2", t.GetItemText(2, 0));
    EXPECT_EQ("<NULL>", t.GetItemText(2, 2));
    EXPECT_EQ("Cy", t.GetItemText(3, 2));
    EXPECT_EQ("p", t.GetTables());
    EXPECT_TRUE(std::regex_match(runner->TimeLine(),
                                 std::regex(R"(Execution time: \d+\.\d{3} sec, reading \d+\.\d{3} sec)")))
        << runner->TimeLine();
    // Not a terminal: nothing but failures on standard error.
    EXPECT_EQ("", err.Text());

    options.nullEmpty = true;
    ASSERT_EQ(0, runner->Execute("select name from p where id = 2")) << err.Text();
    EXPECT_EQ("", runner->Table().GetItemText(1, 1));

    // A statement without rows gives its one-cell summary.
    ASSERT_EQ(0, runner->Execute("insert into p values (4, 'Di')")) << err.Text();
    EXPECT_EQ("Inserted record(s)", runner->Table().GetItemText(0, 1));
    EXPECT_EQ("1", runner->Table().GetItemText(1, 1));
}

TEST_P(ScriptRunning, StopsAtTheFirstFailureUnlessToldToContinue) {
    EXPECT_EQ(CScriptRunner::EXIT_STATEMENT,
              runner->Execute("insert into p values (5, 'E');\r\nselect * from nosuch;\r\n"
                              "insert into p values (6, 'F');\r\n"));
    EXPECT_NE(CString::npos, err.Text().find("statement 2 of 3 failed: ;<CR/LF>select * from nosuch;<CR/LF>"))
        << err.Text();
    EXPECT_NE(CString::npos, err.Text().find(session.lastError)) << err.Text();
    EXPECT_NE(CString::npos, err.Text().find("nosuch")) << session.lastError;
    EXPECT_EQ(0, runner->Table().GetRowCount());
    EXPECT_EQ(3, Count());

    options.continueOnError = true;
    EXPECT_EQ(0, runner->Execute("select * from nosuch;\r\ninsert into p values (6, 'F');\r\n"
                                 "select name from p where id = 6;\r\n"));
    EXPECT_EQ("F", runner->Table().GetItemText(1, 1));
    EXPECT_EQ(4, Count());
    // A failing last statement fails the run even when going on.
    EXPECT_EQ(CScriptRunner::EXIT_STATEMENT,
              runner->Execute("select 1 from p;\r\nselect * from nosuch;\r\n"));
    EXPECT_EQ(0, runner->Table().GetRowCount());
}

TEST_P(ScriptRunning, RemoveTermAndNoParse) {
    // Quoted semicolons stay; the terminator becomes a blank.
    options.removeTerm = true;
    ASSERT_EQ(0, runner->Execute("select 'a;b' as x from p where id = 1;\r\n")) << err.Text();
    EXPECT_EQ("a;b", runner->Table().GetItemText(1, 1));
    // The whole script as one text, with only its first terminator blanked, is one broken statement.
    options.noParse = true;
    EXPECT_EQ(CScriptRunner::EXIT_STATEMENT, runner->Execute("select 1 as x; select 2 as y;\r\n"));
    EXPECT_NE(CString::npos, err.Text().find("statement 1 of 1 failed")) << err.Text();
}

// Cut at semicolons, a SELECT without FROM no longer swallows the rest, and a routine body with
// several ";" runs as one statement: the rows its statements add prove that each one ran.
TEST_P(ScriptRunning, SemicolonSeparatorRunsEveryStatementAndKeepsBodiesWhole) {
    options.semicolons = true;
    // MariaDB's triggers name the rows they act on; SQLite's may.
    const CString eachRow = GetParam() == Backend::MariaDB ? " for each row" : "";
    const CString script =
        GetParam() != Backend::Postgres
            ? "select 1; create table q(n integer);\r\n"
              "create trigger t after insert on p" +
                  eachRow +
                  " begin\r\n"
                  "  insert into q values (new.id); insert into q values (new.id * 10);\r\n"
                  "end;\r\n"
                  "insert into p values (3, 'x;y'); -- ; in a comment\r\n"
                  "select count(*) from p, q where q.n in (3, 30) and p.id = 3"
            : "select now(); create table q(n integer);\r\n"
              "create function f(k integer) returns integer as $$\r\n"
              "begin insert into q values (k); insert into q values (k * 10); return k; end\r\n"
              "$$ language plpgsql;\r\n"
              "insert into p values (f(3), 'x;y'); /* ; */\r\n"
              "select count(*) from p, q where q.n in (3, 30) and p.id = 3";
    ASSERT_EQ(0, runner->Execute(script)) << err.Text();
    EXPECT_EQ("2", runner->Table().GetItemText(1, 1));
    EXPECT_EQ("p,q", runner->Table().GetTables());
}

TEST_P(ScriptRunning, ProgressAndTimeLineOnATerminal) {
    runner->SetProgress(true);
    ASSERT_EQ(0, runner->Execute("insert into p values (7, 'x');\r\nselect id from p;\r\n")) << err.Text();
    const CString text = err.Text();
    EXPECT_NE(CString::npos, text.find("Statement 1 of 2")) << text;
    EXPECT_NE(CString::npos, text.find("Statement 2 of 2")) << text;
    EXPECT_NE(CString::npos, text.find("\r\033[KExecution time: ")) << text;
}

// Delimited text is written while the rows are read and the runner keeps only the headings; fixed-width
// text needs every row first and keeps them.
TEST_P(ScriptRunning, RowsAreWrittenWhileReadUnlessFixedWidthNeedsThemAll) {
    ASSERT_EQ(0, runner->Execute("insert into p select id + 2, name from p;\r\n"
                                 "insert into p select id + 4, name from p;\r\n"))
        << err.Text();
    session.Disconnect();
    const CString file = TestSandbox::Directory() + "/rows.txt";
    for (const bool fixed : {false, true}) {
        CRunOptions run = options;
        run.output = file;
        run.separator = ",";
        run.fixed = fixed;
        ODBC other;
        CScriptRunner writer(run, other);
        writer.SetMessages(err.File());
        EXPECT_EQ(!fixed, writer.WritesWhileReading());
        ASSERT_EQ(0, writer.Run("select id, name from p order by id", "runs", password)) << err.Text();
        EXPECT_EQ(fixed ? 9 : 1, writer.Table().GetRowCount());
        EXPECT_EQ("name", writer.Table().GetItemText(0, 2));
        std::ifstream in(file, std::ios::binary);
        const CString text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(fixed
                      ? "id name   \r\n1  Ann    \r\n2  <NULL> \r\n3  Ann    \r\n4  <NULL> \r\n5  Ann    \r\n"
                        "6  <NULL> \r\n7  Ann    \r\n8  <NULL> \r\n"
                      : "id,name\r\n1,Ann\r\n2,<NULL>\r\n3,Ann\r\n4,<NULL>\r\n5,Ann\r\n6,<NULL>\r\n7,Ann\r\n"
                        "8,<NULL>\r\n",
                  text);
        EXPECT_TRUE(writer.TimeLine().rfind("Execution time: ", 0) == 0) << writer.TimeLine();
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, ScriptRunning, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);
