#include "CFileTypeRegistration.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {
CString ReadAll(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const CString& path, const CString& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// System data folders of the test: an empty one and the one where an installed package would put its entry.
class FileTypeRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        m_System = TestSandbox::Directory() + "/system";
        fs::create_directories(TestSandbox::Directory() + "/empty");
        setenv("XDG_DATA_DIRS", (TestSandbox::Directory() + "/empty:" + m_System).c_str(), 1);
        m_UserEntry = CString(std::getenv("XDG_DATA_HOME")) + "/applications/varnel.desktop";
        m_UserIcon = CString(std::getenv("XDG_DATA_HOME")) + "/icons/hicolor/scalable/apps/varnel.svg";
    }
    void InstallSystemEntry() { WriteAll(m_System + "/applications/varnel.desktop", "[Desktop Entry]\n"); }

    CString m_System, m_UserEntry, m_UserIcon;
};

// The Exec line of an entry, as it stands in the file.
CString ExecLine(const CString& text) {
    const size_t start = text.find("\nExec=");
    return start == CString::npos ? "" : text.substr(start + 6, text.find('\n', start + 1) - start - 6);
}
} // namespace

TEST_F(FileTypeRegistration, WritesUserEntryAndIconWhenNothingIsInstalled) {
    ASSERT_EQ(CFileTypeRegistration::UserEntryPath(), m_UserEntry);
    EXPECT_EQ(CFileTypeRegistration::SystemEntryPath(), "");
    EXPECT_EQ(CFileTypeRegistration::Register("/opt/varnel/bin/varnel"), CFileTypeRegistration::Written);

    const CString text = ReadAll(m_UserEntry);
    EXPECT_EQ(ExecLine(text), "/opt/varnel/bin/varnel %f");
    EXPECT_NE(text.find("\nMimeType=application/sql;text/x-sql;\n"), CString::npos) << text;
    EXPECT_NE(text.find("\nTryExec=/opt/varnel/bin/varnel\n"), CString::npos) << text;
    EXPECT_NE(text.find("\nIcon=varnel\n"), CString::npos) << text;
    EXPECT_NE(ReadAll(m_UserIcon).find("<svg"), CString::npos) << "icon missing at " << m_UserIcon;

    EXPECT_EQ(CFileTypeRegistration::Register("/opt/varnel/bin/varnel"), CFileTypeRegistration::UpToDate);
    // A program that moved updates its own entry.
    EXPECT_EQ(CFileTypeRegistration::Register("/home/u/build/app/varnel"), CFileTypeRegistration::Written);
    EXPECT_EQ(ExecLine(ReadAll(m_UserEntry)), "/home/u/build/app/varnel %f");
}

TEST_F(FileTypeRegistration, InstalledEntryWinsAndEarlierUserEntryIsRemoved) {
    ASSERT_EQ(CFileTypeRegistration::Register("/opt/varnel/bin/varnel"), CFileTypeRegistration::Written);
    ASSERT_TRUE(fs::exists(m_UserEntry));
    InstallSystemEntry();

    EXPECT_EQ(CFileTypeRegistration::SystemEntryPath(), m_System + "/applications/varnel.desktop");
    EXPECT_EQ(CFileTypeRegistration::Register("/usr/bin/varnel"), CFileTypeRegistration::Installed);
    EXPECT_FALSE(fs::exists(m_UserEntry)) << "a user entry would hide the installed one";
    EXPECT_FALSE(fs::exists(m_UserIcon));
    // And nothing comes back at the next start.
    EXPECT_EQ(CFileTypeRegistration::Register("/usr/bin/varnel"), CFileTypeRegistration::Installed);
    EXPECT_FALSE(fs::exists(m_UserEntry));
}

TEST_F(FileTypeRegistration, UsersOwnEntryIsNeverTouched) {
    const CString own = "[Desktop Entry]\nType=Application\nName=My Varnel\nExec=/somewhere/varnel --x %f\n";
    WriteAll(m_UserEntry, own);
    EXPECT_EQ(CFileTypeRegistration::Register("/opt/varnel/bin/varnel"), CFileTypeRegistration::UserOwned);
    EXPECT_EQ(ReadAll(m_UserEntry), own);
    InstallSystemEntry();
    EXPECT_EQ(CFileTypeRegistration::Register("/opt/varnel/bin/varnel"), CFileTypeRegistration::Installed);
    EXPECT_EQ(ReadAll(m_UserEntry), own);
}

TEST_F(FileTypeRegistration, RelativeSystemFoldersAreIgnored) {
    // Base directory lists hold absolute paths only; a relative one must not count as an installation.
    const CString cwd = fs::current_path().string();
    fs::current_path(TestSandbox::Directory());
    WriteAll(TestSandbox::Directory() + "/rel/applications/varnel.desktop", "[Desktop Entry]\n");
    setenv("XDG_DATA_DIRS", "rel:", 1);
    EXPECT_EQ(CFileTypeRegistration::SystemEntryPath(), "");
    EXPECT_EQ(CFileTypeRegistration::Register("/opt/varnel/bin/varnel"), CFileTypeRegistration::Written);
    fs::current_path(cwd);
}

TEST_F(FileTypeRegistration, AwkwardProgramPathsGiveValidEntries) {
    const CString path = "/home/a b/it's \"q\" $HOME `x` 100%\\varnel";
    EXPECT_EQ(ExecLine(CFileTypeRegistration::EntryText(path)),
              "\"/home/a b/it's \\\\\"q\\\\\" \\\\$HOME \\\\`x\\\\` 100%%\\\\\\\\varnel\" %f");
    ASSERT_EQ(CFileTypeRegistration::Register(path), CFileTypeRegistration::Written);
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed";
    const CString command =
        "desktop-file-validate '" + m_UserEntry + "' > '" + TestSandbox::Directory() + "/validate.txt' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadAll(TestSandbox::Directory() + "/validate.txt");
}

TEST_F(FileTypeRegistration, UnusablePathsAndFoldersFailWithoutWriting) {
    EXPECT_EQ(CFileTypeRegistration::Register("varnel"), CFileTypeRegistration::Failed);
    EXPECT_EQ(CFileTypeRegistration::Register("/opt/var\nnel"), CFileTypeRegistration::Failed);
    EXPECT_EQ(CFileTypeRegistration::Register(""), CFileTypeRegistration::Failed);
    EXPECT_FALSE(fs::exists(m_UserEntry));

    // The data folder is a plain file: nothing can be created below it.
    const CString blocked = TestSandbox::Directory() + "/blocked";
    WriteAll(blocked, "x");
    setenv("XDG_DATA_HOME", blocked.c_str(), 1);
    EXPECT_EQ(CFileTypeRegistration::Register("/opt/varnel/bin/varnel"), CFileTypeRegistration::Failed);
    EXPECT_EQ(ReadAll(blocked), "x");
}
