// Runs the built varnel-run program as a process.
#include "CommonTypes.h"

#include "codbc/ODBC.h"
#include "grid/CExport.h"
#include "grid/CResultTable.h"
#include "services/_Settings.h"
#include "views/CResultLoader.h"

#include "DatabaseSources.h"
#include "ScriptedSource.h"
#include "TestSandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

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

// The program's path and arguments as an exec call takes them; `argv` points into `strings`.
struct ToolArgv {
    std::vector<std::string> strings{VARNEL_BINARY_DIR "/tools/varnel-run"};
    std::vector<char*> argv;
    explicit ToolArgv(const QStringList& arguments) {
        for (const QString& a : arguments)
            strings.push_back(a.toStdString());
        for (std::string& s : strings)
            argv.push_back(s.data());
        argv.push_back(nullptr);
    }
};

// Runs the program on a pseudo-terminal (standard input, output and error), types `typed` and Enter
// once the password prompt shows, and keeps everything the terminal showed in `out`; `echoAfter`
// tells whether the terminal echoes again once the program has ended.
Outcome RunOnTerminal(const QStringList& arguments, const CString& typed, bool* echoAfter = nullptr) {
    ToolArgv tool(arguments);
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        ::execv(tool.argv[0], tool.argv.data());
        ::_exit(127);
    }
    Outcome outcome;
    if (child < 0)
        return outcome;
    bool typedIn = false;
    for (;;) {
        pollfd wait{terminal, POLLIN, 0};
        if (::poll(&wait, 1, 30000) <= 0)
            break;
        char buf[512];
        const ssize_t n = ::read(terminal, buf, sizeof buf);
        if (n <= 0)
            break; // EIO once the program has ended
        outcome.out.append(buf, static_cast<size_t>(n));
        if (!typedIn && outcome.out.find("Password for user ") != CString::npos &&
            outcome.out.rfind(": ") == outcome.out.size() - 2) {
            const CString line = typed + "\n";
            EXPECT_EQ(ssize_t(line.size()), ::write(terminal, line.data(), line.size()));
            typedIn = true;
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    struct termios modes {};
    if (echoAfter)
        *echoAfter = ::tcgetattr(terminal, &modes) == 0 && (modes.c_lflag & ECHO);
    ::close(terminal);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

TEST(VarnelRun, SplitAtSemicolonsGivesTheLastStatementsTables) {
    const Outcome outcome = RunTool({"--split", "--statement-separator", "semicolons", "-"},
                                    "select 1; select * from customers -- ;\nGO\nselect 2 from b");
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ(R"({"count": 3, "tables": "b", "statements": ["select 1", "select * from customers -- ;", )"
              R"("select 2 from b"]})"
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
        // The cases' own statements join texts as the other databases do.
        if (GetParam() == Backend::MariaDB) {
            ASSERT_EQ(0, session->Exec("set sql_mode = concat(@@sql_mode, ',PIPES_AS_CONCAT')"))
                << session->lastError;
        }
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
        // As the grid does: names are quoted as the driver quotes them (SQL_IDENTIFIER_QUOTE_CHAR).
        CString quote;
        if (session->GetInfo(short(29), &quote) == 0 && !quote.empty())
            table.SetIdentifierQuote(quote);
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
        const bool postgres = GetParam() == Backend::Postgres;
        const CString tab = postgres ? "chr(9)" : "char(9)";
        const CString crlf = postgres ? "chr(13) || chr(10)" : "char(13) || char(10)";
        const CString longB =
            sqlite ? "replace(hex(zeroblob(1500 + x)), '00', 'ab')" : "repeat('ab', 1500 + x)";
        const CString longC =
            sqlite ? "replace(hex(zeroblob(1200 + x)), '00', 'cd')" : "repeat('cd', 1200 + x)";
        const CString rows =
            sqlite ? "with recursive s(x) as (select 1 union all select x + 1 from s where x < 700) " : "";
        const CString from =
            ForBackend<CString>(GetParam(), " from s", " from generate_series(1, 700) x",
                                " from (select cast(seq as signed) as x from seq_1_to_700) s");
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
    for (const CString& statement :
         {CString("select id, name from people where id < 0"),
          CString("update people set score = coalesce(score, 0) + 1 where id > 1")}) {
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

// SQL output loads back into a fresh table as it was: every kind of value, NULLs however they are
// shown, a text that reads "<NULL>", quotes and line breaks, and a column name that needs quotes.
TEST_P(VarnelRunOutput, SqlOutputLoadsBackIntoAFreshTable) {
    const bool postgres = GetParam() == Backend::Postgres;
    const CString crlf = postgres ? "chr(13) || chr(10)" : "char(13) || char(10)";
    const bool mariadb = GetParam() == Backend::MariaDB;
    const CString myCol = mariadb ? "`my col`" : "\"my col\"";
    const CString columns = "(id integer, amount numeric(8,2), ratio real, name varchar(40), " + myCol +
                            " varchar(10), day date, moment " + (mariadb ? "datetime" : "timestamp") + ")";
    for (const CString& sql :
         {"create table kinds" + columns,
          CString(
              "insert into kinds values (1, 1.5, 0.25, 'O''Brien \"x\" <&>, a;b', 'sp ace', '2024-01-02', "
              "'2024-01-02 03:04:05')"),
          CString("insert into kinds values (2, NULL, NULL, NULL, NULL, NULL, NULL)"),
          CString(
              "insert into kinds values (3, -3, -1e10, '<NULL>', '', '1999-12-31', '1999-12-31 23:59:59')"),
          "insert into kinds values (4, 0, 0, 'line' || " + crlf + " || 'two', 'NULL', NULL, NULL)"}) {
        ASSERT_EQ(0, session->StmtRealloc());
        ASSERT_EQ(0, session->Exec(sql)) << sql << ": " << session->lastError;
    }
    const CString file = TestSandbox::Directory() + "/kinds.sql";
    for (const QStringList& shown : {QStringList{}, QStringList{"--null-empty"}}) {
        const CString copy = shown.isEmpty() ? "copy1" : "copy2";
        ASSERT_EQ(0, session->StmtRealloc());
        ASSERT_EQ(0, session->Exec("create table " + copy + columns)) << session->lastError;
        Outcome outcome = RunTool(
            Login() + shown + QStringList{"-f", "sql", "--terminate", "--table", Q(copy), "-o", Q(file), "-"},
            "select * from kinds order by id");
        ASSERT_EQ(0, outcome.exitCode) << outcome.err;
        const CString written = ReadBytes(file);
        EXPECT_NE(CString::npos, written.find(myCol)) << written;
        EXPECT_NE(CString::npos, written.find(");\r\n")) << written;
        outcome = RunTool(Login() + QStringList{Q(file)});
        ASSERT_EQ(0, outcome.exitCode) << outcome.err << written;
        for (const CString& difference :
             {"select count(*) from (select * from kinds except select * from " + copy + ") d",
              "select count(*) from (select * from " + copy + " except select * from kinds) d",
              "select count(*) - 4 from " + copy,
              // NULL and the text "<NULL>" stay apart
              "select count(*) - 1 from " + copy + " where name = '<NULL>'"}) {
            ASSERT_EQ(0, session->StmtRealloc());
            ASSERT_EQ(0, session->Exec(difference)) << session->lastError;
            ASSERT_EQ(0, session->Fetch());
            CString count;
            long indicator = 0;
            session->GetDataAsText(0, count, &indicator);
            EXPECT_EQ("0", count) << difference << "\n" << written;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, VarnelRunOutput, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);

TEST(VarnelRun, FailedConnectionExitsThreeWithTheDriversMessage) {
    const Outcome outcome = RunTool({"-d", "no_such_source", "-"}, "select 1");
    EXPECT_EQ(3, outcome.exitCode);
    EXPECT_NE(CString::npos, outcome.err.find("Data source name not found")) << outcome.err;
    EXPECT_EQ("", outcome.out);
}

TEST(VarnelRun, PostgresPasswordComesFromTheFileOrTheEnvironment) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("pg");
    const TestSandbox::DatabaseServer server = *TestSandbox::Postgres();
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

// With a user and a terminal, and no password file or variable, the password is asked for without
// echo; what is typed is the login's password (a wrong one is refused).
TEST(VarnelRun, PostgresPasswordIsAskedOnTheTerminalWithoutEcho) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("pg");
    const TestSandbox::DatabaseServer server = *TestSandbox::Postgres();
    qunsetenv("VARNEL_PASSWORD");
    const CString script = WriteFile("seven.sql", "select 7 as n");
    const CString result = TestSandbox::Directory() + "/seven.csv";
    const QStringList login{"-d", "pg", "-u", Q(server.user), "-q", "-s", ",", "-o", Q(result), Q(script)};
    // Ctrl+C at the prompt ends the program by its signal with the terminal echoing again.
    const struct {
        CString typed;
        int exitCode;
    } cases[] = {{server.password, 0}, {"not-" + server.password, 3}, {"\x03", -1}};
    for (const auto& c : cases) {
        bool echoAfter = false;
        const Outcome outcome = RunOnTerminal(login, c.typed, &echoAfter);
        EXPECT_EQ(c.exitCode, outcome.exitCode) << outcome.out;
        EXPECT_TRUE(echoAfter) << "the terminal was left without echo";
        EXPECT_NE(CString::npos, outcome.out.find("Password for user " + server.user + ": ")) << outcome.out;
        EXPECT_EQ(CString::npos, outcome.out.find(c.typed)) << "the password was echoed: " << outcome.out;
    }
    std::ifstream in(result, std::ios::binary);
    EXPECT_EQ("n\r\n7\r\n", CString(std::istreambuf_iterator<char>(in), {}));

    // Without a user nothing is asked: the data source's own login is used.
    const Outcome quiet = RunOnTerminal({"-d", "pg", "-q", "-o", Q(result), Q(script)}, "x");
    EXPECT_EQ(CString::npos, quiet.out.find("Password")) << quiet.out;
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
// A varnel-run process started with posix_spawn, so that it can be signalled and its end read as the
// shell sees it; standard output goes to a pipe the test reads, or to a file.
struct Child {
    pid_t pid = -1;
    int out = -1; // read end of standard output when it is a pipe

    static Child Start(const QStringList& arguments, const char* stdoutFile = nullptr) {
        Child child;
        int fds[2] = {-1, -1};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (stdoutFile) {
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutFile, O_WRONLY, 0);
        } else {
            EXPECT_EQ(0, ::pipe(fds));
            posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
            posix_spawn_file_actions_addclose(&actions, fds[0]);
        }
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        ToolArgv tool(arguments);
        // As a shell starts it: default signal handling, nothing blocked.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        EXPECT_EQ(0,
                  ::posix_spawn(&child.pid, tool.argv[0], &actions, &attributes, tool.argv.data(), environ));
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (!stdoutFile) {
            ::close(fds[1]);
            child.out = fds[0];
        }
        return child;
    }

    // The status as a shell reports it: the exit code, or 128 + the signal that ended the process;
    // -1 when it has not ended within a minute (it is then killed).
    int Wait() {
        if (out >= 0)
            ::close(out);
        out = -1;
        for (int i = 0; i < 6000; ++i) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
};

// Waits until the folder holds an entry whose name contains `part`; false after a minute.
bool AppearsIn(const CString& folder, const char* part) {
    for (int i = 0; i < 60000; ++i) {
        for (const QString& entry : Entries(folder))
            if (entry.contains(part))
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}
} // namespace

// Standard output is a stream: the first rows arrive while the rest is read, a closed pipe ends the
// run at once, and no run (done, failed or ended by a signal) leaves a temporary file anywhere.
TEST(VarnelRun, OutputIsStreamedAndSignalsLeaveNoTemporaryFiles) {
    TestSandbox::AddSqliteSource("sig");
    const CString temp = TestSandbox::Directory() + "/tmp";
    const CString folder = TestSandbox::Directory() + "/out";
    QDir().mkpath(Q(temp));
    QDir().mkpath(Q(folder));
    qputenv("TMPDIR", QByteArray::fromStdString(temp));
    const CString many =
        WriteFile("many.sql", "with recursive s(x) as (select 1 union all select x + 1 from s "
                              "where x < 5000000) select x, 'row ' || x as t from s\n");
    const CString some =
        WriteFile("some.sql", "with recursive s(x) as (select 1 union all select x + 1 from s "
                              "where x < 200000) select x, 'row ' || x as t from s\n");
    const QStringList login{"-q", "-d", "sig"};

    // Done, failed statement, failed output: standard output needs no temporary file.
    EXPECT_EQ("a\r\n1\r\n", RunTool(login + QStringList{"-"}, "select 1 as a").out);
    EXPECT_EQ(1, RunTool(login + QStringList{"-"}, "select * from no_such_table").exitCode);
    Child full = Child::Start(login + QStringList{Q(some)}, "/dev/full");
    EXPECT_EQ(4, full.Wait());
    EXPECT_TRUE(Entries(temp).isEmpty()) << Entries(temp).join(' ').toStdString();

    // The reader of a pipe gets the heading and the first rows long before the last row is read, and
    // when it goes away the run ends by SIGPIPE, as `varnel-run ... | head -1` expects.
    Child streamed = Child::Start(login + QStringList{Q(many)});
    char head[64] = {};
    size_t got = 0;
    while (got < 16) {
        const ssize_t n = ::read(streamed.out, head + got, sizeof head - 1 - got);
        if (n <= 0)
            break;
        got += size_t(n);
    }
    EXPECT_EQ(0u, CString(head).find("x\tt\r\n1\trow 1\r\n")) << head;
    EXPECT_EQ(128 + SIGPIPE, streamed.Wait());
    EXPECT_TRUE(Entries(temp).isEmpty()) << Entries(temp).join(' ').toStdString();

    // A signal while a file is written: the target stays as it was and the hidden file beside it goes.
    const CString target = folder + "/target.txt";
    std::ofstream(target, std::ios::binary) << "old content";
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        Child child = Child::Start(login + QStringList{"-o", Q(target), Q(many)}, "/dev/null");
        ASSERT_TRUE(AppearsIn(folder, ".target.txt.")) << signal;
        ::kill(child.pid, signal);
        EXPECT_EQ(128 + signal, child.Wait());
        EXPECT_EQ(QStringList{"target.txt"}, Entries(folder)) << signal;
        EXPECT_EQ("old content", ReadBytes(target));
    }
#ifdef VARNEL_HAVE_XLSXWRITER
    // The workbook is built in the temporary folder before it is copied beside the target.
    Child book =
        Child::Start(login + QStringList{"-f", "xlsx", "-o", Q(folder + "/book.xlsx"), Q(some)}, "/dev/null");
    ASSERT_TRUE(AppearsIn(temp, "Varnel-"));
    ::kill(book.pid, SIGTERM);
    EXPECT_EQ(128 + SIGTERM, book.Wait());
    EXPECT_TRUE(Entries(temp).isEmpty()) << Entries(temp).join(' ').toStdString();
    EXPECT_EQ(QStringList{"target.txt"}, Entries(folder));
#endif
    qunsetenv("TMPDIR");
}

// What a script file holds is what runs: a byte-order mark is no part of it, and a NUL, which would
// end the statement for the driver, refuses the script. A password file must be readable.
TEST(VarnelRun, ScriptsAreReadAsWrittenAndPasswordFilesMustBeReadable) {
    TestSandbox::AddSqliteSource("bom");
    const QStringList login{"-q", "-d", "bom"};
    Outcome outcome =
        RunTool(login + QStringList{Q(WriteFile("bom.sql", "\xEF\xBB\xBFselect 1 as a, 2 as b\n"))});
    EXPECT_EQ(0, outcome.exitCode) << outcome.err;
    EXPECT_EQ("a\tb\r\n1\t2\r\n", outcome.out);

    outcome = RunTool(login + QStringList{"-"}, CString("select 0 as z;\nselect 1 as a\0, 2 as b\n", 38));
    EXPECT_EQ(2, outcome.exitCode);
    EXPECT_EQ("", outcome.out);
    EXPECT_NE(CString::npos, outcome.err.find("NUL character on line 2")) << outcome.err;

    const CString unreadable = WriteFile("pw", "secret\n");
    ::chmod(unreadable.c_str(), 0);
    const bool root = ::geteuid() == 0; // root reads any file
    for (const CString& file : {TestSandbox::Directory(), unreadable}) {
        if (root && file == unreadable)
            continue;
        outcome = RunTool(login + QStringList{"--password-file", Q(file), "-"}, "select 1");
        EXPECT_EQ(2, outcome.exitCode) << file;
        EXPECT_NE(CString::npos, outcome.err.find("cannot read the password file")) << outcome.err;
        EXPECT_EQ("", outcome.out);
    }
}

#ifdef VARNEL_SCRIPTED_DRIVER
// A value travels with its length: a NUL inside it is kept by the text formats and replaced in markup.
TEST(VarnelRun, ValuesWithANulByteAreWrittenWhole) {
    AddScriptedSource("nul", {}, "query select v\ncolumn v 12\ncolumn w 12\nrow A\\0B|x\n");
    const QStringList login{"-q", "-d", "nul", "-"};
    EXPECT_EQ(CString("v,w\r\nA\0B,x\r\n", 12), RunTool(login + QStringList{"-s", ","}, "select v").out);
    EXPECT_EQ(CString("v   w \r\nA\0B x \r\n", 16), RunTool(login + QStringList{"--fixed"}, "select v").out);
    EXPECT_EQ(CString("insert into t(v,w) values ('A\0B','x')\r\n", 39),
              RunTool(login + QStringList{"-f", "sql", "--table", "t"}, "select v").out);
    EXPECT_NE(CString::npos, RunTool(login + QStringList{"-f", "xml"}, "select v")
                                 .out.find("<item column=\"v\">A\xEF\xBF\xBD"
                                           "B</item>"));
}
#endif

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
    // psqlODBC 13 can itself fault inside SQLFetch when the connection breaks in the middle of a
    // message (a null dereference in the driver, with one-row and many-row fetches alike). The run
    // then ends by that signal, never as a success, and its temporary file is removed all the same.
    if (run.exitStatus() == QProcess::CrashExit) {
        EXPECT_EQ(SIGSEGV, run.exitCode()) << err;
    } else {
        EXPECT_EQ(1, run.exitCode()) << err;
        EXPECT_NE(CString::npos, err.find("reading the result failed after")) << err;
        EXPECT_NE(CString::npos, err.find("server closed the connection")) << err;
    }
    EXPECT_EQ("the previous result\n", ReadBytes(target));
    EXPECT_EQ(QStringList{"out.xml"}, Entries(folder)) << "no partial file is left";
}
