#include "services/CSysReg.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {
const char* const kProfile = "Software\\Ostrak\\Varnel";

CString StoreFile() {
    return CString(std::getenv("XDG_CONFIG_HOME")) + "/Ostrak/Varnel.ini";
}

CString ReadAll(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

CSysReg Store() {
    CSysReg reg;
    reg.SetProfileName(kProfile, CSysReg::STORE_MODE);
    return reg;
}
} // namespace

TEST(CSysReg, ProfileBecomesAPrivateFileInTheConfigurationFolder) {
    CSysReg reg = Store();
    EXPECT_EQ(kProfile, CSysReg::GetProfileName());
    EXPECT_EQ(StoreFile(), CSysReg::ProfileFile(kProfile, CSysReg::STORE_MODE));
    ASSERT_EQ(0, reg.Save("Settings", "Font", "Monospace"));
    struct stat st {};
    ASSERT_EQ(0, ::stat(StoreFile().c_str(), &st)) << StoreFile();
    EXPECT_EQ(0600u, st.st_mode & 0777u);
    EXPECT_NE(CString::npos, ReadAll(StoreFile()).find("[Settings]\nFont=Monospace\n"));
}

TEST(CSysReg, ReadFallsBackToTheDefault) {
    CSysReg reg = Store();
    CString s = "untouched";
    EXPECT_NE(0, reg.Read("Settings", "Missing", &s, "dflt"));
    EXPECT_EQ("dflt", s);
    reg.Save("Settings", "Present", "");
    EXPECT_EQ(0, reg.Read("Settings", "Present", &s, "dflt"));
    EXPECT_EQ("", s);
    int n = 5;
    EXPECT_NE(0, reg.Read("Other", "Present", &n, -3));
    EXPECT_EQ(-3, n);
}

TEST(CSysReg, IntegersTakeTheLeadingDigits) {
    CSysReg reg = Store();
    reg.Section("S");
    const std::pair<const char*, int> cases[] = {{"42", 42},
                                                 {"12abc", 12},
                                                 {"abc", 0},
                                                 {"-7x", -7},
                                                 {"+8", 8},
                                                 {"", 0},
                                                 {"  31 px", 31},
                                                 {"- 5", 0},
                                                 {"99999999999", 2147483647},
                                                 {"-99999999999", -2147483647 - 1}};
    for (const auto& [text, expected] : cases) {
        reg.Save("v", text);
        int n = 1234;
        EXPECT_EQ(0, reg.Read("v", &n, 1));
        EXPECT_EQ(expected, n) << '"' << text << '"';
    }
    reg.Save("n", -15);
    CString s;
    reg.Read("n", &s, "");
    EXPECT_EQ("-15", s);
}

TEST(CSysReg, LongValuesReadBackWhole) {
    CSysReg reg = Store();
    CString big(200000, 'x');
    big += "end";
    reg.Save("SqlHistory", "value0", big.c_str());
    CString back;
    EXPECT_EQ(0, reg.Read("SqlHistory", "value0", &back, ""));
    EXPECT_EQ(big, back);
}

TEST(CSysReg, FixedBufferTakesTheDefaultWhenTheValueDoesNotFit) {
    CSysReg reg = Store();
    reg.Save("S", "fits", "abc");
    reg.Save("S", "long", "abcdefgh");
    char buf[4];
    EXPECT_EQ(0, reg.Read("S", "fits", buf, "zz"));
    EXPECT_STREQ("abc", buf);
    EXPECT_NE(0, reg.Read("S", "long", buf, "defaultvalue"));
    EXPECT_STREQ("def", buf);
}

TEST(CSysReg, ScrambledFormMatchesTheStoredLayout) {
    const CString empty = CSysReg::Encode("");
    ASSERT_EQ(102u, empty.size());
    EXPECT_EQ("63", empty.substr(0, 2));
    // The empty text pads with the key itself: 'Q' = 0x51, 'u' = 0x75.
    EXPECT_EQ("5175", empty.substr(2, 4));

    const CString a = CSysReg::Encode("A");
    ASSERT_EQ(102u, a.size());
    EXPECT_EQ("64", a.substr(0, 2));
    EXPECT_EQ("10", a.substr(2, 2)); // 'Q' ^ 'A'
    EXPECT_EQ("10", a.substr(4, 2)); // padding repeats the text: 'Q' ^ 'A'
    EXPECT_EQ("34", a.substr(6, 2)); // 'u' ^ 'A'

    const CString t47 = "0123456789012345678901234567890123456789012345X";
    ASSERT_EQ(47u, t47.size());
    EXPECT_EQ(CSysReg::Encode(t47.substr(0, 46)), CSysReg::Encode(t47));
    EXPECT_EQ(102u, CSysReg::Encode(t47).size());
    EXPECT_EQ("91", CSysReg::Encode(t47).substr(0, 2)); // 46 + 99

    // High bytes are two digits each and come back unchanged.
    const CString high = "p\xE4ss\xFF\x80";
    const CString enc = CSysReg::Encode(high);
    EXPECT_EQ(102u, enc.size());
    EXPECT_EQ(CString::npos, enc.find_first_not_of("0123456789ABCDEF"));
    EXPECT_EQ(high, CSysReg::Decode(enc).value_or("<malformed>"));
}

TEST(CSysReg, EncodedValuesRoundTripThroughTheStore) {
    CSysReg reg = Store();
    for (const CString& pw : {CString(""), CString("secret"), CString(46, 'q')}) {
        ASSERT_EQ(0, reg.SaveEncoded("Settings", "Password", pw));
        CString stored, back;
        reg.Read("Settings", "Password", &stored, "");
        EXPECT_EQ(CSysReg::Encode(pw), stored);
        EXPECT_EQ(CString::npos, pw.empty() ? CString::npos : stored.find(pw));
        EXPECT_EQ(0, reg.ReadDecoded("Settings", "Password", &back, "dflt"));
        EXPECT_EQ(pw, back);
    }
    CString missing;
    EXPECT_NE(0, reg.ReadDecoded("Settings", "Nothing", &missing, "plain default"));
    EXPECT_EQ("plain default", missing);
}

TEST(CSysReg, MalformedScrambledValuesNeverReadPastTheValue) {
    // Only the pairs present are decoded: a length of 2 with one pair gives one character.
    EXPECT_EQ(CString(1, 'Q' ^ 0x10), CSysReg::Decode("6510"));
    EXPECT_EQ(CString(1, 'Q' ^ 0x10), CSysReg::Decode("65101")); // an odd digit is not a pair
    EXPECT_EQ("", CSysReg::Decode("63").value_or("<malformed>"));
    EXPECT_EQ("", CSysReg::Decode("00").value_or("<malformed>")); // negative length
    EXPECT_FALSE(CSysReg::Decode("").has_value());
    EXPECT_FALSE(CSysReg::Decode("6").has_value());
    EXPECT_FALSE(CSysReg::Decode("zz1010").has_value());
    EXPECT_FALSE(CSysReg::Decode("6610G0").has_value());
    // A length beyond the key decodes what is there and does not run off the key.
    const CString longLength = "FF" + CString(120, '0');
    EXPECT_EQ(60u, CSysReg::Decode(longLength).value_or("").size());

    CSysReg reg = Store();
    reg.Save("Settings", "Password", "not hex at all");
    CString out = "x";
    EXPECT_NE(0, reg.ReadDecoded("Settings", "Password", &out, "dflt"));
    EXPECT_EQ("dflt", out);
}

TEST(CSysReg, ChangesByAnotherWriterAreSeen) {
    CSysReg reg = Store();
    reg.Save("S", "k", "mine");
    CString v;
    reg.Read("S", "k", &v, "");
    ASSERT_EQ("mine", v);
    std::ofstream(StoreFile(), std::ios::trunc) << "[S]\nk=theirs\n";
    reg.Read("S", "k", &v, "");
    EXPECT_EQ("theirs", v);
    reg.Save("S", "other", "1");
    EXPECT_EQ("[S]\nk=theirs\nother=1\n", ReadAll(StoreFile()));
}

TEST(CSysReg, BatchWritesTheFileOnceAtTheEnd) {
    CSysReg reg = Store();
    reg.Save("S", "first", "1");
    {
        CSysReg::Batch batch;
        reg.Save("S", "second", "2");
        reg.Save("T", "third", "3");
        CString v;
        EXPECT_EQ(0, reg.Read("S", "second", &v, ""));
        EXPECT_EQ("2", v);
        EXPECT_EQ(CString::npos, ReadAll(StoreFile()).find("second")) << "written before the batch closed";
    }
    EXPECT_EQ("[S]\nfirst=1\nsecond=2\n\n[T]\nthird=3\n", ReadAll(StoreFile()));
}

TEST(CSysReg, FileModeUsesTheGivenPathAndCopiesKeepTheMode) {
    const CString path = TestSandbox::Directory() + "/private.ini";
    CSysReg reg;
    reg.SetProfileName(path, CSysReg::FILE_MODE);
    reg.Section("Conn");
    CSysReg copy = reg;
    ASSERT_EQ(0, copy.Save("User", "scott"));
    EXPECT_EQ("[Conn]\nUser=scott\n", ReadAll(path));
    CString v;
    EXPECT_EQ(0, reg.Read("User", &v, ""));
    EXPECT_EQ("scott", v);

    // The same profile name in store mode means another file.
    CSysReg store;
    EXPECT_NE(0, store.Read("Conn", "User", &v, "none"));
    EXPECT_EQ("none", v);
}

TEST(CSysReg, ValuesOfTheProfileItselfLiveBeforeTheFirstSection) {
    CSysReg reg = Store();
    reg.Save("Tips", "iNextTipIndex", 3);
    reg.Save("", "OpenSaveDir", "/home/u/sql");
    EXPECT_EQ("OpenSaveDir=/home/u/sql\n\n[Tips]\niNextTipIndex=3\n", ReadAll(StoreFile()));
}
