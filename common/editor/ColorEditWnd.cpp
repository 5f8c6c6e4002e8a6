#include "editor/ColorEditWnd.h"

#include "editor/CCompletionPopup.h"
#include "editor/CScriptPrinter.h"
#include "editor/CUtf8.h"
#include "editor/SearchAndReplaceView.h"
#include "services/CLog.h"
#include "services/Helpers.h"
#include "toolkit/CWaitCursor.h"
#include "toolkit/MessageBox.h"
#include "toolkit/StdDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {
QColor ToQColor(COLORREF c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

constexpr char32_t MiddleDot = 0xB7;
constexpr char32_t Pilcrow = 0xB6;
constexpr char32_t Replacement = 0xFFFD;

// A failure inside a key, typing or clipboard action leaves the text as far as it got; it is logged.
template <typename Action> void Guarded(const char* what, int line, Action&& action) {
    try {
        action();
    } catch (const std::exception& e) {
        CLog log;
        log.Bug(e.what(), what, "ColorEditWnd", line);
    }
}

CStringArray SplitCrLf(const CString& text) {
    CStringArray lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (end == CString::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}
} // namespace

ColorEditWnd::ColorEditWnd(QWidget* parent) : QAbstractScrollArea(parent) {
    m_Font = QFont("Monospace");
    m_Font.setStyleHint(QFont::TypeWriter);
    m_Font.setFixedPitch(true);
    Init();
}

ColorEditWnd::ColorEditWnd(QWidget* parent, const QRect& rect, int ctrlId, int tabSize, int fontSize,
                           const char* fontFace)
    : ColorEditWnd(parent) {
    Create(rect, ctrlId, tabSize, fontSize, fontFace);
    show();
}

ColorEditWnd::~ColorEditWnd() = default;

void ColorEditWnd::Init() {
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    m_Model.OnChange = [this] { OnModelChange(); };
    m_Model.OnUserChange = [this] { emit Notify(CMD_USER_CHANGE, 0); };
    m_Model.OnUndoLine = [this](int line) {
        SyncDocument();
        m_View.SoftScrollToLine(line);
    };
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &ColorEditWnd::OnVerticalAction);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, &ColorEditWnd::OnHorizontalAction);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ColorEditWnd::OnVerticalValue);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &ColorEditWnd::OnHorizontalValue);
    const int flash = QApplication::cursorFlashTime();
    m_BlinkTimer.setInterval(flash > 0 ? flash / 2 : 500);
    connect(&m_BlinkTimer, &QTimer::timeout, this, [this] {
        m_CaretBlinkOn = !m_CaretBlinkOn;
        const QPoint caret = GetCursorPos();
        viewport()->update(m_View.ColumnX(caret.x()) - 1, m_View.LineY(caret.y()), 2, m_LineHeight);
    });
    m_Popup = new CCompletionPopup(viewport());
    connect(m_Popup, &CCompletionPopup::Chosen, this,
            [this](int row) { Guarded("completion", __LINE__, [&] { InsertCompletion(row); }); });
    MeasureFont();
    Reset();
}

int ColorEditWnd::Create(const QRect& rect, int ctrlId, int tabSize, int fontSize, const char* fontFace) {
    setGeometry(rect);
    m_CtrlId = static_cast<unsigned>(ctrlId);
    m_TabSize = tabSize > 0 ? tabSize : 4;
    m_Model.SetTabSize(m_TabSize);
    if (fontSize <= 0)
        return 0;
    QFont font(QString::fromUtf8(fontFace ? fontFace : ""));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(fontSize / 10.0);
    m_Font = font;
    MeasureFont();
    Refresh(false);
    return 1;
}

void ColorEditWnd::MeasureFont() {
    const QFontMetrics metrics(m_Font);
    m_CharWidth = std::max(1, metrics.averageCharWidth()) + m_ExtraX;
    m_LineHeight = std::max(1, metrics.height()) + m_ExtraY;
    m_Ascent = metrics.ascent();
    m_RawFont = QRawFont::fromFont(m_Font);
    m_Glyphs.clear();
    m_AsciiGlyphs.fill(NoGlyph);
    m_View.SetCellSize(m_CharWidth, m_LineHeight);
}

void ColorEditWnd::Reset() {
    CloseCompletion();
    m_Model.Reset();
    m_View.SetFirstLine(0);
    m_View.SetFirstCol(0);
    Refresh(false);
}

void ColorEditWnd::SetShowAllChars(int show) {
    m_ShowAllChars = show;
    viewport()->update();
}

void ColorEditWnd::SetCharXSpacing(int extra) {
    extra = std::max(0, extra);
    m_ExtraX += extra;
    m_CharWidth += extra;
    m_View.SetCellSize(m_CharWidth, m_LineHeight);
    Refresh(false);
}

void ColorEditWnd::SetCharYSpacing(int extra) {
    extra = std::max(0, extra);
    m_ExtraY += extra;
    m_LineHeight += extra;
    m_View.SetCellSize(m_CharWidth, m_LineHeight);
    Refresh(false);
}

void ColorEditWnd::SetColorizer(CColorizer* colorizer) {
    m_Model.Text().SetColorizer(colorizer);
    Recolorize();
}

void ColorEditWnd::Recolorize() {
    m_Model.Text().FullUpdate();
    viewport()->update();
}

void ColorEditWnd::SetBackgroundColor(COLORREF color) {
    m_BackColor = color;
    viewport()->update();
}

void ColorEditWnd::SetHighlightColor(COLORREF color) {
    m_HighlightColor = color;
    viewport()->update();
}

void ColorEditWnd::SetHighlightTextColor(COLORREF color) {
    m_HighlightTextColor = color;
    viewport()->update();
}

void ColorEditWnd::AddMenuItem(const CString& text, unsigned id, unsigned flags) {
    m_MenuItems.push_back({text, id, flags});
}

void ColorEditWnd::SetMacro(char key, const CString& text, int append) {
    if (append == 0)
        m_Macros.clear();
    m_Macros.push_back({key, text});
}

// ---- text access ----

void ColorEditWnd::LoadText(const char* text) {
    CloseCompletion();
    m_View.SetFirstLine(0);
    m_View.SetFirstCol(0);
    m_Model.LoadText(text ? text : "");
    Refresh(false);
}

void ColorEditWnd::UnloadText(CString& out) const {
    m_Model.UnloadText(out);
}

void ColorEditWnd::MarkLines(int first, int last) {
    m_MarkFirst = first;
    m_MarkLast = first < 0 ? -1 : last;
    viewport()->update();
}

void ColorEditWnd::SetLine(const char* text, int line) {
    m_Model.SetLine(text ? text : "", line);
    Refresh(false);
}

void ColorEditWnd::ReplaceSelText(const char* text) {
    m_Model.ReplaceSelText(text ? text : "");
    Refresh(false);
}

void ColorEditWnd::SetCursorPos(QPoint pos) {
    m_Model.SetCursorPos(pos.x(), pos.y());
    Refresh(false);
}

void ColorEditWnd::SetAnchorPos(QPoint pos) {
    m_Model.SetAnchorPos(pos.x(), pos.y());
    Refresh(false);
}

void ColorEditWnd::SetSelection(int anchorX, int anchorY, int cursorX, int cursorY) {
    m_Model.SetSelection(anchorX, anchorY, cursorX, cursorY);
    Refresh(false);
}

// ---- scrolling ----

void ColorEditWnd::SyncDocument() {
    m_View.SetDocument(m_Model.GetLineCount(), static_cast<int>(m_Model.Text().GetMaxLineLen()));
}

void ColorEditWnd::ScrollToLine(int line) {
    SyncDocument();
    m_View.ScrollToLine(line);
    UpdateScrollBars();
    viewport()->update();
}

void ColorEditWnd::SoftScrollToLine(int line) {
    SyncDocument();
    if (m_View.SoftScrollToLine(line)) {
        UpdateScrollBars();
        viewport()->update();
    }
}

void ColorEditWnd::ScrollToCursor() {
    SyncDocument();
    if (m_View.ScrollToCursor(m_Model.GetCursorX(), m_Model.GetCursorY())) {
        UpdateScrollBars();
        viewport()->update();
    }
}

void ColorEditWnd::UpdateScrollBars() {
    SyncDocument();
    m_SyncingBars = true;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, m_View.VerticalMaximum());
    vertical->setPageStep(std::max(1, m_View.VisibleLines(false)));
    vertical->setValue(std::min(m_View.FirstLine(), vertical->maximum()));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, m_View.HorizontalMaximum());
    horizontal->setPageStep(std::max(1, m_View.VisibleColumns()));
    horizontal->setValue(std::min(m_View.FirstCol(), horizontal->maximum()));
    m_SyncingBars = false;
}

void ColorEditWnd::Refresh(bool scrollToCursor) {
    SyncDocument();
    if (scrollToCursor)
        m_View.ScrollToCursor(m_Model.GetCursorX(), m_Model.GetCursorY());
    UpdateScrollBars();
    viewport()->update();
    ShowCaret();
}

void ColorEditWnd::ShowCaret() {
    m_CaretBlinkOn = true;
    if (m_CaretShown && hasFocus()) {
        m_BlinkTimer.start();
        emit Notify(CMD_CARET_MOVED, 0);
    }
}

void ColorEditWnd::OnModelChange() {
    m_MarkFirst = m_MarkLast = -1;
    SyncDocument();
    UpdateScrollBars();
    viewport()->update();
    emit Notify(m_CtrlId, EN_CHANGE);
}

namespace {
// Maps a scroll-bar action to the editor's scroll command; false for thumb moves, which come as values.
bool ScrollCommand(int action, CEditViewport::SCROLL_CMD& command) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        command = CEditViewport::LineUp;
        return true;
    case QAbstractSlider::SliderSingleStepAdd:
        command = CEditViewport::LineDown;
        return true;
    case QAbstractSlider::SliderPageStepSub:
        command = CEditViewport::PageUp;
        return true;
    case QAbstractSlider::SliderPageStepAdd:
        command = CEditViewport::PageDown;
        return true;
    case QAbstractSlider::SliderToMinimum:
        command = CEditViewport::Top;
        return true;
    case QAbstractSlider::SliderToMaximum:
        command = CEditViewport::Bottom;
        return true;
    default:
        return false;
    }
}
} // namespace

void ColorEditWnd::OnVerticalAction(int action) {
    CEditViewport::SCROLL_CMD command;
    if (!ScrollCommand(action, command))
        return;
    SyncDocument();
    const int oldLine = m_View.FirstLine();
    m_View.VScroll(command);
    // The slider takes the editor's position, so the value that follows the action changes nothing more.
    verticalScrollBar()->setSliderPosition(std::min(m_View.FirstLine(), verticalScrollBar()->maximum()));
    AfterScroll(oldLine, m_View.FirstCol());
}

void ColorEditWnd::OnHorizontalAction(int action) {
    CEditViewport::SCROLL_CMD command;
    if (!ScrollCommand(action, command))
        return;
    SyncDocument();
    const int oldCol = m_View.FirstCol();
    m_View.HScroll(command);
    horizontalScrollBar()->setSliderPosition(std::min(m_View.FirstCol(), horizontalScrollBar()->maximum()));
    if (command == CEditViewport::Bottom)
        viewport()->update();
    AfterScroll(m_View.FirstLine(), oldCol);
}

void ColorEditWnd::OnVerticalValue(int value) {
    if (m_SyncingBars || value == std::min(m_View.FirstLine(), verticalScrollBar()->maximum()))
        return;
    SyncDocument();
    const int oldLine = m_View.FirstLine();
    m_View.VScroll(CEditViewport::Thumb, value);
    AfterScroll(oldLine, m_View.FirstCol());
}

void ColorEditWnd::OnHorizontalValue(int value) {
    if (m_SyncingBars || value == std::min(m_View.FirstCol(), horizontalScrollBar()->maximum()))
        return;
    SyncDocument();
    const int oldCol = m_View.FirstCol();
    m_View.HScroll(CEditViewport::Thumb, value);
    AfterScroll(m_View.FirstLine(), oldCol);
}

void ColorEditWnd::AfterScroll(int oldFirstLine, int oldFirstCol) {
    const int lines = oldFirstLine - m_View.FirstLine();
    const int cols = oldFirstCol - m_View.FirstCol();
    if (lines == 0 && cols == 0)
        return;
    if (cols == 0 && (lines == 1 || lines == -1)) {
        viewport()->scroll(0, lines * m_LineHeight);
    } else if (lines == 0 && (cols == 1 || cols == -1)) {
        const QRect text(CEditViewport::LeftMargin, 0, viewport()->width() - CEditViewport::LeftMargin,
                         viewport()->height());
        viewport()->scroll(cols * m_CharWidth, 0, text);
    } else {
        viewport()->update();
    }
}

void ColorEditWnd::scrollContentsBy(int, int) {
    // Scrolling is driven by the editor's own first line and column.
}

// ---- clipboard and commands ----

void ColorEditWnd::DoCopy() {
    if (!m_Model.HasSelection())
        return;
    Guarded("copy", __LINE__, [this] { CopyToClipBoard(m_Model.GetSelectedText()); });
}

void ColorEditWnd::DoCut() {
    if (m_ReadOnly || !m_Model.HasSelection())
        return;
    Guarded("cut", __LINE__, [this] {
        CopyToClipBoard(m_Model.GetSelectedText());
        m_Model.Cut();
    });
    Refresh(true);
}

void ColorEditWnd::DoPaste() {
    if (m_ReadOnly)
        return;
    CWaitCursor wait;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasText())
        return;
    const QByteArray text = data->text().toUtf8();
    Guarded("paste", __LINE__,
            [&] { m_Model.Paste(CString(text.constData(), static_cast<size_t>(text.size()))); });
    Refresh(true);
}

void ColorEditWnd::DoSelectAll() {
    m_Model.SelectAll();
    Refresh(true);
}

void ColorEditWnd::DoUndo() {
    m_Model.DoUndo();
    Refresh(false);
}

void ColorEditWnd::DoRedo() {
    m_Model.DoRedo();
    Refresh(false);
}

bool ColorEditWnd::DoCommand(unsigned id) {
    switch (id) {
    case ID_EDIT_COPY:
        DoCopy();
        return true;
    case ID_EDIT_CUT:
        DoCut();
        return true;
    case ID_EDIT_PASTE:
        DoPaste();
        return true;
    case ID_EDIT_REPLACE:
        OpenSearchDialog();
        return true;
    case ID_EDIT_SELECT_ALL:
        DoSelectAll();
        return true;
    case ID_EDIT_UNDO:
        DoUndo();
        return true;
    case ID_EDIT_REDO:
        DoRedo();
        return true;
    default:
        return false;
    }
}

bool ColorEditWnd::IsCommandEnabled(unsigned id) const {
    switch (id) {
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
        return m_Model.HasSelection();
    case ID_EDIT_PASTE: {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
        return data && data->hasText() && !data->text().isEmpty();
    }
    case ID_EDIT_UNDO:
        return m_Model.CanUndo();
    case ID_EDIT_REDO:
        return m_Model.CanRedo();
    default:
        return true;
    }
}

std::unique_ptr<QMenu> ColorEditWnd::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    for (const MenuItem& item : m_MenuItems) {
        if (item.flags & MF_SEPARATOR) {
            menu->addSeparator();
            continue;
        }
        QAction* action =
            menu->addAction(QString::fromUtf8(item.text.data(), static_cast<qsizetype>(item.text.size())));
        action->setEnabled(IsCommandEnabled(item.id));
        const unsigned id = item.id;
        connect(action, &QAction::triggered, this, [this, id] {
            if (!DoCommand(id))
                emit MenuCommand(id);
        });
    }
    return menu;
}

void ColorEditWnd::contextMenuEvent(QContextMenuEvent* event) {
    if (m_MenuItems.empty())
        return;
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? QPoint(10, 10) : event->pos();
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(viewport()->mapToGlobal(at));
}

// ---- search ----

void ColorEditWnd::Search(SAR_OP op, const CString& what, const CString& replacement, int matchCase,
                          int wholeWord) {
    switch (op) {
    case SAR_FIND:
        Find(what, matchCase, wholeWord);
        break;
    case SAR_REPLACE:
        ReplaceSelText(replacement.c_str());
        break;
    case SAR_REPLACE_ALL:
        ReplaceAll(what, replacement, matchCase, wholeWord);
        break;
    }
}

void ColorEditWnd::Find(const CString& what, int matchCase, int wholeWord) {
    if (!m_Model.Find(what, matchCase, wholeWord)) {
        ShowMessage(what, "String Not Found", MB_OK | MB_ICONERROR, this);
        return;
    }
    SoftScrollToLine(m_Model.GetCursorY());
    Refresh(false);
}

void ColorEditWnd::ReplaceAll(const CString& what, const CString& replacement, int matchCase, int wholeWord) {
    const int count = m_Model.ReplaceAll(what, replacement, matchCase, wholeWord);
    SoftScrollToLine(m_Model.GetCursorY());
    Refresh(false);
    char text[64];
    std::snprintf(text, sizeof text, "%d replacement(s) made!", count);
    ShowMessage(text, what, MB_OK | MB_ICONINFORMATION, this);
}

SearchAndReplaceView* ColorEditWnd::GetSearchView() {
    if (!m_pSearchView)
        m_pSearchView = std::make_unique<SearchAndReplaceView>(this);
    return m_pSearchView.get();
}

void ColorEditWnd::OpenSearchDialog() {
    GetSearchView()->DoModal();
    window()->activateWindow();
    setFocus(Qt::OtherFocusReason);
}

// ---- printing ----

void ColorEditWnd::Print(const char* docName, int pointSize) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromUtf8(docName ? docName : ""));
    if (!StdDialogs::SetupPrinter(this, &printer))
        return;
    CString text;
    UnloadText(text);
    if (CScriptPrinter::PrintLines(printer, SplitCrLf(text), pointSize) < 0)
        ShowMessage("The script could not be printed.", "Error!", MB_OK | MB_ICONERROR, this);
}

// ---- keyboard ----

bool ColorEditWnd::IsAccelerator(const QKeyEvent* event) const {
    if (!m_UseAccelerators)
        return false;
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const int key = event->key();
    if (mods == Qt::ControlModifier)
        return key == Qt::Key_A || key == Qt::Key_F || key == Qt::Key_Y || key == Qt::Key_C ||
               key == Qt::Key_Insert || key == Qt::Key_V || key == Qt::Key_X || key == Qt::Key_Z;
    if (mods == Qt::ShiftModifier)
        return key == Qt::Key_Insert || key == Qt::Key_Delete;
    return false;
}

bool ColorEditWnd::HandleAccelerator(const QKeyEvent* event) {
    if (!IsAccelerator(event))
        return false;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_A:
        DoCommand(ID_EDIT_SELECT_ALL);
        break;
    case Qt::Key_F:
        DoCommand(ID_EDIT_REPLACE);
        break;
    case Qt::Key_Y:
        DoCommand(ID_EDIT_REDO);
        break;
    case Qt::Key_C:
        DoCommand(ID_EDIT_COPY);
        break;
    case Qt::Key_V:
        DoCommand(ID_EDIT_PASTE);
        break;
    case Qt::Key_X:
        DoCommand(ID_EDIT_CUT);
        break;
    case Qt::Key_Z:
        DoCommand(ID_EDIT_UNDO);
        break;
    case Qt::Key_Insert:
        DoCommand(ctrl ? ID_EDIT_COPY : ID_EDIT_PASTE);
        break;
    case Qt::Key_Delete:
        DoCommand(ID_EDIT_CUT);
        break;
    default:
        return false;
    }
    return true;
}

bool ColorEditWnd::HasMacro(int key) const {
    return std::any_of(m_Macros.begin(), m_Macros.end(),
                       [key](const Macro& m) { return static_cast<unsigned char>(m.key) == key; });
}

void ColorEditWnd::FireMacros(int key) {
    bool fired = false;
    // Copy first: a macro text never changes the list, but the list must not be walked while it could.
    const CArray<Macro> macros = m_Macros;
    for (const Macro& macro : macros) {
        if (static_cast<unsigned char>(macro.key) != key)
            continue;
        m_Model.SetAnchorPos(m_Model.GetCursorX(), m_Model.GetCursorY());
        m_Model.ReplaceSelText(macro.text.c_str());
        fired = true;
    }
    if (fired)
        Refresh(true);
}

bool ColorEditWnd::HandleNavigationKey(int key, bool ctrl, bool shift) {
    SyncDocument();
    switch (key) {
    case Qt::Key_Left:
        m_Model.MoveLeft(ctrl);
        break;
    case Qt::Key_Right:
        m_Model.MoveRight(ctrl);
        break;
    case Qt::Key_Up:
        m_Model.MoveUp();
        break;
    case Qt::Key_Down:
        m_Model.MoveDown();
        break;
    case Qt::Key_Home:
        m_Model.MoveHome(ctrl);
        break;
    case Qt::Key_End:
        m_Model.MoveEnd(ctrl);
        break;
    case Qt::Key_PageUp:
        m_Model.MovePageUp(m_View.VisibleLines(false));
        m_View.SetFirstLine(m_Model.GetCursorY());
        break;
    case Qt::Key_PageDown:
        m_Model.MovePageDown(m_View.VisibleLines(false));
        m_View.SetFirstLine(m_Model.GetCursorY());
        break;
    case Qt::Key_Backspace:
        if (!m_ReadOnly)
            m_Model.Backspace();
        break;
    case Qt::Key_Delete:
        if (!m_ReadOnly)
            m_Model.Delete();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_ReadOnly)
            m_Model.TypeChar('\r');
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!m_ReadOnly)
            m_Model.TypeChar('\t');
        break;
    default:
        return false;
    }
    SyncDocument();
    m_View.ScrollToCursor(m_Model.GetCursorX(), m_Model.GetCursorY());
    m_Model.UpdateAnchor(shift);
    Refresh(false);
    return true;
}

bool ColorEditWnd::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Keys the editor itself takes are not left to the program's shortcuts.
        const bool listKey =
            m_Popup->isVisible() && (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
                                     key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab);
        const bool complete = key->key() == Qt::Key_Space && (key->modifiers() & Qt::ControlModifier);
        if (listKey || complete || IsAccelerator(key) ||
            ((key->modifiers() & Qt::ControlModifier) && HasMacro(key->key()))) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ColorEditWnd::keyPressEvent(QKeyEvent* event) {
    Guarded("key", __LINE__, [&] { HandleKey(event); });
}

void ColorEditWnd::inputMethodEvent(QInputMethodEvent* event) {
    const QString text = event->commitString();
    if (m_ReadOnly || text.isEmpty())
        return;
    Guarded("input", __LINE__, [&] {
        for (const char32_t ch : text.toUcs4())
            m_Model.TypeChar(ch);
    });
    Refresh(true);
}

void ColorEditWnd::HandleKey(QKeyEvent* event) {
    if (HandleCompletionKey(event))
        return;
    if (HandleAccelerator(event))
        return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (ctrl && event->key() == Qt::Key_Space && !m_ReadOnly) {
        OpenCompletion();
        return;
    }
    if (ctrl)
        FireMacros(event->key());
    const int line = m_Model.GetCursorY();
    if (HandleNavigationKey(event->key(), ctrl, shift)) {
        // Backspace and Delete narrow or widen the list; moving the caret closes it.
        const bool edit = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
        if (m_CompletionOpen && edit && m_Model.GetCursorY() == line)
            UpdateCompletion(false);
        else
            CloseCompletion();
        return;
    }
    const QString text = event->text();
    // With Ctrl held a key types nothing: letters would only give control characters.
    if (text.isEmpty() || m_ReadOnly || (ctrl && !(event->modifiers() & Qt::AltModifier))) {
        event->ignore();
        return;
    }
    bool typed = false;
    char32_t last = 0;
    for (const char32_t ch : text.toUcs4()) {
        typed = m_Model.TypeChar(ch) || typed;
        last = ch;
    }
    if (!typed)
        return;
    Refresh(true);
    const CCompletion::Word word =
        CCompletion::WordAt(m_Model.GetLine(m_Model.GetCursorY()), m_Model.GetCursorX());
    if (last == '.' && word.qualified && (m_CompleteOnDot || m_CompletionOpen))
        UpdateCompletion(true);
    else if (m_CompletionOpen && !word.text.empty())
        UpdateCompletion(false);
    else
        CloseCompletion();
}

// ---- completion ----

bool ColorEditWnd::OpenCompletion() {
    UpdateCompletion(true);
    return m_Popup->isVisible();
}

void ColorEditWnd::RefreshCompletion() {
    if (m_CompletionOpen)
        Guarded("completion", __LINE__, [&] { UpdateCompletion(false); });
}

void ColorEditWnd::CloseCompletion() {
    m_CompletionOpen = false;
    m_Candidates.clear();
    if (m_Popup) {
        m_Popup->hide();
        // The next list starts at its first row.
        m_Popup->clear();
    }
}

void ColorEditWnd::UpdateCompletion(bool open) {
    const int x = m_Model.GetCursorX(), y = m_Model.GetCursorY();
    const CString line = m_Model.GetLine(y);
    const CCompletion::Word word = CCompletion::WordAt(line, x);
    const CColorizer* colorizer = m_Model.Text().GetColorizer();
    if (open) {
        // The statement around the caret tells which tables its names may come from; the lines near the
        // caret hold it, so a long script costs no more than a short one.
        constexpr int kReach = 500;
        const int first = std::max(0, y - kReach);
        const int last = std::min(m_Model.GetLineCount(), y + kReach + 1);
        CString script;
        size_t caret = CString::npos;
        for (int i = first; i < last; ++i) {
            if (i == y)
                caret = script.size() + CUtf8::ByteOffset(line, x);
            script += m_Model.Text()._GetLineRef(i);
            script += "\r\n";
        }
        // The caret may stand on the line after the last.
        if (caret == CString::npos)
            caret = script.size();
        m_Completion.SetKeywords(colorizer ? &colorizer->GetKeywords() : nullptr);
        m_Completion.SetScope(script, caret);
        m_CompletionLine = y;
        m_CompletionStart = word.start;
        m_CompletionOpen = true;
    } else if (!m_CompletionOpen || y != m_CompletionLine || x < m_CompletionStart) {
        CloseCompletion();
        return;
    }
    m_Candidates = m_Completion.Candidates(word);
    if (m_Candidates.empty()) {
        // Columns still being read keep the list waiting for them; anything else closes it.
        if (m_Completion.Waiting())
            m_Popup->hide();
        else
            CloseCompletion();
        return;
    }
    m_Popup->setFont(m_Font);
    m_Popup->SetColors(ToQColor(m_BackColor), ToQColor(colorizer ? colorizer->GetNormalColor() : 0),
                       ToQColor(colorizer ? colorizer->GetKeywordColor() : RGB(0, 0, 255)),
                       ToQColor(m_HighlightColor), ToQColor(m_HighlightTextColor));
    m_Popup->SetCandidates(m_Candidates);
    const int left = std::max(0, m_View.ColumnX(word.start));
    m_Popup->Place(QPoint(left, m_View.LineY(y) + m_LineHeight), QPoint(left, m_View.LineY(y)));
}

void ColorEditWnd::InsertCompletion(int row) {
    if (row < 0 || row >= static_cast<int>(m_Candidates.size()) || m_ReadOnly)
        return;
    const CString insert = m_Candidates[static_cast<size_t>(row)].insert;
    const int x = m_Model.GetCursorX(), y = m_Model.GetCursorY();
    const CCompletion::Word word = CCompletion::WordAt(m_Model.GetLine(y), x);
    CloseCompletion();
    m_Model.SetSelection(word.start, y, x, y);
    m_Model.ReplaceSelText(insert.c_str());
    Refresh(true);
    setFocus(Qt::OtherFocusReason);
}

bool ColorEditWnd::HandleCompletionKey(const QKeyEvent* event) {
    if (!m_Popup->isVisible())
        return false;
    const auto modifiers = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return modifiers == Qt::NoModifier && m_Popup->MoveSelection(event->key());
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        if (modifiers != Qt::NoModifier)
            return false;
        InsertCompletion(m_Popup->currentRow());
        return true;
    case Qt::Key_Escape:
        CloseCompletion();
        return true;
    default:
        return false;
    }
}

bool ColorEditWnd::focusNextPrevChild(bool) {
    // Tab is a character of the script, not a focus move.
    return false;
}

// ---- mouse ----

QPoint ColorEditWnd::PositionAt(QPoint pixel) const {
    return {m_View.ColumnAt(pixel.x()), m_View.LineAt(pixel.y())};
}

void ColorEditWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    CloseCompletion();
    m_Dragging = true;
    m_PressPos = event->position().toPoint();
    const QPoint pos = PositionAt(m_PressPos);
    m_Model.SetCursorPos(pos.x(), pos.y());
    m_Model.UpdateAnchor(event->modifiers() & Qt::ShiftModifier);
    Refresh(false);
}

void ColorEditWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_Dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint pos = PositionAt(event->position().toPoint());
    const QPoint before = GetCursorPos();
    m_Model.SetCursorPos(pos.x(), pos.y());
    if (GetCursorPos() != before)
        Refresh(true);
}

void ColorEditWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_Dragging = false;
}

void ColorEditWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = PositionAt(event->position().toPoint());
    m_Model.SelectWordAt(pos.x(), pos.y());
    Refresh(false);
}

void ColorEditWnd::wheelEvent(QWheelEvent* event) {
    CloseCompletion();
    SyncDocument();
    if ((event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) || m_View.VerticalMaximum() == 0) {
        event->ignore();
        return;
    }
    event->accept();
    // One notch is one step of five lines; finer devices add up to a notch first.
    m_WheelDelta += event->angleDelta().y();
    const int oldLine = m_View.FirstLine();
    while (m_WheelDelta >= 120 || m_WheelDelta <= -120) {
        const bool forward = m_WheelDelta > 0;
        m_WheelDelta += forward ? -120 : 120;
        m_View.Wheel(forward);
    }
    if (m_View.FirstLine() != oldLine) {
        UpdateScrollBars();
        viewport()->update();
    }
}

// ---- focus ----

void ColorEditWnd::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    emit Notify(m_CtrlId, EN_SETFOCUS);
    m_CaretShown = true;
    ShowCaret();
    viewport()->update();
}

void ColorEditWnd::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    emit Notify(m_CtrlId, EN_KILLFOCUS);
    // The list stays while a click on it is handled: the focus does not move there.
    if (event->reason() != Qt::PopupFocusReason)
        CloseCompletion();
    m_Dragging = false;
    m_CaretShown = false;
    m_BlinkTimer.stop();
    viewport()->update();
}

// ---- painting ----

void ColorEditWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_View.SetClientSize(viewport()->width(), viewport()->height());
    UpdateScrollBars();
}

void ColorEditWnd::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    MeasureFont();
    m_View.SetClientSize(viewport()->width(), viewport()->height());
    UpdateScrollBars();
}

quint32 ColorEditWnd::GlyphFor(char32_t ch) {
    if (ch < 128 && m_AsciiGlyphs[ch] != NoGlyph)
        return m_AsciiGlyphs[ch];
    auto found = m_Glyphs.constFind(ch);
    if (found != m_Glyphs.constEnd())
        return *found;
    quint32 glyph = 0;
    if (m_RawFont.isValid() && m_RawFont.supportsCharacter(static_cast<uint>(ch))) {
        const QList<quint32> glyphs = m_RawFont.glyphIndexesForString(QString::fromUcs4(&ch, 1));
        if (glyphs.size() == 1)
            glyph = glyphs.front();
    }
    if (ch < 128)
        m_AsciiGlyphs[ch] = glyph;
    else
        m_Glyphs.insert(ch, glyph);
    return glyph;
}

void ColorEditWnd::paintEvent(QPaintEvent* event) {
    // The widget's backing store is the off-screen buffer: the picture reaches the screen in one piece.
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, ToQColor(m_BackColor));
    painter.setFont(m_Font);
    const int count = m_Model.GetLineCount();
    const int last = std::min(m_View.LastVisibleLine(), count - 1);
    std::u32string chars;
    for (int line = m_View.FirstLine(); line <= last; ++line) {
        const QRect rect(0, m_View.LineY(line), viewport()->width(), m_LineHeight);
        if (rect.intersects(area))
            DrawLine(painter, line, chars);
    }
    if (m_CaretShown && m_CaretBlinkOn && hasFocus()) {
        const QPoint caret = GetCursorPos();
        const QRect caretRect(m_View.ColumnX(caret.x()) - 1, m_View.LineY(caret.y()), 2, m_LineHeight);
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(caretRect, Qt::black);
    }
}

void ColorEditWnd::DrawLine(QPainter& painter, int line, std::u32string& chars) {
    const CScriptText& text = m_Model.Text();
    const std::vector<COLORREF>& colors = text._GetLineColors(line);
    chars.clear();
    CUtf8::ToChars(text._GetLineRef(line), chars);
    const int length = static_cast<int>(chars.size());
    const int y = m_View.LineY(line);
    const int width = viewport()->width();
    const COLORREF normal = text.GetColorizer() ? text.GetColorizer()->GetNormalColor() : 0;
    if (line >= m_MarkFirst && line <= m_MarkLast) {
        // A light amber over the background, so the colours of the text stay readable.
        QColor tint = ToQColor(m_BackColor);
        tint.setRgb((tint.red() * 3 + 255) / 4, (tint.green() * 3 + 214) / 4, (tint.blue() * 3 + 90) / 4);
        painter.fillRect(QRect(0, y, width, m_LineHeight), tint);
    }

    // Collects glyphs of one colour and draws them as one run on the cell grid.
    QList<quint32> glyphs;
    QList<QPointF> positions;
    COLORREF runColor = 0;
    auto flush = [&] {
        if (glyphs.isEmpty())
            return;
        QGlyphRun run;
        run.setRawFont(m_RawFont);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.setPen(ToQColor(runColor));
        painter.drawGlyphRun(QPointF(0, 0), run);
        glyphs.clear();
        positions.clear();
    };
    auto draw = [&](int x, char32_t ch, COLORREF color) {
        if (ch == ' ')
            return;
        const quint32 glyph = GlyphFor(ch);
        if (glyph == 0) {
            // Characters the font lacks go through the font fallback one by one.
            flush();
            painter.setPen(ToQColor(color));
            painter.drawText(QPointF(x, y + m_Ascent), QString::fromUcs4(&ch, 1));
            return;
        }
        if (!glyphs.isEmpty() && color != runColor)
            flush();
        runColor = color;
        glyphs.append(glyph);
        positions.append(QPointF(x, y + m_Ascent));
    };

    int column = m_View.FirstCol();
    for (; column < length; ++column) {
        const int x = m_View.ColumnX(column);
        if (x >= width)
            break;
        char32_t ch = chars[static_cast<size_t>(column)];
        if (ch >= CUtf8::InvalidByteBase)
            ch = Replacement;
        else if (ch < 0x20 || ch == 0x7F)
            ch = Replacement;
        const bool selected = m_Model.IsSelected(column, line);
        COLORREF color =
            column < static_cast<int>(colors.size()) ? colors[static_cast<size_t>(column)] : normal;
        if (selected) {
            painter.fillRect(QRect(x, y, m_CharWidth, m_LineHeight), ToQColor(m_HighlightColor));
            color = m_HighlightTextColor;
        }
        if (m_ShowAllChars && ch == ' ')
            ch = MiddleDot;
        draw(x, ch, color);
    }
    if (m_ShowAllChars && column >= length) {
        const int x = m_View.ColumnX(std::max(length, m_View.FirstCol()));
        if (length >= m_View.FirstCol() && x < width)
            draw(x, Pilcrow, normal);
    }
    flush();
}
