#include "toolkit/CPrintPages.h"

#include <QPrinter>

#include <algorithm>

CArray<int> CPrintPages::Sequence(int pageCount, int fromPage, int toPage, int copies, bool collate,
                                  bool lastFirst) {
    int first = 0, last = pageCount - 1;
    if (fromPage > 0 || toPage > 0) {
        first = std::max(fromPage, 1) - 1;
        last = std::min(toPage > 0 ? toPage : pageCount, pageCount) - 1;
    }
    copies = std::max(copies, 1);
    CArray<int> pages;
    if (first > last)
        return pages;
    if (collate) {
        for (int copy = 0; copy < copies; ++copy)
            for (int page = first; page <= last; ++page)
                pages.push_back(page);
    } else {
        for (int page = first; page <= last; ++page)
            pages.insert(pages.end(), copies, page);
    }
    if (lastFirst)
        std::reverse(pages.begin(), pages.end());
    return pages;
}

CArray<int> CPrintPages::Sequence(int pageCount, const QPrinter& printer) {
    const bool range = printer.printRange() == QPrinter::PageRange;
    // A printer that makes copies gets each page once.
    const int copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    return Sequence(pageCount, range ? printer.fromPage() : 0, range ? printer.toPage() : 0, copies,
                    printer.collateCopies(), printer.pageOrder() == QPrinter::LastPageFirst);
}
