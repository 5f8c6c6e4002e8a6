#include "codbc/Charset.h"

#include <gtest/gtest.h>

TEST(Charset, AnsiToOemMapsToTheConsoleCodePage) {
    EXPECT_EQ("plain ASCII 123", AnsiToOem("plain ASCII 123"));
    EXPECT_EQ("\x84\x94\x81\xE1", AnsiToOem("äöüß"));
    EXPECT_EQ("\xC9\xCD\xBB", AnsiToOem("╔═╗"));
}

TEST(Charset, OemToAnsiIsTheInverse) {
    EXPECT_EQ("äöüß", OemToAnsi("\x84\x94\x81\xE1"));
    EXPECT_EQ("╔═╗", OemToAnsi("\xC9\xCD\xBB"));
    EXPECT_EQ("", OemToAnsi(""));
}

TEST(Charset, UnmappableAndInvalidInputDoesNotStopTheConversion) {
    const CString out = AnsiToOem("a\xFF"
                                  "b€c");
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ('a', out.front());
    EXPECT_EQ('c', out.back());
    EXPECT_NE(CString::npos, out.find('b'));
    // A long text is converted completely (more than one conversion buffer).
    const CString longText(5000, '\x84');
    EXPECT_EQ(10000u, OemToAnsi(longText).size());
}
