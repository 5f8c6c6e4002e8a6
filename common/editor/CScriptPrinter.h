// Prints script lines on a printer: one text line per printed row at a fixed pitch, no wrapping,
// no headers or page numbers. The layout is computed apart from the drawing so it can be checked.
#pragma once

#include "CommonTypes.h"

class QPrinter;

class CScriptPrinter {
public:
    struct Placement {
        int page = 0; // 0-based
        int y = 0;    // top of the line in device pixels of the page
    };

    // Where each of lineCount lines of height lineHeight goes on pages pageHeight pixels high.
    static CArray<Placement> Layout(int lineCount, int lineHeight, int pageHeight);

    // Prints the lines on an already set-up printer with a fixed-pitch font of pointSize points,
    // the pages and copies chosen on the printer only. Returns the number of pages printed (0 when
    // the chosen range holds none), or -1 when the document could not be printed.
    static int PrintLines(QPrinter& printer, const CStringArray& lines, int pointSize);
};
