#include "editor/CScriptText.h"

#include "editor/CUtf8.h"

#include <QChar>

#include <algorithm>
#include <stdexcept>

namespace {

void FoldCase(std::u32string& s) {
    for (char32_t& ch : s) {
        if (ch < 0x80) {
            if (ch >= 'A' && ch <= 'Z')
                ch = ch - 'A' + 'a';
        } else if (ch < CUtf8::InvalidByteBase) {
            ch = QChar::toLower(ch);
        }
    }
}

} // namespace

CScriptText::CScriptText() : m_MaxLineLen(0), m_pColorizer(&m_DefaultColorizer) {}

CScriptText::CScriptText(const CScriptText& other)
    : m_MaxLineLen(other.m_MaxLineLen), m_Lines(other.m_Lines), m_DefaultColorizer(other.m_DefaultColorizer),
      m_pColorizer(other.m_pColorizer == &other.m_DefaultColorizer ? &m_DefaultColorizer
                                                                   : other.m_pColorizer),
      m_LineColors(other.m_LineColors), m_LineStates(other.m_LineStates), m_LineLengths(other.m_LineLengths),
      m_LengthCounts(other.m_LengthCounts), m_ValidUpTo(other.m_ValidUpTo), m_Generation(other.m_Generation),
      m_ColoredBy(nullptr), m_PendingCount(other.m_PendingCount) {}

CScriptText& CScriptText::operator=(const CScriptText& other) {
    if (this == &other)
        return *this;
    // The lines and their colours are copied; the engine in use stays this text's own choice, and the next
    // full update redoes colours that another engine may have made.
    m_MaxLineLen = other.m_MaxLineLen;
    m_Lines = other.m_Lines;
    m_LineColors = other.m_LineColors;
    m_LineStates = other.m_LineStates;
    m_LineLengths = other.m_LineLengths;
    m_LengthCounts = other.m_LengthCounts;
    m_ValidUpTo = other.m_ValidUpTo;
    m_Generation = other.m_Generation;
    m_ColoredBy = nullptr;
    m_PendingCount = other.m_PendingCount;
    return *this;
}

CScriptText::~CScriptText() = default;

void CScriptText::CountLength(int length, int delta) {
    if (delta > 0) {
        if (static_cast<size_t>(length) >= m_LengthCounts.size())
            m_LengthCounts.resize(length + 1, 0);
        ++m_LengthCounts[length];
    } else {
        --m_LengthCounts[length];
        while (!m_LengthCounts.empty() && m_LengthCounts.back() == 0)
            m_LengthCounts.pop_back();
    }
}

long CScriptText::FindMaxLineLen() {
    m_MaxLineLen = m_LengthCounts.empty() ? 0 : static_cast<long>(m_LengthCounts.size()) - 1;
    return m_MaxLineLen;
}

bool CScriptText::TrueStartState(int index) const {
    return index > 0 && m_LineStates[index - 1].m_EndIn;
}

void CScriptText::ColorLine(int index, bool startIn) const {
    bool state = startIn;
    m_pColorizer->SetLineColors(m_Lines[index], m_LineColors[index], state);
    LineState& st = m_LineStates[index];
    st.m_StartIn = startIn;
    st.m_EndIn = state;
    st.m_Pending = false;
    st.m_Generation = m_Generation;
}

void CScriptText::ColorUpTo(int index) const {
    const long last = std::min<long>(index, _GetSize() - 1);
    while (m_ValidUpTo <= last) {
        const int i = static_cast<int>(m_ValidUpTo);
        const bool start = TrueStartState(i);
        LineState& st = m_LineStates[i];
        if (st.m_Pending) {
            // No colours until the full update; the comment state passes through unchanged meanwhile.
            st.m_StartIn = st.m_EndIn = start;
        } else if (st.m_Generation != m_Generation || st.m_StartIn != start) {
            ColorLine(i, start);
        }
        ++m_ValidUpTo;
    }
}

void CScriptText::ColorChangedLine(int index) {
    // The line at `index` has new text. Above the valid frontier its start state is known and the lines
    // below it stay right as long as its end state is what they started from; beyond the frontier it is
    // coloured from its presumed start and checked when the frontier gets there.
    if (index > m_ValidUpTo) {
        ColorLine(index, m_LineStates[index].m_StartIn);
        return;
    }
    ColorLine(index, TrueStartState(index));
    const long next = index + 1;
    if (next < m_ValidUpTo && next < _GetSize()) {
        const LineState& below = m_LineStates[next];
        if (below.m_StartIn == m_LineStates[index].m_EndIn)
            return;
    }
    m_ValidUpTo = next;
}

const std::vector<COLORREF>& CScriptText::_GetLineColors(int index) const {
    if (index >= 0 && index < _GetSize())
        ColorUpTo(index);
    return m_LineColors.at(index);
}

bool CScriptText::_StartsInBlockComment(int index) const {
    if (index < 0 || index >= _GetSize())
        return false;
    ColorUpTo(index);
    return m_LineStates[index].m_StartIn;
}

void CScriptText::_InsertLine(const CString& line, int index, int update) {
    _InsertLine(CString(line), index, update);
}

void CScriptText::_InsertLine(CString&& line, int index, int update) {
    const int length = CUtf8::Length(line);
    m_Lines.insert(m_Lines.begin() + index, std::move(line));
    m_LineColors.insert(m_LineColors.begin() + index, std::vector<COLORREF>());
    m_LineLengths.insert(m_LineLengths.begin() + index, length);
    LineState state;
    // Presumed start: the end of the line above (right when the line above is within the frontier).
    state.m_StartIn = state.m_EndIn = TrueStartState(index);
    m_LineStates.insert(m_LineStates.begin() + index, state);
    CountLength(length, +1);
    if (index < m_ValidUpTo)
        ++m_ValidUpTo;

    if (update) {
        FindMaxLineLen();
        ColorChangedLine(index);
    } else {
        ++m_PendingCount;
        // A pending line passes the comment state through, so the lines below keep theirs.
    }
}

void CScriptText::_SetLine(const CString& line, int index) {
    const int length = CUtf8::Length(line);
    CountLength(m_LineLengths[index], -1);
    CountLength(length, +1);
    m_LineLengths[index] = length;
    m_Lines[index] = line;
    if (m_LineStates[index].m_Pending) {
        m_LineStates[index].m_Pending = false;
        --m_PendingCount;
    }
    ColorChangedLine(index);
    FindMaxLineLen();
}

void CScriptText::_RemoveLine(int index) {
    CountLength(m_LineLengths[index], -1);
    if (m_LineStates[index].m_Pending)
        --m_PendingCount;
    m_Lines.erase(m_Lines.begin() + index);
    m_LineColors.erase(m_LineColors.begin() + index);
    m_LineLengths.erase(m_LineLengths.begin() + index);
    m_LineStates.erase(m_LineStates.begin() + index);
    if (index < m_ValidUpTo) {
        --m_ValidUpTo;
        // The line that moved up now follows a different line; it stays right only if it starts as that
        // one ends.
        if (index < m_ValidUpTo && m_LineStates[index].m_StartIn != TrueStartState(index))
            m_ValidUpTo = index;
    }
    FindMaxLineLen();
}

void CScriptText::_RemoveAll() {
    m_Lines.clear();
    m_LineColors.clear();
    m_LineLengths.clear();
    m_LineStates.clear();
    m_LengthCounts.clear();
    m_ValidUpTo = 0;
    m_PendingCount = 0;
    m_MaxLineLen = 0;
    _InsertLine(CString(), 0, 1);
}

void CScriptText::FullUpdate() {
    FindMaxLineLen();
    if (m_pColorizer != m_ColoredBy || m_pColorizer->GetVersion() != m_ColoredByVersion) {
        // Engine or its settings changed: every colour is redone.
        ++m_Generation;
        m_ColoredBy = m_pColorizer;
        m_ColoredByVersion = m_pColorizer->GetVersion();
        m_ValidUpTo = 0;
    }
    if (m_PendingCount > 0) {
        long first = -1;
        for (size_t i = 0; i < m_LineStates.size(); ++i) {
            if (m_LineStates[i].m_Pending) {
                m_LineStates[i].m_Pending = false;
                m_LineStates[i].m_Generation = 0;
                if (first < 0)
                    first = static_cast<long>(i);
            }
        }
        m_PendingCount = 0;
        if (first >= 0 && first < m_ValidUpTo)
            m_ValidUpTo = first;
    }
}

void CScriptText::SetColorizer(CColorizer* colorizer) {
    m_pColorizer = colorizer ? colorizer : &m_DefaultColorizer;
}

bool CScriptText::FindFrom(const char* what, int line, int col, int matchCase, int wholeWord, int* foundLine,
                           int* foundCol) const {
    if (line < 0)
        line = 0;
    if (line >= _GetSize() || what == nullptr || *what == '\0')
        return false;
    std::u32string pattern;
    CUtf8::ToChars(what, pattern);
    if (!matchCase)
        FoldCase(pattern);
    const size_t len = pattern.size();

    std::u32string chars;
    const long count = _GetSize();
    for (long l = line; l < count; ++l) {
        const CString& text = m_Lines[l];
        size_t pos = l == line ? static_cast<size_t>(std::max(col, 0)) : 0;
        if (static_cast<size_t>(m_LineLengths[l]) < pos + len)
            continue;
        chars.clear();
        CUtf8::ToChars(text, chars);
        if (!matchCase)
            FoldCase(chars);
        while (pos + len <= chars.size()) {
            const size_t k = chars.find(pattern, pos);
            if (k == std::u32string::npos)
                break;
            const bool whole = (k == 0 || !CUtf8::IsAsciiAlnum(chars[k - 1])) &&
                               (k + len == chars.size() || !CUtf8::IsAsciiAlnum(chars[k + len]));
            if (!wholeWord || whole) {
                if (foundLine)
                    *foundLine = static_cast<int>(l);
                if (foundCol)
                    *foundCol = static_cast<int>(k);
                return true;
            }
            // A later occurrence on the same line may still stand as a whole word.
            pos = k + 1;
        }
    }
    return false;
}
