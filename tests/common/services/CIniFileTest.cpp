#include "services/CIniFile.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {
CString ReadAll(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const CString kAwkward[] = {
    "a=b=c",
    "; not a comment",
    "# nor this",
    "[Section]",
    "\"quoted\" 'single'",
    "back\\slash\\n and \\x41",
    "two\nlines\r\nand a CR\r",
    "  leading and trailing blanks  ",
    "Gr\xC3\xBC\xC3\x9F"
    "e \xE2\x82\xAC",
    "\xFF\xFE not UTF-8 \x80",
    CString("with\0nul", 8),
    "",
    "\\",
    "\\x",
};
} // namespace

TEST(CIniFile, AwkwardValuesComeBackByteForByte) {
    const CString path = TestSandbox::Directory() + "/awkward.ini";
    {
        CIniFile ini(path);
        int i = 0;
        for (const auto& v : kAwkward) {
            ini.SetValue(i % 2 ? "Odd" : "", "value" + std::to_string(i), v);
            ++i;
        }
        ASSERT_EQ(0, ini.Write());
    }
    CIniFile back(path);
    ASSERT_EQ(0, back.Load());
    int i = 0;
    for (const auto& v : kAwkward) {
        auto got = back.Value(i % 2 ? "Odd" : "", "value" + std::to_string(i));
        ASSERT_TRUE(got.has_value()) << "value" << i;
        EXPECT_EQ(v, *got) << "value" << i;
        ++i;
    }
}

TEST(CIniFile, AwkwardKeysAndSectionsStaySeparate) {
    CIniFile ini;
    ini.SetValue("a]b", "k=1", "x");
    ini.SetValue("a]b", "[k]", "y");
    ini.SetValue("[a]", ";k", "z");
    CIniFile back;
    back.Parse(ini.Serialise());
    EXPECT_EQ("x", back.Value("a]b", "k=1").value_or("<missing>"));
    EXPECT_EQ("y", back.Value("a]b", "[k]").value_or("<missing>"));
    EXPECT_EQ("z", back.Value("[a]", ";k").value_or("<missing>"));
    EXPECT_FALSE(back.Value("a]b", "k").has_value());
}

TEST(CIniFile, NamesIgnoreCaseAndHandEditedLinesSurvive) {
    CIniFile ini;
    ini.Parse("; a comment\r\n[Tips]\r\nm_TipOnStartup=0\r\nnot a value\r\n");
    EXPECT_EQ("0", ini.Value("tips", "M_TIPONSTARTUP").value_or("<missing>"));
    ini.SetValue("TIPS", "m_tiponstartup", "1");
    const CString text = ini.Serialise();
    EXPECT_NE(CString::npos, text.find("; a comment")) << text;
    EXPECT_NE(CString::npos, text.find("not a value")) << text;
    EXPECT_NE(CString::npos, text.find("m_TipOnStartup=1")) << text;
    EXPECT_EQ(CString::npos, text.find("=0")) << text;
}

TEST(CIniFile, WriteReplacesTheFileAndKeepsItPrivate) {
    const CString dir = TestSandbox::Directory() + "/new/folder";
    const CString path = dir + "/store.ini";
    CIniFile ini(path);
    ini.SetValue("S", "k", "old");
    ASSERT_EQ(0, ini.Write());

    // A reader holding the old file still sees it whole: the new content went to a new file.
    std::ifstream old(path, std::ios::binary);
    ini.SetValue("S", "k", "new");
    ASSERT_EQ(0, ini.Write());
    std::ostringstream oldText;
    oldText << old.rdbuf();
    EXPECT_NE(CString::npos, oldText.str().find("k=old"));
    EXPECT_NE(CString::npos, ReadAll(path).find("k=new"));

    struct stat st {};
    ASSERT_EQ(0, ::stat(path.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777u);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(1, files) << "a temporary file was left behind";
}

TEST(CIniFile, WriteIntoAnImpossiblePathFails) {
    const CString blocker = TestSandbox::Directory() + "/plain-file";
    std::ofstream(blocker) << "x";
    CIniFile ini(blocker + "/store.ini");
    ini.SetValue("S", "k", "v");
    EXPECT_NE(0, ini.Write());
}

// Dotfile managers keep the store as a link into their own folder: a save must change the file
// the link points at (chains and relative links too) and keep that file's mode.
TEST(CIniFile, WritesThroughSymbolicLinksAndKeepsTheTargetsMode) {
    const CString dir = TestSandbox::Directory();
    std::filesystem::create_directories(dir + "/dotfiles/sub");
    const struct {
        const char* link;
        const char* pointsAt; // relative to the link's folder, or absolute
        const char* target;
        unsigned mode;
    } cases[] = {
        {"/a.ini", "dotfiles/a.ini", "/dotfiles/a.ini", 0640},
        {"/b.ini", "dotfiles/sub/hop.ini", "/dotfiles/b.ini", 0600}, // hop.ini -> ../b.ini
        {"/c.ini", "", "/dotfiles/c.ini", 0644},                     // absolute link
    };
    ASSERT_EQ(0, ::symlink("../b.ini", (dir + "/dotfiles/sub/hop.ini").c_str()));
    for (const auto& c : cases) {
        const CString link = dir + c.link, target = dir + c.target;
        std::ofstream(target) << "[S]\nkeep=1\n";
        ASSERT_EQ(0, ::chmod(target.c_str(), c.mode));
        const CString pointsAt = *c.pointsAt ? CString(c.pointsAt) : target;
        ASSERT_EQ(0, ::symlink(pointsAt.c_str(), link.c_str()));

        CIniFile ini(link);
        ASSERT_EQ(0, ini.Load());
        ini.SetValue("S", "k", "v");
        ASSERT_EQ(0, ini.Write()) << c.link;

        struct stat st {};
        ASSERT_EQ(0, ::lstat(link.c_str(), &st));
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << c.link << " was replaced by a regular file";
        ASSERT_EQ(0, ::stat(target.c_str(), &st));
        EXPECT_EQ(c.mode, st.st_mode & 07777) << c.target;
        const CString text = ReadAll(target);
        EXPECT_NE(CString::npos, text.find("k=v")) << text;
        EXPECT_NE(CString::npos, text.find("keep=1")) << text;
    }
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir + "/dotfiles"))
        EXPECT_EQ(CString::npos, e.path().filename().string().find(".ini.")) << e.path() << " left behind";
}

// Copies that a killed save left ("<store>.XXXXXX") go at the next start once the store is newer;
// a copy newer than the store, and names that only look alike, stay.
TEST(CIniFile, RemoveLeftoversTakesOnlyOlderWriteCopies) {
    const CString dir = TestSandbox::Directory() + "/store";
    std::filesystem::create_directories(dir);
    const CString store = dir + "/Varnel.ini";
    const struct {
        const char* name;
        int age; // seconds older than the store (negative: newer)
        bool removed;
    } files[] = {
        {"Varnel.ini.a1B2c3", 60, true},   {"Varnel.ini.ZZZZZZ", 1, true},
        {"Varnel.ini.x1y2z3", -60, false}, {"Varnel.ini.bak", 60, false},
        {"Varnel.ini.abcdefg", 60, false}, {"Other.ini.a1B2c3", 60, false},
        {"Varnel.ini.ab-d_f", 60, false},
    };
    std::ofstream(store) << "[S]\nk=v\n";
    const auto now = std::filesystem::last_write_time(store);
    for (const auto& f : files) {
        std::ofstream(dir + "/" + f.name) << "[S]\nk=half";
        std::filesystem::last_write_time(dir + "/" + f.name, now - std::chrono::seconds(f.age));
    }
    EXPECT_EQ(2, CIniFile(store).RemoveLeftovers());
    for (const auto& f : files)
        EXPECT_EQ(!f.removed, std::filesystem::exists(dir + "/" + f.name)) << f.name;
    EXPECT_EQ("[S]\nk=v\n", ReadAll(store));
    EXPECT_EQ(0, CIniFile(dir + "/missing.ini").RemoveLeftovers());
}
