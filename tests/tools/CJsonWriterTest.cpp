#include "CJsonWriter.h"

#include <gtest/gtest.h>

TEST(CJsonWriter, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(R"("a\"b\\c/d")", CJsonWriter::Quoted("a\"b\\c/d"));
    EXPECT_EQ(R"("\r\n\t\b\f\u0001\u001F\u0000")", CJsonWriter::Quoted(CString("\r\n\t\b\f\x01\x1f\0", 8)));
    EXPECT_EQ(R"("")", CJsonWriter::Quoted(""));
}

TEST(CJsonWriter, KeepsValidUtf8AndWritesOtherBytesByValue) {
    EXPECT_EQ("\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\x7f\"",
              CJsonWriter::Quoted("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\x7f"));
    EXPECT_EQ(R"("\u00FFa")", CJsonWriter::Quoted("\xff"
                                                  "a"));
    // Cut short, overlong, surrogate and beyond U+10FFFF.
    EXPECT_EQ(R"("\u00E2\u0082x")", CJsonWriter::Quoted("\xe2\x82x"));
    EXPECT_EQ(R"("\u00C0\u00AF")", CJsonWriter::Quoted("\xc0\xaf"));
    EXPECT_EQ(R"("\u00ED\u00A0\u0080")", CJsonWriter::Quoted("\xed\xa0\x80"));
    EXPECT_EQ(R"("\u00F4\u0090\u0080\u0080")", CJsonWriter::Quoted("\xf4\x90\x80\x80"));
    EXPECT_EQ(R"("\u00C3")", CJsonWriter::Quoted("\xc3"));
}

TEST(CJsonWriter, ArrayKeepsOrder) {
    EXPECT_EQ("[]", CJsonWriter::Array({}));
    EXPECT_EQ(R"(["b", "a\n"])", CJsonWriter::Array({"b", "a\n"}));
}
