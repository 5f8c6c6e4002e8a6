#include "run/CResultTab.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    int number;
    const char* statement;
    int rows;
    bool cut;
    const char* expected;
};

TEST(CResultTabTest, CaptionShowsNumberFirstLineRowsAndCut) {
    const Case cases[] = {
        {1, "select * from customers", 50, false, "1: select * from customers (50 rows)"},
        {2, "select 1", 1, false, "2: select 1 (1 row)"},
        {3, "select 1", 0, false, "3: select 1 (0 rows)"},
        {4, "select * from orders", 100000, true, "4: select * from orders (100000 rows, cut)"},
        // Leading blank lines and indentation are skipped; a following line is marked as more.
        {5, "\n\n   select id\n  from t", 2, false, "5: select id\xE2\x80\xA6 (2 rows)"},
        {6, "select a  \r\n", 3, false, "6: select a (3 rows)"},
        // Exactly 40 characters stay whole; 41 are cut to 40.
        {7, "select aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 1, false,
         "7: select aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa (1 row)"},
        {8, "select aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", 1, false,
         "8: select aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\xE2\x80\xA6 (1 row)"},
        // The cut counts characters: a two-byte letter is never split: 32 of the 34 letters fit.
        {9,
         "select '"
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9'",
         1, false,
         "9: select '"
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xE2\x80\xA6 (1 row)"},
        // Bytes that are no valid UTF-8 count one each and are kept.
        {10, "select '\xFF'", 1, false, "10: select '\xFF' (1 row)"},
        {11, "", 0, false, "11:  (0 rows)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CResultTab::Text(c.number, c.statement, c.rows, c.cut), c.expected)
            << "statement: " << c.statement;
}
} // namespace
