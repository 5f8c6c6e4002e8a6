#include "services/Helpers.h"
#include "services/HtmlHelp.h"
#include "services/ProgramDirectory.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
}
