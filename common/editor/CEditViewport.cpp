#include "editor/CEditViewport.h"

#include <algorithm>

void CEditViewport::SetClientSize(int width, int height) {
    m_ClientWidth = std::max(0, width);
    m_ClientHeight = std::max(0, height);
}

void CEditViewport::SetCellSize(int charWidth, int lineHeight) {
    m_CharWidth = std::max(1, charWidth);
    m_LineHeight = std::max(1, lineHeight);
}

void CEditViewport::SetDocument(int lineCount, int maxLineLen) {
    m_LineCount = std::max(0, lineCount);
    m_MaxLineLen = std::max(0, maxLineLen);
}

int CEditViewport::VisibleLines(bool all) const {
    const int lines = m_ClientHeight / m_LineHeight;
    return all ? lines : std::min(lines, m_LineCount);
}

int CEditViewport::LastVisibleLine() const {
    return std::min(m_FirstLine + VisibleLines(false), m_LineCount);
}

int CEditViewport::VisibleColumns() const {
    return m_ClientWidth / m_CharWidth - 1;
}

int CEditViewport::VerticalMaximum() const {
    return std::max(0, m_LineCount - VisibleLines(false));
}

int CEditViewport::HorizontalMaximum() const {
    const int visible = std::max(0, VisibleColumns());
    return std::max(0, m_MaxLineLen - visible);
}

void CEditViewport::ScrollToLine(int line) {
    m_FirstLine = std::max(0, std::min(line, m_LineCount - 1));
}

bool CEditViewport::SoftScrollToLine(int line) {
    if (line >= FirstVisibleLine() && line < FirstVisibleLine() + VisibleLines(true))
        return false;
    const int before = m_FirstLine;
    ScrollToLine(line);
    return before != m_FirstLine;
}

bool CEditViewport::ScrollToCursor(int cursorX, int cursorY) {
    const int firstLine = m_FirstLine;
    const int firstCol = m_FirstCol;
    const int visible = VisibleLines(false);
    if (cursorY > LastVisibleLine() - 1 && visible < m_LineCount)
        m_FirstLine = std::max(0, cursorY - visible + 1);
    else if (cursorY < FirstVisibleLine())
        m_FirstLine = cursorY;
    const int columns = VisibleColumns();
    if (cursorX > m_FirstCol + columns)
        m_FirstCol = std::max(0, cursorX - columns + columns / 4);
    else if (cursorX < m_FirstCol)
        m_FirstCol = std::max(0, cursorX - columns / 4);
    return firstLine != m_FirstLine || firstCol != m_FirstCol;
}

bool CEditViewport::VScroll(SCROLL_CMD command, int position) {
    const int before = m_FirstLine;
    const int visible = VisibleLines(false);
    switch (command) {
    case LineUp:
        m_FirstLine = std::max(0, m_FirstLine - 1);
        break;
    case LineDown:
        if (m_FirstLine < m_LineCount - visible)
            ++m_FirstLine;
        break;
    case PageUp:
        m_FirstLine = std::max(0, m_FirstLine - visible * 3 / 4);
        break;
    case PageDown:
        m_FirstLine += visible * 3 / 4;
        break;
    case Top:
        m_FirstLine = 0;
        break;
    case Bottom:
        m_FirstLine = std::max(0, m_LineCount - visible);
        break;
    case Thumb:
        m_FirstLine = std::max(0, std::min(position, m_LineCount));
        break;
    }
    return before != m_FirstLine;
}

bool CEditViewport::HScroll(SCROLL_CMD command, int position) {
    const int before = m_FirstCol;
    const int columns = VisibleColumns();
    const int page = (m_ClientWidth / m_CharWidth) * 3 / 4;
    switch (command) {
    case LineUp:
        m_FirstCol = std::max(0, m_FirstCol - 1);
        break;
    case LineDown:
        if (m_FirstCol < m_MaxLineLen - columns)
            ++m_FirstCol;
        break;
    case PageUp:
        m_FirstCol = std::max(0, m_FirstCol - page);
        break;
    case PageDown:
        m_FirstCol += page;
        break;
    case Top:
        m_FirstCol = 0;
        break;
    case Bottom:
        // The right end only repaints.
        break;
    case Thumb:
        m_FirstCol = std::max(0, std::min(position, m_MaxLineLen - columns));
        break;
    }
    return before != m_FirstCol;
}

bool CEditViewport::Wheel(bool forward) {
    const int before = m_FirstLine;
    const int lowest = std::max(0, m_LineCount - VisibleLines(false));
    int line = m_FirstLine + (forward ? -WheelLines : WheelLines);
    line = std::min(line, lowest);
    m_FirstLine = std::max(0, line);
    return before != m_FirstLine;
}

int CEditViewport::ColumnAt(int x) const {
    return (x - LeftMargin + m_CharWidth / 2) / m_CharWidth + m_FirstCol;
}

int CEditViewport::LineAt(int y) const {
    return y / m_LineHeight + m_FirstLine;
}
