#include "editor/CUtf8.h"

#include <gtest/gtest.h>

TEST(CUtf8, CountsCodePointsAndInvalidBytesAsCharacters) {
    EXPECT_EQ(0, CUtf8::Length(""));
    EXPECT_EQ(3, CUtf8::Length("abc"));
    EXPECT_EQ(3, CUtf8::Length("a\xC3\xA9z"));        // e-acute
    EXPECT_EQ(2, CUtf8::Length("\xF0\x9F\x98\x80x")); // a four-byte emoji
    EXPECT_EQ(3, CUtf8::Length("\xC3x\xFF"));         // truncated sequence and stray byte
    EXPECT_EQ(3, CUtf8::Length("\xE0\x80\x80"));      // overlong form: three invalid bytes
    EXPECT_EQ(3, CUtf8::Length("\xED\xA0\x80"));      // encoded surrogate
}

TEST(CUtf8, EditsNeverSplitACharacter) {
    CString s = "a\xC3\xA9z";
    EXPECT_EQ(3u, CUtf8::ByteOffset(s, 2));
    EXPECT_EQ(s.size(), CUtf8::ByteOffset(s, 99));
    EXPECT_EQ("\xC3\xA9", CUtf8::Mid(s, 1, 1));
    EXPECT_EQ("a\xC3\xA9", CUtf8::Left(s, 2));
    CUtf8::Erase(s, 1, 1);
    EXPECT_EQ("az", s);
    CUtf8::Insert(s, 1, "\xE2\x82\xAC");
    EXPECT_EQ("a\xE2\x82\xAC"
              "z",
              s);
    EXPECT_EQ(U'\u20AC', CUtf8::CharAt(s, 1));
    EXPECT_EQ(2, CUtf8::Column(s, 4));
}

TEST(CUtf8, InvalidBytesRoundTripByteForByte) {
    const CString raw = "x\xFF\xC3\xA9\xE2\x82";
    std::u32string chars;
    CUtf8::ToChars(raw, chars);
    ASSERT_EQ(5u, chars.size());
    CString back;
    for (char32_t ch : chars)
        back += CUtf8::Encode(ch);
    EXPECT_EQ(raw, back);
}
