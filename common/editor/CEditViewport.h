// The visible part of the script editor's character grid: first visible line and column, how many
// lines and columns fit, and the scroll rules (commands, wheel, keeping the caret in view).
#pragma once

class CEditViewport {
public:
    // Text starts this many pixels from the left edge of the window.
    static constexpr int LeftMargin = 10;
    static constexpr int WheelLines = 5;

    void SetClientSize(int width, int height);
    void SetCellSize(int charWidth, int lineHeight);
    // Number of lines and length of the longest line of the document.
    void SetDocument(int lineCount, int maxLineLen);

    int ClientWidth() const { return m_ClientWidth; }
    int ClientHeight() const { return m_ClientHeight; }
    int CharWidth() const { return m_CharWidth; }
    int LineHeight() const { return m_LineHeight; }
    int LineCount() const { return m_LineCount; }
    int MaxLineLen() const { return m_MaxLineLen; }

    int FirstLine() const { return m_FirstLine; }
    int FirstCol() const { return m_FirstCol; }
    void SetFirstLine(int line) { m_FirstLine = line < 0 ? 0 : line; }
    void SetFirstCol(int col) { m_FirstCol = col < 0 ? 0 : col; }

    // Lines that fit in the window; with clipToText not more than the document holds.
    int VisibleLines(bool all) const;
    int FirstVisibleLine() const { return m_FirstLine; }
    int LastVisibleLine() const;
    int VisibleColumns() const;

    // Scroll bar ranges (largest position) and pages; 0 when everything fits.
    int VerticalMaximum() const;
    int HorizontalMaximum() const;

    // The first line becomes `line`, not beyond the last line.
    void ScrollToLine(int line);
    // ScrollToLine only when the line is not visible; true when it scrolled.
    bool SoftScrollToLine(int line);
    // Scrolls so that the caret is visible; true when anything moved.
    bool ScrollToCursor(int cursorX, int cursorY);

    enum SCROLL_CMD { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Thumb };
    // Vertical and horizontal scroll-bar commands; `position` is the thumb position for Thumb.
    // Return true when the first line or column changed.
    bool VScroll(SCROLL_CMD command, int position = 0);
    bool HScroll(SCROLL_CMD command, int position = 0);
    // One wheel step, forward (up) or backward (down); true when the first line changed.
    bool Wheel(bool forward);

    // Character cell geometry relative to the window.
    int ColumnX(int column) const { return LeftMargin + (column - m_FirstCol) * m_CharWidth; }
    int LineY(int line) const { return (line - m_FirstLine) * m_LineHeight; }
    // The character boundary nearest to a pointer position (unclipped).
    int ColumnAt(int x) const;
    int LineAt(int y) const;

private:
    int m_ClientWidth = 0;
    int m_ClientHeight = 0;
    int m_CharWidth = 10;
    int m_LineHeight = 10;
    int m_LineCount = 1;
    int m_MaxLineLen = 0;
    int m_FirstLine = 0;
    int m_FirstCol = 0;
};
