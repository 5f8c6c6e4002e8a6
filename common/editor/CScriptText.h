// The document behind the script editor: the script as lines (without terminators or tabs) and, beside
// every line, one colour per character; keeps the longest line's length and offers the plain-text search.
#pragma once

#include "CommonTypes.h"
#include "editor/CColorizer.h"

#include <cstdint>
#include <vector>

class CScriptText {
public:
    CScriptText();
    CScriptText(const CScriptText& other);
    CScriptText& operator=(const CScriptText& other);
    ~CScriptText();

    long _GetSize() const { return static_cast<long>(m_Lines.size()); }
    CString _GetLine(int index) const { return m_Lines[index]; }
    // The line without copying it; valid until the next change.
    const CString& _GetLineRef(int index) const { return m_Lines[index]; }
    // Length of a line in characters.
    int _GetLineLength(int index) const { return m_LineLengths[index]; }
    // Colours of a line, brought up to date first when edits above it changed its comment state.
    // An index outside the table throws std::out_of_range.
    const std::vector<COLORREF>& _GetLineColors(int index) const;
    // Whether the line starts inside a block comment (brought up to date like the colours).
    bool _StartsInBlockComment(int index) const;

    // Without update the line stays uncoloured and m_MaxLineLen unchanged until FullUpdate.
    void _InsertLine(const CString& line, int index, int update);
    void _InsertLine(CString&& line, int index, int update);
    void _SetLine(const CString& line, int index);
    void _RemoveLine(int index);
    // Leaves one empty line.
    void _RemoveAll();

    // Recomputes m_MaxLineLen and makes every line's colours right, top to bottom. Lines whose text and
    // comment state are unchanged since they were coloured by the same engine settings are not redone.
    // Single-line changes keep the colours right by themselves; this is for bulk inserts and engine changes.
    void FullUpdate();
    long FindMaxLineLen();
    long GetMaxLineLen() const { return m_MaxLineLen; }
    // The text does not own the engine; nothing is recoloured until FullUpdate.
    void SetColorizer(CColorizer* colorizer);
    CColorizer* GetColorizer() const { return m_pColorizer; }

    // Searches forward from (col, line) for `what` (see the search rules); an empty text finds nothing.
    bool FindFrom(const char* what, int line, int col, int matchCase, int wholeWord, int* foundLine,
                  int* foundCol) const;

    // Colours every out-of-date line up to and including `index` (lines below may stay out of date).
    void ColorUpTo(int index) const;
    // Number of lines whose colours are known to be right, counted from the top.
    long ColoredLines() const { return m_ValidUpTo; }

    long m_MaxLineLen;

private:
    struct LineState {
        bool m_StartIn = false; // block-comment state the colours were computed from
        bool m_EndIn = false;   // block-comment state at the end of the line
        bool m_Pending = true;  // inserted without update: no colours until FullUpdate
        unsigned m_Generation = 0;
    };

    void ColorLine(int index, bool startIn) const;
    bool TrueStartState(int index) const;
    void CountLength(int length, int delta);
    void ColorChangedLine(int index);

    std::vector<CString> m_Lines;
    CColorizer m_DefaultColorizer;
    CColorizer* m_pColorizer;
    mutable std::vector<std::vector<COLORREF>> m_LineColors;
    mutable std::vector<LineState> m_LineStates;
    std::vector<int> m_LineLengths;
    // How many lines have each length, so the longest is found without rescanning every line.
    std::vector<int> m_LengthCounts;
    // Lines above this index have right colours and end states; lines from it on may need recolouring.
    mutable long m_ValidUpTo = 0;
    // Colours made before the engine or its settings changed are redone: lines of another generation are
    // out of date.
    unsigned m_Generation = 1;
    const CColorizer* m_ColoredBy = nullptr;
    unsigned m_ColoredByVersion = 0;
    long m_PendingCount = 0;
};
