// Prints a grid: its whole width scaled to the paper, its rows spread over pages (those of the
// chosen range printed), each page with the column headings, a header with the window and
// application titles and a page footer.
#pragma once

#include "CommonTypes.h"

#include <QString>

#include <vector>

class CGridCtrl;
class QPainter;
class QPrinter;

class CGridPrinter {
public:
    explicit CGridPrinter(const CGridCtrl& grid) : m_Grid(grid) {}

    // Shows the print dialog, then prints the whole grid; false when cancelled or failed.
    bool Print(QPrinter* printer);
    // Prints without asking.
    bool PrintTo(QPrinter* printer);
    // First row of every page when a page holds `height` grid pixels below the headings.
    std::vector<int> Paginate(double height) const;
    // Title of the nearest enclosing window that has one.
    QString WindowTitle() const;

private:
    void DrawHeader(QPainter& painter, const QString& window, const QString& app, double charH, double left,
                    double width) const;
    void DrawFooter(QPainter& painter, int page, int pages, double charH, double left, double width,
                    double pageHeight) const;

    const CGridCtrl& m_Grid;
};
