#include "CCompletion.h"

#include "editor/CUtf8.h"
#include "parse/CCaretStatement.h"

#include <algorithm>
#include <tuple>

namespace {

bool IsWordChar(char32_t ch) {
    return CUtf8::IsAsciiAlnum(ch) || ch == '_' || ch == '$' || ch == '#' || ch == '@' || ch >= 0x80;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

CString Encode(const std::u32string& chars, size_t from, size_t to) {
    CString out;
    for (size_t i = from; i < to; ++i)
        out += CUtf8::Encode(chars[i]);
    return out;
}

// A keyword typed in lower case is inserted in lower case.
CString KeywordAsTyped(const CString& keyword, const CString& typed) {
    const bool lower = std::any_of(typed.begin(), typed.end(), [](char c) { return c >= 'a' && c <= 'z'; }) &&
                       std::none_of(typed.begin(), typed.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    if (!lower)
        return keyword;
    CString out = keyword;
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

int KindOrder(CCompletion::KIND kind) {
    return kind == CCompletion::K_COLUMN ? 0 : kind == CCompletion::K_KEYWORD ? 2 : 1;
}

} // namespace

CCompletion::CCompletion(const std::set<CString, std::less<>>* keywords, CCompletionCatalog* catalog)
    : m_Keywords(keywords), m_Catalog(catalog) {}

CCompletion::Word CCompletion::WordAt(const CString& line, int column) {
    std::u32string chars;
    CUtf8::ToChars(line, chars);
    const size_t end = static_cast<size_t>(std::clamp(column, 0, static_cast<int>(chars.size())));
    size_t begin = end;
    while (begin > 0 && IsWordChar(chars[begin - 1]))
        --begin;
    Word word;
    word.text = Encode(chars, begin, end);
    if (begin > 0 && (chars[begin - 1] == '"' || chars[begin - 1] == '`' || chars[begin - 1] == '['))
        --begin;
    word.start = static_cast<int>(begin);
    if (begin < 2 || chars[begin - 1] != '.')
        return word;
    // The name before the dot, quoted or not.
    size_t qEnd = begin - 1, qBegin = qEnd;
    const char32_t last = chars[qEnd - 1];
    if (last == '"' || last == '`' || last == ']') {
        const char32_t open = last == ']' ? '[' : last;
        size_t i = qEnd - 1;
        while (i > 0 && chars[i - 1] != open)
            --i;
        if (i == 0)
            return word;
        word.qualifier = Encode(chars, i, qEnd - 1);
    } else {
        while (qBegin > 0 && IsWordChar(chars[qBegin - 1]))
            --qBegin;
        word.qualifier = Encode(chars, qBegin, qEnd);
    }
    word.qualified = !word.qualifier.empty();
    return word;
}

int CCompletion::Match(std::string_view candidate, std::string_view typed) {
    if (typed.size() > candidate.size())
        return -1;
    const auto same = [](char x, char y) { return Upper(x) == Upper(y); };
    if (std::equal(typed.begin(), typed.end(), candidate.begin(), same))
        return 0;
    return std::search(candidate.begin(), candidate.end(), typed.begin(), typed.end(), same) !=
                   candidate.end()
               ? 1
               : -1;
}

void CCompletion::SetScope(std::string_view script, size_t caret) {
    const CCaretStatement::Range range = CCaretStatement::Find(script, std::min(caret, script.size()));
    const size_t end = std::max(range.end, std::min(caret, script.size()));
    m_Scope = range.begin < end ? CTableRefs::Find(script.substr(range.begin, end - range.begin))
                                : CArray<CTableRefs::Ref>{};
}

CString CCompletion::CatalogName(const CString& name) const {
    if (!m_Catalog)
        return name;
    const auto& tables = m_Catalog->Tables();
    const auto exact =
        std::find_if(tables.begin(), tables.end(), [&](const auto& t) { return t.name == name; });
    if (exact != tables.end())
        return name;
    const auto other = std::find_if(tables.begin(), tables.end(),
                                    [&](const auto& t) { return CTableRefs::SameName(t.name, name); });
    return other != tables.end() ? other->name : name;
}

bool CCompletion::IsCatalogTable(const CString& name) const {
    if (!m_Catalog || m_Catalog->Tables().empty())
        return true;
    const auto& tables = m_Catalog->Tables();
    return std::any_of(tables.begin(), tables.end(),
                       [&](const auto& t) { return CTableRefs::SameName(t.name, name); });
}

CString CCompletion::ResolveQualifier(const CString& qualifier) const {
    const auto full = [this](const CTableRefs::Ref& ref) {
        return ref.name.empty() ? CString()
                                : (ref.owner.empty() ? "" : ref.owner + ".") + CatalogName(ref.name);
    };
    for (const auto& ref : m_Scope)
        if (!ref.alias.empty() && CTableRefs::SameName(ref.alias, qualifier))
            return full(ref);
    for (const auto& ref : m_Scope)
        if (CTableRefs::SameName(ref.name, qualifier))
            return full(ref);
    if (m_Catalog)
        for (const auto& t : m_Catalog->Tables())
            if (CTableRefs::SameName(t.name, qualifier))
                return t.name;
    return {};
}

void CCompletion::AddColumns(const CString& table, const Word& word, CArray<Candidate>& out) const {
    const auto* columns = m_Catalog ? m_Catalog->Columns(table) : nullptr;
    if (!columns) {
        m_Waiting = m_Waiting || m_Catalog;
        return;
    }
    for (const auto& c : *columns)
        if (Match(c.name, word.text) >= 0)
            out.push_back({c.name, m_Catalog->Quoted(c.name), c.typeName, K_COLUMN});
}

CArray<CCompletion::Candidate> CCompletion::Candidates(const Word& word) const {
    m_Waiting = false;
    CArray<Candidate> out;
    if (word.qualified) {
        const CString table = ResolveQualifier(word.qualifier);
        if (!table.empty())
            AddColumns(table, word, out);
    } else {
        for (const auto& ref : m_Scope) {
            // The word being typed may itself stand in the FROM list; a bare name the catalog does not
            // hold has no columns to ask for.
            if (ref.name.empty() ||
                (ref.owner.empty() && (ref.name == word.text || !IsCatalogTable(ref.name))))
                continue;
            AddColumns((ref.owner.empty() ? "" : ref.owner + ".") + CatalogName(ref.name), word, out);
        }
        if (m_Catalog)
            for (const auto& t : m_Catalog->Tables())
                if (Match(t.name, word.text) >= 0)
                    out.push_back({t.name, m_Catalog->Quoted(t.name), {}, t.view ? K_VIEW : K_TABLE});
        if (m_Keywords)
            for (const auto& k : *m_Keywords)
                if (Match(k, word.text) >= 0) {
                    const CString text = KeywordAsTyped(k, word.text);
                    out.push_back({text, text, {}, K_KEYWORD});
                }
    }
    // Sorted by keys computed once per candidate.
    using Key = std::tuple<int, int, CString>;
    CArray<std::pair<Key, size_t>> order;
    order.reserve(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
        CString upper = out[i].text;
        std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
        order.emplace_back(Key{Match(out[i].text, word.text), KindOrder(out[i].kind), std::move(upper)}, i);
    }
    std::sort(order.begin(), order.end());
    CArray<Candidate> sorted;
    sorted.reserve(out.size());
    for (const auto& [k, i] : order)
        sorted.push_back(std::move(out[i]));
    out = std::move(sorted);
    // A column met in two tables of the statement, or spelled like a keyword, is offered once.
    std::set<CString, std::less<>> seen;
    out.erase(std::remove_if(out.begin(), out.end(),
                             [&](const Candidate& c) { return !seen.insert(c.insert).second; }),
              out.end());
    return out;
}
