// Runs the built varnel-run program as a process.
#include "CommonTypes.h"

#include "codbc/ODBC.h"
#include "grid/CExport.h"
#include "grid/CResultTable.h"
#include "services/_Settings.h"
#include "views/CResultLoader.h"

#include "DatabaseSources.h"
#include "TestSandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/resource.h>

namespace {
struct Outcome {
    int exitCode = -1;
    CString out;
    CString err;
};

Outcome RunTool(const QStringList& arguments, const CString& input = CString()) {
    QProcess process;
    process.start(VARNEL_BINARY_DIR "/tools/varnel-run", arguments);
    EXPECT_TRUE(process.waitForStarted(10000));
    process.write(input.data(), qint64(input.size()));
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    Outcome outcome;
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = process.readAllStandardOutput().toStdString();
    outcome.err = process.readAllStandardError().toStdString();
    return outcome;
}

CString WriteFile(const CString& name, const CString& content) {
    const CString path = TestSandbox::Directory() + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}
} // namespace

TEST(VarnelRun, SplitPrintsCountTablesAndTextsOfTheEditorsText) {
    const CString path = WriteFile("two.sql", "delete from a\nselect *\tfrom b");
    const Outcome outcome = RunTool({"--split", QString::fromStdString(path)});
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ(R"({"count": 2, "tables": "b", "statements": ["delete from a\r\n", "select *    from b\r\n"]})"
              "\n",
              outcome.out);
}

TEST(VarnelRun, SplitReadsStandardInputAndEscapesBytes) {
    const Outcome outcome = RunTool({"--split", "-"}, "SET x;\rselect '\xff\"\\' from [t 1]\r\n");
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ(
        R"({"count": 1, "tables": "[t 1]", "statements": ["SET x;\r\nselect '\u00FF\"\\' from [t 1]\r\n"]})"
        "\n",
        outcome.out);
}

TEST(VarnelRun, SplitOfAScriptWithoutStatements) {
    const Outcome outcome = RunTool({"--split", "-"}, "");
    EXPECT_EQ(0, outcome.exitCode);
    EXPECT_EQ("{\"count\": 0, \"tables\": \"\", \"statements\": []}\n", outcome.out);
}

TEST(VarnelRun, BadArgumentsGiveUsageAndExitCodeTwo) {
    for (const QStringList& arguments : {QStringList{}, QStringList{"--split"}, QStringList{"--bogus", "x"},
                                         QStringList{"--split", "a.sql", "b.sql"}}) {
        const Outcome outcome = RunTool(arguments);
        EXPECT_EQ(2, outcome.exitCode) << arguments.join(' ').toStdString();
        EXPECT_NE(CString::npos, outcome.err.find("usage: varnel-run [options] SCRIPT")) << outcome.err;
        EXPECT_EQ("", outcome.out);
    }
}

TEST(VarnelRun, MissingOrUnreadableScriptIsAClearErrorWithExitCodeTwo) {
    const CString missing = TestSandbox::Directory() + "/no-such.sql";
    Outcome outcome = RunTool({"--split", QString::fromStdString(missing)});
    EXPECT_EQ(2, outcome.exitCode);
    EXPECT_EQ("", outcome.out);
    EXPECT_NE(CString::npos, outcome.err.find(missing)) << outcome.err;
    EXPECT_NE(CString::npos, outcome.err.find("No such file or directory")) << outcome.err;

    outcome = RunTool({"--split", QString::fromStdString(TestSandbox::Directory())});
    EXPECT_EQ(2, outcome.exitCode);
    EXPECT_EQ("", outcome.out);
    EXPECT_NE(CString::npos, outcome.err.find("Is a directory")) << outcome.err;
}

namespace {
CString ReadBytes(const CString& path) {
    std::ifstream file(path, std::ios::binary);
    return CString(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const CString& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

QStringList Entries(const CString& folder) {
    return QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QString Q(const CString& text) {
    return QString::fromStdString(text);
}
} // namespace

// Runs against a data source of the parameter's database with a small table in it.
class VarnelRunOutput : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), "out", user, password);
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect("out", user, password)) << session->lastError;
        for (const char* sql :
             {"create table people(id integer, name varchar(20), score numeric(6,2))",
              "insert into people values (1, 'Ann', 12.5)", "insert into people values (2, NULL, NULL)",
              "insert into people values (3, 'O''Brien, \"Bo\" <b>&', -3)"}) {
            ASSERT_EQ(0, session->StmtRealloc());
            ASSERT_EQ(0, session->Exec(sql)) << sql << ": " << session->lastError;
        }
        qputenv("VARNEL_PASSWORD", QByteArray::fromStdString(password));
    }
    void TearDown() override { qunsetenv("VARNEL_PASSWORD"); }

    // What the Export dialog writes with "All data" for the query's result loaded as the grid loads it.
    CString ExportOf(const CString& query, EXP_TYPE mode, bool delimited, bool names, bool viewNull,
                     const CString& separator, const CString& tables) {
        EXPECT_EQ(0, session->StmtRealloc());
        EXPECT_EQ(0, session->Exec(query)) << session->lastError;
        CResultTable table;
        table.ViewNull(viewNull ? 1 : 0);
        table.AssignTables(tables);
        CResultLoader loader(table);
        loader.SetPump({});
        loader.AssignDatabase(session.get(), 0);
        CExport exporter(&table, mode);
        exporter.GetOptions().WithDelim = delimited;
        exporter.GetOptions().WithColNames = names;
        exporter.GetOptions().FileName = TestSandbox::Directory() + "/expected";
        exporter.GetOptions().Separator = separator;
        exporter.SetSeparatorFromOptions();
        EXPECT_EQ(EXP_DONE, exporter.Run());
        return ReadBytes(exporter.GetOptions().FileName);
    }
    QStringList Login() const { return {"-d", "out", "-u", Q(user)}; }

    // 700 rows, more than one rowset: NULLs, empty texts, separators, quotes, markup and line breaks,
    // and every hundredth row with two values far longer than their bound cells.
    void CreateBigTable() {
        const bool sqlite = GetParam() == Backend::SQLite;
        const CString tab = sqlite ? "char(9)" : "chr(9)";
        const CString crlf = sqlite ? "char(13) || char(10)" : "chr(13) || chr(10)";
        const CString longB =
            sqlite ? "replace(hex(zeroblob(1500 + x)), '00', 'ab')" : "repeat('ab', 1500 + x)";
        const CString longC =
            sqlite ? "replace(hex(zeroblob(1200 + x)), '00', 'cd')" : "repeat('cd', 1200 + x)";
        const CString rows =
            sqlite ? "with recursive s(x) as (select 1 union all select x + 1 from s where x < 700) " : "";
        const CString from = sqlite ? " from s" : " from generate_series(1, 700) x";
        const CString values = "select x, case x % 5 when 0 then null when 1 then 'tab' || " + tab +
                               " || 'x' when 2 then 'comma, \"q\" <&>' when 3 then 'line' || " + crlf +
                               " || 'two' else '' end, case when x % 100 = 0 then " + longB +
                               " when x % 7 = 0 then null else 'b' || x end, case when x % 100 = 0 then " +
                               longC + " else 'c' || x end, case when x % 3 = 0 then null else x / 4.0 end" +
                               from;
        for (const CString& sql :
             {CString("create table big(id integer, a varchar(30), b text, c text, n numeric(8,2))"),
              "insert into big(id, a, b, c, n) " + rows + values}) {
            ASSERT_EQ(0, session->StmtRealloc());
            ASSERT_EQ(0, session->Exec(sql)) << sql << ": " << session->lastError;
        }
    }

    CString user, password;
    std::unique_ptr<ODBC> session;
};

TEST_P(VarnelRunOutput, EveryFormatIsWrittenAsTheExportWritesIt) {
    const CString query = "select id, name, score from people order by id";
    const CString script = WriteFile("q.sql", "-- the people\n" + query + ";\n");
    struct Case {
        QStringList arguments;
        EXP_TYPE mode;
        bool delimited, names, viewNull;
        CString separator, tables;
    };
    const Case cases[] = {
        {{}, EXP_TEXT, true, true, true, "<tab>", "people"},
        {{"-s", ","}, EXP_TEXT, true, true, true, ",", "people"},
        {{"--fixed", "--no-names"}, EXP_TEXT, false, false, true, "<tab>", "people"},
        {{"--null-empty", "--separator=;"}, EXP_TEXT, true, true, false, ";", "people"},
        {{"-f", "sql"}, EXP_SQL, true, true, true, "<tab>", "people"},
        {{"-f", "sql", "--table", "archive.people", "--null-empty"},
         EXP_SQL,
         true,
         true,
         false,
         "<tab>",
         "archive.people"},
        {{"-f", "xml"}, EXP_XML, true, true, true, "<tab>", "people"},
        {{"-f", "html", "--no-names"}, EXP_HTML, true, false, true, "<tab>", "people"},
    };
    for (const Case& c : cases) {
        const CString expected =
            ExportOf(query, c.mode, c.delimited, c.names, c.viewNull, c.separator, c.tables);
        ASSERT_FALSE(expected.empty());
        const QStringList arguments = Login() + c.arguments + QStringList{Q(script)};
        Outcome outcome = RunTool(arguments);
        EXPECT_EQ(0, outcome.exitCode) << arguments.join(' ').toStdString() << "\n" << outcome.err;
        EXPECT_EQ(expected, outcome.out) << arguments.join(' ').toStdString();
        EXPECT_EQ("", outcome.err);

        const CString file = TestSandbox::Directory() + "/result.out";
        outcome = RunTool(arguments + QStringList{"-o", Q(file)});
        EXPECT_EQ(0, outcome.exitCode) << outcome.err;
        EXPECT_EQ("", outcome.out);
        EXPECT_EQ(expected, ReadBytes(file)) << arguments.join(' ').toStdString();
    }
    // Pinned independently of the export engine.
    const Outcome outcome =
        RunTool(Login() + QStringList{"-s", ",", "-"}, "select id, name from people where id < 3");
    EXPECT_EQ("id,name\r\n1,Ann\r\n2,<NULL>\r\n", outcome.out);
    const Outcome sql =
        RunTool(Login() + QStringList{"-f", "sql", "-"}, "select id, name from people where id = 1");
    EXPECT_EQ("insert into people(id,name) values (1,'Ann')\r\n", sql.out);
}

TEST_P(VarnelRunOutput, LargeResultsAreWrittenWhileReadAsTheExportWritesThem) {
    CreateBigTable();
    const CString query = "select id, a, b, c, n from big order by id";
    const CString script = WriteFile("big.sql", query + "\n");
    struct Case {
        QStringList arguments;
        EXP_TYPE mode;
        bool delimited, names, viewNull;
        CString separator;
    };
    const Case cases[] = {
        {{}, EXP_TEXT, true, true, true, "<tab>"},
        {{"-s", ",", "--no-names", "--null-empty"}, EXP_TEXT, true, false, false, ","},
        {{"-s", "<tab>|"}, EXP_TEXT, true, true, true, "<tab>|"},
        {{"-f", "sql"}, EXP_SQL, true, true, true, "<tab>"},
        {{"-f", "sql", "--null-empty"}, EXP_SQL, true, true, false, "<tab>"},
        {{"-f", "xml", "--null-empty"}, EXP_XML, true, true, false, "<tab>"},
        {{"-f", "html"}, EXP_HTML, true, true, true, "<tab>"},
        // Loaded first: the widths need every row.
        {{"--fixed"}, EXP_TEXT, false, true, true, "<tab>"},
    };
    const CString file = TestSandbox::Directory() + "/big.out";
    for (const Case& c : cases) {
        const CString expected =
            ExportOf(query, c.mode, c.delimited, c.names, c.viewNull, c.separator, "big");
        const QStringList arguments = Login() + c.arguments + QStringList{"-o", Q(file), Q(script)};
        const Outcome outcome = RunTool(arguments);
        EXPECT_EQ(0, outcome.exitCode) << arguments.join(' ').toStdString() << "\n" << outcome.err;
        const CString written = ReadBytes(file);
        EXPECT_EQ(expected.size(), written.size()) << arguments.join(' ').toStdString();
        EXPECT_TRUE(expected == written) << arguments.join(' ').toStdString();
    }
    // Pinned independently of the export engine: both long values of row 100 whole on its line, and
    // one line per row plus the line breaks inside the quoted values.
    const Outcome outcome = RunTool(Login() + QStringList{Q(script)});
    ASSERT_EQ(0, outcome.exitCode) << outcome.err;
    const CString row100 = "\r\n100\t<NULL>\t" + [] {
        CString b, c;
        for (int i = 0; i < 1600; ++i)
            b += "ab";
        for (int i = 0; i < 1300; ++i)
            c += "cd";
        return b + "\t" + c + "\t";
    }();
    EXPECT_NE(CString::npos, outcome.out.find(row100));
    size_t lines = 0;
    for (size_t pos = 0; (pos = outcome.out.find("\r\n", pos)) != CString::npos; pos += 2)
        ++lines;
    EXPECT_EQ(1u + 700u + 140u, lines);
    EXPECT_NE(CString::npos, outcome.out.find("\r\n3\t\"line\r\ntwo\"\tb3\tc3\t<NULL>\r\n"));
    EXPECT_NE(CString::npos, outcome.out.find("\r\n1\t\"tab\tx\"\tb1\tc1\t"));
}

TEST_P(VarnelRunOutput, EmptyResultsAndSummariesInEveryFormat) {
    struct Case {
        QStringList arguments;
        EXP_TYPE mode;
        bool names;
    };
    const Case cases[] = {{{}, EXP_TEXT, true},
                          {{"--no-names"}, EXP_TEXT, false},
                          {{"-f", "sql"}, EXP_SQL, true},
                          {{"-f", "xml"}, EXP_XML, true},
                          {{"-f", "html"}, EXP_HTML, true}};
    for (const CString& statement : {CString("select id, name from people where id < 0"),
                                     CString("update people set score = 1 where id > 1")}) {
        for (const Case& c : cases) {
            // The parser's table list comes from a SELECT only.
            const CString tables = statement.rfind("select", 0) == 0 ? "people" : "";
            const CString expected = ExportOf(statement, c.mode, true, c.names, true, "<tab>", tables);
            const Outcome outcome = RunTool(Login() + c.arguments + QStringList{"-"}, statement);
            EXPECT_EQ(0, outcome.exitCode) << outcome.err;
            EXPECT_EQ(expected, outcome.out) << statement << " " << c.arguments.join(' ').toStdString();
        }
    }
    // Pinned: the frame of an empty result.
    EXPECT_EQ("id\tname\r\n",
              RunTool(Login() + QStringList{"-"}, "select id, name from people where id < 0").out);
    EXPECT_EQ("<?xml version=\"1.0\" ?><recordset></recordset>\r\n",
              RunTool(Login() + QStringList{"-f", "xml", "-"}, "select id from people where id < 0").out);
    EXPECT_EQ("", RunTool(Login() + QStringList{"-f", "sql", "-"}, "select id from people where id < 0").out);
}

TEST_P(VarnelRunOutput, SpreadsheetGoesToTheOutputFileOnly) {
    const CString folder = TestSandbox::Directory() + "/books";
    QDir().mkpath(Q(folder));
    const CString book = folder + "/people.xlsx";
    const Outcome outcome =
        RunTool(Login() + QStringList{"-f", "xlsx", "-o", Q(book), "-"}, "select * from people");
    ASSERT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ(CString("PK\x03\x04", 4), ReadBytes(book).substr(0, 4));
    EXPECT_EQ(QStringList{"people.xlsx"}, Entries(folder));
    EXPECT_EQ(2, RunTool(Login() + QStringList{"-f", "xlsx", "-"}, "select 1").exitCode);
}

TEST_P(VarnelRunOutput, NonSelectStatementsGiveTheirSummary) {
    Outcome outcome = RunTool(Login() + QStringList{"-"}, "update people set score = 1 where id > 1;\n");
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ("Updated record(s)\r\n2\r\n", outcome.out);
    outcome = RunTool(Login() + QStringList{"-"}, "create table more(a integer)");
    EXPECT_EQ("Created object(s)\r\n1\r\n", outcome.out);
    outcome = RunTool(Login() + QStringList{"-"}, "drop table more\n");
    EXPECT_EQ("Droped object(s)\r\n1\r\n", outcome.out);
    // After the first statement of a script the statement text begins with the line break (and
    // terminator) before it, so it is read as returning rows: the result has no columns.
    outcome = RunTool(Login() + QStringList{"-"}, "create table more(a integer)\ndrop table more\n");
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ("", outcome.out);
}

TEST_P(VarnelRunOutput, FailingStatementExitsOneWithTheDriversMessageAndWritesNothing) {
    const CString file = TestSandbox::Directory() + "/kept.txt";
    std::ofstream(file, std::ios::binary) << "old content";
    const CString script = "insert into people values (4, 'Dan', 1);\nselect * from no_such_table;\n"
                           "insert into people values (5, 'Eve', 1);\n";
    Outcome outcome = RunTool(Login() + QStringList{"--remove-term", "-o", Q(file), "-"}, script);
    EXPECT_EQ(1, outcome.exitCode);
    EXPECT_EQ("", outcome.out);
    EXPECT_NE(CString::npos, outcome.err.find("no_such_table")) << outcome.err;
    EXPECT_EQ("old content", ReadBytes(file));

    outcome = RunTool(Login() + QStringList{"--remove-term", "--continue", "-o", Q(file), "-"},
                      script + "select count(*) as n from people;\n");
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_NE(CString::npos, outcome.err.find("no_such_table")) << outcome.err;
    // Dan from the first run; Dan again and Eve from this one.
    EXPECT_EQ("n\r\n6\r\n", ReadBytes(file));
}

TEST_P(VarnelRunOutput, UnwritableOutputExitsFourAndLeavesNoFile) {
    const CString blocker = WriteFile("plain-file", "x");
    Outcome outcome =
        RunTool(Login() + QStringList{"-o", Q(blocker + "/out.txt"), "-"}, "select * from people");
    EXPECT_EQ(4, outcome.exitCode);
    EXPECT_NE(CString::npos, outcome.err.find("Error create, open or write target file!")) << outcome.err;
    EXPECT_FALSE(Exists(blocker + "/out.txt"));

    const CString folder = TestSandbox::Directory() + "/full";
    QDir().mkpath(Q(folder));
    outcome = RunTool(Login() + QStringList{"-f", "xlsx", "-o", Q(folder + "/missing/book.xlsx"), "-"},
                      "select * from people");
    EXPECT_EQ(4, outcome.exitCode);
    EXPECT_TRUE(Entries(folder).isEmpty()) << Entries(folder).join(' ').toStdString();

    // A device that refuses every byte, as standard output and as the output file.
    QProcess process;
    process.setStandardOutputFile("/dev/full");
    process.start(VARNEL_BINARY_DIR "/tools/varnel-run", Login() + QStringList{"-"});
    ASSERT_TRUE(process.waitForStarted(10000));
    process.write("select * from people");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(4, process.exitCode()) << process.readAllStandardError().toStdString();
    outcome = RunTool(Login() + QStringList{"-o", "/dev/full", "-"}, "select * from people");
    EXPECT_EQ(4, outcome.exitCode);

    // A file that can't grow past 64 KiB, for a result of some megabytes: the write fails in the middle
    // of the rows, the old file stays and no temporary file is left beside it.
    CreateBigTable();
    const CString folder2 = TestSandbox::Directory() + "/limited";
    QDir().mkpath(Q(folder2));
    const CString kept = folder2 + "/kept.txt";
    std::ofstream(kept, std::ios::binary) << "old content";
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit limit = old;
    limit.rlim_cur = 64 * 1024;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &limit));
    for (const QStringList& format :
         {QStringList{"-f", "text"}, QStringList{"-f", "html"}, QStringList{"--fixed"}}) {
        outcome = RunTool(Login() + format + QStringList{"-o", Q(kept), "-"},
                          "select * from big, (select id as k from big where id <= 30) b2");
        EXPECT_EQ(4, outcome.exitCode) << format.join(' ').toStdString();
        EXPECT_NE(CString::npos, outcome.err.find("Error create, open or write target file!")) << outcome.err;
        EXPECT_EQ("old content", ReadBytes(kept));
        EXPECT_EQ(QStringList{"kept.txt"}, Entries(folder2));
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
}

INSTANTIATE_TEST_SUITE_P(Backends, VarnelRunOutput, testing::Values(Backend::SQLite, Backend::Postgres),
                         [](const testing::TestParamInfo<Backend>& info) {
                             return info.param == Backend::SQLite ? "SQLite" : "Postgres";
                         });

TEST(VarnelRun, FailedConnectionExitsThreeWithTheDriversMessage) {
    const Outcome outcome = RunTool({"-d", "no_such_source", "-"}, "select 1");
    EXPECT_EQ(3, outcome.exitCode);
    EXPECT_NE(CString::npos, outcome.err.find("Data source name not found")) << outcome.err;
    EXPECT_EQ("", outcome.out);
}

TEST(VarnelRun, PostgresPasswordComesFromTheFileOrTheEnvironment) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("pg");
    const TestSandbox::PostgresServer server = *TestSandbox::Postgres();
    const QStringList login{"-d", "pg", "-u", Q(server.user), "-f", "text", "-s", ",", "-"};
    const CString good = WriteFile("good-pw", server.password + "\nignored\n");
    const CString bad = WriteFile("bad-pw", "wrong\n");

    Outcome outcome = RunTool(login + QStringList{"--password-file", Q(good)}, "select 7 as n");
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ("n\r\n7\r\n", outcome.out);

    outcome = RunTool(login + QStringList{"--password-file", Q(bad)}, "select 7 as n");
    EXPECT_EQ(3, outcome.exitCode);
    EXPECT_NE(CString::npos, outcome.err.find("password authentication failed")) << outcome.err;

    qputenv("VARNEL_PASSWORD", QByteArray::fromStdString(server.password));
    outcome = RunTool(login, "select 8 as n");
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ("n\r\n8\r\n", outcome.out);
    // The file wins over the environment.
    outcome = RunTool(login + QStringList{"--password-file", Q(bad)}, "select 8 as n");
    EXPECT_EQ(3, outcome.exitCode);
    qunsetenv("VARNEL_PASSWORD");

    EXPECT_EQ(2, RunTool(login + QStringList{"--password", Q(server.password)}, "select 1").exitCode);
    EXPECT_EQ(2, RunTool(login + QStringList{"--password-file", Q(good + ".missing")}, "select 1").exitCode);
}

TEST(VarnelRun, StoredDataSourceIsTheDefaultAndScriptsComeFromFilesOrStandardInput) {
    TestSandbox::AddSqliteSource("stored");
    EXPECT_EQ(2, RunTool({"-"}, "select 1 as a").exitCode);
    {
        _Settings settings;
        settings.SetProfileName("Software\\Ostrak\\Varnel");
        settings.Add("DSN", S_STRING, 0, "");
        settings.LoadData();
        settings.setStr("DSN", "stored");
        settings.SaveData();
    }
    Outcome outcome = RunTool({"-"}, "select 1 as a");
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ("a\r\n1\r\n", outcome.out);
    const CString script = WriteFile("s.sql", "select 2 as b\n");
    outcome = RunTool({"-q", Q(script)});
    EXPECT_EQ("b\r\n2\r\n", outcome.out);
    EXPECT_EQ(2, RunTool({"-q", Q(script + ".missing")}).exitCode);
    EXPECT_EQ(2, RunTool({"-"}, "").exitCode);
}

TEST(VarnelRun, VersionAndHelp) {
    Outcome outcome = RunTool({"--version"});
    EXPECT_EQ(0, outcome.exitCode);
    EXPECT_EQ(0u, outcome.out.find("varnel-run "));
    outcome = RunTool({"--help"});
    EXPECT_EQ(0, outcome.exitCode);
    EXPECT_NE(CString::npos, outcome.out.find("--password-file FILE")) << outcome.out;
}

namespace {
// A PostgreSQL server of this test alone, apart from the test run's: it is stopped while rows are read.
class PrivateServer {
public:
    PrivateServer() {
        const Outcome started =
            Shell("postgres_start >/dev/null && printf '%s\\n%s\\n%s\\n' "
                  "\"$VARNEL_TEST_PG_DIR\" \"$VARNEL_TEST_PG_PORT\" \"$VARNEL_TEST_PG_PASSWORD\"");
        const QStringList lines = QString::fromStdString(started.out).split('\n', Qt::SkipEmptyParts);
        if (started.exitCode == 0 && lines.size() == 3) {
            dir = lines[0].toStdString();
            port = lines[1].toStdString();
            password = lines[2].toStdString();
        } else {
            error = started.err;
        }
    }
    ~PrivateServer() {
        if (!dir.empty())
            Shell("VARNEL_TEST_PG_DIR='" + dir + "' postgres_stop");
    }
    // Stops the server at once, as a crash or a power cut would.
    void Kill() {
        Shell("as=(); [ \"$(id -u)\" -eq 0 ] && as=(runuser -u postgres --); \"${as[@]}\" "
              "/usr/lib/postgresql/15/bin/pg_ctl -D '" +
              dir + "/data' -m immediate -w stop");
    }

    CString dir, port, password, error;

private:
    static Outcome Shell(const CString& command) {
        QProcess shell;
        shell.start("bash", {"-c", Q("source '" VARNEL_SOURCE_DIR "/tests/support/postgres-server.sh' && " +
                                     command)});
        shell.waitForFinished(120000);
        return {shell.exitCode(), shell.readAllStandardOutput().toStdString(),
                shell.readAllStandardError().toStdString()};
    }
};
} // namespace

// The server going away in the middle of a read is a failure: exit 1 with the driver's message, and the
// file that was to receive the result keeps what it held.
TEST(VarnelRun, ServerStoppedWhileRowsAreReadExitsOneAndLeavesTheTargetAsItWas) {
    PrivateServer server;
    if (server.dir.empty())
        GTEST_SKIP() << "no PostgreSQL server could be started: " << server.error;
    TestSandbox::AddDataSource("dying", "PostgreSQL Unicode",
                               {{"Servername", "127.0.0.1"},
                                {"Port", server.port},
                                {"Database", "varnel"},
                                {"UseDeclareFetch", "1"},
                                {"Fetch", "10000"}});
    {
        ODBC session;
        ASSERT_EQ(0, session.Connect("dying", "tester", server.password)) << session.lastError;
        ASSERT_EQ(0, session.Exec("create table t as select g as id, md5(g::text) as h "
                                  "from generate_series(1, 2000000) g"))
            << session.lastError;
        session.Disconnect();
    }
    const CString folder = TestSandbox::Directory() + "/dying";
    QDir().mkpath(Q(folder));
    const CString target = WriteFile("dying/out.xml", "the previous result\n");
    const CString script = WriteFile("dying.sql", "select * from t\n");
    qputenv("VARNEL_PASSWORD", QByteArray::fromStdString(server.password));
    QProcess run;
    run.start(VARNEL_BINARY_DIR "/tools/varnel-run",
              {"-d", "dying", "-u", "tester", "-f", "xml", "-o", Q(target), Q(script)});
    ASSERT_TRUE(run.waitForStarted(10000));
    // Once rows are being written beside the target, the server goes.
    bool reading = false;
    for (int i = 0; i < 3000 && !reading && run.state() != QProcess::NotRunning; ++i) {
        for (const QFileInfo& entry : QDir(Q(folder)).entryInfoList(QDir::Files | QDir::Hidden))
            reading = reading || (entry.fileName() != "out.xml" && entry.size() > 100000);
        if (!reading)
            QThread::msleep(10);
    }
    ASSERT_TRUE(reading) << "the rows were never being written";
    server.Kill();
    ASSERT_TRUE(run.waitForFinished(60000));
    qunsetenv("VARNEL_PASSWORD");
    const CString err = run.readAllStandardError().toStdString();
    EXPECT_EQ(QProcess::NormalExit, run.exitStatus()) << "no crash";
    EXPECT_EQ(1, run.exitCode()) << err;
    EXPECT_NE(CString::npos, err.find("reading the result failed after")) << err;
    EXPECT_NE(CString::npos, err.find("server closed the connection")) << err;
    EXPECT_EQ("the previous result\n", ReadBytes(target));
    EXPECT_EQ(QStringList{"out.xml"}, Entries(folder)) << "no partial file is left";
}
