#include "CScriptFile.h"

#include "FileSyncRecorder.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CString ReadAll(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteRaw(const CString& path, const CString& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Names in the folder, sorted.
QStringList Entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

class ScriptFileTest : public ::testing::Test {
protected:
    CString Path(const char* name) const { return dir.path().toStdString() + "/" + name; }
    QTemporaryDir dir;
};

} // namespace

TEST(ScriptFileBackupName, ReplacesOnlyTheFileNamesExtension) {
    EXPECT_EQ("/home/u/q.bak", CScriptFile::BackupName("/home/u/q.sql"));
    EXPECT_EQ("/home/u/a.b.bak", CScriptFile::BackupName("/home/u/a.b.sql"));
    EXPECT_EQ("/home/u.v/script.bak", CScriptFile::BackupName("/home/u.v/script"));
    EXPECT_EQ("script.bak", CScriptFile::BackupName("script"));
    EXPECT_EQ("x.bak", CScriptFile::BackupName("x.sql"));
}

TEST_F(ScriptFileTest, NewFileIsWrittenExactlyWithoutBackupOrLeftovers) {
    const CString text = "select 1\r\nfrom t\r\n\xC3\xA4";
    ASSERT_EQ(0, CScriptFile::Write(Path("new.sql"), text));
    EXPECT_EQ(text, ReadAll(Path("new.sql")));
    EXPECT_EQ(QStringList{"new.sql"}, Entries(dir));
}

TEST_F(ScriptFileTest, EachSaveKeepsExactlyOneBackupOfThePreviousVersion) {
    const CString path = Path("q.sql");
    WriteRaw(path, "first");
    ASSERT_EQ(0, CScriptFile::Write(path, "second"));
    EXPECT_EQ("second", ReadAll(path));
    EXPECT_EQ("first", ReadAll(Path("q.bak")));
    ASSERT_EQ(0, CScriptFile::Write(path, "third"));
    EXPECT_EQ("third", ReadAll(path));
    EXPECT_EQ("second", ReadAll(Path("q.bak")));
    EXPECT_EQ((QStringList{"q.bak", "q.sql"}), Entries(dir));
}

TEST_F(ScriptFileTest, KeepsTheFilesPermissions) {
    const CString path = Path("p.sql");
    WriteRaw(path, "old");
    ASSERT_EQ(0, ::chmod(path.c_str(), 0640));
    ASSERT_EQ(0, CScriptFile::Write(path, "new"));
    struct stat st {};
    ASSERT_EQ(0, ::stat(path.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
}

// Copies the program keeps for itself are its owner's only, the old copy turned backup too, whatever
// the umask and the modes an earlier version left.
TEST_F(ScriptFileTest, OwnerOnlyCopiesAndTheirBackupsAreClosedToOthers) {
    const mode_t mask = ::umask(022);
    const struct {
        const char* name;
        int before; // -1: no file yet
    } cases[] = {{"fresh.tmp", -1}, {"wide.tmp", 0644}, {"group.tmp", 0660}};
    for (const auto& c : cases) {
        const CString path = Path(c.name);
        if (c.before >= 0) {
            WriteRaw(path, "old");
            ASSERT_EQ(0, ::chmod(path.c_str(), static_cast<mode_t>(c.before)));
        }
        ASSERT_EQ(0, CScriptFile::Write(path, "create user x password 'p'", true)) << c.name;
        EXPECT_EQ("create user x password 'p'", ReadAll(path));
        struct stat st {};
        ASSERT_EQ(0, ::stat(path.c_str(), &st));
        EXPECT_EQ(0600u, st.st_mode & 07777) << c.name;
        if (c.before >= 0) {
            ASSERT_EQ(0, ::stat(CScriptFile::BackupName(path).c_str(), &st)) << c.name;
            EXPECT_EQ(0600u, st.st_mode & 07777) << c.name << " backup";
        }
    }
    ::umask(mask);
}

TEST_F(ScriptFileTest, FailedWriteLeavesTheOriginalAndBackupUntouched) {
    const CString path = Path("big.sql");
    WriteRaw(path, "original");
    WriteRaw(Path("big.bak"), "older");
    // The process may write no file beyond 64 bytes: the new text cannot be written in full.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &old));
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &small));
    const int result = CScriptFile::Write(path, CString(1000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(-1, result);
    EXPECT_EQ("original", ReadAll(path));
    EXPECT_EQ("older", ReadAll(Path("big.bak")));
    EXPECT_EQ((QStringList{"big.bak", "big.sql"}), Entries(dir));
}

TEST_F(ScriptFileTest, FailedMoveToBackupLeavesTheOriginal) {
    const CString path = Path("m.sql");
    WriteRaw(path, "original");
    // A backup name taken by a folder with content cannot be replaced.
    ASSERT_TRUE(QDir(dir.path()).mkpath("m.bak/inner"));
    EXPECT_EQ(-1, CScriptFile::Write(path, "new"));
    EXPECT_EQ("original", ReadAll(path));
    EXPECT_EQ((QStringList{"m.bak", "m.sql"}), Entries(dir));
}

TEST_F(ScriptFileTest, WriteIntoMissingFolderFails) {
    EXPECT_EQ(-1, CScriptFile::Write(Path("nowhere/x.sql"), "text"));
    EXPECT_EQ(-1, CScriptFile::Write("", "text"));
}

TEST_F(ScriptFileTest, ReadsWholeFilesAcrossTheBlockSize) {
    for (int size : {0, 1, CScriptFile::kBlockSize - 1, CScriptFile::kBlockSize, CScriptFile::kBlockSize + 1,
                     3 * CScriptFile::kBlockSize}) {
        CString text;
        for (int i = 0; i < size; ++i)
            text += static_cast<char>('a' + i % 26);
        WriteRaw(Path("r.sql"), text);
        CString read = "junk";
        ASSERT_EQ(0, CScriptFile::Read(Path("r.sql"), &read)) << size;
        EXPECT_EQ(text, read) << size;
    }
}

// A byte-order mark is no part of the script; a zero byte is shown as a symbol, never dropped with
// what follows it.
TEST_F(ScriptFileTest, ByteOrderMarkIsDroppedZeroBytesAreShownAndMissingFilesFail) {
    WriteRaw(Path("z.sql"), CString("\xEF\xBB\xBFselect 1 as a\0, 2 as b\xEF\xBB\xBF", 28));
    CString read;
    ASSERT_EQ(0, CScriptFile::Read(Path("z.sql"), &read));
    EXPECT_EQ(CString("select 1 as a") + CScriptFile::kNulSymbol + ", 2 as b\xEF\xBB\xBF", read);

    CString kept = "kept";
    EXPECT_EQ(-1, CScriptFile::Read(Path("missing.sql"), &kept));
    EXPECT_EQ(-1, CScriptFile::Read(dir.path().toStdString(), &kept));
    EXPECT_EQ("kept", kept);
}

// A save forces the new script to the disk before it takes the name and the folder after it.
TEST_F(ScriptFileTest, SaveSyncsTheWholeFileBeforeTheRenameAndTheFolderAfter) {
    const CString path = Path("durable.sql");
    for (const CString text : {CString("first version"), CString(20000, 's')}) {
        FileSyncRecorder recorder;
        ASSERT_EQ(0, CScriptFile::Write(path, text));
        std::vector<std::string> expected = FileSyncRecorder::Durable(text.size(), path);
        if (text.size() > 100) // the second save first moves the old version to its backup name
            expected.insert(expected.begin() + 1, "rename " + CScriptFile::BackupName(path));
        EXPECT_EQ(expected, recorder.calls);
    }
}
