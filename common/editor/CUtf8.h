// UTF-8 helpers for the editor, where a character is one code point: columns, lengths and searches count
// characters. A byte that is not part of a well-formed sequence is a character of its own and is kept as is.
#pragma once

#include "CommonTypes.h"

#include <cstddef>
#include <string_view>

class CUtf8 {
public:
    // Code points stand for themselves; an invalid byte b is represented as InvalidByteBase + b, so it never
    // equals a real character and still round-trips through Encode.
    static constexpr char32_t InvalidByteBase = 0x110000;

    // Bytes taken by the character that starts at p (1 for an invalid byte); 0 when p == end.
    static int SequenceLength(const char* p, const char* end);
    // The character that starts at p; its byte count goes to *length when given.
    static char32_t Decode(const char* p, const char* end, int* length = nullptr);
    // The bytes of one character (the original byte for an invalid-byte character).
    static CString Encode(char32_t ch);

    static bool IsAscii(std::string_view s);
    // Number of characters.
    static int Length(std::string_view s);
    // Byte offset of character `column`; a column past the end gives the byte length, a negative one 0.
    static size_t ByteOffset(std::string_view s, int column);
    // Character index of a byte offset (offsets inside a character count that character as begun).
    static int Column(std::string_view s, size_t byteOffset);

    static CString Left(std::string_view s, int count);
    // `count` characters from `column`; a negative count takes the rest.
    static CString Mid(std::string_view s, int column, int count = -1);
    static void Insert(CString& s, int column, std::string_view text);
    static void Erase(CString& s, int column, int count);
    // The character at `column`, or 0 past the end.
    static char32_t CharAt(std::string_view s, int column);
    // Appends the characters of s to out.
    static void ToChars(std::string_view s, std::u32string& out);

    static bool IsAsciiAlnum(char32_t ch) {
        return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    }
    static bool IsBlank(char32_t ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }
};
