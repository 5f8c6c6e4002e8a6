#include "editor/CUtf8.h"

namespace {

inline bool Cont(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

} // namespace

int CUtf8::SequenceLength(const char* p, const char* end) {
    if (p >= end)
        return 0;
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const size_t avail = static_cast<size_t>(end - p);
    const unsigned char c = s[0];
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return avail >= 2 && Cont(s[1]) ? 2 : 1;
    if (c >= 0xE0 && c <= 0xEF) {
        if (avail < 3 || !Cont(s[1]) || !Cont(s[2]))
            return 1;
        if (c == 0xE0 && s[1] < 0xA0)
            return 1; // overlong
        if (c == 0xED && s[1] > 0x9F)
            return 1; // surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (avail < 4 || !Cont(s[1]) || !Cont(s[2]) || !Cont(s[3]))
            return 1;
        if (c == 0xF0 && s[1] < 0x90)
            return 1; // overlong
        if (c == 0xF4 && s[1] > 0x8F)
            return 1; // beyond U+10FFFF
        return 4;
    }
    return 1;
}

char32_t CUtf8::Decode(const char* p, const char* end, int* length) {
    const int n = SequenceLength(p, end);
    if (length)
        *length = n;
    if (n == 0)
        return 0;
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    switch (n) {
    case 1:
        return s[0] < 0x80 ? char32_t(s[0]) : InvalidByteBase + s[0];
    case 2:
        return (char32_t(s[0] & 0x1F) << 6) | (s[1] & 0x3F);
    case 3:
        return (char32_t(s[0] & 0x0F) << 12) | (char32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F);
    default:
        return (char32_t(s[0] & 0x07) << 18) | (char32_t(s[1] & 0x3F) << 12) | (char32_t(s[2] & 0x3F) << 6) |
               (s[3] & 0x3F);
    }
}

CString CUtf8::Encode(char32_t ch) {
    CString out;
    if (ch >= InvalidByteBase && ch <= InvalidByteBase + 0xFF) {
        out.push_back(static_cast<char>(ch - InvalidByteBase));
    } else if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        if (ch >= 0xD800 && ch <= 0xDFFF)
            return "\xEF\xBF\xBD"; // a lone surrogate is no character: the replacement character
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x110000) {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        return "\xEF\xBF\xBD";
    }
    return out;
}

bool CUtf8::IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

int CUtf8::Length(std::string_view s) {
    const char* p = s.data();
    const char* end = p + s.size();
    int count = 0;
    while (p < end) {
        if (static_cast<unsigned char>(*p) < 0x80)
            ++p;
        else
            p += SequenceLength(p, end);
        ++count;
    }
    return count;
}

size_t CUtf8::ByteOffset(std::string_view s, int column) {
    if (column <= 0)
        return 0;
    const char* begin = s.data();
    const char* p = begin;
    const char* end = p + s.size();
    while (column > 0 && p < end) {
        if (static_cast<unsigned char>(*p) < 0x80)
            ++p;
        else
            p += SequenceLength(p, end);
        --column;
    }
    return static_cast<size_t>(p - begin);
}

int CUtf8::Column(std::string_view s, size_t byteOffset) {
    const char* begin = s.data();
    const char* p = begin;
    const char* end = begin + s.size();
    const char* target = begin + (byteOffset < s.size() ? byteOffset : s.size());
    int column = 0;
    while (p < target) {
        p += SequenceLength(p, end);
        ++column;
    }
    return column;
}

CString CUtf8::Left(std::string_view s, int count) {
    return CString(s.substr(0, ByteOffset(s, count)));
}

CString CUtf8::Mid(std::string_view s, int column, int count) {
    const size_t from = ByteOffset(s, column);
    std::string_view rest = s.substr(from);
    if (count < 0)
        return CString(rest);
    return CString(rest.substr(0, ByteOffset(rest, count)));
}

void CUtf8::Insert(CString& s, int column, std::string_view text) {
    s.insert(ByteOffset(s, column), text);
}

void CUtf8::Erase(CString& s, int column, int count) {
    if (count <= 0)
        return;
    const size_t from = ByteOffset(s, column);
    const size_t len = ByteOffset(std::string_view(s).substr(from), count);
    s.erase(from, len);
}

char32_t CUtf8::CharAt(std::string_view s, int column) {
    const size_t at = ByteOffset(s, column);
    if (at >= s.size())
        return 0;
    return Decode(s.data() + at, s.data() + s.size());
}

void CUtf8::ToChars(std::string_view s, std::u32string& out) {
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        int n = 1;
        const unsigned char c = static_cast<unsigned char>(*p);
        out.push_back(c < 0x80 ? char32_t(c) : Decode(p, end, &n));
        p += n;
    }
}
