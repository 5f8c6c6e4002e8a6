// The pages a print job puts on paper, in order: the range and page order chosen in the print
// dialog, and each copy in turn where the printer cannot make the copies itself (printing to a file).
#pragma once

#include "CommonTypes.h"

class QPrinter;

class CPrintPages {
public:
    // Pages from 0 of a document of `pageCount` pages; `fromPage` and `toPage` count from 1, both
    // 0 for the whole document; a range past the end gives no pages. `lastFirst` reverses the order.
    static CArray<int> Sequence(int pageCount, int fromPage, int toPage, int copies = 1, bool collate = true,
                                bool lastFirst = false);
    // The same for the choices made on `printer`.
    static CArray<int> Sequence(int pageCount, const QPrinter& printer);
};
