#include "services/Helpers.h"
#include "services/HtmlHelp.h"
#include "services/ProgramDirectory.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

TEST(CRC32, GivesTheStandardCheckValue) {
    char text[] = "123456789";
    EXPECT_EQ(0xCBF43926u, CRC32(text, 9));
}

TEST(CRC32, EmptyAndHighBytes) {
    EXPECT_EQ(0u, CRC32("", 0));
    // A byte above 127 must not be sign-extended into the table index.
    const char high[] = "\xff\x80";
    EXPECT_NE(CRC32(high, 1), CRC32(high + 1, 1));
    EXPECT_EQ(0xFF000000u, CRC32(high, 1));
}

TEST(CRC32, DiffersForOneChangedCharacter) {
    EXPECT_NE(CRC32("select 1", 8), CRC32("select 2", 8));
}

TEST(CopyToClipBoard, PutsPlainTextOnTheClipboard) {
    CopyToClipBoard("a\tb\r\nc");
    EXPECT_EQ(QString("a\tb\r\nc"), QGuiApplication::clipboard()->text());
}

TEST(HtmlHelp, ComposesTheTopicWithTheHelpFile) {
    SetHelpName("/opt/varnel/varnel.chm");
    EXPECT_EQ("/opt/varnel/varnel.chm", GetHelpName());
    CString shownFile, shownTopic;
    SetHelpViewer([&](QWidget*, const CString& file, const CString& topic) {
        shownFile = file;
        shownTopic = topic;
    });
    EXPECT_EQ("/opt/varnel/varnel.chm::/editor.htm", ShowHtmlHelp(nullptr, "editor.htm"));
    EXPECT_EQ("editor.htm", shownTopic);
    EXPECT_EQ("/opt/varnel/varnel.chm", shownFile);
    SetHelpViewer(nullptr);
}

TEST(ProgramDirectory, LivesUnderTheUsersDataFolder) {
    const CString dir = ProgramDirectory();
    const CString expected = CString(std::getenv("XDG_DATA_HOME")) + "/Ostrak/Varnel/";
    EXPECT_EQ(expected, dir);
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    struct stat st {};
    ASSERT_EQ(0, ::stat(dir.c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 07777) << "created for its owner only";
    EXPECT_TRUE(InProgramDirectory(dir + "autosave.tmp"));
    EXPECT_FALSE(InProgramDirectory(dir + "sub/file"));
    EXPECT_FALSE(InProgramDirectory(dir));
    EXPECT_FALSE(InProgramDirectory(dir.substr(0, dir.size() - 1) + "2/x"));
}

// What earlier versions left readable by everyone is closed at start-up; what is not the
// program's to change (a link's target elsewhere) is left alone.
TEST(ProgramDirectory, ProtectClosesTheFolderAndItsFilesButNotLinkTargets) {
    const CString dir = ProgramDirectory();
    ASSERT_EQ(0, ::chmod(dir.c_str(), 0755));
    const CString outside = CString(std::getenv("XDG_DATA_HOME")) + "/shared.sql";
    std::ofstream(outside) << "x";
    ASSERT_EQ(0, ::chmod(outside.c_str(), 0644));
    ASSERT_EQ(0, ::symlink(outside.c_str(), (dir + "linked.sql").c_str()));
    const struct {
        const char* name;
        unsigned before, after;
    } files[] = {{"Error.Log", 0644, 0600},
                 {"autosave.tmp", 0664, 0600},
                 {"autosave.bak", 0600, 0600},
                 {"temp.sql", 0755, 0700},
                 {"Varnel Sample.sqlite", 0640, 0600}};
    for (const auto& f : files) {
        std::ofstream(dir + f.name) << "data";
        ASSERT_EQ(0, ::chmod((dir + f.name).c_str(), f.before));
    }

    ProtectProgramDirectory();

    auto mode = [](const CString& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0xFFFFu;
    };
    EXPECT_EQ(0700u, mode(dir));
    for (const auto& f : files)
        EXPECT_EQ(f.after, mode(dir + f.name)) << f.name;
    EXPECT_EQ(0644u, mode(outside));
}
