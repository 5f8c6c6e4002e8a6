// The window-free side of completion in the script editor: finds the word being typed, traces a
// "name." prefix to a table of the statement, and ranks keywords, tables, views and columns for it.
#pragma once

#include "CommonTypes.h"
#include "editor/CCompletionCatalog.h"
#include "parse/CTableRefs.h"

#include <functional>
#include <set>
#include <string_view>

class CCompletion {
public:
    enum KIND { K_COLUMN, K_TABLE, K_VIEW, K_KEYWORD };

    struct Candidate {
        CString text;   // as listed
        CString insert; // what replaces the typed word
        CString detail; // the column's type; empty for the others
        KIND kind = K_KEYWORD;
    };

    // The word before the caret on one line.
    struct Word {
        int start = 0;     // column where the replaced text begins (an opening quote included)
        CString text;      // the typed characters, without an opening quote
        CString qualifier; // the name before a "." that precedes the word, unquoted
        bool qualified = false;
    };

    // Keywords are matched as listed; either pointer may be null.
    CCompletion(const std::set<CString, std::less<>>* keywords, CCompletionCatalog* catalog);

    void SetCatalog(CCompletionCatalog* catalog) { m_Catalog = catalog; }
    void SetKeywords(const std::set<CString, std::less<>>* keywords) { m_Keywords = keywords; }

    // The word that ends at `column` of `line` (columns count characters).
    static Word WordAt(const CString& line, int column);
    // 0 when `typed` begins `candidate`, 1 when it stands inside it, -1 otherwise; case is ignored.
    static int Match(std::string_view candidate, std::string_view typed);

    // Reads the statement around the byte offset `caret` of the script: the tables it names.
    void SetScope(std::string_view script, size_t caret);
    const CArray<CTableRefs::Ref>& Scope() const { return m_Scope; }
    // The table a qualifier stands for: an alias or a table named in the statement, else a catalog
    // table of that name; empty when it names nothing known.
    CString ResolveQualifier(const CString& qualifier) const;

    // Candidates for the word, best first: prefix matches before substring matches, then columns,
    // tables and views, keywords, each by name. After a qualifier only that table's columns.
    CArray<Candidate> Candidates(const Word& word) const;
    // Whether the last Candidates call met columns that are still being read.
    bool Waiting() const { return m_Waiting; }

private:
    // The catalog's spelling of a table name, matched without regard to case; the name itself otherwise.
    CString CatalogName(const CString& name) const;
    // Whether the catalog lists the table; true while it has listed nothing.
    bool IsCatalogTable(const CString& name) const;
    void AddColumns(const CString& table, const Word& word, CArray<Candidate>& out) const;

    const std::set<CString, std::less<>>* m_Keywords;
    CCompletionCatalog* m_Catalog;
    CArray<CTableRefs::Ref> m_Scope;
    mutable bool m_Waiting = false;
};
