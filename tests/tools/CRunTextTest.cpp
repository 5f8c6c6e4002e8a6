#include "CRunText.h"

#include <gtest/gtest.h>

TEST(CRunText, EveryKindOfLineBreakBecomesCarriageReturnLineFeed) {
    EXPECT_EQ("a\r\nb\r\nc\r\nd\r\n", CRunText::Prepare("a\r\nb\rc\nd"));
    EXPECT_EQ("\r\n\r\n", CRunText::Prepare("\n\r"));
    EXPECT_EQ("x\r\n\r\n\r\n", CRunText::Prepare("x\r\r\n\n"));
}

TEST(CRunText, FinalLineBreakIsAddedOnlyWhenMissing) {
    EXPECT_EQ("", CRunText::Prepare(""));
    EXPECT_EQ("x\r\n", CRunText::Prepare("x"));
    EXPECT_EQ("x\r\n", CRunText::Prepare("x\r\n"));
    EXPECT_EQ("x\r\n", CRunText::Prepare("x\r"));
    EXPECT_EQ("\r\n", CRunText::Prepare("\n"));
}

TEST(CRunText, TabsReachTheNextMultipleOfFourCountedInCharacters) {
    EXPECT_EQ("    x\r\n", CRunText::Prepare("\tx"));
    EXPECT_EQ("ab  c\r\n", CRunText::Prepare("ab\tc"));
    EXPECT_EQ("abcd    e\r\n", CRunText::Prepare("abcd\te"));
    EXPECT_EQ("abc e   f\r\n", CRunText::Prepare("abc\te\tf"));
    // Two-byte and three-byte characters are one column each; so is a byte that is not UTF-8.
    EXPECT_EQ("\xc3\xa9   x\r\n", CRunText::Prepare("\xc3\xa9\tx"));
    EXPECT_EQ("\xe2\x82\xac\xe2\x82\xac  x\r\n", CRunText::Prepare("\xe2\x82\xac\xe2\x82\xac\tx"));
    EXPECT_EQ("\xff\xfe  x\r\n", CRunText::Prepare("\xff\xfe\tx"));
    // Columns start again on every line, whatever the kind of break.
    EXPECT_EQ("ab\r\n    c\r\nd   e\r\n", CRunText::Prepare("ab\r\tc\nd\te"));
}
