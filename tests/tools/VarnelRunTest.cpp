// Runs the built varnel-run program as a process.
#include "CommonTypes.h"

#include "TestSandbox.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>

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
        EXPECT_NE(CString::npos, outcome.err.find("usage: varnel-run --split SCRIPT")) << outcome.err;
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
