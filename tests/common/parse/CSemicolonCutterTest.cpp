#include "parse/CSemicolonCutter.h"

#include <gtest/gtest.h>

namespace {
struct CutCase {
    const char* name;
    const char* script;
    std::vector<std::string> statements;
};

const CutCase kCases[] = {
    {"LastWithoutTerminator", "select 1; select * from customers", {"select 1", "select * from customers"}},
    {"QuotesHoldSeparators",
     "insert into t values ('a;b', 'it''s -- no comment');\nselect \"x;y\", [p;q], `r;s` from t;",
     {"insert into t values ('a;b', 'it''s -- no comment')", "select \"x;y\", [p;q], `r;s` from t"}},
    {"CommentsHoldSeparators",
     "select 1 /* ; */ + 2; -- tail ; here\nselect 3;\n-- only a comment\n",
     {"select 1 /* ; */ + 2", "select 3"}},
    {"EmptyPiecesDropped", " ;; \n ; /* x */ ;", {}},
    {"DollarBodies",
     "create function f() returns int as $$ begin perform 1; return 2; end $$ language plpgsql;\n"
     "do $body$ begin raise notice '$$;'; end $body$; select $1;",
     {"create function f() returns int as $$ begin perform 1; return 2; end $$ language plpgsql",
      "do $body$ begin raise notice '$$;'; end $body$", "select $1"}},
    {"TriggerBodyKeptWhole",
     "CREATE TRIGGER tr AFTER INSERT ON t BEGIN\n  UPDATE c SET n = CASE WHEN n > 0 THEN n + 1 ELSE 1 END;\n"
     "  INSERT INTO log VALUES ('end;');\nEND;\nselect 2",
     {"CREATE TRIGGER tr AFTER INSERT ON t BEGIN\n  UPDATE c SET n = CASE WHEN n > 0 THEN n + 1 ELSE 1 END;\n"
      "  INSERT INTO log VALUES ('end;');\nEND",
      "select 2"}},
    {"ProcedureWithEndIf",
     "create procedure p() begin if x then select 1; end if; while y do set y = 0; end while; end; select 9",
     {"create procedure p() begin if x then select 1; end if; while y do set y = 0; end while; end",
      "select 9"}},
    {"BeginOutsideRoutineCuts",
     "begin; insert into t values (1); commit",
     {"begin", "insert into t values (1)", "commit"}},
    {"GoLines",
     "select 1\r\n  go  \r\nselect 2\n/* \nGO\n */ select 3\nselect 'x\nGO\n' GO_ON\nGO",
     {"select 1", "select 2\n/* \nGO\n */ select 3\nselect 'x\nGO\n' GO_ON"}},
    {"EscapeStrings",
     "select E'it\\'s;', 'c:\\'; select e'\\\\'; select de'x;'",
     {"select E'it\\'s;', 'c:\\'", "select e'\\\\'", "select de'x;'"}},
    {"UnterminatedQuoteRunsToTheEnd", "select 1; select 'a;b", {"select 1", "select 'a;b"}},
};

class SemicolonCutter : public testing::TestWithParam<CutCase> {};

TEST_P(SemicolonCutter, CutsWhereTheStatementsEnd) {
    const CutCase& c = GetParam();
    const std::string script = c.script;
    const std::vector<std::string_view> views = CSemicolonCutter::Cut(script);
    std::vector<std::string> texts(views.begin(), views.end());
    EXPECT_EQ(texts, c.statements) << "script: " << script;
    // The statements are views into the script itself.
    for (std::string_view view : views)
        EXPECT_TRUE(view.data() >= script.data() &&
                    view.data() + view.size() <= script.data() + script.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, SemicolonCutter, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CutCase>& info) {
                             return std::string(info.param.name);
                         });
} // namespace
