#include "editor/CColorizer.h"

#include <gtest/gtest.h>

namespace {

const COLORREF K = RGB(0, 0, 255);
const COLORREF N = RGB(0, 0, 0);
const COLORREF C = RGB(0, 196, 0);
const COLORREF S = RGB(255, 0, 0);

// One letter per character: k keyword, n normal, c comment, s string.
std::string Kinds(const std::vector<COLORREF>& colors) {
    std::string out;
    for (COLORREF c : colors)
        out += c == K ? 'k' : c == N ? 'n' : c == C ? 'c' : c == S ? 's' : '?';
    return out;
}

std::string Color(CColorizer& engine, const CString& line, bool& state) {
    std::vector<COLORREF> colors;
    engine.SetLineColors(line, colors, state);
    return Kinds(colors);
}

CColorizer WithSelect() {
    CColorizer engine;
    CStringArray words{"select", "From"};
    engine.SetKeywords(words);
    return engine;
}

} // namespace

TEST(CColorizer, DefaultColoursAreBlueBlackGreenRed) {
    CColorizer engine;
    EXPECT_EQ(0x00FF0000u, engine.GetKeywordColor());
    EXPECT_EQ(0x00000000u, engine.GetNormalColor());
    EXPECT_EQ(0x0000C400u, engine.GetCommentColor());
    EXPECT_EQ(0x000000FFu, engine.GetConstColor());
    engine.SetConstColor(1, 2, 0x103);
    EXPECT_EQ(0x00030201u, engine.GetConstColor());
}

TEST(CColorizer, EmptyLineLeavesColoursEmptyAndStateAlone) {
    CColorizer engine;
    std::vector<COLORREF> colors{1, 2, 3};
    bool state = true;
    engine.SetLineColors("", colors, state);
    EXPECT_TRUE(colors.empty());
    EXPECT_TRUE(state);
    state = false;
    engine.SetLineColors("", colors, state);
    EXPECT_FALSE(state);
}

TEST(CColorizer, KeywordsAreWholeAsciiWordsInAnyCase) {
    CColorizer engine = WithSelect();
    bool state = false;
    EXPECT_EQ("kkkkkk", Color(engine, "SeLeCt", state));
    // The underscore separates words; a longer word is not the keyword.
    EXPECT_EQ("nnnkkkkkk", Color(engine, "my_select", state));
    EXPECT_EQ("nnnnnnn", Color(engine, "selects", state));
    EXPECT_EQ("nnnnnnnnkkkk", Color(engine, "123 + 4 from", state));
}

TEST(CColorizer, StringsTakeTheConstantColourButKeywordsWinInsideThem) {
    CColorizer engine = WithSelect();
    bool state = false;
    EXPECT_EQ("skkkkkks", Color(engine, "'select'", state));
    // Either quote mark closes a string opened by the other; strings end with the line.
    EXPECT_EQ("ssssnnss", Color(engine, "'ab\"x 'y", state));
}

TEST(CColorizer, LineCommentsStartEvenInsideStrings) {
    CColorizer engine = WithSelect();
    bool state = false;
    EXPECT_EQ("nnsscccc", Color(engine, "a 'x--y'", state));
    EXPECT_EQ("kkkkkkncccccc", Color(engine, "select // sel", state));
    EXPECT_FALSE(state);
}

TEST(CColorizer, BlockCommentCarriesOverToTheNextLines) {
    CColorizer engine = WithSelect();
    bool state = false;
    EXPECT_EQ("kkkkkkncccc", Color(engine, "select /* a", state));
    EXPECT_TRUE(state);
    EXPECT_EQ("cccccc", Color(engine, "select", state));
    EXPECT_EQ("cccccnkkkk", Color(engine, "ab */ from", state));
    EXPECT_FALSE(state);
    // A comment that opens inside a line comment still runs on.
    EXPECT_EQ("ccccc", Color(engine, "-- /*", state));
    EXPECT_TRUE(state);
}

TEST(CColorizer, OneCharacterLineInsideACommentKeepsItsColourAndTheState) {
    CColorizer engine;
    bool state = true;
    EXPECT_EQ("n", Color(engine, "x", state));
    EXPECT_TRUE(state);
}

TEST(CColorizer, CommentsCloseAndReopenOnOneLine) {
    CColorizer engine;
    bool state = false;
    EXPECT_EQ("cccccccnnncccc", Color(engine, "/* x */ y /* z", state));
    EXPECT_TRUE(state);
    // An asterisk just before the opening pair closes the comment at once.
    state = false;
    EXPECT_EQ("nncnnn", Color(engine, "a*/* b", state));
    EXPECT_FALSE(state);
}

TEST(CColorizer, ColoursOneEntryPerCodePoint) {
    CColorizer engine = WithSelect();
    bool state = false;
    // e-acute is one character and, not being an ASCII letter, separates words.
    EXPECT_EQ("skkkkkksn", Color(engine, "'select'\xC3\xA9", state));
    EXPECT_EQ("nnkkkkkk", Color(engine, "\xC3\xA9 select", state));
    EXPECT_EQ("nnnnnnn", Color(engine,
                               "sel\xC3\xA9"
                               "ect",
                               state));
    // Invalid bytes are one character each.
    EXPECT_EQ("nncc", Color(engine, "\xFF\xC3--", state));
}

TEST(CColorizer, KeywordSetOnlyGrowsAndUpperCasesTheCallersWords) {
    CColorizer engine;
    CStringArray first{"select", "from"};
    engine.SetKeywords(first);
    EXPECT_EQ((CStringArray{"SELECT", "FROM"}), first);
    CStringArray second{"where", "Select"};
    engine.SetKeywords(second);
    EXPECT_EQ(3u, engine.GetKeywords().size());
    bool state = false;
    EXPECT_EQ("kkkkknkkkkkk", Color(engine, "WHERE select", state));
}

TEST(CColorizer, EnginesDoNotShareCommentState) {
    CColorizer a;
    CColorizer b;
    std::vector<COLORREF> colors;
    a.SetLineColors("/* open", colors);
    EXPECT_TRUE(a.GetBlockCommentState());
    b.SetLineColors("plain", colors);
    EXPECT_EQ("nnnnn", Kinds(colors));
    EXPECT_FALSE(b.GetBlockCommentState());
}

TEST(CColorizer, EverySettingChangeGivesANewVersion) {
    CColorizer engine;
    const unsigned v0 = engine.GetVersion();
    engine.SetCommentColor(1, 1, 1);
    const unsigned v1 = engine.GetVersion();
    CStringArray words{"x"};
    engine.SetKeywords(words);
    EXPECT_NE(v0, v1);
    EXPECT_NE(v1, engine.GetVersion());
    CColorizer copy(engine);
    EXPECT_EQ(engine.GetKeywords(), copy.GetKeywords());
    EXPECT_EQ(engine.GetCommentColor(), copy.GetCommentColor());
}

namespace {

// An engine that takes every word of three letters as a keyword.
class ThreeLetterEngine : public CColorizer {
protected:
    int IsKeyWord(CString& word) override { return word.size() == 3; }
};

} // namespace

TEST(CColorizer, DerivedEngineDecidesWhatIsAKeyword) {
    ThreeLetterEngine engine;
    CColorizer& base = engine;
    bool state = false;
    std::vector<COLORREF> colors;
    base.SetLineColors("abc defg", colors, state);
    EXPECT_EQ("kkknnnnn", Kinds(colors));
}
