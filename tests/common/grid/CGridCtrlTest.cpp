#include "grid/CGridCtrl.h"
#include "grid/CGridPrinter.h"

#include "DialogRecorder.h"
#include "TestSandbox.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace {
// A grid with one fixed row and column; cell (r, c) reads "r,c".
void Fill(CGridCtrl& g, int rows, int cols) {
    g.SetRowCount(rows);
    g.SetColumnCount(cols);
    g.SetFixedRowCount(1);
    g.SetFixedColumnCount(1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g.SetItemText(r, c, std::to_string(r) + "," + std::to_string(c));
    g.resize(420, 300);
    g.show();
    g.Refresh();
}

QPoint Center(const CGridCtrl& g, int row, int col) {
    return g.GetCellRect(row, col).center();
}

void Click(CGridCtrl& g, int row, int col, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(g.viewport(), Qt::LeftButton, mods, Center(g, row, col));
}

void Drag(CGridCtrl& g, QPoint from, QPoint to) {
    QTest::mousePress(g.viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, g.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(g.viewport(), &move);
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, Qt::NoModifier, to);
}

void Key(CGridCtrl& g, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(&g, key, mods);
}

CString Clipboard() {
    return QApplication::clipboard()->text().toStdString();
}
} // namespace

// The rules themselves are CGridNavigation's; the grid finds the cell under the mouse, passes the
// modifiers on and scrolls the focus cell into view.
TEST(CGridCtrl, ClicksDragsAndKeysReachTheNavigationRules) {
    CGridCtrl g;
    Fill(g, 50, 4);
    Click(g, 2, 1);
    Click(g, 4, 3, Qt::ShiftModifier);
    EXPECT_EQ(CCellRange(2, 1, 4, 3), g.GetSelectedCellRange());
    Click(g, 3, 2, Qt::ControlModifier);
    EXPECT_FALSE(g.IsCellSelected(3, 2));
    EXPECT_TRUE(g.IsCellSelected(3, 3));
    Drag(g, Center(g, 0, 2), Center(g, 0, 3));
    EXPECT_EQ(CCellRange(1, 2, 49, 3), g.GetSelectedCellRange());
    Drag(g, Center(g, 2, 1), Center(g, 3, 2));
    EXPECT_EQ(CCellRange(2, 1, 3, 2), g.GetSelectedCellRange());
    EXPECT_EQ(CCellID(3, 2), g.GetFocusCell());
    Key(g, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(CCellID(49, 3), g.GetFocusCell());
    EXPECT_GT(g.GetTopRow(), 1) << "the focus cell is scrolled into view";
    Key(g, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(CCellID(49, 2), g.GetFocusCell());
    Key(g, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(CCellID(1, 1), g.GetFocusCell());
    EXPECT_EQ(1, g.GetTopRow());
    Key(g, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(CCellRange(1, 1, 49, 3), g.GetSelectedCellRange());
}

TEST(CGridCtrl, CtrlCCopiesSelectedCellsWithoutHiddenOnesOrTrailingTab) {
    CGridCtrl g;
    Fill(g, 6, 5);
    g.SetSelectedRange(CCellRange(1, 1, 2, 3));
    g.SetColumnWidth(2, 0);
    QApplication::clipboard()->setText("before");
    Key(g, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("1,1\t1,3\r\n2,1\t2,3", Clipboard());
    g.SetSelectedRange(CCellRange(4, 4, 4, 4));
    Key(g, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ("4,4", Clipboard());
}

TEST(CGridCtrl, PasteAndCutChangeOnlyAnEditableGrid) {
    CGridCtrl g;
    Fill(g, 6, 5);
    g.SetEditable(false);
    Click(g, 2, 2);
    QApplication::clipboard()->setText("x\ty\r\nz\tw\r\n");
    Key(g, Qt::Key_V, Qt::ControlModifier);
    Key(g, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ("2,2", g.GetItemText(2, 2));
    g.SetEditable(true);
    QApplication::clipboard()->setText("x\ty\r\nz\tw\r\n");
    Key(g, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ("x", g.GetItemText(2, 2));
    EXPECT_EQ("y", g.GetItemText(2, 3));
    EXPECT_EQ("w", g.GetItemText(3, 3));
    EXPECT_EQ("4,2", g.GetItemText(4, 2));
    Key(g, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ("", g.GetItemText(2, 2));
    EXPECT_EQ("x", Clipboard());
}

TEST(CGridCtrl, OneWheelNotchScrollsThreeLinesByDefault) {
    CGridCtrl g;
    Fill(g, 200, 3);
    ASSERT_EQ(3, g.GetWheelScrollLines());
    const QPoint at = Center(g, 2, 1);
    QWheelEvent down(at, g.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(g.viewport(), &down);
    EXPECT_EQ(4, g.GetTopRow());
    g.SetWheelScrollLines(-1);
    QApplication::sendEvent(g.viewport(), &down);
    EXPECT_GT(g.GetTopRow(), 8) << "a page per notch";
}

TEST(CGridCtrl, ScrollBarsShowOnceTheContentOutgrowsTheGrid) {
    CGridCtrl g;
    Fill(g, 3, 2);
    QApplication::processEvents();
    EXPECT_FALSE(g.verticalScrollBar()->isVisible());
    EXPECT_FALSE(g.horizontalScrollBar()->isVisible());
    g.SetRowCount(200);
    g.SetColumnCount(30);
    g.Refresh();
    QApplication::processEvents();
    EXPECT_TRUE(g.verticalScrollBar()->isVisible());
    EXPECT_TRUE(g.horizontalScrollBar()->isVisible());
}

TEST(CGridCtrl, TitleTipsShowHeadingTipsAndCutTexts) {
    CGridCtrl g;
    Fill(g, 4, 3);
    g.SetColTip(1, "VARCHAR(40) NULL");
    EXPECT_EQ("VARCHAR(40) NULL", g.GetTitleTipText(0, 2)) << "heading of column c shows tip c - 1";
    EXPECT_EQ("", g.GetTitleTipText(1, 1));
    const CString longText(200, 'w');
    g.SetItemText(2, 1, longText);
    EXPECT_EQ(longText, g.GetTitleTipText(2, 1));
    g.EnableTitleTips(false);
    EXPECT_EQ("", g.GetTitleTipText(2, 1));
}

TEST(CGridCtrl, AutoSizeFitsTextsAndKeepsHiddenColumnsHidden) {
    CGridCtrl g;
    Fill(g, 4, 4);
    g.SetItemText(0, 1, "a rather long heading");
    g.SetItemText(2, 2, "a much much longer value than the heading");
    g.SetItemText(3, 1, "two\nlines");
    g.SetItemFormat(3, 1, DT_LEFT | DT_WORDBREAK);
    g.SetColumnWidth(3, 0);
    g.AutoSize();
    const QFontMetrics fm(g.font());
    EXPECT_GE(g.GetColumnWidth(1), fm.horizontalAdvance("a rather long heading"));
    EXPECT_GE(g.GetColumnWidth(2), fm.horizontalAdvance("a much much longer value than the heading"));
    EXPECT_LT(g.GetColumnWidth(1), g.GetColumnWidth(2));
    EXPECT_EQ(0, g.GetColumnWidth(3));
    EXPECT_GE(g.GetRowHeight(3), 2 * fm.height());
    EXPECT_LT(g.GetRowHeight(2), 2 * fm.height());
    EXPECT_EQ("", g.GetTitleTipText(2, 2)) << "a fitted text needs no tip";
}

TEST(CGridCtrl, ColumnsResizeByDraggingTheirHeadingEdge) {
    CGridCtrl g;
    Fill(g, 4, 4);
    g.SetColumnWidth(2, 0);
    const QRect one = g.GetCellRect(0, 1);
    const QPoint edge(one.right() + 1, one.center().y());
    Drag(g, edge, edge + QPoint(25, 0));
    EXPECT_EQ(one.width(), g.GetColumnWidth(1));
    EXPECT_EQ(25, g.GetColumnWidth(2)) << "the hidden column after the edge opens";
    const QRect three = g.GetCellRect(0, 3);
    const QPoint right(three.right() + 1, three.center().y());
    Drag(g, right, right - QPoint(10, 0));
    EXPECT_EQ(three.width() - 10, g.GetColumnWidth(3));
}

TEST(CGridCtrl, HeadingClickSortsInListModeWithHeaderSort) {
    CGridCtrl g;
    Fill(g, 5, 3);
    g.SetListMode(true);
    g.SetHeaderSort(true);
    g.SetItemText(1, 2, "b");
    g.SetItemText(2, 2, "d");
    g.SetItemText(3, 2, "a");
    g.SetItemText(4, 2, "c");
    Click(g, 0, 2);
    EXPECT_EQ("a", g.GetItemText(1, 2));
    EXPECT_EQ("3,0", g.GetItemText(1, 0));
    Click(g, 0, 2);
    EXPECT_EQ("d", g.GetItemText(1, 2)) << "second click sorts descending";
    Click(g, 2, 1);
    EXPECT_EQ(CCellRange(2, 1, 2, 2), g.GetSelectedCellRange()) << "list mode selects whole rows";
}

TEST(CGridCtrl, PrintsAllRowsOverPagesToPdf) {
    CGridCtrl g;
    Fill(g, 300, 6);
    g.setWindowTitle("Results");
    DialogRecorder dialogs;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const CString pdf = TestSandbox::Directory() + "/grid.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(g.Print(&printer));
    EXPECT_EQ(1, dialogs.PrintRequests());
    std::ifstream in(pdf, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    const std::regex page(R"(/Type\s*/Page[^s])");
    const auto pages =
        std::distance(std::sregex_iterator(text.begin(), text.end(), page), std::sregex_iterator());
    EXPECT_GT(pages, 1);

    // Every data row is on exactly one page and pages follow in order.
    CGridPrinter layout(g);
    const std::vector<int> starts = layout.Paginate(1000);
    ASSERT_FALSE(starts.empty());
    EXPECT_EQ(1, starts.front());
    EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end()));
    EXPECT_EQ("Results", layout.WindowTitle().toStdString());

    dialogs.SetPrintAccepted(false);
    EXPECT_FALSE(g.Print(&printer));
}
