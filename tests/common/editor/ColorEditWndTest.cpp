#include "editor/ColorEditWnd.h"

#include "MessageRecorder.h"
#include "editor/CColorizer.h"
#include "editor/CCompletionPopup.h"
#include "editor/SearchAndReplaceView.h"
#include "toolkit/StdDialogs.h"

#include "TestSandbox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {
constexpr int CtrlId = 1234;

using Note = std::pair<unsigned, unsigned>;

class ColorEditWndTest : public testing::Test {
protected:
    void SetUp() override {
        m_Editor = std::make_unique<ColorEditWnd>(nullptr, QRect(0, 0, 420, 300), CtrlId, 4, 100,
                                                  "DejaVu Sans Mono");
        m_Editor->ClearUndoHistory();
        m_Editor->activateWindow();
        m_Editor->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_Editor.get()));
        m_Spy = std::make_unique<QSignalSpy>(m_Editor.get(), &ColorEditWnd::Notify);
    }

    ColorEditWnd& Ed() { return *m_Editor; }
    QWidget* View() { return m_Editor->viewport(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(m_Editor.get(), key, mods);
    }
    // Caret and anchor together, nothing selected.
    void Put(int x, int y) { m_Editor->SetSelection(x, y, x, y); }
    void Type(const char* text) { QTest::keyClicks(m_Editor.get(), text); }
    CString Text() const {
        CString out;
        m_Editor->UnloadText(out);
        return out;
    }
    std::vector<Note> Notes() const {
        std::vector<Note> notes;
        for (const QList<QVariant>& args : *m_Spy)
            notes.emplace_back(args.at(0).toUInt(), args.at(1).toUInt());
        return notes;
    }
    int Count(const Note& note) const {
        const std::vector<Note> notes = Notes();
        return static_cast<int>(std::count(notes.begin(), notes.end(), note));
    }
    // The centre of a character cell in viewport pixels.
    QPoint CellCentre(int column, int line) const {
        return {10 + (column - m_Editor->FirstVisibleColumn()) * m_Editor->CharWidth() +
                    m_Editor->CharWidth() / 2 - 1,
                (line - m_Editor->FirstVisibleLine()) * m_Editor->LineHeight() + m_Editor->LineHeight() / 2};
    }
    // The pixel where the boundary before a column lies.
    QPoint Boundary(int column, int line) const {
        return {10 + (column - m_Editor->FirstVisibleColumn()) * m_Editor->CharWidth(),
                (line - m_Editor->FirstVisibleLine()) * m_Editor->LineHeight() + m_Editor->LineHeight() / 2};
    }
    CString Long(int lines) const {
        CString text;
        for (int i = 0; i < lines; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        return text;
    }

    std::unique_ptr<ColorEditWnd> m_Editor;
    std::unique_ptr<QSignalSpy> m_Spy;
};

QPoint P(int x, int y) {
    return {x, y};
}

CString ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}
} // namespace

TEST_F(ColorEditWndTest, ArrowsWithShiftSelectAndWithoutCollapse) {
    Ed().LoadText("select x\r\nfrom y");
    Key(Qt::Key_Right);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(P(1, 0), Ed().GetAnchorPos());
    EXPECT_EQ(P(4, 0), Ed().GetCursorPos());
    Key(Qt::Key_Left);
    EXPECT_EQ(P(3, 0), Ed().GetCursorPos());
    EXPECT_EQ(Ed().GetCursorPos(), Ed().GetAnchorPos());
    // Right at the end of a line goes to the next line; Left at its start comes back.
    Key(Qt::Key_End);
    EXPECT_EQ(P(8, 0), Ed().GetCursorPos());
    Key(Qt::Key_Right);
    EXPECT_EQ(P(0, 1), Ed().GetCursorPos());
    Key(Qt::Key_Left);
    EXPECT_EQ(P(8, 0), Ed().GetCursorPos());
    // Ctrl+End goes to the end of the last line (the empty line the load leaves), Ctrl+Home to the start.
    Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(P(0, 2), Ed().GetCursorPos());
    EXPECT_EQ(P(8, 0), Ed().GetAnchorPos());
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(P(0, 0), Ed().GetCursorPos());
    EXPECT_EQ(P(0, 0), Ed().GetAnchorPos());
}

TEST_F(ColorEditWndTest, CtrlArrowsMoveByWords) {
    Ed().LoadText("ab, cd ef");
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(P(2, 0), Ed().GetCursorPos()); // stops on the comma
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(P(3, 0), Ed().GetCursorPos()); // one step over punctuation at the caret
    Key(Qt::Key_End);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(P(7, 0), Ed().GetCursorPos());
    Key(Qt::Key_Home);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(P(0, 0), Ed().GetCursorPos());
}

TEST_F(ColorEditWndTest, TypingTabsAndEnter) {
    Type("ab");
    Key(Qt::Key_Tab);
    EXPECT_EQ("ab  ", Ed().GetLine(0));
    Key(Qt::Key_Tab);
    EXPECT_EQ("ab      ", Ed().GetLine(0));
    EXPECT_EQ(P(8, 0), Ed().GetCursorPos());
    Put(1, 0);
    Key(Qt::Key_Return);
    EXPECT_EQ("a", Ed().GetLine(0));
    EXPECT_EQ("b      ", Ed().GetLine(1));
    EXPECT_EQ(P(0, 1), Ed().GetCursorPos());
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(3, Ed().GetLineCount());
    EXPECT_EQ("", Ed().GetLine(1));
    // A UTF-8 character is one column.
    Ed().LoadText("");
    QKeyEvent umlaut(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xc3\xa4"));
    QApplication::sendEvent(m_Editor.get(), &umlaut);
    Type("x");
    EXPECT_EQ("\xc3\xa4x", Ed().GetLine(0));
    EXPECT_EQ(P(2, 0), Ed().GetCursorPos());
}

TEST_F(ColorEditWndTest, BackspaceAndDelete) {
    Ed().LoadText("l0\r\nl1\r\nline2\r\nl3");
    Key(Qt::Key_Backspace);
    EXPECT_EQ("l0", Ed().GetLine(0));
    Put(0, 3);
    Key(Qt::Key_Backspace);
    EXPECT_EQ("line2l3", Ed().GetLine(2));
    EXPECT_EQ(P(5, 2), Ed().GetCursorPos());
    Key(Qt::Key_Delete);
    EXPECT_EQ("line23", Ed().GetLine(2));
    Key(Qt::Key_End);
    Key(Qt::Key_Delete); // joins the empty last line
    EXPECT_EQ(3, Ed().GetLineCount());
    Key(Qt::Key_Delete); // at the end of the last line nothing happens
    EXPECT_EQ("l0\r\nl1\r\nline23", Text());
    // A selection over two lines goes as one piece.
    Key(Qt::Key_Home);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Up, Qt::ShiftModifier);
    Key(Qt::Key_Backspace);
    EXPECT_EQ("l0\r\nlline23", Text());
    EXPECT_EQ(P(1, 1), Ed().GetCursorPos());
    EXPECT_EQ(P(1, 1), Ed().GetAnchorPos());
}

TEST_F(ColorEditWndTest, ReadOnlyRefusesUserEditsButNotProgrammaticOnes) {
    Ed().LoadText("abc");
    Ed().SetReadOnly(true);
    Type("x");
    Key(Qt::Key_Backspace);
    Key(Qt::Key_End);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText("zz");
    Key(Qt::Key_X, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ("abc\r\n", Text());
    EXPECT_EQ(0, Count({ColorEditWnd::CMD_USER_CHANGE, 0}));
    Ed().ReplaceSelText("Q");
    EXPECT_EQ("abQ", Ed().GetLine(0));
    Ed().SetMacro('S', "m", 0);
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ("abQm", Ed().GetLine(0));
}

TEST_F(ColorEditWndTest, ClipboardAccelerators) {
    Ed().LoadText("XY\r\nsecond");
    QGuiApplication::clipboard()->setText("keep");
    Key(Qt::Key_C, Qt::ControlModifier); // nothing selected
    EXPECT_EQ("keep", ClipboardText());

    Put(1, 0);
    QGuiApplication::clipboard()->setText("a\nb");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ("Xa", Ed().GetLine(0));
    EXPECT_EQ("bY", Ed().GetLine(1));
    EXPECT_EQ(P(1, 1), Ed().GetCursorPos());

    Ed().SetSelection(1, 0, 1, 1);
    Key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ("a\r\nb", ClipboardText());
    Key(Qt::Key_Delete, Qt::ShiftModifier); // cut
    EXPECT_EQ("XY", Ed().GetLine(0));
    EXPECT_EQ("a\r\nb", ClipboardText());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ("Xa", Ed().GetLine(0));
    EXPECT_EQ("bY", Ed().GetLine(1));
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ("XY", Ed().GetLine(0));
    Key(Qt::Key_Insert, Qt::ShiftModifier); // paste
    EXPECT_EQ("Xa", Ed().GetLine(0));

    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(P(0, 0), Ed().GetAnchorPos());
    EXPECT_EQ(Ed().GetLineCount() - 1, Ed().GetCursorPos().y());
}

TEST_F(ColorEditWndTest, PasteEndingWithLineFeedLeavesCaretAfterTheLastLine) {
    Ed().Reset();
    Type("ab");
    QGuiApplication::clipboard()->setText("cd\n");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ("abcd", Ed().GetLine(0));
    EXPECT_EQ(P(0, 1), Ed().GetCursorPos());
    Type("z");
    EXPECT_EQ("z", Ed().GetLine(1));
}

TEST_F(ColorEditWndTest, AcceleratorsCanBeSwitchedOff) {
    Ed().LoadText("abc");
    Ed().UseKeyboardAccelerators(false);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Ed().GetCursorPos(), Ed().GetAnchorPos());
}

TEST_F(ColorEditWndTest, NotificationsCarryTheirCodes) {
    Ed().LoadText("abc");
    EXPECT_GE(Count({CtrlId, ColorEditWnd::EN_CHANGE}), 1);
    EXPECT_EQ(0, Count({ColorEditWnd::CMD_USER_CHANGE, 0}));
    m_Spy->clear();

    Type("x");
    EXPECT_EQ(1, Count({CtrlId, ColorEditWnd::EN_CHANGE}));
    EXPECT_EQ(1, Count({ColorEditWnd::CMD_USER_CHANGE, 0}));
    EXPECT_GE(Count({ColorEditWnd::CMD_CARET_MOVED, 0}), 1);
    m_Spy->clear();

    Key(Qt::Key_Right);
    EXPECT_EQ(0, Count({CtrlId, ColorEditWnd::EN_CHANGE}));
    EXPECT_GE(Count({ColorEditWnd::CMD_CARET_MOVED, 0}), 1);
    m_Spy->clear();

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(1, Count({CtrlId, ColorEditWnd::EN_CHANGE}));
    EXPECT_EQ(0, Count({ColorEditWnd::CMD_USER_CHANGE, 0}));
    m_Spy->clear();

    QWidget other;
    other.show();
    other.activateWindow();
    other.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(1, Count({CtrlId, ColorEditWnd::EN_KILLFOCUS}));
    m_Spy->clear();
    Key(Qt::Key_Right); // sent straight to the editor while it has no focus: no caret is drawn
    EXPECT_EQ(0, Count({ColorEditWnd::CMD_CARET_MOVED, 0}));
    Ed().activateWindow();
    Ed().setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_Editor.get()));
    EXPECT_EQ(1, Count({CtrlId, ColorEditWnd::EN_SETFOCUS}));
}

TEST_F(ColorEditWndTest, MacrosFireOnCtrlKeyInOrder) {
    Ed().LoadText("ab");
    Ed().SetMacro('S', "one ", 0);
    Ed().SetMacro('S', "two", 1);
    Ed().SetMacro('1', "digit", 2);
    Ed().SetSelection(0, 0, 1, 0); // the selection collapses onto the caret, nothing is replaced
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ("aone twob", Ed().GetLine(0));
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ("aone twodigitb", Ed().GetLine(0));
    Ed().SetMacro('Q', "q", 0); // append 0 empties the list first
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ("aone twodigitb", Ed().GetLine(0));
    // Each macro is its own undo step.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ("aone twob", Ed().GetLine(0));
}

TEST_F(ColorEditWndTest, MouseClickShiftClickDragAndDoubleClick) {
    Ed().LoadText("select total_sum\r\nfrom t");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, Boundary(3, 1));
    EXPECT_EQ(P(3, 1), Ed().GetCursorPos());
    EXPECT_EQ(P(3, 1), Ed().GetAnchorPos());
    QTest::mouseClick(View(), Qt::LeftButton, Qt::ShiftModifier, Boundary(2, 0));
    EXPECT_EQ(P(2, 0), Ed().GetCursorPos());
    EXPECT_EQ(P(3, 1), Ed().GetAnchorPos());
    // A click far right of a line clips to its end.
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, Boundary(40, 1));
    EXPECT_EQ(P(6, 1), Ed().GetCursorPos());

    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, Boundary(1, 0));
    QTest::mouseMove(View(), Boundary(4, 0));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, Boundary(4, 0));
    EXPECT_EQ(P(1, 0), Ed().GetAnchorPos());
    EXPECT_EQ(P(4, 0), Ed().GetCursorPos());

    QTest::mouseDClick(View(), Qt::LeftButton, Qt::NoModifier, CellCentre(9, 0));
    EXPECT_EQ(P(7, 0), Ed().GetCursorPos());
    EXPECT_EQ(P(12, 0), Ed().GetAnchorPos()); // total, not total_sum
    QTest::mouseDClick(View(), Qt::LeftButton, Qt::NoModifier, CellCentre(12, 0));
    EXPECT_EQ(P(12, 0), Ed().GetCursorPos());
    EXPECT_EQ(P(13, 0), Ed().GetAnchorPos()); // just the underscore
}

TEST_F(ColorEditWndTest, ContextMenuFollowsEnablingRules) {
    Ed().AddMenuItem("Undo\tCtrl+Z", ColorEditWnd::ID_EDIT_UNDO, 0);
    Ed().AddMenuItem("Redo\tCtrl+Y", ColorEditWnd::ID_EDIT_REDO, 0);
    Ed().AddMenuItem("", 0, ColorEditWnd::MF_SEPARATOR);
    Ed().AddMenuItem("Cut\tCtrl+X", ColorEditWnd::ID_EDIT_CUT, 0);
    Ed().AddMenuItem("Copy\tCtrl+C", ColorEditWnd::ID_EDIT_COPY, 0);
    Ed().AddMenuItem("Paste\tCtrl+V", ColorEditWnd::ID_EDIT_PASTE, 0);
    Ed().AddMenuItem("", 0, ColorEditWnd::MF_SEPARATOR);
    Ed().AddMenuItem("Select &All\tCtrl+A", ColorEditWnd::ID_EDIT_SELECT_ALL, 0);
    Ed().AddMenuItem("Own", 4711, 0);
    QGuiApplication::clipboard()->clear();

    auto enabled = [&] {
        std::vector<bool> states;
        std::unique_ptr<QMenu> menu = Ed().CreateContextMenu();
        for (QAction* action : menu->actions())
            states.push_back(action->isSeparator() ? false : action->isEnabled());
        return states;
    };
    EXPECT_EQ((std::vector<bool>{false, false, false, false, false, false, false, true, true}), enabled());

    Type("ab");
    Key(Qt::Key_Left, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText("p");
    EXPECT_EQ((std::vector<bool>{true, false, false, true, true, true, false, true, true}), enabled());
    Key(Qt::Key_Z, Qt::ControlModifier);
    std::vector<bool> states = enabled();
    EXPECT_TRUE(states[1]) << "redo after undo";

    // Triggering an item runs its command; an unknown command goes to the owner.
    Ed().DoSelectAll();
    QSignalSpy commands(m_Editor.get(), &ColorEditWnd::MenuCommand);
    std::unique_ptr<QMenu> menu = Ed().CreateContextMenu();
    menu->actions().at(4)->trigger(); // Copy
    EXPECT_EQ("a", ClipboardText());
    menu->actions().at(8)->trigger();
    ASSERT_EQ(1, commands.size());
    EXPECT_EQ(4711u, commands.at(0).at(0).toUInt());
}

TEST_F(ColorEditWndTest, VerticalScrollingAndWheel) {
    Ed().LoadText("a\r\nb");
    EXPECT_EQ(0, Ed().verticalScrollBar()->maximum());
    QWheelEvent down(QPointF(50, 50), Ed().viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &down);
    EXPECT_EQ(0, Ed().FirstVisibleLine());

    Ed().LoadText(Long(100).c_str());
    const int visible = Ed().VisibleLines(false);
    ASSERT_GT(visible, 3);
    EXPECT_EQ(101 - visible, Ed().verticalScrollBar()->maximum());
    QApplication::sendEvent(View(), &down);
    EXPECT_EQ(5, Ed().FirstVisibleLine());
    QWheelEvent ctrlDown(QPointF(50, 50), Ed().viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                         QPoint(0, -120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &ctrlDown);
    EXPECT_EQ(5, Ed().FirstVisibleLine());
    QWheelEvent up(QPointF(50, 50), Ed().viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &up);
    QApplication::sendEvent(View(), &up);
    EXPECT_EQ(0, Ed().FirstVisibleLine());

    // Scroll-bar commands.
    Ed().verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(1, Ed().FirstVisibleLine());
    EXPECT_EQ(1, Ed().verticalScrollBar()->value());
    Ed().verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(101 - visible, Ed().FirstVisibleLine());
    Ed().verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(101 - visible - visible * 3 / 4, Ed().FirstVisibleLine());
    Ed().verticalScrollBar()->setValue(20); // thumb
    EXPECT_EQ(20, Ed().FirstVisibleLine());

    Ed().ScrollToLine(500);
    EXPECT_EQ(100, Ed().FirstVisibleLine());
    Ed().ScrollToLine(10);
    Ed().SoftScrollToLine(11);
    EXPECT_EQ(10, Ed().FirstVisibleLine());
    Ed().SoftScrollToLine(2);
    EXPECT_EQ(2, Ed().FirstVisibleLine());
}

TEST_F(ColorEditWndTest, KeysKeepTheCaretInView) {
    Ed().LoadText(Long(100).c_str());
    const int visible = Ed().VisibleLines(false);
    for (int i = 0; i < visible; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(visible, Ed().GetCursorPos().y());
    EXPECT_EQ(1, Ed().FirstVisibleLine()); // the caret's line is the last visible one
    Key(Qt::Key_PageDown);
    EXPECT_EQ(2 * visible, Ed().GetCursorPos().y());
    EXPECT_EQ(2 * visible, Ed().FirstVisibleLine()); // the caret's new line is the first visible one
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(0, Ed().FirstVisibleLine());
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(100, Ed().GetCursorPos().y());
    EXPECT_EQ(101 - visible, Ed().FirstVisibleLine());

    // Typing past the right edge puts the caret three quarters across.
    Ed().LoadText("");
    const int columns = Ed().VisibleColumns();
    for (int i = 0; i <= columns; ++i)
        Type("x");
    const int caret = columns + 1;
    EXPECT_EQ(caret, Ed().GetCursorPos().x());
    EXPECT_EQ(caret - columns + columns / 4, Ed().FirstVisibleColumn());
    EXPECT_GT(Ed().horizontalScrollBar()->maximum(), 0);
    Key(Qt::Key_Home);
    EXPECT_EQ(0, Ed().FirstVisibleColumn());
}

TEST_F(ColorEditWndTest, UndoScrollsTheChangedLineIntoView) {
    Ed().LoadText(Long(100).c_str());
    Ed().ClearUndoHistory();
    Put(0, 90);
    Ed().ScrollToCursor();
    Type("q");
    EXPECT_EQ("qline 90", Ed().GetLine(90));
    Ed().ScrollToLine(0);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ("line 90", Ed().GetLine(90));
    EXPECT_LE(Ed().FirstVisibleLine(), 90);
    EXPECT_GT(Ed().FirstVisibleLine() + Ed().VisibleLines(true), 90);
    EXPECT_EQ(P(0, 90), Ed().GetCursorPos());
    EXPECT_EQ(1, Ed().Model().RedoStack().GetCount());
}

TEST_F(ColorEditWndTest, SpacingWidensCellsAndCountsForClicks) {
    const int width = Ed().CharWidth();
    const int height = Ed().LineHeight();
    Ed().SetCharXSpacing(1);
    Ed().SetCharXSpacing(2);
    Ed().SetCharXSpacing(-5); // counts as 0
    Ed().SetCharYSpacing(4);
    EXPECT_EQ(width + 3, Ed().CharWidth());
    EXPECT_EQ(height + 4, Ed().LineHeight());
    Ed().LoadText("0123456789\r\nabcdefghij");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, Boundary(7, 1));
    EXPECT_EQ(P(7, 1), Ed().GetCursorPos());
    // Showing the window again keeps the spacing.
    Ed().hide();
    Ed().show();
    EXPECT_EQ(width + 3, Ed().CharWidth());
}

TEST_F(ColorEditWndTest, HorizontalScrollBarMovesByColumns) {
    Ed().LoadText(CString(300, 'w').c_str());
    QScrollBar* bar = Ed().horizontalScrollBar();
    EXPECT_EQ(300 - Ed().VisibleColumns(), bar->maximum());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(1, Ed().FirstVisibleColumn());
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(0, Ed().FirstVisibleColumn());
    bar->setValue(bar->maximum());
    EXPECT_EQ(300 - Ed().VisibleColumns(), Ed().FirstVisibleColumn());
    // The caret stays where it was; a key brings it back into view.
    Key(Qt::Key_Right);
    EXPECT_EQ(0, Ed().FirstVisibleColumn());
}

TEST_F(ColorEditWndTest, ReadOnlyCtrlEnterAndTabDoNothing) {
    Ed().LoadText("ab");
    Ed().SetReadOnly(true);
    Key(Qt::Key_Return, Qt::ControlModifier);
    Key(Qt::Key_Tab);
    EXPECT_EQ("ab\r\n", Text());
    EXPECT_TRUE(Ed().IsReadOnly());
}

namespace {
// Whether any pixel of the rectangle differs from the colour.
bool HasInk(const QImage& image, const QRect& rect, QColor background) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixelColor(x, y) != background)
                return true;
    return false;
}
bool HasColour(const QImage& image, const QRect& rect, QColor colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}
} // namespace

TEST_F(ColorEditWndTest, PaintingShowsColoursSelectionAndHiddenCharacters) {
    CColorizer colorizer;
    CStringArray words{"select"};
    colorizer.SetKeywords(words);
    Ed().SetColorizer(&colorizer);
    Ed().LoadText("a b\r\n\r\nselect x");
    auto cell = [&](int column, int line) {
        return QRect(10 + column * Ed().CharWidth(), line * Ed().LineHeight(), Ed().CharWidth(),
                     Ed().LineHeight());
    };
    Ed().clearFocus(); // no caret in the picture
    QImage image = View()->grab().toImage();
    const QColor white(255, 255, 255);
    EXPECT_TRUE(HasInk(image, cell(0, 0), white));
    EXPECT_FALSE(HasInk(image, cell(1, 0), white));
    EXPECT_FALSE(HasInk(image, cell(3, 0), white));
    EXPECT_FALSE(HasInk(image, cell(0, 1), white));
    EXPECT_TRUE(HasColour(image, cell(2, 2), QColor(0, 0, 255))) << "keyword colour";
    EXPECT_FALSE(HasColour(image, cell(7, 2), QColor(0, 0, 255)));

    Ed().SetShowAllChars(1);
    image = View()->grab().toImage();
    EXPECT_TRUE(HasInk(image, cell(1, 0), white)) << "middle dot";
    EXPECT_TRUE(HasInk(image, cell(3, 0), white)) << "pilcrow after the last character";
    EXPECT_FALSE(HasInk(image, cell(4, 0), white));
    EXPECT_TRUE(HasInk(image, cell(0, 1), white)) << "pilcrow of the empty line";
    EXPECT_FALSE(HasInk(image, cell(1, 1), white));

    Ed().SetShowAllChars(0);
    Ed().SetSelection(0, 2, 3, 2);
    Ed().SetHighlightColor(RGB(0, 128, 0));
    image = View()->grab().toImage();
    EXPECT_TRUE(HasColour(image, cell(1, 2), QColor(0, 128, 0)));
    EXPECT_FALSE(HasColour(image, cell(4, 2), QColor(0, 128, 0)));
    Ed().SetBackgroundColor(RGB(200, 200, 0));
    image = View()->grab().toImage();
    EXPECT_EQ(QColor(200, 200, 0), image.pixelColor(cell(20, 5).center()));
}

TEST_F(ColorEditWndTest, FindStepsThroughOccurrencesWithoutWrapping) {
    MessageRecorder messages;
    Ed().LoadText("id idx id\r\nSELECT ID");
    Ed().Find("id", 0, 1);
    EXPECT_EQ(P(0, 0), Ed().GetAnchorPos());
    EXPECT_EQ(P(2, 0), Ed().GetCursorPos());
    Ed().Find("id", 0, 1);
    EXPECT_EQ(P(7, 0), Ed().GetAnchorPos());
    Ed().Find("id", 0, 1);
    EXPECT_EQ(P(7, 1), Ed().GetAnchorPos());
    EXPECT_TRUE(messages.Shown().empty());
    Ed().Find("id", 0, 1);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("id", messages.Shown()[0].text);
    EXPECT_EQ("String Not Found", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_OK | MB_ICONERROR), messages.Shown()[0].type);
    EXPECT_EQ(P(7, 1), Ed().GetAnchorPos()); // selection unchanged
    EXPECT_EQ(P(9, 1), Ed().GetCursorPos());

    Put(0, 0);
    Ed().Find("sel", 1, 0);
    EXPECT_EQ(2u, messages.Shown().size());
    // An empty search text finds nothing.
    Ed().Find("", 0, 0);
    ASSERT_EQ(3u, messages.Shown().size());
    EXPECT_EQ("String Not Found", messages.Shown()[2].caption);
}

TEST_F(ColorEditWndTest, FindScrollsTheFoundLineIntoView) {
    MessageRecorder messages;
    CString text = Long(80) + "needle";
    Ed().LoadText(text.c_str());
    Ed().Find("needle", 0, 0);
    EXPECT_EQ(P(0, 80), Ed().GetAnchorPos());
    EXPECT_LE(Ed().FirstVisibleLine(), 80);
    EXPECT_GT(Ed().FirstVisibleLine() + Ed().VisibleLines(true), 80);
}

TEST_F(ColorEditWndTest, ReplaceAllReportsCountAndEachReplacementIsOneUndoStep) {
    MessageRecorder messages;
    Ed().LoadText("aaa");
    Ed().ClearUndoHistory();
    Ed().ReplaceAll("a", "aa", 0, 0);
    EXPECT_EQ("aaaaaa", Ed().GetLine(0));
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("3 replacement(s) made!", messages.Shown()[0].text);
    EXPECT_EQ("a", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_OK | MB_ICONINFORMATION), messages.Shown()[0].type);
    EXPECT_EQ(3, Ed().Model().UndoStack().GetCount());
    EXPECT_EQ(3, Count({ColorEditWnd::CMD_USER_CHANGE, 0}));
    Ed().DoUndo();
    EXPECT_EQ("aaaaa", Ed().GetLine(0));

    Put(0, 0);
    Ed().ReplaceAll("zz", "y", 0, 0);
    EXPECT_EQ("0 replacement(s) made!", messages.Shown().back().text);
    // An empty search text replaces nothing instead of looping.
    Ed().ReplaceAll("", "y", 0, 0);
    EXPECT_EQ("0 replacement(s) made!", messages.Shown().back().text);
    EXPECT_EQ("aaaaa", Ed().GetLine(0));
}

TEST_F(ColorEditWndTest, ReplaceAllStartsAtTheCaretAfterAFoundOccurrence) {
    MessageRecorder messages;
    Ed().LoadText("x y x y x");
    Ed().Search(SAR_FIND, "x", "", 0, 0);
    Ed().Search(SAR_REPLACE_ALL, "x", "Z", 0, 0);
    EXPECT_EQ("x y Z y Z", Ed().GetLine(0));
    EXPECT_EQ("2 replacement(s) made!", messages.Shown().back().text);
    // Replace with nothing selected inserts at the caret.
    Ed().SetSelection(1, 0, 1, 0);
    Ed().Search(SAR_REPLACE, "x", "R", 0, 0);
    EXPECT_EQ("xR y Z y Z", Ed().GetLine(0));
}

TEST_F(ColorEditWndTest, CtrlFOpensTheSearchDialogAndGivesTheFocusBack) {
    bool wasVisible = false;
    QTimer::singleShot(0, [&] {
        SearchAndReplaceView* view = Ed().GetSearchView();
        wasVisible = view->isVisible() && view->isModal();
        view->reject();
    });
    Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(Ed().GetSearchView()->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_Editor.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Ed().hasFocus(); }));
}

namespace {
// Prints to a PDF file instead of asking the user.
class PdfPrinting {
public:
    explicit PdfPrinting(QString path, bool accept = true) {
        StdDialogHandler handler;
        handler.print = [path, accept](QWidget*, QPrinter* printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(path);
            return accept;
        };
        m_Previous = StdDialogs::SetHandler(handler);
    }
    ~PdfPrinting() { StdDialogs::SetHandler(m_Previous); }

private:
    StdDialogHandler m_Previous;
};

int PdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.readAll();
    int pages = 0;
    for (qsizetype at = data.indexOf("/Type /Page"); at >= 0; at = data.indexOf("/Type /Page", at + 1))
        if (data.mid(at + 11, 1) != "s")
            ++pages;
    return pages;
}
} // namespace

TEST_F(ColorEditWndTest, PrintingALongScriptFillsSeveralPages) {
    const QString dir = QString::fromStdString(TestSandbox::Directory());
    Ed().LoadText(Long(300).c_str());
    {
        PdfPrinting pdf(dir + "/long.pdf");
        Ed().Print("script.sql", 10);
    }
    const int pages = PdfPages(dir + "/long.pdf");
    EXPECT_GE(pages, 3);
    EXPECT_LE(pages, 12);

    Ed().LoadText("select 1");
    {
        PdfPrinting pdf(dir + "/short.pdf");
        Ed().Print("script.sql", 10);
    }
    EXPECT_EQ(1, PdfPages(dir + "/short.pdf"));

    {
        PdfPrinting pdf(dir + "/cancelled.pdf", false);
        Ed().Print("script.sql", 10);
    }
    EXPECT_FALSE(QFile::exists(dir + "/cancelled.pdf"));
}

namespace {
// A fixed catalog: one table with two columns.
class FixedCatalog : public CCompletionCatalog {
public:
    const CArray<Table>& Tables() override { return m_Tables; }
    const CArray<Column>* Columns(const CString& table) override {
        return table == "customers" ? &m_Columns : nullptr;
    }
    CString Quoted(const CString& name) const override { return name; }

private:
    CArray<Table> m_Tables = {{"customers", false}};
    CArray<Column> m_Columns = {{"id", "integer"}, {"name", "varchar"}};
};
} // namespace

TEST_F(ColorEditWndTest, CompletionListKeysInsertAsOneStepAndLeaveTheFocusInTheEditor) {
    CColorizer colorizer;
    CStringArray words = {"SELECT", "SET", "WHERE"};
    colorizer.SetKeywords(words);
    Ed().SetColorizer(&colorizer);
    FixedCatalog catalog;
    Ed().SetCompletionCatalog(&catalog);
    auto* popup = Ed().CompletionPopup();
    auto rows = [&] {
        CString out;
        for (int i = 0; i < popup->count(); ++i)
            out += (i ? " " : "") + popup->item(i)->text().toStdString();
        return out;
    };

    Type("se");
    Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ("select set", rows());
    EXPECT_EQ(m_Editor.get(), QApplication::focusWidget());
    // Placed under the caret's line, where the word begins, painted in the editor's colours: the chosen
    // row in its selection colour (black here), the others on its background.
    EXPECT_EQ(Ed().LineHeight(), popup->y());
    EXPECT_EQ(10, popup->x());
    const QImage shot = Ed().grab().toImage();
    auto pixelAtRowEnd = [&](int row) {
        const QRect r = popup->visualItemRect(popup->item(row));
        return shot.pixelColor(
            popup->viewport()->mapTo(m_Editor.get(), QPoint(r.right() - 2, r.center().y())));
    };
    EXPECT_EQ("#000000", pixelAtRowEnd(0));
    EXPECT_EQ("#ffffff", pixelAtRowEnd(1));
    Key(Qt::Key_Down);
    EXPECT_EQ(1, popup->currentRow());
    Key(Qt::Key_Down);
    EXPECT_EQ(0, popup->currentRow());
    Key(Qt::Key_PageDown);
    EXPECT_EQ(1, popup->currentRow());
    // A list opened anew starts at its first row.
    Key(Qt::Key_Escape);
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(0, popup->currentRow());
    EXPECT_EQ("se", Text());

    // Typing narrows; Enter inserts in the typed case, and one undo takes it back.
    Type("l");
    EXPECT_EQ("select", rows());
    Key(Qt::Key_Return);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ("select", Text());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ("sel", Text());

    // Escape closes and changes nothing; a caret move closes too.
    Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(popup->isVisible());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    Key(Qt::Key_Space, Qt::ControlModifier);
    Key(Qt::Key_Left);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ("sel", Text());

    // "." after an alias opens the columns; Tab inserts. Switched off, only Ctrl+Space opens the list.
    Key(Qt::Key_End);
    Type("ect * from customers c where c.");
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ("id name", rows());
    Key(Qt::Key_Tab);
    EXPECT_EQ("select * from customers c where c.id", Text());
    Ed().SetCompleteOnDot(false);
    Type(" = c.");
    EXPECT_FALSE(popup->isVisible());
    Type("n");
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ("name", rows());
    Key(Qt::Key_Return);
    EXPECT_EQ("select * from customers c where c.id = c.name", Text());
}
