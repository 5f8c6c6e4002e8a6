#include "editor/CCompletion.h"

#include <gtest/gtest.h>

TEST(CCompletion, WordBeforeTheCaretAndItsQualifier) {
    const struct {
        const char* line;
        int column;
        int start;
        const char* text;
        const char* qualifier;
    } cases[] = {
        {"select cu", 9, 7, "cu", ""},
        {"select cu", 8, 7, "c", ""},
        {"select ", 7, 7, "", ""},
        {"where c.na", 10, 8, "na", "c"},
        {"where c.", 8, 8, "", "c"},
        {"x sales.orders.am", 17, 15, "am", "orders"},
        {"from \"My Table\".co", 18, 16, "co", "My Table"},
        {"from [odd name].", 16, 16, "", "odd name"},
        {"select \"Mix", 11, 7, "Mix", ""},
        {"select 3.", 9, 9, "", "3"},
        {"select .x", 9, 8, "x", ""},
        // Columns count characters, not bytes.
        {"select ä.ö", 10, 9, "ö", "ä"},
        {"", 5, 0, "", ""},
    };
    for (const auto& c : cases) {
        const CCompletion::Word w = CCompletion::WordAt(c.line, c.column);
        EXPECT_EQ(c.start, w.start) << c.line;
        EXPECT_EQ(c.text, w.text) << c.line;
        EXPECT_EQ(c.qualifier, w.qualifier) << c.line;
        EXPECT_EQ(*c.qualifier != 0, w.qualified) << c.line;
    }
}

TEST(CCompletion, KeywordsOnlyWithoutCatalogRankPrefixBeforeSubstringAndFollowTheTypedCase) {
    const std::set<CString, std::less<>> keywords = {"SELECT", "DELETE", "SET", "OFFSET", "WHERE"};
    CCompletion completion(&keywords, nullptr);
    auto texts = [&](const char* typed) {
        CString out;
        for (const auto& c :
             completion.Candidates(CCompletion::WordAt(typed, static_cast<int>(strlen(typed)))))
            out += (out.empty() ? "" : " ") + c.insert;
        return out;
    };
    EXPECT_EQ("SELECT SET OFFSET", texts("SE"));
    EXPECT_EQ("select set offset", texts("se"));
    EXPECT_EQ("DELETE SELECT", texts("ELE"));
    EXPECT_EQ("", texts("zz"));
    EXPECT_EQ("", texts("t.x"));
    EXPECT_FALSE(completion.Waiting());
}
