#include "editor/CColorizer.h"

#include "editor/CUtf8.h"

#include <string_view>

namespace {

// Every change of any engine takes a fresh number, so a text never mistakes one engine state for another.
unsigned g_NextVersion = 1;

inline void UpperAscii(CString& s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

inline bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

CColorizer::CColorizer()
    : m_IgnoreCase(1), m_KeywordColor(RGB(0, 0, 255)), m_NormalColor(RGB(0, 0, 0)),
      m_CommentColor(RGB(0, 196, 0)), m_ConstColor(RGB(255, 0, 0)), m_Version(g_NextVersion++) {}

CColorizer::CColorizer(const CColorizer& other)
    : m_IgnoreCase(other.m_IgnoreCase), m_KeywordColor(other.m_KeywordColor),
      m_NormalColor(other.m_NormalColor), m_CommentColor(other.m_CommentColor),
      m_ConstColor(other.m_ConstColor), m_Keywords(other.m_Keywords), m_Version(g_NextVersion++) {}

CColorizer& CColorizer::operator=(const CColorizer& other) {
    if (this != &other) {
        m_IgnoreCase = other.m_IgnoreCase;
        m_KeywordColor = other.m_KeywordColor;
        m_NormalColor = other.m_NormalColor;
        m_CommentColor = other.m_CommentColor;
        m_ConstColor = other.m_ConstColor;
        m_Keywords = other.m_Keywords;
        Touch();
    }
    return *this;
}

CColorizer::~CColorizer() = default;

void CColorizer::Touch() {
    m_Version = g_NextVersion++;
}

void CColorizer::SetKeywordColor(int red, int green, int blue) {
    m_KeywordColor = RGB(red, green, blue);
    Touch();
}

void CColorizer::SetNormalColor(int red, int green, int blue) {
    m_NormalColor = RGB(red, green, blue);
    Touch();
}

void CColorizer::SetCommentColor(int red, int green, int blue) {
    m_CommentColor = RGB(red, green, blue);
    Touch();
}

void CColorizer::SetConstColor(int red, int green, int blue) {
    m_ConstColor = RGB(red, green, blue);
    Touch();
}

void CColorizer::SetKeywords(CStringArray& words) {
    for (CString& word : words) {
        if (m_IgnoreCase)
            UpperAscii(word);
        m_Keywords.insert(word);
    }
    Touch();
}

int CColorizer::IsKeyWord(CString& word) {
    if (m_IgnoreCase)
        UpperAscii(word);
    return m_Keywords.find(word) != m_Keywords.end() ? 1 : 0;
}

void CColorizer::SetLineColors(const CString& line, std::vector<COLORREF>& colors) {
    SetLineColors(line, colors, m_BlockComment);
}

void CColorizer::SetLineColors(const CString& line, std::vector<COLORREF>& colors, bool& blockComment) {
    // Every rule looks at ASCII characters only, so each character is reduced to its ASCII byte, and any
    // other character to a byte that no rule matches.
    std::string_view c;
    if (CUtf8::IsAscii(line)) {
        c = line;
    } else {
        m_CharClass.clear();
        const char* p = line.data();
        const char* end = p + line.size();
        while (p < end) {
            const unsigned char b = static_cast<unsigned char>(*p);
            if (b < 0x80) {
                m_CharClass.push_back(static_cast<char>(b));
                ++p;
            } else {
                m_CharClass.push_back(static_cast<char>(0x80));
                p += CUtf8::SequenceLength(p, end);
            }
        }
        c = m_CharClass;
    }
    const size_t n = c.size();
    if (n == 0) {
        colors.clear();
        return;
    }
    colors.resize(n);

    // Quoted strings: either quote mark opens and closes.
    bool inQuotes = false;
    for (size_t i = 0; i < n; ++i) {
        if (c[i] == '\'' || c[i] == '"') {
            colors[i] = m_ConstColor;
            inQuotes = !inQuotes;
        } else {
            colors[i] = inQuotes ? m_ConstColor : m_NormalColor;
        }
    }

    // Keywords, even inside strings.
    for (size_t i = 0; i < n;) {
        if (!IsAlnum(c[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && IsAlnum(c[j]))
            ++j;
        m_Word.assign(c.data() + i, j - i);
        if (IsKeyWord(m_Word))
            for (size_t k = i; k < j; ++k)
                colors[k] = m_KeywordColor;
        i = j;
    }

    // Line comments, even inside strings.
    for (size_t j = 0; j + 1 < n; ++j) {
        if ((c[j] == '/' && c[j + 1] == '/') || (c[j] == '-' && c[j + 1] == '-')) {
            for (size_t k = j; k < n; ++k)
                colors[k] = m_CommentColor;
            break;
        }
    }

    // Block comments. A comment closes at the first slash preceded by an asterisk at or after its start
    // (so an asterisk just before the opening pair closes it at once); the search for the next opening
    // goes on after the closing slash.
    for (size_t i = 0; i + 1 < n;) {
        if (!blockComment && !(c[i] == '/' && c[i + 1] == '*')) {
            ++i;
            continue;
        }
        blockComment = true;
        size_t j = i;
        for (; j < n; ++j) {
            colors[j] = m_CommentColor;
            if (c[j] == '/' && j > 0 && c[j - 1] == '*') {
                blockComment = false;
                break;
            }
        }
        if (blockComment)
            break;
        i = j + 1;
    }
}
