#include "editor/CScriptPrinter.h"

#include "toolkit/CPrintPages.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace {
constexpr int LeftMargin = 3;
constexpr int TopMargin = 3;
constexpr int LineGap = 5;
} // namespace

CArray<CScriptPrinter::Placement> CScriptPrinter::Layout(int lineCount, int lineHeight, int pageHeight) {
    CArray<Placement> placements;
    placements.reserve(lineCount > 0 ? lineCount : 0);
    int page = 0;
    int row = 0; // row of the next line on the current page
    for (int i = 0; i < lineCount; ++i) {
        int y = (lineHeight + LineGap) * row + TopMargin;
        // A line that would reach the bottom goes to a fresh page; the first line of a page always stays,
        // so a page too small for one line cannot loop forever.
        if (row > 0 && y + lineHeight + TopMargin >= pageHeight) {
            ++page;
            row = 0;
            y = TopMargin;
        }
        placements.push_back({page, y});
        ++row;
    }
    return placements;
}

int CScriptPrinter::PrintLines(QPrinter& printer, const CStringArray& lines, int pointSize) {
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(pointSize > 0 ? pointSize : 10);
    const QFontMetrics metrics(font, &printer);
    const int height = metrics.height();
    const CArray<Placement> placements = Layout(static_cast<int>(lines.size()), height, printer.height());
    // The lines of each page, for printing pages in the order and number the user chose.
    CArray<CArray<size_t>> pageLines(placements.empty() ? 1 : placements.back().page + 1);
    for (size_t i = 0; i < placements.size(); ++i)
        pageLines[placements[i].page].push_back(i);
    const CArray<int> sequence = CPrintPages::Sequence(static_cast<int>(pageLines.size()), printer);
    if (sequence.empty())
        return 0;

    QPainter painter;
    if (!painter.begin(&printer))
        return -1;
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (size_t k = 0; k < sequence.size(); ++k) {
        if (k > 0 && !printer.newPage()) {
            printer.abort();
            painter.end();
            return -1;
        }
        for (size_t i : pageLines[sequence[k]]) {
            const CString& line = lines[i];
            painter.drawText(QPointF(LeftMargin, placements[i].y + metrics.ascent()),
                             QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
        }
    }
    if (!painter.end())
        return -1;
    return static_cast<int>(sequence.size());
}
