#include "parse/CParse.h"

#include <gtest/gtest.h>

#include <random>

namespace {
struct Cut {
    int count = 0;
    CString tables;
    CStringArray texts;
};

Cut CutOf(const CString& script) {
    CParse parse;
    parse.Parse(script);
    return {parse.m_Count, parse.m_Tables, parse.m_Statements};
}

CStringArray Texts(const CString& script) {
    return CutOf(script).texts;
}

int Count(const CString& script) {
    return CutOf(script).count;
}

// Reaches the lexer of a parser directly.
class LexerProbe : public CParse {
public:
    explicit LexerProbe(CString text) : m_Text(std::move(text)) { StartText(m_Text.data(), m_Text.size()); }
    int Next(CString* token) {
        Token t;
        const int r = Lexema(&t);
        *token = CString(t);
        return r;
    }
    int PushBack() { return Lexema(nullptr); }
    CStringArray All() {
        CStringArray tokens;
        CString token;
        for (;;) {
            const int r = Next(&token);
            if (!token.empty())
                tokens.push_back(token);
            if (!r)
                return tokens;
        }
    }
    bool KeyWord(const CString& t) const { return isKeyWord(t); }
    bool Operator(const CString& t) const { return isOPCODE(t); }
    bool Term(const CString& t) const { return isTerm(t); }

private:
    CString m_Text;
};

CStringArray Tokens(const CString& text) {
    return LexerProbe(text).All();
}

using S = CStringArray;
} // namespace

TEST(CParseLexer, SplitsWordsOperatorsAndSingleCharacters) {
    EXPECT_EQ((S{"a", "<=", "b"}), Tokens("a<=b"));
    EXPECT_EQ((S{"count", "(", "*", ")"}), Tokens("count(*)"));
    EXPECT_EQ((S{"t.col", "x-1", "@v", "#t", "a+b"}), Tokens("t.col x-1 @v #t a+b"));
    EXPECT_EQ((S{"'", "it", "'", "'", "s", "'"}), Tokens("'it''s'"));
    EXPECT_EQ((S{"<>="}), Tokens("<>="));
    EXPECT_EQ((S{"a--b"}), Tokens("a--b"));
    EXPECT_EQ((S{"[", "my", "t", "]", ",", "\"", "q", "\"", "/", "x"}), Tokens("[my t],\"q\" / x"));
    EXPECT_EQ((S{"a", "b", "\xc3\xa9t\xff"}), Tokens("a;b;;\xc3\xa9t\xff"));
}

TEST(CParseLexer, SkipsCommentsWhereATokenMayBegin) {
    EXPECT_EQ((S{"a", "b", "e"}), Tokens("/* x */a -- c\r\nb // d\r\ne"));
    // "/*/" does not close the comment it opens.
    EXPECT_EQ((S{"y"}), Tokens("/*/ x */y"));
    EXPECT_EQ((S{"a"}), Tokens("a /* never closed\r\nb"));
    // A line comment ends only at a carriage return.
    EXPECT_EQ((S{"a"}), Tokens("a -- c\nb\nc"));
    EXPECT_EQ((S{"a", "b"}), Tokens("a -- c\rb"));
}

TEST(CParseLexer, ResultIsTheFollowingByteOrZeroAtTheEnd) {
    LexerProbe lexer("ab(\xe9");
    CString token;
    EXPECT_EQ('(', lexer.Next(&token));
    EXPECT_EQ("ab", token);
    EXPECT_EQ(0xE9, lexer.Next(&token));
    EXPECT_EQ("(", token);
    EXPECT_EQ(0, lexer.Next(&token));
    EXPECT_EQ("\xe9", token);
    EXPECT_EQ(0, lexer.Next(&token));

    LexerProbe blanks("x  ");
    EXPECT_EQ(' ', blanks.Next(&token));
    EXPECT_EQ(0, blanks.Next(&token));
    EXPECT_EQ("", token);
}

TEST(CParseLexer, PushBackReturnsTheTokenAndResultAgainButNotAfterTheEnd) {
    LexerProbe lexer("one two");
    CString token;
    EXPECT_EQ(' ', lexer.Next(&token));
    EXPECT_EQ(1, lexer.PushBack());
    EXPECT_EQ(' ', lexer.Next(&token));
    EXPECT_EQ("one", token);
    EXPECT_EQ(0, lexer.Next(&token));
    EXPECT_EQ("two", token);
    EXPECT_EQ(0, lexer.PushBack());
    token = "unchanged";
    EXPECT_EQ(0, lexer.Next(&token));
    EXPECT_EQ("", token);
}

TEST(CParseLexer, EachParserHasItsOwnLexerState) {
    LexerProbe first("a b c");
    LexerProbe second("x y");
    CString token;
    first.Next(&token);
    second.Next(&token);
    second.Next(&token);
    EXPECT_EQ(0, second.Next(&token));
    first.PushBack();
    EXPECT_EQ(' ', first.Next(&token));
    EXPECT_EQ("a", token);
    first.Next(&token);
    EXPECT_EQ("b", token);
}

TEST(CParseLexer, KeyWordOperatorAndTermTables) {
    LexerProbe lexer("");
    for (const char* word :
         {"alter", "create", "delete", "drop", "exec", "from", "grant", "group", "having", "insert", "order",
          "revoke", "select", "values", "where", "union", "update", "SeLeCt"})
        EXPECT_TRUE(lexer.KeyWord(word)) << word;
    for (const char* word :
         {"execute", "set", "declare", "if", "end", "go", "begin", "into", "selects", "sel"})
        EXPECT_FALSE(lexer.KeyWord(word)) << word;
    for (const char* op : {"=", "!=", ">", "<", "<=", ">=", "<>", "AND", "or", "Not", "in", "LIKE"})
        EXPECT_TRUE(lexer.Operator(op)) << op;
    EXPECT_FALSE(lexer.Operator("=="));
    EXPECT_TRUE(lexer.Term("12"));
    EXPECT_TRUE(lexer.Term("name"));
    EXPECT_FALSE(lexer.Term("FROM"));
    EXPECT_FALSE(lexer.Term("@v"));
    EXPECT_FALSE(lexer.Term(""));
}

TEST(CParse, CutsAtLeadingKeywordsAndKeepsTheLastFromList) {
    Cut cut = CutOf("select * from a; select * from b");
    EXPECT_EQ(2, cut.count);
    EXPECT_EQ((S{"select * from a; ", "select * from b"}), cut.texts);
    EXPECT_EQ("b", cut.tables);

    EXPECT_EQ((S{"insert into t values (1, 2)", "\r\nselect * from t\r\n"}),
              Texts("insert into t values (1, 2)\r\nselect * from t\r\n"));
    EXPECT_EQ((S{"delete from a;", "delete from b"}), Texts("delete from a;delete from b"));
    cut = CutOf("SeLeCt * FrOm t");
    EXPECT_EQ(1, cut.count);
    EXPECT_EQ("t", cut.tables);
}

TEST(CParse, CommentsEndATextAfterPushBackAndOpenOneAfterAConsumedToken) {
    EXPECT_EQ((S{"select * from a /* note */ ", "select * from b"}),
              Texts("select * from a /* note */ select * from b"));
    EXPECT_EQ((S{"drop table a", " /* note */ select * from b"}),
              Texts("drop table a /* note */ select * from b"));
}

TEST(CParse, SelectWithoutFromEndsTheCut) {
    Cut cut = CutOf("select 1\r\nselect * from t\r\n");
    EXPECT_EQ(1, cut.count);
    EXPECT_EQ((S{"select 1\r\nselect * from t\r\n"}), cut.texts);
}

TEST(CParse, ScriptWithoutStatementsGivesNoTexts) {
    Cut cut = CutOf(" ;\r\n/* c */ -- d\r\n;; // e");
    EXPECT_EQ(0, cut.count);
    EXPECT_TRUE(cut.texts.empty());
    EXPECT_EQ(0, Count(""));
    EXPECT_EQ(0, Count("set x = 1\r\nif a then b end\r\n"));
}

TEST(CParse, NestedSelectInsideParenthesesIsNoStatementOfItsOwn) {
    Cut cut = CutOf("update t set a = 1, b = 2 where k in (select d from e)\r\n");
    EXPECT_EQ(1, cut.count);
    EXPECT_EQ("", cut.tables);
    EXPECT_EQ((S{"update t set a = 1, b = 2 where k in (select d from e)\r\n"}), cut.texts);
    EXPECT_EQ((S{"update t set a = f(1, 2), b = 'x,y'\r\n", "delete from u"}),
              Texts("update t set a = f(1, 2), b = 'x,y'\r\ndelete from u"));
}

TEST(CParse, CreateTableEndsAtTheColumnListsClosingParenthesis) {
    EXPECT_EQ((S{"create table t (a int, b varchar(10))", "\r\ninsert into t values (1, 'x')"}),
              Texts("create table t (a int, b varchar(10))\r\ninsert into t values (1, 'x')"));
    // The comma of decimal(10,2) ends the definition; the table's own parenthesis is passed over.
    EXPECT_EQ((S{"create table t (b decimal(10,2))", "\r\ndelete from t"}),
              Texts("create table t (b decimal(10,2))\r\ndelete from t"));
}

TEST(CParse, CreateIndexTakesTheParenthesisedColumnList) {
    EXPECT_EQ((S{"create index i on t (a)", "\r\nselect * from t"}),
              Texts("create index i on t (a)\r\nselect * from t"));
    EXPECT_EQ((S{"create unique clustered index i on t (a, b)", "\r\nselect * from t"}),
              Texts("create unique clustered index i on t (a, b)\r\nselect * from t"));
}

TEST(CParse, AlterDatabaseAsLastStatementEndsTheParse) {
    CParse parse;
    parse.Parse("select a from t\r\nalter database d set x");
    EXPECT_EQ(1, parse.m_Count);
    EXPECT_EQ((CArray<size_t>{0, 17, 17}), parse.m_Starts);
    EXPECT_EQ((S{"select a from t\r\nalter database d set x"}), parse.m_Statements);
}

TEST(CParse, LineCommentInLineFeedScriptRunsToTheEnd) {
    Cut cut = CutOf("select * from a -- x\nselect * from b\n");
    EXPECT_EQ(1, cut.count);
    EXPECT_EQ("a", cut.tables);
}

TEST(CParse, ConstructsThatDoNotCountMoveTheCut) {
    EXPECT_EQ((S{"drop table a", " begin select * from b"}), Texts("drop table a begin select * from b"));
    EXPECT_EQ((S{"select * from a\r\n", "alter table t add c int\r\nselect * from b\r\n"}),
              Texts("select * from a\r\nalter table t add c int\r\nselect * from b\r\n"));
    EXPECT_EQ((S{"select * from x\r\n", "create procedure p as select * from a\r\nselect * from b\r\n"}),
              Texts("select * from x\r\ncreate procedure p as select * from a\r\nselect * from b\r\n"));
    EXPECT_EQ(0, Count("create procedure p as delete from a\r\ngo\r\n"));
    // A nested statement that meets the end of the text keeps its count.
    EXPECT_EQ(1, Count("create procedure p as select * from a\r\ngo\r\n"));
    EXPECT_EQ(0, Count("begin\r\ngo\r\n"));
}

TEST(CParse, UnionSelectContinuesTheSelectBeforeIt) {
    Cut cut = CutOf("select a from t union select b from u\r\nselect c from v\r\n");
    EXPECT_EQ(2, cut.count);
    EXPECT_EQ((S{"select a from t union select b from u\r\n", "select c from v\r\n"}), cut.texts);
    EXPECT_EQ("v", cut.tables);
    EXPECT_EQ("u", CutOf("select a from t UNION select b from u\r\n").tables);
}

TEST(CParse, UnionAllStopsTheParseWithOneStatementLess) {
    EXPECT_EQ(0, Count("union all select b from u\r\nselect * from v\r\n"));
    EXPECT_EQ(0, Count("select a from t union all select b from u\r\n"));
    Cut cut = CutOf("delete from x\r\nselect a from t union all select b from u\r\nselect 1 from w\r\n");
    EXPECT_EQ(1, cut.count);
    EXPECT_EQ((S{"delete from x\r\nselect a from t union all select b from u\r\nselect 1 from w\r\n"}),
              cut.texts);
}

TEST(CParse, WordsBeforeTheFirstStatementBelongToTheFirstText) {
    EXPECT_EQ((S{"SET search_path TO s;\r\nselect * from a\r\n", "select * from b\r\n"}),
              Texts("SET search_path TO s;\r\nselect * from a\r\nselect * from b\r\n"));
    EXPECT_EQ((S{"USE db\r\n-- c\r\ndelete from a\r\n"}), Texts("USE db\r\n-- c\r\ndelete from a\r\n"));
}

TEST(CParse, WordsBetweenStatementsStayWithThePreviousText) {
    EXPECT_EQ((S{"drop table a\r\nset x = 1", "\r\nselect * from b\r\n"}),
              Texts("drop table a\r\nset x = 1\r\nselect * from b\r\n"));
}

TEST(CParse, FromListItemsKeepTheirMarks) {
    EXPECT_EQ("a,b", CutOf("select * from a, b where x = 1\r\n").tables);
    EXPECT_EQ("[Order Details],'x y',dbo.[t t],\"q\".\"r\"",
              CutOf("select * from [Order Details] d, 'x y', dbo.[t t], \"q\".\"r\" order by 1\r\n").tables);
    EXPECT_EQ("a,c", CutOf("select * from a x join b on a.i = f(b.i, 1), c\r\n").tables);
    EXPECT_EQ("w", CutOf("select * from (select 1 from z) q, w\r\n").tables);
    // The table list of the last SELECT wins, even when that SELECT ended the cut.
    EXPECT_EQ("t", CutOf("select * from s\r\nselect a from t\r\n").tables);
}

TEST(CParse, ClausesOfSelectAreFollowed) {
    EXPECT_EQ(
        (S{"select a from t where b = 1 group by a having count(*) > 1 order by a desc\r\n", "drop table t"}),
        Texts("select a from t where b = 1 group by a having count(*) > 1 order by a desc\r\ndrop table t"));
    EXPECT_EQ((S{"select distinct a from t\r\n", "delete from t"}),
              Texts("select distinct a from t\r\ndelete from t"));
}

TEST(CParse, InsertFormsEndWhereTheirValuesEnd) {
    EXPECT_EQ((S{"insert into t (a, b) values (1, 'x')", "\r\ndelete from t"}),
              Texts("insert into t (a, b) values (1, 'x')\r\ndelete from t"));
    EXPECT_EQ((S{"insert into t (a, b) (select x, y from u)", "\r\nselect * from v"}),
              Texts("insert into t (a, b) (select x, y from u)\r\nselect * from v"));
    // The query of INSERT ... SELECT is passed over from its FROM on.
    Cut cut = CutOf("insert into t select a, b from u where c = 1\r\nselect * from v\r\n");
    EXPECT_EQ((S{"insert into t select a, b from u where c = 1", "\r\nselect * from v\r\n"}), cut.texts);
    EXPECT_EQ("v", cut.tables);
}

TEST(CParse, QuotesHideKeywordsAndCommasButNotClosingParentheses) {
    EXPECT_EQ((S{"delete from t where a = 'select'\r\n", "select * from u"}),
              Texts("delete from t where a = 'select'\r\nselect * from u"));
    EXPECT_EQ((S{"delete from t where a = ')'", "\r\nselect * from u"}),
              Texts("delete from t where a = ')'\r\nselect * from u"));
}

TEST(CParse, ExecGrantAndRevoke) {
    EXPECT_EQ((S{"exec p 1, 'a,b'\r\n", "exec q\r\n", "select * from t"}),
              Texts("exec p 1, 'a,b'\r\nexec q\r\nselect * from t"));
    EXPECT_EQ((S{"grant select, insert on t to u\r\n", "revoke delete on t from u\r\n", "select * from t"}),
              Texts("grant select, insert on t to u\r\nrevoke delete on t from u\r\nselect * from t"));
    EXPECT_EQ(0, Count("execute p\r\n"));
}

TEST(CParse, CreateViewCountsOnceAndItsQueryIsFollowed) {
    Cut cut = CutOf("create view v as select a from t where b = 1\r\nselect * from u\r\n");
    EXPECT_EQ(2, cut.count);
    EXPECT_EQ((S{"create view v as select a from t where b = 1\r\n", "select * from u\r\n"}), cut.texts);
    EXPECT_EQ("u", cut.tables);
}

TEST(CParse, CreateTriggerRuleAndDatabase) {
    EXPECT_EQ(
        (S{"create trigger tr on t for insert as delete from x where y = 1\r\n", "select * from z\r\n"}),
        Texts("create trigger tr on t for insert as delete from x where y = 1\r\nselect * from z\r\n"));
    // A trigger body that begins with no statement still gives the trigger a text of its own.
    EXPECT_EQ((S{"create trigger tr on t for insert as set nocount on", "\r\nselect * from z\r\n"}),
              Texts("create trigger tr on t for insert as set nocount on\r\nselect * from z\r\n"));
    EXPECT_EQ((S{"create rule r as @v in (1, 2)\r\n", "select * from t\r\n"}),
              Texts("create rule r as @v in (1, 2)\r\nselect * from t\r\n"));
    EXPECT_EQ((S{"create database d on primary\r\n", "select 1 from t\r\n"}),
              Texts("create database d on primary\r\nselect 1 from t\r\n"));
    // An unknown kind ends the cut.
    EXPECT_EQ((S{"create sequence s\r\nselect * from t"}), Texts("create sequence s\r\nselect * from t"));
}

TEST(CParse, AlterTableConsumesTheWordsOfItsAction) {
    EXPECT_EQ(1, Count("alter table t add select * from x\r\n"));
    EXPECT_EQ(0, Count("alter table t drop column select * from x\r\n"));
    EXPECT_EQ(0, Count("alter table t nockeck a select * from x\r\n"));
    EXPECT_EQ(1, Count("alter table t nocheck a select * from x\r\n"));
    EXPECT_EQ(0, Count("alter table t with a b select * from x\r\n"));
    EXPECT_EQ(1, Count("alter table t with a b c select * from x\r\n"));
    EXPECT_EQ(0, Count("alter table t alter column c add select * from x\r\n"));
    EXPECT_EQ(1, Count("alter table t alter column c int select * from x\r\n"));
    EXPECT_EQ(1, Count("alter table t rename select * from x\r\n"));
    EXPECT_EQ(1, Count("alter procedure p as select * from t\r\n"));
    EXPECT_EQ(1, Count("alter view v as select a from t\r\nselect * from u\r\n"));
}

TEST(CParse, NoLimitOnTokenLengthOrScriptSize) {
    const CString longName(5000, 'x');
    Cut cut = CutOf("select " + longName + " from t\r\nselect * from " + longName + "\r\n");
    EXPECT_EQ(2, cut.count);
    EXPECT_EQ(longName, cut.tables);
    const CString literal = "insert into t values ('" + CString(3000, 'a') + " select ')";
    EXPECT_EQ((S{literal, "\r\ndelete from t"}), Texts(literal + "\r\ndelete from t"));

    CString script;
    CStringArray expected;
    for (int i = 0; i < 5000; ++i) {
        expected.push_back("delete from t where id = " + std::to_string(i) + "\r\n");
        script += expected.back();
    }
    ASSERT_GT(script.size(), 65536u);
    cut = CutOf(script);
    EXPECT_EQ(5000, cut.count);
    EXPECT_EQ(expected, cut.texts);
}

TEST(CParse, NulByteInsideTheScriptIsKept) {
    const CString script("select * from a\0b\r\ndelete from c", 32);
    Cut cut = CutOf(script);
    ASSERT_EQ(2, cut.count);
    EXPECT_EQ(CString("select * from a\0b\r\n", 19), cut.texts[0]);
    EXPECT_EQ(CString("a\0b", 3), cut.tables);
}

TEST(CParse, ParseReplacesThePreviousResults) {
    CParse parse;
    parse.Parse("select * from a\r\nselect * from b\r\n");
    parse.Parse("delete from c");
    EXPECT_EQ(1, parse.m_Count);
    EXPECT_EQ("", parse.m_Tables);
    EXPECT_EQ((S{"delete from c"}), parse.m_Statements);
    EXPECT_EQ((CArray<size_t>{0, 0}), parse.m_Starts);
}

TEST(CParse, UnbalancedAndDeeplyNestedInputNeverHangs) {
    const CString pathological[] = {
        CString(100000, '\''),
        "select " + CString(100000, '(') + " from t",
        "update t set a = '" + CString(100000, 'x'),
        "select * from t /* " + CString(100000, '*'),
        CString(50000, '[') + "select * from [t",
        "insert into t (" + CString(100000, '('),
    };
    for (const CString& script : pathological) {
        CParse parse;
        parse.Parse(script);
        EXPECT_LE(parse.m_Count, 1);
    }
    CString nested;
    for (int i = 0; i < 300000; ++i)
        nested += "create procedure p as alter view v as ";
    nested += "select * from t\r\n";
    CParse parse;
    parse.Parse(nested);
    CString joined;
    for (const CString& text : parse.m_Statements)
        joined += text;
    EXPECT_EQ(parse.m_Count == 0 ? CString() : nested, joined);
}

// Statements counted inside others (nested past the depth the parser follows, or a nested one that
// meets the end of the text) never give texts of their own: the rest of the script is one text.
TEST(CParse, NestedStatementsNeverGiveEmptyTexts) {
    CString triggers;
    for (int i = 0; i < 3000; ++i)
        triggers += "create trigger t" + std::to_string(i) + " on x for insert as ";
    triggers += "select * from z\r\n";
    const struct {
        CString script;
        S texts;
    } cases[] = {
        {triggers, {triggers}},
        {"select * from a\r\n" + triggers, {"select * from a\r\n", triggers}},
        {"create trigger t on x for insert as select 1", {"create trigger t on x for insert as select 1"}},
        {"drop table a create view v as select 1", {"drop table a", " create view v as select 1"}},
    };
    for (const auto& c : cases) {
        const Cut cut = CutOf(c.script);
        EXPECT_EQ(c.texts, cut.texts) << c.script.substr(0, 80);
        EXPECT_EQ(int(c.texts.size()), cut.count) << c.script.substr(0, 80);
    }
}

TEST(CParse, RandomScriptsAreCutIntoConsecutivePiecesOfTheWhole) {
    const char* pieces[] = {"select", "from", "where", "insert",   "into",   "values", "update",    "set",
                            "delete", "drop", "table", "create",   "view",   "index",  "procedure", "trigger",
                            "as",     "exec", "grant", "to",       "revoke", "alter",  "union",     "all",
                            "order",  "by",   "go",    "begin",    "(",      ")",      ",",         "'",
                            "\"",     "[",    "]",     "/*",       "*/",     "--",     "//",        ";",
                            "\r\n",   "\r",   "\n",    "=",        "<>",     "a",      "t.b",       "1",
                            "*",      "x-1",  "\t",    "database", "rule",   "add"};
    std::mt19937 random(20261207);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(1, 200);
    for (int round = 0; round < 3000; ++round) {
        CString script;
        for (int n = length(random); n > 0; --n) {
            script += pieces[pick(random)];
            if (random() % 3)
                script += ' ';
        }
        CParse parse;
        parse.Parse(script);
        ASSERT_GE(parse.m_Count, 0) << script;
        ASSERT_EQ(size_t(parse.m_Count), parse.m_Statements.size()) << script;
        if (parse.m_Count == 0)
            continue;
        CString joined;
        for (const CString& text : parse.m_Statements) {
            ASSERT_FALSE(text.empty()) << script;
            joined += text;
        }
        ASSERT_EQ(script, joined) << script;
    }
}

TEST(CParse, RandomBytesNeverBreakTheParser) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        CString script(random() % 300, '\0');
        for (char& c : script)
            c = char(random() % 256);
        CParse parse;
        parse.Parse(script);
        ASSERT_EQ(size_t(parse.m_Count), parse.m_Statements.size());
        CString joined;
        for (const CString& text : parse.m_Statements)
            joined += text;
        ASSERT_EQ(parse.m_Count == 0 ? CString() : script, joined);
    }
}

TEST(CParse, RemoveTermBlanksTheFirstSemicolonOutsideQuotes) {
    CParse parse;
    CString text = "select ';' from t;";
    parse.RemoveTerm(&text);
    EXPECT_EQ("select ';' from t ", text);
    text = "a;b;";
    parse.RemoveTerm(&text);
    EXPECT_EQ("a b;", text);
    text = "select 'x;";
    parse.RemoveTerm(&text);
    EXPECT_EQ("select 'x;", text);
}

TEST(CParse, TerminatorsLeftAtTheHeadOfAStatementAreBlanked) {
    CParse parse;
    parse.Parse("insert into t values (1);\r\ninsert into t values (';');\r\nselect * from t;");
    ASSERT_EQ(3, parse.m_Count);
    CString second = parse.m_Statements[1];
    ASSERT_EQ(';', second[0]) << "the cut leaves the terminator before the next statement";
    CParse::BlankLeadingTerms(&second);
    EXPECT_EQ(" \r\ninsert into t values (';')", second);
    CString text = " ;; \n;select 1;";
    CParse::BlankLeadingTerms(&text);
    EXPECT_EQ("    \n select 1;", text) << "only the head, and the length stays";
    text = ";";
    CParse::BlankLeadingTerms(&text);
    EXPECT_EQ(" ", text);
}

TEST(CParse, EncodedAndDecodedOneLineForm) {
    EXPECT_EQ("x<CR/LF>y<TAB>z", CParse::Encoded("x\r\ny\tz"));
    EXPECT_EQ("x\r\ny", CParse::Decoded("x<CR>y"));
    EXPECT_EQ("<CR><CR/LF>", CParse::Encoded("\r\r\n"));
    EXPECT_EQ("a\r\nb\tc\r\n", CParse::Decoded("a<CR/LF>b<TAB>c<CR>"));
    EXPECT_EQ("a\r\nb", CParse::Decoded(CParse::Encoded("a\rb").c_str()));
    const char* text = "select *\r\n\tfrom t";
    EXPECT_EQ(text, CParse::Decoded(CParse::Encoded(text).c_str()));
}
