// Syntax colouring engine: gives every character of a script line the colour of a keyword, a comment,
// a quoted string or plain text. Block comments that span lines follow a state carried from line to line.
#pragma once

#include "CommonTypes.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class CColorizer {
public:
    CColorizer();
    CColorizer(const CColorizer& other);
    CColorizer& operator=(const CColorizer& other);
    virtual ~CColorizer();

    // Resizes colors to the line's length in characters and fills it. blockComment is the
    // inside-a-block-comment state at the start of the line and comes back as the state at its end.
    virtual void SetLineColors(const CString& line, std::vector<COLORREF>& colors, bool& blockComment);
    // Adds the words to the keyword set; with case ignored the caller's words come back upper-cased.
    virtual void SetKeywords(CStringArray& words);

    // Colours a line with this engine's own block-comment state, for a caller colouring top to bottom.
    void SetLineColors(const CString& line, std::vector<COLORREF>& colors);
    bool GetBlockCommentState() const { return m_BlockComment; }
    void SetBlockCommentState(bool inside) { m_BlockComment = inside; }

    void SetKeywordColor(int red, int green, int blue);
    void SetNormalColor(int red, int green, int blue);
    void SetCommentColor(int red, int green, int blue);
    void SetConstColor(int red, int green, int blue);
    COLORREF GetKeywordColor() const { return m_KeywordColor; }
    COLORREF GetNormalColor() const { return m_NormalColor; }
    COLORREF GetCommentColor() const { return m_CommentColor; }
    COLORREF GetConstColor() const { return m_ConstColor; }
    const std::set<CString, std::less<>>& GetKeywords() const { return m_Keywords; }

    // Changes whenever a colour or the keywords change, so a text can tell its colours are out of date.
    unsigned GetVersion() const { return m_Version; }

protected:
    // Non-zero when word (upper-cased first when case is ignored) is a keyword.
    virtual int IsKeyWord(CString& word);

    int m_IgnoreCase;
    COLORREF m_KeywordColor;
    COLORREF m_NormalColor;
    COLORREF m_CommentColor;
    COLORREF m_ConstColor;
    std::set<CString, std::less<>> m_Keywords;

private:
    void Touch();

    unsigned m_Version;
    bool m_BlockComment = false;
    CString m_Word;          // reused buffer for keyword lookups
    std::string m_CharClass; // per character: its ASCII byte, or 0x80 for any other character
};
