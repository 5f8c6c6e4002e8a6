#include "services/CLog.h"
#include "services/ProgramDirectory.h"

#include "MessageRecorder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace {
std::vector<CString> ReadLines(const CString& path) {
    std::ifstream in(path);
    std::vector<CString> lines;
    for (CString line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const std::regex kStamped(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} > (.*))");

CString MessageOf(const CString& line) {
    std::smatch m;
    return std::regex_match(line, m, kStamped) ? m[1].str() : "<no stamp: " + line + ">";
}
} // namespace

TEST(CLog, FirstWriteCreatesErrorLogInTheProgramDirectory) {
    CLog log;
    EXPECT_EQ("", log.ErrorFile());
    log.Write("hello");
    EXPECT_EQ(ProgramDirectory() + "Error.Log", log.ErrorFile());
    auto lines = ReadLines(log.ErrorFile());
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("hello", MessageOf(lines[0]));
}

TEST(CLog, EmptyTextWritesABareLineFeed) {
    CLog log;
    log.Write("a");
    log.Write("");
    log.Write("b");
    auto lines = ReadLines(log.ErrorFile());
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("", lines[1]);
    EXPECT_EQ("b", MessageOf(lines[2]));
}

TEST(CLog, BugWritesLocationThenDetailAndMessage) {
    CLog log;
    log.Bug("ODBC::Exec", "Exception!", "codbc", 412);
    log.Bug(nullptr, nullptr, "parse", 7);
    log.Bug("only message", nullptr, nullptr, 9);
    auto lines = ReadLines(log.ErrorFile());
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ("codbc [412]", MessageOf(lines[0]));
    EXPECT_EQ(" \\ Exception! ODBC::Exec", MessageOf(lines[1]));
    EXPECT_EQ("parse [7]", MessageOf(lines[2]));
    EXPECT_EQ(" [9]", MessageOf(lines[3]));
    EXPECT_EQ(" \\  only message", MessageOf(lines[4]));
}

TEST(CLog, BeginWritesTheBanner) {
    CLog log;
    log.Begin("Ostrak Varnel");
    auto lines = ReadLines(log.ErrorFile());
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("", lines[0]);
    char expected[64];
    std::snprintf(expected, sizeof expected, "  << Ostrak Varnel %d.%02d.%02d >>", VARNEL_VERSION_MAJOR,
                  VARNEL_VERSION_MINOR, VARNEL_VERSION_PATCH);
    EXPECT_EQ(expected, MessageOf(lines[1]));
    EXPECT_TRUE(std::regex_match(
        MessageOf(lines[2]), std::regex(R"(  << build: \w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4},OS=.+ >>)")))
        << lines[2];
    EXPECT_EQ(VARNEL_VERSION_MAJOR, log.m_VersionMajor);
}

TEST(CLog, TwoLogsAppendToTheSameFile) {
    CLog a, b;
    a.Write("one");
    b.Write("two");
    auto lines = ReadLines(a.ErrorFile());
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(a.ErrorFile(), b.ErrorFile());
}

TEST(CLog, UnwritableFileShowsTheTextInstead) {
    MessageRecorder messages;
    CLog log;
    log.SetErrorFile("/nonexistent-folder/x/Error.Log");
    log.Write("lost line");
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("lost line", messages.Shown()[0].text);
}

TEST(CLog, ViewLogOnAMissingFileSaysStillEmpty) {
    MessageRecorder messages;
    CLog log;
    log.ViewLog(true);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Log still empty.", messages.Shown()[0].text);
    EXPECT_EQ("Information!", messages.Shown()[0].caption);
}

TEST(CLog, ViewLogWithoutAViewerNamesTheReason) {
    MessageRecorder messages;
    CLog log;
    log.Write("a line");
    // No program on the path can open the file (the next case gets the path back).
    const QTemporaryDir nothing;
    ::setenv("PATH", nothing.path().toLocal8Bit().constData(), 1);
    errno = ENOENT; // left over from an unrelated call, it must not become the message
    log.ViewLog(true);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("No application is set up to open text files.", messages.Shown()[0].text);
    EXPECT_EQ("xdg-open " + log.ErrorFile(), messages.Shown()[0].caption);
}

TEST(CLog, TruncateAskedAndAnsweredNoKeepsTheFile) {
    MessageRecorder messages;
    CLog log;
    log.Write("keep me");
    messages.QueueAnswer(IDNO);
    log.TruncateLog(true);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Are you sure?", messages.Shown()[0].text);
    EXPECT_EQ("Truncate log!", messages.Shown()[0].caption);
    EXPECT_EQ(IDNO, DefaultAnswer(messages.Shown()[0].type));
    EXPECT_TRUE(std::filesystem::exists(log.ErrorFile()));

    messages.QueueAnswer(IDYES);
    log.TruncateLog(true);
    EXPECT_FALSE(std::filesystem::exists(log.ErrorFile()));
}

TEST(CLog, FailedDeleteIsReported) {
    MessageRecorder messages;
    CLog log;
    log.SetErrorFile("/nonexistent-folder/Error.Log");
    messages.QueueAnswer(IDYES);
    log.TruncateLog(true);
    ASSERT_EQ(2u, messages.Shown().size());
    EXPECT_EQ("Error: DeleteFile fail!", messages.Shown()[1].text);
    EXPECT_EQ("/nonexistent-folder/Error.Log", messages.Shown()[1].caption);
}

TEST(CLog, FormatLastErrorReadsErrno) {
    CString text = "x";
    errno = 0;
    EXPECT_EQ(0, CLog::FormatLastError(&text));
    EXPECT_EQ("", text);
    errno = ENOENT;
    EXPECT_EQ(ENOENT, CLog::FormatLastError(&text));
    EXPECT_EQ("No such file or directory", text);
}

// Log lines carry row values from driver messages: the log is its owner's only, also when an
// earlier version created it readable by everyone.
TEST(CLog, LogFilesAreReadableByTheirOwnerOnly) {
    const CString dir = ProgramDirectory();
    const struct {
        const char* name;
        int before; // -1: the file does not exist yet
    } cases[] = {{"new.log", -1}, {"wide.log", 0644}, {"group.log", 0640}};
    for (const auto& c : cases) {
        const CString path = dir + c.name;
        if (c.before >= 0) {
            std::ofstream(path) << "old line\n";
            ASSERT_EQ(0, ::chmod(path.c_str(), static_cast<mode_t>(c.before)));
        }
        CLog log;
        log.SetErrorFile(path.c_str());
        log.Write("row value");
        struct stat st {};
        ASSERT_EQ(0, ::stat(path.c_str(), &st)) << c.name;
        EXPECT_EQ(0600u, st.st_mode & 07777) << c.name;
        EXPECT_EQ(c.before >= 0 ? 2u : 1u, ReadLines(path).size()) << c.name << ": lines are appended";
    }
}
