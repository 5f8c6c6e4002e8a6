#include "editor/CScriptText.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

const COLORREF Comment = RGB(0, 196, 0);

CScriptText Lines(std::initializer_list<const char*> lines) {
    CScriptText text;
    text._RemoveAll();
    text._RemoveLine(0);
    for (const char* line : lines)
        text._InsertLine(line, static_cast<int>(text._GetSize()), 0);
    text.FullUpdate();
    return text;
}

// Colours of every line as a fresh engine gives them, colouring top to bottom.
std::vector<std::vector<COLORREF>> Expected(const CScriptText& text, const CColorizer& settings) {
    CColorizer engine(settings);
    std::vector<std::vector<COLORREF>> all(text._GetSize());
    bool state = false;
    for (long i = 0; i < text._GetSize(); ++i)
        engine.SetLineColors(text._GetLine(i), all[i], state);
    return all;
}

bool AllComment(const std::vector<COLORREF>& colors) {
    for (COLORREF c : colors)
        if (c != Comment)
            return false;
    return !colors.empty();
}

} // namespace

TEST(CScriptText, RemoveAllLeavesOneEmptyUncolouredLine) {
    CScriptText text = Lines({"select 1", "from x"});
    text._RemoveAll();
    EXPECT_EQ(1, text._GetSize());
    EXPECT_EQ("", text._GetLine(0));
    EXPECT_EQ(0, text.m_MaxLineLen);
    EXPECT_TRUE(text._GetLineColors(0).empty());
}

TEST(CScriptText, FreshTextHasNoLine) {
    CScriptText text;
    EXPECT_EQ(0, text._GetSize());
    EXPECT_EQ(0, text.FindMaxLineLen());
    EXPECT_THROW(text._GetLineColors(0), std::out_of_range);
}

TEST(CScriptText, LineInsertedWithoutUpdateStaysUncolouredUntilFullUpdate) {
    CScriptText text;
    text._RemoveAll();
    text._InsertLine("abcdef", 0, 0);
    EXPECT_TRUE(text._GetLineColors(0).empty());
    EXPECT_EQ(0, text.m_MaxLineLen);
    text.FullUpdate();
    EXPECT_EQ(6u, text._GetLineColors(0).size());
    EXPECT_EQ(6, text.m_MaxLineLen);
}

TEST(CScriptText, LongestLineIsCountedInCharactersAndFollowsRemovals) {
    CScriptText text = Lines({"abc", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "abcd"});
    EXPECT_EQ(5, text.m_MaxLineLen);
    EXPECT_EQ(5u, text._GetLineColors(1).size());
    text._RemoveLine(1);
    EXPECT_EQ(4, text.m_MaxLineLen);
    text._SetLine("", 1);
    EXPECT_EQ(3, text.FindMaxLineLen());
}

TEST(CScriptText, ColourIndexOutsideTheTableThrows) {
    CScriptText text = Lines({"a"});
    EXPECT_THROW(text._GetLineColors(2), std::out_of_range);
    EXPECT_THROW(text._GetLineColors(-1), std::out_of_range);
}

TEST(CScriptText, FindFromFollowsCaseAndStartColumn) {
    CScriptText text = Lines({"xAB ab", "nothing", "ab"});
    int line = -1, col = -1;
    ASSERT_TRUE(text.FindFrom("ab", 0, 0, 0, 0, &line, &col));
    EXPECT_EQ(0, line);
    EXPECT_EQ(1, col);
    ASSERT_TRUE(text.FindFrom("ab", 0, 0, 1, 0, &line, &col));
    EXPECT_EQ(4, col);
    // Starting at column 3 skips earlier occurrences of that line only.
    ASSERT_TRUE(text.FindFrom("AB", 0, 3, 0, 0, &line, &col));
    EXPECT_EQ(4, col);
    ASSERT_TRUE(text.FindFrom("AB", 0, 5, 0, 0, &line, &col));
    EXPECT_EQ(2, line);
    EXPECT_EQ(0, col);
    EXPECT_FALSE(text.FindFrom("ab", 3, 0, 0, 0, nullptr, nullptr));
    EXPECT_FALSE(text.FindFrom("zz", 0, 0, 0, 0, &line, &col));
    // No wrap-around and no match across a line end.
    EXPECT_FALSE(text.FindFrom("xab", 1, 0, 0, 0, &line, &col));
    EXPECT_FALSE(text.FindFrom("ingab", 0, 0, 0, 0, &line, &col));
}

TEST(CScriptText, FindFromWholeWordNeedsNonAlphanumericNeighbours) {
    CScriptText text = Lines({"xab", "abc", "x ab", "ab_c", "abx ab"});
    int line = -1, col = -1;
    ASSERT_TRUE(text.FindFrom("ab", 0, 0, 0, 1, &line, &col));
    EXPECT_EQ(2, line);
    EXPECT_EQ(2, col);
    ASSERT_TRUE(text.FindFrom("ab", 3, 0, 0, 1, &line, &col));
    EXPECT_EQ(3, line);
    EXPECT_EQ(0, col);
    // A rejected occurrence does not hide a later whole word on the same line.
    ASSERT_TRUE(text.FindFrom("ab", 4, 0, 0, 1, &line, &col));
    EXPECT_EQ(4, line);
    EXPECT_EQ(4, col);
}

TEST(CScriptText, FindFromCountsCharactersAndFoldsNonAsciiCase) {
    CScriptText text = Lines({"\xC3\xA9t\xC3\xA9 ab", "\xC3\x89T\xC3\x89"});
    int line = -1, col = -1;
    ASSERT_TRUE(text.FindFrom("ab", 0, 0, 1, 0, &line, &col));
    EXPECT_EQ(4, col);
    ASSERT_TRUE(text.FindFrom("\xC3\xA9t\xC3\xA9", 0, 1, 0, 0, &line, &col));
    EXPECT_EQ(1, line);
    EXPECT_EQ(0, col);
    EXPECT_FALSE(text.FindFrom("\xC3\xA9t\xC3\xA9", 0, 1, 1, 0, &line, &col));
}

TEST(CScriptText, EmptySearchTextFindsNothing) {
    CScriptText text = Lines({"abc"});
    EXPECT_FALSE(text.FindFrom("", 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_FALSE(text.FindFrom(nullptr, 0, 0, 0, 0, nullptr, nullptr));
}

TEST(CScriptText, ChangingTheFirstLineKeepsItOutOfACommentOpenedBelow) {
    CScriptText text = Lines({"select 1", "from t", "/* open"});
    text._SetLine("select 12", 0);
    EXPECT_FALSE(AllComment(text._GetLineColors(0)));
    EXPECT_EQ(Expected(text, CColorizer())[0], text._GetLineColors(0));
}

TEST(CScriptText, OpeningAndClosingACommentRecoloursTheLinesBelow) {
    CScriptText text = Lines({"a", "select 1", "from t", "where x"});
    text._SetLine("a /*", 0);
    EXPECT_TRUE(AllComment(text._GetLineColors(3)));
    EXPECT_TRUE(text._StartsInBlockComment(2));
    text._SetLine("a /* */", 0);
    EXPECT_FALSE(AllComment(text._GetLineColors(3)));
    EXPECT_EQ(Expected(text, CColorizer()),
              std::vector<std::vector<COLORREF>>({text._GetLineColors(0), text._GetLineColors(1),
                                                  text._GetLineColors(2), text._GetLineColors(3)}));
}

TEST(CScriptText, OpeningACommentAtTheTopColoursLowerLinesOnlyWhenRead) {
    std::vector<const char*> many(5000, "select x from y");
    CScriptText text;
    text._RemoveAll();
    for (const char* line : many)
        text._InsertLine(line, static_cast<int>(text._GetSize()), 0);
    text.FullUpdate();
    text._GetLineColors(4999);
    text._SetLine("/* select", 0);
    EXPECT_LT(text.ColoredLines(), 10);
    EXPECT_TRUE(AllComment(text._GetLineColors(2500)));
    EXPECT_GE(text.ColoredLines(), 2501);
}

TEST(CScriptText, TwoTextsSharingAnEngineDoNotInfluenceEachOther) {
    CColorizer engine;
    CScriptText a = Lines({"/* open", "xyz"});
    CScriptText b = Lines({"y", "z"});
    a.SetColorizer(&engine);
    b.SetColorizer(&engine);
    a.FullUpdate();
    b.FullUpdate();
    a._GetLineColors(1);
    b._SetLine("yy", 0);
    EXPECT_FALSE(AllComment(b._GetLineColors(0)));
    EXPECT_FALSE(AllComment(b._GetLineColors(1)));
    EXPECT_TRUE(AllComment(a._GetLineColors(1)));
}

TEST(CScriptText, FullUpdateAppliesANewEngineAndChangedColours) {
    CScriptText text = Lines({"-- note", "x"});
    CColorizer engine;
    engine.SetCommentColor(1, 2, 3);
    text.SetColorizer(&engine);
    text.FullUpdate();
    EXPECT_EQ(RGB(1, 2, 3), text._GetLineColors(0)[0]);
    engine.SetCommentColor(4, 5, 6);
    text.FullUpdate();
    EXPECT_EQ(RGB(4, 5, 6), text._GetLineColors(0)[0]);
    text.SetColorizer(nullptr);
    text.FullUpdate();
    EXPECT_EQ(Comment, text._GetLineColors(0)[0]);
}

TEST(CScriptText, CopyKeepsLinesAndColours) {
    CScriptText text = Lines({"/* a", "b */ c"});
    CScriptText copy;
    copy = text;
    ASSERT_EQ(2, copy._GetSize());
    EXPECT_EQ(text._GetLineColors(1), copy._GetLineColors(1));
    copy._SetLine("z", 0);
    EXPECT_EQ("/* a", text._GetLine(0));
    EXPECT_TRUE(AllComment(text._GetLineColors(0)));
}

// Whatever the order of edits and reads, every line reads as a top-to-bottom colouring would give it.
TEST(CScriptText, RandomEditsAlwaysReadAsAFullColouring) {
    const char* pieces[] = {"/*", "*/", "--", "'", "select", " x", "*", "/", "a*/*b", ""};
    std::mt19937 rng(1234);
    auto randomLine = [&]() {
        CString s;
        const int n = rng() % 4;
        for (int i = 0; i < n; ++i)
            s += pieces[rng() % 10];
        return s;
    };
    CColorizer engine;
    CStringArray words{"select"};
    engine.SetKeywords(words);
    CScriptText text;
    text.SetColorizer(&engine);
    text._RemoveAll();
    for (int i = 0; i < 40; ++i)
        text._InsertLine(randomLine(), 0, 1);
    for (int round = 0; round < 2000; ++round) {
        const int size = static_cast<int>(text._GetSize());
        const int at = rng() % size;
        switch (rng() % 7) {
        case 0:
            text._InsertLine(randomLine(), rng() % (size + 1), 1);
            break;
        case 5:
            // Uncoloured until the next full update, which the check below makes.
            text._InsertLine(randomLine(), rng() % (size + 1), 0);
            break;
        case 6:
            if (round % 97 == 0) {
                CStringArray more{round % 2 ? "x" : "a"};
                engine.SetKeywords(more);
                text.FullUpdate();
            }
            break;
        case 1:
            if (size > 1)
                text._RemoveLine(at);
            break;
        case 2:
            text._GetLineColors(at);
            break;
        default:
            text._SetLine(randomLine(), at);
            break;
        }
        if (round % 50 == 0 || round == 1999) {
            text.FullUpdate();
            const auto expected = Expected(text, engine);
            for (long i = 0; i < text._GetSize(); ++i)
                ASSERT_EQ(expected[i], text._GetLineColors(i)) << "round " << round << ", line " << i;
        }
    }
}
