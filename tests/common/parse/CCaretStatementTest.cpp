#include "parse/CCaretStatement.h"

#include <gtest/gtest.h>

namespace {
// The script with the caret written as '|'; the statement found, as text.
std::string StatementAt(std::string marked, bool noParse = false) {
    const size_t caret = marked.find('|');
    marked.erase(caret, 1);
    const CCaretStatement::Range range = CCaretStatement::Find(marked, caret, noParse);
    return marked.substr(range.begin, range.end - range.begin);
}
} // namespace

TEST(CaretStatement, FindsTheStatementAroundTheCaret) {
    const struct {
        const char* script;
        const char* expected;
    } cases[] = {
        {"select * from a;\r\nsel|ect * from b;\r\nselect * from c", "select * from b;"},
        {"|select * from a; select * from b", "select * from a;"},
        {"select * from a; select * from b|", "select * from b"},
        // Blank lines between two statements belong to the one above.
        {"select * from a;\r\n|\r\n\r\nselect * from b", "select * from a;"},
        {"select * from a;\r\n\r\n|select * from b", "select * from b"},
        // A comment the cut gives to the statement above stays with it.
        {"select * from a\r\n/* n|ote */ select * from b", "select * from a\r\n/* note */"},
        {"drop table a\r\n-- x|\r\ninsert into t values (1)", "drop table a"},
        {"update t set a = 1 where k in (select d from |e)\r\ndelete from t",
         "update t set a = 1 where k in (select d from e)"},
        // Before the first statement: the first one.
        {"  |\r\n  select * from a; select * from b", "select * from a;"},
        // The whole-run cut: a SELECT without FROM ends it and the rest is one text.
        {"select 1;\r\nselect * from a;\r\nselect * |from b",
         "select 1;\r\nselect * from a;\r\nselect * from b"},
        // Nothing the cut follows: the whole script.
        {"set x = 1;\r\n|set y = 2;\r\n", "set x = 1;\r\nset y = 2;"},
        {";;\r\n| -- only a comment", ""},
        {"|", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, StatementAt(c.script)) << c.script;
    EXPECT_EQ("select * from a; select * from b", StatementAt("select * from a; select |* from b", true));
}
