#include "CTableRefs.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

enum TOKEN_TYPE { T_END, T_WORD, T_QUOTED, T_PUNCT };

struct Token {
    TOKEN_TYPE type = T_END;
    CString text; // a quoted name without its quotes; a punctuation character
};

bool IsWordChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c == '@' || c >= 0x80;
}

// Splits a statement into names, quoted names and punctuation; strings and comments are passed over.
class Lexer {
public:
    explicit Lexer(std::string_view text) : m_Text(text) {}

    Token Next() {
        SkipBlanks();
        Token t;
        if (m_Pos >= m_Text.size())
            return t;
        const char c = m_Text[m_Pos];
        if (IsWordChar(static_cast<unsigned char>(c))) {
            const size_t begin = m_Pos;
            while (m_Pos < m_Text.size() && IsWordChar(static_cast<unsigned char>(m_Text[m_Pos])))
                ++m_Pos;
            t.type = T_WORD;
            t.text = CString(m_Text.substr(begin, m_Pos - begin));
        } else if (c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            t.type = T_QUOTED;
            ++m_Pos;
            while (m_Pos < m_Text.size()) {
                if (m_Text[m_Pos] == close) {
                    // A doubled closing quote stands for itself.
                    if (m_Pos + 1 < m_Text.size() && m_Text[m_Pos + 1] == close && close != ']') {
                        t.text += close;
                        m_Pos += 2;
                        continue;
                    }
                    ++m_Pos;
                    break;
                }
                t.text += m_Text[m_Pos++];
            }
        } else if (c == '\'') {
            ++m_Pos;
            while (m_Pos < m_Text.size() && m_Text[m_Pos] != '\'')
                ++m_Pos;
            ++m_Pos;
            return Next();
        } else {
            t.type = T_PUNCT;
            t.text = CString(1, c);
            ++m_Pos;
        }
        return t;
    }

private:
    void SkipBlanks() {
        while (m_Pos < m_Text.size()) {
            const char c = m_Text[m_Pos];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++m_Pos;
            } else if (m_Text.compare(m_Pos, 2, "--") == 0 || m_Text.compare(m_Pos, 2, "//") == 0) {
                const size_t eol = m_Text.find('\n', m_Pos);
                m_Pos = eol == std::string_view::npos ? m_Text.size() : eol + 1;
            } else if (m_Text.compare(m_Pos, 2, "/*") == 0) {
                const size_t close = m_Text.find("*/", m_Pos + 2);
                m_Pos = close == std::string_view::npos ? m_Text.size() : close + 2;
            } else {
                break;
            }
        }
    }

    std::string_view m_Text;
    size_t m_Pos = 0;
};

bool IsPunct(const Token& t, char c) {
    return t.type == T_PUNCT && t.text[0] == c;
}

bool IsWord(const Token& t, std::string_view word) {
    return t.type == T_WORD && CTableRefs::SameName(t.text, word);
}

bool IsName(const Token& t) {
    return t.type == T_QUOTED || (t.type == T_WORD && !CTableRefs::IsClauseWord(t.text));
}

} // namespace

bool CTableRefs::SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

bool CTableRefs::IsClauseWord(std::string_view word) {
    static constexpr std::array<std::string_view, 38> kWords = {
        "AS",    "CROSS",  "DEFAULT", "EXCEPT",        "FETCH",       "FOR",   "FROM",    "FULL",
        "GROUP", "HAVING", "INNER",   "INTERSECT",     "INTO",        "JOIN",  "LATERAL", "LEFT",
        "LIMIT", "MINUS",  "NATURAL", "OFFSET",        "ON",          "ORDER", "OUTER",   "RETURNING",
        "RIGHT", "SELECT", "SET",     "STRAIGHT_JOIN", "TABLESAMPLE", "UNION", "USING",   "VALUES",
        "WHERE", "WINDOW", "WITH",    "AND",           "OR",          "NOT"};
    return std::any_of(kWords.begin(), kWords.end(),
                       [&](std::string_view w) { return CTableRefs::SameName(w, word); });
}

namespace {

// The index just past the parenthesis that closes the one at `open`, or `end`.
size_t CloseOf(const CArray<Token>& tokens, size_t open, size_t end) {
    int depth = 0;
    for (size_t i = open; i < end; ++i) {
        if (IsPunct(tokens[i], '('))
            ++depth;
        else if (IsPunct(tokens[i], ')') && --depth == 0)
            return i + 1;
    }
    return end;
}

// Collects the references of tokens [begin, end); a parenthesised group in a FROM list is read on its own.
void Scan(const CArray<Token>& tokens, size_t begin, size_t end, CArray<CTableRefs::Ref>& refs) {
    size_t i = begin;
    auto at = [&](size_t k) -> const Token& {
        static const Token none;
        return k < end ? tokens[k] : none;
    };
    while (i < end) {
        const bool list = IsWord(tokens[i], "FROM") || IsWord(tokens[i], "JOIN");
        if (!list && !IsWord(tokens[i], "UPDATE") && !IsWord(tokens[i], "INTO")) {
            ++i;
            continue;
        }
        ++i;
        for (;;) {
            CTableRefs::Ref ref;
            if (list && IsPunct(at(i), '(')) {
                // A subquery: its own tables count, its alias names nothing in the catalog.
                const size_t close = CloseOf(tokens, i, end);
                Scan(tokens, i + 1, close, refs);
                i = close;
            } else if (IsName(at(i))) {
                ref.name = tokens[i++].text;
                while (IsPunct(at(i), '.') && IsName(at(i + 1))) {
                    ref.owner += (ref.owner.empty() ? "" : ".") + ref.name;
                    ref.name = tokens[i + 1].text;
                    i += 2;
                }
                if (list && IsPunct(at(i), '(')) {
                    // A function that yields rows: no catalog columns.
                    ref.owner.clear();
                    ref.name.clear();
                    i = CloseOf(tokens, i, end);
                }
            } else {
                break;
            }
            if (list && IsWord(at(i), "AS"))
                ++i;
            if (IsName(at(i)))
                ref.alias = tokens[i++].text;
            if (!ref.name.empty() || !ref.alias.empty())
                refs.push_back(std::move(ref));
            if (!list || !IsPunct(at(i), ','))
                break;
            ++i;
        }
    }
}

} // namespace

CArray<CTableRefs::Ref> CTableRefs::Find(std::string_view statement) {
    CArray<Token> tokens;
    Lexer lexer(statement);
    for (Token t = lexer.Next(); t.type != T_END; t = lexer.Next())
        tokens.push_back(std::move(t));
    CArray<Ref> refs;
    Scan(tokens, 0, tokens.size(), refs);
    return refs;
}
