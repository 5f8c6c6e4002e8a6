#include "CCaretStatement.h"

#include "CParse.h"

#include <algorithm>

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

size_t CCaretStatement::SkipLead(std::string_view text, size_t from) {
    size_t i = from;
    while (i < text.size()) {
        if (IsBlank(text[i]) || text[i] == ';') {
            ++i;
        } else if (text.compare(i, 2, "/*") == 0) {
            const size_t close = text.find("*/", i + 2);
            i = close == std::string_view::npos ? text.size() : close + 2;
        } else if (text.compare(i, 2, "--") == 0 || text.compare(i, 2, "//") == 0) {
            const size_t eol = text.find_first_of("\r\n", i);
            i = eol == std::string_view::npos ? text.size() : eol;
        } else {
            break;
        }
    }
    return i;
}

size_t CCaretStatement::TrimEnd(std::string_view text, size_t begin, size_t end) {
    end = std::min(end, text.size());
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return end;
}

CCaretStatement::Range CCaretStatement::Find(std::string_view script, size_t caret, bool noParse) {
    auto whole = [&] {
        const size_t begin = SkipLead(script, 0);
        return Range{begin, TrimEnd(script, begin, script.size())};
    };
    if (noParse)
        return whole();
    CParse parser;
    parser.SetCopyTexts(false);
    parser.Parse(script.data(), script.size());
    // Nothing the cut can follow: a run sends the whole script.
    if (parser.m_Count <= 0)
        return whole();
    const int count = parser.m_Count;
    std::vector<Range> statements;
    for (int i = 0; i < count; ++i) {
        const size_t start = i < static_cast<int>(parser.m_Starts.size()) ? parser.m_Starts[size_t(i)] : 0;
        const size_t next = i + 1 < count && i + 1 < static_cast<int>(parser.m_Starts.size())
                                ? parser.m_Starts[size_t(i) + 1]
                                : script.size();
        const size_t begin = SkipLead(script, std::min(start, script.size()));
        statements.push_back({begin, TrimEnd(script, begin, std::max(begin, next))});
    }
    // The last statement whose first token lies at or before the caret; the first one when the caret
    // stands ahead of them all.
    size_t chosen = 0;
    for (size_t i = 0; i < statements.size(); ++i)
        if (statements[i].begin <= caret && !statements[i].Empty())
            chosen = i;
    return statements[chosen];
}
