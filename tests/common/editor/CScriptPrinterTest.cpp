#include "editor/CScriptPrinter.h"

#include "editor/ColorEditWnd.h"
#include "toolkit/StdDialogs.h"

#include "PdfPages.h"
#include "TestSandbox.h"

#include <QFile>
#include <QPrinter>

#include <gtest/gtest.h>

TEST(CScriptPrinter, LinesAreSpacedByHeightPlusFiveAndBreakBeforeTheBottom) {
    // Lines 10 high on pages 100 high: rows at 3, 18, 33, 48, 63, 78; the next (93 + 13 >= 100) breaks.
    const CArray<CScriptPrinter::Placement> places = CScriptPrinter::Layout(14, 10, 100);
    ASSERT_EQ(14u, places.size());
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(0, places[i].page);
        EXPECT_EQ(15 * i + 3, places[i].y);
    }
    EXPECT_EQ(1, places[6].page);
    EXPECT_EQ(3, places[6].y);
    EXPECT_EQ(18, places[7].y);
    EXPECT_EQ(2, places[12].page);
    // No two lines of a page overlap, and every line ends above the page's bottom.
    for (size_t i = 1; i < places.size(); ++i) {
        if (places[i].page == places[i - 1].page) {
            EXPECT_GE(places[i].y, places[i - 1].y + 10);
        }
        EXPECT_LT(places[i].y + 10 + 3, 100);
    }
}

TEST(CScriptPrinter, APageSmallerThanOneLineStillMovesOn) {
    const CArray<CScriptPrinter::Placement> places = CScriptPrinter::Layout(3, 50, 20);
    ASSERT_EQ(3u, places.size());
    EXPECT_EQ(0, places[0].page);
    EXPECT_EQ(1, places[1].page);
    EXPECT_EQ(2, places[2].page);
    EXPECT_TRUE(CScriptPrinter::Layout(0, 10, 100).empty());
}

TEST(CScriptPrinter, PrintsToPdfWithThePagesOfTheLayout) {
    const QString path = QString::fromStdString(TestSandbox::Directory()) + "/print.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    CStringArray lines;
    for (int i = 0; i < 150; ++i)
        lines.push_back("select " + std::to_string(i) + " from t; -- \xc3\xa4");
    const int pages = CScriptPrinter::PrintLines(printer, lines, 12);
    EXPECT_GE(pages, 2);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    int written = 0;
    for (qsizetype at = data.indexOf("/Type /Page"); at >= 0; at = data.indexOf("/Type /Page", at + 1))
        if (data.mid(at + 11, 1) != "s")
            ++written;
    EXPECT_EQ(pages, written);
}

namespace {
// Prints the editor's text as the user does, answering the print dialog with a PDF file, a page
// range (from 1; 0 for all) and a number of copies.
void PrintEditor(ColorEditWnd& editor, const CString& path, int from, int to, int copies = 1) {
    StdDialogHandler handler;
    handler.print = [&](QWidget*, QPrinter* printer) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(path));
        printer->setPrintRange(from > 0 ? QPrinter::PageRange : QPrinter::AllPages);
        printer->setFromTo(from, to);
        printer->setCopyCount(copies);
        printer->setCollateCopies(true);
        return true;
    };
    const StdDialogHandler previous = StdDialogs::SetHandler(handler);
    editor.Print("script", 12);
    StdDialogs::SetHandler(previous);
}
} // namespace

TEST(CScriptPrinter, PrintsThePagesAndCopiesChosenInThePrintDialog) {
    ColorEditWnd editor;
    editor.Create(QRect(0, 0, 400, 300), 1, 4, 100, "Monospace");
    CString text;
    for (int i = 0; i < 200; ++i)
        text += "select " + std::to_string(i) + " from t;\r\n";
    editor.LoadText(text.c_str());
    const CString all = TestSandbox::Directory() + "/all.pdf";
    const CString some = TestSandbox::Directory() + "/some.pdf";
    PrintEditor(editor, all, 0, 0);
    const int pages = PdfPages::Count(all);
    ASSERT_GE(pages, 4) << "pdfinfo (poppler-utils) must be installed";

    // Pages 2 and 3, twice: the same pages as in the whole printout, and nothing else.
    PrintEditor(editor, some, 2, 3, 2);
    ASSERT_EQ(4, PdfPages::Count(some));
    for (int copy = 0; copy < 2; ++copy) {
        EXPECT_EQ(PdfPages::Text(all, 2), PdfPages::Text(some, 1 + 2 * copy));
        EXPECT_EQ(PdfPages::Text(all, 3), PdfPages::Text(some, 2 + 2 * copy));
    }
    EXPECT_NE(CString::npos, PdfPages::Text(some, 1).find("from t;"));
    EXPECT_EQ(CString::npos, PdfPages::Text(some, 1).find("select 0 from"));
}
