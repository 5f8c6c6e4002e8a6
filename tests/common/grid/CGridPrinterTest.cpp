#include "grid/CGridPrinter.h"

#include "grid/CGridCtrl.h"

#include "DialogRecorder.h"
#include "PdfPages.h"
#include "TestSandbox.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace {
// The page's text above its footer, whose date and time change from one printout to the next.
std::string AboveFooter(const std::string& text) {
    return text.substr(0, text.find("Page "));
}

TEST(CGridPrinter, PrintsOnlyThePagesOfTheChosenRangeNumberedAsInTheWholeGrid) {
    CGridCtrl grid;
    grid.SetRowCount(300);
    grid.SetColumnCount(4);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int r = 0; r < 300; ++r)
        for (int c = 0; c < 4; ++c)
            grid.SetItemText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
    grid.resize(420, 300);
    grid.setWindowTitle("Results");
    DialogRecorder dialogs; // accepts the print dialog, leaving the printer as set below

    const std::string all = TestSandbox::Directory() + "/all.pdf";
    QPrinter whole(QPrinter::HighResolution);
    whole.setOutputFormat(QPrinter::PdfFormat);
    whole.setOutputFileName(QString::fromStdString(all));
    ASSERT_TRUE(grid.Print(&whole));
    const int pages = PdfPages::Count(all);
    ASSERT_GE(pages, 3) << "pdfinfo (poppler-utils) must be installed";

    const std::string some = TestSandbox::Directory() + "/some.pdf";
    QPrinter range(QPrinter::HighResolution);
    range.setOutputFormat(QPrinter::PdfFormat);
    range.setOutputFileName(QString::fromStdString(some));
    range.setPrintRange(QPrinter::PageRange);
    range.setFromTo(2, 3);
    ASSERT_TRUE(grid.Print(&range));
    ASSERT_EQ(2, PdfPages::Count(some));
    for (int page : {2, 3}) {
        const std::string printed = PdfPages::Text(some, page - 1);
        EXPECT_EQ(AboveFooter(PdfPages::Text(all, page)), AboveFooter(printed)) << "page " << page;
        EXPECT_NE(std::string::npos,
                  printed.find("Page " + std::to_string(page) + " of " + std::to_string(pages)))
            << printed;
    }
}
} // namespace
