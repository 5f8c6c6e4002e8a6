#include "parse/CSemicolonCutter.h"

#include <cctype>

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' || c == '@' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool Is(std::string_view word, std::string_view upper) {
    if (word.size() != upper.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(word[i])) != upper[i])
            return false;
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The end of the line that begins at `start` when it holds GO alone, else npos.
size_t GoLineEnd(std::string_view s, size_t start) {
    size_t end = s.find('\n', start);
    if (end == std::string_view::npos)
        end = s.size();
    return Is(Trimmed(s.substr(start, end - start)), "GO") ? end : std::string_view::npos;
}

// Whether the apostrophe at `at` opens an E'...' string, in which a backslash escapes the next byte.
bool IsEscapeString(std::string_view s, size_t at) {
    return at > 0 && (s[at - 1] == 'E' || s[at - 1] == 'e') && (at == 1 || !IsWordChar(s[at - 2]));
}

// The apostrophe that closes the E'...' string opened at `at`, or npos.
size_t PastEscapeString(std::string_view s, size_t at) {
    for (size_t j = at + 1; j < s.size(); ++j) {
        if (s[j] == '\\')
            ++j;
        else if (s[j] == '\'')
            return j;
    }
    return std::string_view::npos;
}

// Past the dollar quote that opens at `at` ($$ or $tag$), or `at` when none opens there.
size_t PastDollarQuote(std::string_view s, size_t at) {
    size_t j = at + 1;
    if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
        return at; // a parameter such as $1
    while (j < s.size() && s[j] != '$' && IsWordChar(s[j]))
        ++j;
    if (j >= s.size() || s[j] != '$')
        return at;
    const std::string_view tag = s.substr(at, j - at + 1);
    const size_t close = s.find(tag, j + 1);
    return close == std::string_view::npos ? s.size() : close + tag.size();
}
} // namespace

std::vector<std::string_view> CSemicolonCutter::Cut(std::string_view s) {
    std::vector<std::string_view> statements;
    bool hasCode = false;  // the piece holds more than blanks and comments
    size_t codeStart = 0;  // where its first code begins: comments before it are not sent
    bool isCreate = false; // its first word is CREATE
    bool routine = false;  // it creates a procedure, function or trigger
    int depth = 0;         // open BEGIN and CASE words of a routine's body
    auto close = [&](size_t end) {
        if (hasCode)
            statements.push_back(Trimmed(s.substr(codeStart, end - codeStart)));
        hasCode = isCreate = routine = false;
        depth = 0;
    };
    size_t i = 0;
    while (i < s.size()) {
        if (i == 0 || s[i - 1] == '\n') {
            const size_t go = GoLineEnd(s, i);
            if (go != std::string_view::npos) {
                close(i);
                i = go;
                continue;
            }
        }
        const char c = s[i];
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        const bool codeBefore = hasCode;
        const size_t at = i;
        if (IsBlank(c)) {
            ++i;
        } else if (c == '-' && next == '-') {
            const size_t eol = s.find('\n', i);
            i = eol == std::string_view::npos ? s.size() : eol;
        } else if (c == '/' && next == '*') {
            const size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
        } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
            // A doubled quote mark closes the text and opens it again, which comes to the same.
            const size_t end = c == '\'' && IsEscapeString(s, i) ? PastEscapeString(s, i)
                                                                 : s.find(c == '[' ? ']' : c, i + 1);
            i = end == std::string_view::npos ? s.size() : end + 1;
            hasCode = true;
        } else if (c == ';') {
            if (depth > 0)
                ++i;
            else {
                close(i);
                ++i;
            }
        } else if (c == '$' && PastDollarQuote(s, i) != i) {
            i = PastDollarQuote(s, i);
            hasCode = true;
        } else if (IsWordChar(c)) {
            size_t end = i;
            while (end < s.size() && IsWordChar(s[end]))
                ++end;
            const std::string_view word = s.substr(i, end - i);
            if (!hasCode)
                isCreate = Is(word, "CREATE");
            else if (isCreate && (Is(word, "PROCEDURE") || Is(word, "FUNCTION") || Is(word, "TRIGGER") ||
                                  Is(word, "PROC")))
                routine = true;
            else if (routine && (Is(word, "BEGIN") || Is(word, "CASE")))
                ++depth;
            else if (routine && depth > 0 && Is(word, "END")) {
                // END IF, END LOOP and the like close what BEGIN and CASE did not open.
                size_t k = end;
                while (k < s.size() && IsBlank(s[k]))
                    ++k;
                size_t kEnd = k;
                while (kEnd < s.size() && IsWordChar(s[kEnd]))
                    ++kEnd;
                const std::string_view after = s.substr(k, kEnd - k);
                if (!Is(after, "IF") && !Is(after, "LOOP") && !Is(after, "WHILE") && !Is(after, "REPEAT") &&
                    !Is(after, "FOR"))
                    --depth;
            }
            hasCode = true;
            i = end;
        } else {
            hasCode = true;
            ++i;
        }
        if (hasCode && !codeBefore)
            codeStart = at;
    }
    close(s.size());
    return statements;
}
