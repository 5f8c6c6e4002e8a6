#include "services/CIniFile.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

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
