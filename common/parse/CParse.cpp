#include "parse/CParse.h"

#include "services/CAssert.h"
#include "services/CLog.h"
#include "toolkit/CWaitCursor.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <exception>

namespace {
CLog s_Log;

enum CharClass : unsigned char { Word, Blank, Single, Operator };

constexpr std::array<unsigned char, 256> MakeClasses() {
    std::array<unsigned char, 256> classes{};
    for (unsigned char c : {' ', '\t', '\n', '\r', ';'})
        classes[c] = Blank;
    for (unsigned char c : {',', '(', ')', '/', '\'', '"', '[', ']'})
        classes[c] = Single;
    for (unsigned char c : {'<', '>', '=', '!'})
        classes[c] = Operator;
    return classes;
}
constexpr std::array<unsigned char, 256> kClass = MakeClasses();

// Nested statements (a procedure body, a view's query) deeper than this end the cut.
constexpr int kMaxNesting = 64;

inline char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// Compares a token with a lower-case word without regard to case.
bool Is(std::string_view token, std::string_view word) {
    if (token.size() != word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (Lower(token[i]) != word[i])
            return false;
    }
    return true;
}

bool IsChar(std::string_view token, char c) {
    return token.size() == 1 && token[0] == c;
}

void ReplaceAll(CString& text, std::string_view code, std::string_view tag) {
    size_t at = text.find(code);
    if (at == CString::npos)
        return;
    CString out;
    out.reserve(text.size() + text.size() / 4);
    size_t from = 0;
    while (at != CString::npos) {
        out.append(text, from, at - from);
        out.append(tag);
        from = at + code.size();
        at = text.find(code, from);
    }
    out.append(text, from, CString::npos);
    text.swap(out);
}
} // namespace

CParse::CParse() = default;

CParse::~CParse() = default;

void CParse::Parse(const char* script) {
    Parse(script, script ? std::strlen(script) : 0);
}

void CParse::Parse(const char* script, size_t length) {
    if (!script) {
        script = "";
        length = 0;
    }
    CWaitCursor wait;
    ParseText(script, length);
}

size_t CParse::CandidateStart() const {
    const char* at = m_PushBack ? m_LastToken.data() : m_pCur;
    return size_t(at - m_pText);
}

void CParse::StartText(const char* script, size_t length) {
    m_pText = script;
    m_pCur = script;
    m_pEnd = script + length;
    m_EndOfText = false;
    m_PushBack = false;
    m_LastToken = Token();
    m_LastResult = 0;
    m_Nesting = 0;
}

void CParse::ParseText(const char* script, size_t length) {
    m_Count = 0;
    m_Tables.clear();
    m_Starts.clear();
    StartText(script, length);

    // Words before the first statement belong to the first text, so it always begins at 0.
    size_t candidate = 0;
    try {
        Token token;
        for (;;) {
            candidate = m_Starts.empty() ? 0 : CandidateStart();
            const char* before = m_pCur;
            const bool pushedBack = m_PushBack;
            if (!Lexema(&token))
                break;
            const int counted = m_Count;
            const bool continuation = Is(token, "union");
            const int result = SQLstmt(&token, 1);
            // A construct that counted is accepted even when it ended on a word that begins nothing.
            if (result < 0 && m_Count == counted)
                continue;
            // A followed UNION SELECT belongs to the text of the SELECT before it.
            if (continuation && result != 0)
                continue;
            m_Starts.push_back(candidate);
            if (result == 0)
                break;
            // Nothing consumed and the same token pushed back again: stop instead of looping.
            if (m_PushBack && pushedBack && m_pCur == before)
                break;
        }
    } catch (const std::exception& e) {
        s_Log.Bug("Parser fail!", e.what(), "parse", 824);
        CAssert::DoModal("Parser fail!", "parse", 824);
    }
    // A script that opens with UNION would otherwise report fewer than no statements.
    if (m_Count < 0)
        m_Count = 0;
    try {
        m_Starts.push_back(candidate);
        CutTexts();
    } catch (const std::exception& e) {
        // Without its texts the script is run as one statement.
        s_Log.Bug("Parser fail!", e.what(), "parse", 824);
        m_Count = 0;
        m_Statements.clear();
        m_Views.clear();
        CAssert::DoModal("Parser fail!", "parse", 824);
    }
    m_pCur = nullptr;
}

size_t CParse::StartAt(size_t i) const {
    return std::min(m_Starts[std::min(i, m_Starts.size() - 1)], size_t(m_pEnd - m_pText));
}

// Statements nested past the cap, or counted where no start was recorded, would get texts of their
// own that are empty: such texts are left out and the count follows the texts, so the rest of the
// script after the last recorded start is one text.
void CParse::CutTexts() {
    const size_t length = size_t(m_pEnd - m_pText);
    const size_t count = m_Starts.empty() ? 0 : size_t(std::max(m_Count, 0));
    m_Views.clear();
    for (size_t i = 0; i < count; ++i) {
        const size_t from = StartAt(i);
        const size_t to = i + 1 < count ? std::max(from, StartAt(i + 1)) : length;
        if (to > from)
            m_Views.emplace_back(m_pText + from, to - from);
    }
    m_Count = static_cast<int>(m_Views.size());
    if (!m_CopyTexts) {
        m_Statements.clear();
        return;
    }
    // The texts of the previous parse are overwritten in place, so a repeated run reuses their memory.
    m_Statements.resize(m_Views.size());
    for (size_t i = 0; i < m_Views.size(); ++i)
        m_Statements[i].assign(m_Views[i]);
}

int CParse::SkipBlank() {
    for (;;) {
        if (m_pCur >= m_pEnd) {
            m_EndOfText = true;
            return 0;
        }
        const char c = *m_pCur;
        if (kClass[(unsigned char)c] == Blank) {
            ++m_pCur;
            continue;
        }
        const char next = m_pCur + 1 < m_pEnd ? m_pCur[1] : '\0';
        if (c == '/' && next == '*') {
            const char* p = m_pCur + 2;
            m_pCur = m_pEnd;
            while (p < m_pEnd) {
                const char* star = static_cast<const char*>(std::memchr(p, '*', size_t(m_pEnd - p)));
                if (!star || star + 1 >= m_pEnd)
                    break;
                if (star[1] == '/') {
                    m_pCur = star + 2;
                    break;
                }
                p = star + 1;
            }
            continue;
        }
        if ((c == '-' && next == '-') || (c == '/' && next == '/')) {
            const char* cr =
                static_cast<const char*>(std::memchr(m_pCur + 2, '\r', size_t(m_pEnd - m_pCur - 2)));
            m_pCur = cr ? cr : m_pEnd;
            continue;
        }
        return 1;
    }
}

int CParse::Lexema(Token* buf) {
    if (m_EndOfText)
        return 0;
    if (!buf) {
        m_PushBack = true;
        return 1;
    }
    if (m_PushBack) {
        *buf = m_LastToken;
        m_PushBack = false;
        return m_LastResult;
    }
    if (!SkipBlank()) {
        *buf = Token();
        return 0;
    }
    const char* start = m_pCur;
    const char* p = start + 1;
    const char* end = m_pEnd;
    const unsigned char kind = kClass[(unsigned char)*start];
    if (kind != Single) {
        while (p < end && kClass[(unsigned char)*p] == kind)
            ++p;
    }
    m_pCur = p;
    const Token token(start, size_t(p - start));
    m_LastToken = token;
    *buf = token;
    if (p >= end) {
        m_EndOfText = true;
        m_LastResult = 0;
    } else {
        // A NUL byte inside the script is not its end.
        const unsigned char next = (unsigned char)*p;
        m_LastResult = next ? next : 1;
    }
    return m_LastResult;
}

bool CParse::isKeyWord(Token token) const {
    if (token.size() < 4 || token.size() > 6)
        return false;
    switch (Lower(token[0])) {
    case 'a':
        return Is(token, "alter");
    case 'c':
        return Is(token, "create");
    case 'd':
        return Is(token, "delete") || Is(token, "drop");
    case 'e':
        return Is(token, "exec");
    case 'f':
        return Is(token, "from");
    case 'g':
        return Is(token, "grant") || Is(token, "group");
    case 'h':
        return Is(token, "having");
    case 'i':
        return Is(token, "insert");
    case 'o':
        return Is(token, "order");
    case 'r':
        return Is(token, "revoke");
    case 's':
        return Is(token, "select");
    case 'u':
        return Is(token, "union") || Is(token, "update");
    case 'v':
        return Is(token, "values");
    case 'w':
        return Is(token, "where");
    default:
        return false;
    }
}

bool CParse::isOPCODE(Token token) const {
    static constexpr std::string_view codes[] = {
        "=", "!=", ">", "<", "<=", ">=", "<>", "and", "or", "not", "in", "like"};
    for (std::string_view code : codes) {
        if (Is(token, code))
            return true;
    }
    return false;
}

bool CParse::isTerm(Token token) const {
    if (token.empty())
        return false;
    const char c = token[0];
    if (c >= '0' && c <= '9')
        return true;
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter && !isKeyWord(token);
}

int CParse::SQLstmt(Token* token, int topLevel) {
    const int remembered = m_Count;
    int result = -1;
    if (Is(*token, "union")) {
        --m_Count;
        Lexema(token);
        result = 0;
    }
    if (m_Nesting >= kMaxNesting)
        return 0;
    ++m_Nesting;
    const Token t = *token;
    if (Is(t, "select"))
        result = SelectStmt();
    else if (Is(t, "insert"))
        result = InsertStmt();
    else if (Is(t, "delete"))
        result = DeleteStmt();
    else if (Is(t, "update"))
        result = UpdateStmt();
    else if (Is(t, "drop"))
        result = DropStmt();
    else if (Is(t, "create"))
        result = CreateStmt();
    else if (Is(t, "exec"))
        result = ExecStmt();
    else if (Is(t, "revoke"))
        result = RevokeStmt();
    else if (Is(t, "grant"))
        result = GrantStmt();
    else if (Is(t, "alter"))
        result = AlterStmt();
    else if (Is(t, "begin") || Is(t, "go"))
        result = 1;
    --m_Nesting;
    if (result == 0)
        return 0;
    if (!topLevel)
        m_Count = remembered;
    return result;
}

int CParse::ReadUpTo(const char* word) {
    Token t;
    for (;;) {
        const int r = Lexema(&t);
        if (!r)
            return 0;
        if (Is(t, word))
            return r;
    }
}

int CParse::ReadUpToKeyWord() {
    Token t;
    for (;;) {
        if (!Lexema(&t))
            return 0;
        if (isKeyWord(t))
            return Lexema(nullptr);
    }
}

int CParse::SelectStmt() {
    ++m_Count;
    Token t;
    if (!Lexema(&t))
        return 0;
    if (!Is(t, "all") && !Is(t, "distinct"))
        Lexema(nullptr);
    if (!FieldList(0))
        return 0;
    if (!Lexema(&t) || !Is(t, "from"))
        return 0;
    if (!TableList())
        return 0;
    for (;;) {
        if (!Lexema(&t))
            return 0;
        if (Is(t, "where") || Is(t, "having")) {
            if (!Expression())
                return 0;
        } else if (Is(t, "order") || Is(t, "group")) {
            if (!Lexema(&t) || !FieldList(0))
                return 0;
        } else {
            return Lexema(nullptr);
        }
    }
}

int CParse::InsertStmt() {
    ++m_Count;
    Token t;
    if (!Lexema(&t) || !Lexema(&t) || !Lexema(&t))
        return 0;
    if (IsChar(t, '(')) {
        if (!FieldList(1) || !Lexema(&t))
            return 0;
    }
    if (IsChar(t, '(')) {
        int depth = 0;
        for (;;) {
            const int r = Lexema(&t);
            if (!r)
                return 0;
            if (IsChar(t, '('))
                ++depth;
            else if (IsChar(t, ')') && depth-- == 0)
                return r;
        }
    }
    return ValuesList();
}

int CParse::UpdateStmt() {
    ++m_Count;
    Token t;
    if (!Lexema(&t) || !Lexema(&t) || !SetList() || !Lexema(&t))
        return 0;
    if (Is(t, "where"))
        return Expression();
    return Lexema(nullptr);
}

int CParse::DeleteStmt() {
    ++m_Count;
    Token t;
    if (!Lexema(&t) || !Lexema(&t))
        return 0;
    const int r = Lexema(&t);
    if (!r)
        return 0;
    if (Is(t, "where"))
        return Expression();
    Lexema(nullptr);
    return r;
}

int CParse::DropStmt() {
    ++m_Count;
    Token t;
    if (!Lexema(&t))
        return 0;
    return Lexema(&t);
}

int CParse::ExecStmt() {
    ++m_Count;
    Token t;
    if (!Lexema(&t))
        return 0;
    do {
        if (!Expression())
            return 0;
    } while (IsChar(m_LastToken, ','));
    return Lexema(nullptr);
}

int CParse::GrantStmt() {
    ++m_Count;
    if (!ReadUpTo("to"))
        return 0;
    return ReadUpToKeyWord();
}

int CParse::RevokeStmt() {
    ++m_Count;
    if (!ReadUpTo("from"))
        return 0;
    return ReadUpToKeyWord();
}

int CParse::AlterStmt() {
    Token t;
    int r = Lexema(&t);
    if (!r)
        return 0;
    if (Is(t, "table")) {
        if (!Lexema(&t))
            return 0;
        r = Lexema(&t);
        if (!r)
            return 0;
        int more = 0;
        if (Is(t, "drop") || Is(t, "check") || Is(t, "nockeck") || Is(t, "enable") || Is(t, "disable")) {
            more = 2;
        } else if (Is(t, "with")) {
            more = 3;
        } else if (Is(t, "alter")) {
            if (!Lexema(&t) || !Lexema(&t))
                return 0;
            r = Lexema(&t);
            if (!r)
                return 0;
            if (Is(t, "add") || Is(t, "drop"))
                more = 1;
        }
        for (int i = 0; i < more; ++i) {
            r = Lexema(&t);
            if (!r)
                return 0;
        }
        return r;
    }
    if (Is(t, "view")) {
        if (!ReadUpTo("as") || !Lexema(&t))
            return 0;
        return SQLstmt(&t, 0);
    }
    if (Is(t, "database")) {
        if (!Lexema(&t))
            return 0;
        return ReadUpToKeyWord();
    }
    return r;
}

int CParse::CreateStmt() {
    ++m_Count;
    Token kind;
    Token t;
    if (!Lexema(&kind) || !Lexema(&t))
        return 0;
    if (Is(kind, "table"))
        return CreateTable();
    if (Is(kind, "proc") || Is(kind, "function") || Is(kind, "procedure"))
        return CreateProcedure();
    if (Is(kind, "index") || Is(kind, "unique") || Is(kind, "clustered"))
        return CreateIndex();
    if (Is(kind, "trigger"))
        return CreateTrigger();
    if (Is(kind, "view"))
        return CreateView();
    if (Is(kind, "rule"))
        return CreateRule();
    if (Is(kind, "database"))
        return CreateDatabase();
    return 0;
}

int CParse::CreateTable() {
    Token t;
    const int r = Lexema(&t);
    if (!r)
        return 0;
    while (OneFieldDescr() == 1) {
    }
    return r;
}

int CParse::CreateIndex() {
    Token t;
    do {
        if (!Lexema(&t))
            return 0;
    } while (Is(t, "index") || Is(t, "unique") || Is(t, "clustered"));
    if (!Lexema(&t) || !Lexema(&t))
        return 0;
    return FieldList(1);
}

int CParse::CreateView() {
    if (!ReadUpTo("as"))
        return 0;
    --m_Count;
    // The query's own SELECT is read here, so that the query is followed from its select list.
    Token t;
    if (!Lexema(&t))
        return 0;
    if (!Is(t, "select"))
        Lexema(nullptr);
    return SelectStmt();
}

int CParse::CreateProcedure() {
    Token t;
    if (!ReadUpTo("as") || !Lexema(&t))
        return 0;
    --m_Count;
    return SQLstmt(&t, 0);
}

int CParse::CreateTrigger() {
    Token t;
    if (!ReadUpTo("as") || !Lexema(&t))
        return 0;
    return SQLstmt(&t, 0);
}

int CParse::CreateRule() {
    Token t;
    if (!Lexema(&t))
        return 0;
    return Expression();
}

int CParse::CreateDatabase() {
    return ReadUpToKeyWord();
}

int CParse::Expression() {
    int depth = 0;
    bool quoted = false;
    Token t;
    for (;;) {
        const int r = Lexema(&t);
        if (!r)
            return 0;
        if (t.size() == 1) {
            switch (t[0]) {
            case '\'':
                quoted = !quoted;
                continue;
            case '(':
                ++depth;
                continue;
            case ')':
                if (depth == 0)
                    return r;
                --depth;
                continue;
            case ',':
                if (depth == 0 && !quoted)
                    return r;
                continue;
            default:
                break;
            }
        }
        if (depth == 0 && !quoted && isKeyWord(t))
            return Lexema(nullptr);
    }
}

int CParse::FieldList(int closing) {
    int depth = 0;
    Token t;
    for (;;) {
        const int r = Lexema(&t);
        if (!r)
            return 0;
        if (isKeyWord(t))
            return closing ? r : Lexema(nullptr);
        if (!closing)
            continue;
        if (IsChar(t, '(')) {
            ++depth;
        } else if (IsChar(t, ')')) {
            if (depth == 0 || --depth == 0)
                return r;
        }
    }
}

int CParse::ReadQuotedName(char closing, Token* last) {
    for (;;) {
        const int r = Lexema(last);
        if (last->empty())
            return 0;
        if (IsChar(*last, closing))
            return r;
        if (!r) {
            *last = Token();
            return 0;
        }
    }
}

int CParse::TableList() {
    m_Tables.clear();
    bool first = true;
    Token t;
    int r = Lexema(&t);
    for (;;) {
        if (t.empty())
            return 0;
        // The name: a word or a quoted or bracketed name, with the pieces written next to it
        // (schema.[table], "a"."b").
        const char* nameBegin = t.data();
        const char* nameEnd = nameBegin;
        for (;;) {
            const char mark = t.size() == 1 ? t[0] : '\0';
            if (mark == '\'' || mark == '"' || mark == '[') {
                if (!r)
                    return 0;
                r = ReadQuotedName(mark == '[' ? ']' : mark, &t);
                if (t.empty())
                    return 0;
            } else if (kClass[(unsigned char)t[0]] != Word || isKeyWord(t)) {
                break;
            }
            nameEnd = t.data() + t.size();
            if (!r)
                break;
            r = Lexema(&t);
            if (t.empty() || t.data() != nameEnd)
                break;
        }
        if (nameEnd != nameBegin) {
            if (!first)
                m_Tables += ',';
            m_Tables.append(nameBegin, nameEnd);
            first = false;
        }
        if (!r || t.empty())
            return 0;
        // What follows the name (an alias, a join) runs up to a comma or a keyword outside parentheses.
        int depth = 0;
        for (;;) {
            if (depth == 0 && IsChar(t, ',')) {
                if (!r)
                    return 0;
                r = Lexema(&t);
                break;
            }
            if (depth == 0 && isKeyWord(t))
                return Lexema(nullptr);
            if (IsChar(t, '('))
                ++depth;
            else if (IsChar(t, ')') && depth > 0)
                --depth;
            if (!r)
                return 0;
            r = Lexema(&t);
            if (t.empty())
                return 0;
        }
    }
}

int CParse::ValuesList() {
    Token t;
    if (!Lexema(&t))
        return 0;
    do {
        if (!Expression())
            return 0;
    } while (IsChar(m_LastToken, ','));
    if (IsChar(m_LastToken, ')'))
        return 1;
    return Lexema(nullptr);
}

int CParse::SetList() {
    Token t;
    do {
        if (!Lexema(&t) || !Lexema(&t) || !Expression())
            return 0;
    } while (IsChar(m_LastToken, ','));
    return Lexema(nullptr);
}

int CParse::OneFieldDescr() {
    int depth = 0;
    Token t;
    for (;;) {
        if (!Lexema(&t))
            return 0;
        if (IsChar(t, ','))
            return 1;
        if (IsChar(t, '(')) {
            ++depth;
        } else if (IsChar(t, ')')) {
            if (depth == 0)
                return 0;
            --depth;
        }
    }
}

void CParse::RemoveTerm(CString* text) {
    if (!text)
        return;
    bool quoted = false;
    for (char& c : *text) {
        if (c == '\'') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            c = ' ';
            return;
        }
    }
}

void CParse::BlankLeadingTerms(CString* text) {
    if (!text)
        return;
    for (char& c : *text) {
        if (c == ';')
            c = ' ';
        else if (!std::isspace(static_cast<unsigned char>(c)))
            return;
    }
}

CString CParse::ExecutableText(std::string_view statement, bool cut, bool removeTerm) {
    CString text(statement);
    if (cut)
        BlankLeadingTerms(&text);
    if (removeTerm)
        RemoveTerm(&text);
    return text;
}

CString CParse::Encoded(const char* text) {
    CString out = text ? text : "";
    ReplaceAll(out, "\r\n", "<CR/LF>");
    ReplaceAll(out, "\t", "<TAB>");
    ReplaceAll(out, "\r", "<CR>");
    return out;
}

CString CParse::Decoded(const char* text) {
    CString out = text ? text : "";
    ReplaceAll(out, "<CR/LF>", "\r\n");
    ReplaceAll(out, "<TAB>", "\t");
    ReplaceAll(out, "<CR>", "\r\n");
    return out;
}
