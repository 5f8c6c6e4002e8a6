// The syntax-colouring script editor: an own widget that shows the editing core's text in a fixed
// character grid, forwards keys, clicks and commands to it, scrolls, paints and prints.
#pragma once

#include "CommonTypes.h"
#include "editor/CCompletion.h"
#include "editor/CEditModel.h"
#include "editor/CEditViewport.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QHash>
#include <QPoint>
#include <QRawFont>
#include <QTimer>

#include <array>
#include <memory>

class CCompletionPopup;
class QMenu;
class SearchAndReplaceView;

// What the search dialog asks of the editor.
enum SAR_OP { SAR_FIND = 0, SAR_REPLACE = 1, SAR_REPLACE_ALL = 2 };

class ColorEditWnd : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Notification codes sent with the control identifier, and the two editor commands.
    enum : unsigned { EN_CHANGE = 768, EN_SETFOCUS = 256, EN_KILLFOCUS = 512 };
    enum : unsigned { CMD_CARET_MOVED = 50000, CMD_USER_CHANGE = 50001 };
    // Standard edit commands understood by DoCommand.
    enum : unsigned {
        ID_EDIT_COPY = 57634,
        ID_EDIT_CUT = 57635,
        ID_EDIT_PASTE = 57637,
        ID_EDIT_REPLACE = 57641,
        ID_EDIT_SELECT_ALL = 57642,
        ID_EDIT_UNDO = 57643,
        ID_EDIT_REDO = 57644,
    };
    // Menu-item flag that makes a separator.
    static constexpr unsigned MF_SEPARATOR = 2048;

    explicit ColorEditWnd(QWidget* parent = nullptr);
    // fontSize is in tenths of a point.
    ColorEditWnd(QWidget* parent, const QRect& rect, int ctrlId, int tabSize, int fontSize,
                 const char* fontFace);
    ~ColorEditWnd() override;
    ColorEditWnd(const ColorEditWnd&) = delete;
    ColorEditWnd& operator=(const ColorEditWnd&) = delete;

    // Places the window and sets its control identifier, tab size and font; 0 when the font is unusable.
    int Create(const QRect& rect, int ctrlId, int tabSize, int fontSize, const char* fontFace);
    void Reset();

    void SetReadOnly(bool readOnly) { m_ReadOnly = readOnly; }
    bool IsReadOnly() const { return m_ReadOnly; }
    void UseKeyboardAccelerators(bool use) { m_UseAccelerators = use; }
    void SetShowAllChars(int show);
    void SetCharXSpacing(int extra);
    void SetCharYSpacing(int extra);
    void SetColorizer(CColorizer* colorizer);
    void Recolorize();
    // Colours are 0x00BBGGRR.
    void SetBackgroundColor(COLORREF color);
    void SetHighlightColor(COLORREF color);
    void SetHighlightTextColor(COLORREF color);
    void AddMenuItem(const CString& text, unsigned id, unsigned flags);
    void SetMacro(char key, const CString& text, int append);

    void LoadText(const char* text);
    void UnloadText(CString& out) const;
    CString GetLine(int line) const { return m_Model.GetLine(line); }
    int GetLineCount() const { return m_Model.GetLineCount(); }
    void SetLine(const char* text, int line);
    void ReplaceSelText(const char* text);
    // Tints the background of lines first..last (what was just run) until the next edit; -1 for none.
    void MarkLines(int first, int last);
    int MarkedFirst() const { return m_MarkFirst; }
    int MarkedLast() const { return m_MarkLast; }

    QPoint GetCursorPos() const { return {m_Model.GetCursorX(), m_Model.GetCursorY()}; }
    QPoint GetAnchorPos() const { return {m_Model.GetAnchorX(), m_Model.GetAnchorY()}; }
    void SetCursorPos(QPoint pos);
    void SetAnchorPos(QPoint pos);
    void SetSelection(int anchorX, int anchorY, int cursorX, int cursorY);

    void ScrollToLine(int line);
    void SoftScrollToLine(int line);
    void ScrollToCursor();
    int FirstVisibleLine() const { return m_View.FirstVisibleLine(); }
    int FirstVisibleColumn() const { return m_View.FirstCol(); }
    int VisibleLines(bool all) const { return m_View.VisibleLines(all); }
    int VisibleColumns() const { return m_View.VisibleColumns(); }
    int CharWidth() const { return m_CharWidth; }
    int LineHeight() const { return m_LineHeight; }

    void DoCopy();
    void DoCut();
    void DoPaste();
    void DoSelectAll();
    void DoUndo();
    void DoRedo();
    void ClearUndoHistory() { m_Model.ClearUndoHistory(); }
    // Runs one of the standard edit commands; false for a command the editor does not know.
    bool DoCommand(unsigned id);
    // Whether the context menu offers the command (cut and copy need a selection, and so on).
    bool IsCommandEnabled(unsigned id) const;
    // The context menu with its items enabled by their commands' rules; the caller shows it.
    std::unique_ptr<QMenu> CreateContextMenu();

    void Search(SAR_OP op, const CString& what, const CString& replacement, int matchCase, int wholeWord);
    void Find(const CString& what, int matchCase, int wholeWord);
    void ReplaceAll(const CString& what, const CString& replacement, int matchCase, int wholeWord);
    // The search dialog, created on first use and kept until the editor goes.
    SearchAndReplaceView* GetSearchView();
    // Shows the search dialog modally and gives the focus back to the editor.
    void OpenSearchDialog();

    // Shows the print dialog and prints the text with a fixed-pitch font of pointSize points.
    void Print(const char* docName, int pointSize);

    // Completion: the catalog it offers names from (borrowed; null offers keywords only) and whether
    // typing "." after a name opens the list; Ctrl+Space always does.
    void SetCompletionCatalog(CCompletionCatalog* catalog) { m_Completion.SetCatalog(catalog); }
    void SetCompleteOnDot(bool on) { m_CompleteOnDot = on; }
    // Opens the list for the word before the caret; false when nothing fits it (yet).
    bool OpenCompletion();
    // Lists again after the catalog read more names; nothing happens while the list is closed.
    void RefreshCompletion();
    void CloseCompletion();
    bool IsCompletionOpen() const { return m_CompletionOpen; }
    CCompletionPopup* CompletionPopup() const { return m_Popup; }

    // The editing core (text, caret, undo history), for reading.
    const CEditModel& Model() const { return m_Model; }
    const QFont& Font() const { return m_Font; }

signals:
    // A command message to the owner: (control identifier, 768/256/512) or (50000/50001, 0).
    void Notify(unsigned command, unsigned code);
    // A context-menu item whose command the editor does not handle itself.
    void MenuCommand(unsigned id);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct MenuItem {
        CString text;
        unsigned id = 0;
        unsigned flags = 0;
    };
    struct Macro {
        char key = 0;
        CString text;
    };

    void Init();
    void MeasureFont();
    // Key table and accelerators; true when the key was used.
    void HandleKey(QKeyEvent* event);
    bool HandleAccelerator(const QKeyEvent* event);
    bool IsAccelerator(const QKeyEvent* event) const;
    bool HasMacro(int key) const;
    void FireMacros(int key);
    bool HandleNavigationKey(int key, bool ctrl, bool shift);
    // Keys of the open completion list; true when the key was used.
    bool HandleCompletionKey(const QKeyEvent* event);
    // Lists the candidates for the word before the caret; `open` reads the statement around it first.
    void UpdateCompletion(bool open);
    void InsertCompletion(int row);
    // After a caret move or an edit: scroll the caret into view, sync the bars, repaint, show the caret.
    void Refresh(bool scrollToCursor);
    void SyncDocument();
    void UpdateScrollBars();
    void ShowCaret();
    void OnModelChange();
    void OnVerticalAction(int action);
    void OnHorizontalAction(int action);
    void OnVerticalValue(int value);
    void OnHorizontalValue(int value);
    // Repaints after the first line or column moved; one line or column moves the picture.
    void AfterScroll(int oldFirstLine, int oldFirstCol);
    QPoint PositionAt(QPoint pixel) const;
    void DrawLine(QPainter& painter, int line, std::u32string& chars);
    quint32 GlyphFor(char32_t ch);

    CArray<MenuItem> m_MenuItems;
    CArray<Macro> m_Macros;
    int m_ShowAllChars = 0;
    std::unique_ptr<SearchAndReplaceView> m_pSearchView;
    int m_CharWidth = 10;
    int m_LineHeight = 10;
    int m_ExtraX = 0;
    int m_ExtraY = 0;
    int m_TabSize = 4;
    QFont m_Font;
    QRawFont m_RawFont;
    QHash<char32_t, quint32> m_Glyphs;
    // Glyphs of the ASCII characters, looked up on every paint.
    static constexpr quint32 NoGlyph = 0xFFFFFFFF;
    std::array<quint32, 128> m_AsciiGlyphs;
    int m_Ascent = 8;
    COLORREF m_BackColor = RGB(255, 255, 255);
    COLORREF m_HighlightColor = 0;
    int m_MarkFirst = -1;
    int m_MarkLast = -1;
    COLORREF m_HighlightTextColor = RGB(255, 255, 255);
    CEditModel m_Model;
    CEditViewport m_View;
    bool m_Dragging = false;
    bool m_CaretShown = false;
    bool m_CaretBlinkOn = true;
    QPoint m_PressPos;
    bool m_UseAccelerators = true;
    unsigned m_CtrlId = 0;
    bool m_ReadOnly = false;
    bool m_SyncingBars = false;
    int m_WheelDelta = 0;
    QTimer m_BlinkTimer;
    CCompletion m_Completion{nullptr, nullptr};
    CArray<CCompletion::Candidate> m_Candidates;
    CCompletionPopup* m_Popup = nullptr;
    bool m_CompleteOnDot = true;
    bool m_CompletionOpen = false;
    // The caret's line and the first column of the word when the list was opened.
    int m_CompletionLine = 0;
    int m_CompletionStart = 0;
};
