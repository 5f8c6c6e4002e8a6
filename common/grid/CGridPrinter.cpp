#include "grid/CGridPrinter.h"

#include "grid/CGridCtrl.h"
#include "toolkit/CPrintPages.h"
#include "toolkit/StdDialogs.h"

#include <QDateTime>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

bool CGridPrinter::Print(QPrinter* printer) {
    const QString app = QGuiApplication::applicationDisplayName();
    printer->setDocName(app.isEmpty() ? WindowTitle() : app);
    if (!StdDialogs::SetupPrinter(const_cast<CGridCtrl*>(&m_Grid), printer))
        return false;
    return PrintTo(printer);
}

QString CGridPrinter::WindowTitle() const {
    for (const QWidget* w = &m_Grid; w; w = w->parentWidget())
        if (!w->windowTitle().isEmpty())
            return w->windowTitle();
    return {};
}

std::vector<int> CGridPrinter::Paginate(double height) const {
    std::vector<int> pages;
    int row = m_Grid.GetFixedRowCount();
    const int rows = m_Grid.GetRowCount();
    if (row >= rows)
        return {row};
    while (row < rows) {
        const int start = row;
        double used = 0;
        while (row < rows && (row == start || used + m_Grid.GetRowHeight(row) <= height))
            used += m_Grid.GetRowHeight(row++);
        pages.push_back(start);
    }
    return pages;
}

void CGridPrinter::DrawHeader(QPainter& painter, const QString& window, const QString& app, double charH,
                              double left, double width) const {
    const QRectF area(left, m_Grid.m_nTopMargin * charH, width, m_Grid.m_nHeaderHeight * charH);
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, window);
    painter.drawText(area, Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine, app);
    painter.drawLine(QPointF(area.left(), area.bottom()), QPointF(area.right(), area.bottom()));
}

void CGridPrinter::DrawFooter(QPainter& painter, int page, int pages, double charH, double left, double width,
                              double pageHeight) const {
    const QRectF area(left, pageHeight - (m_Grid.m_nBottomMargin + m_Grid.m_nFooterHeight) * charH, width,
                      m_Grid.m_nFooterHeight * charH);
    painter.drawLine(QPointF(area.left(), area.top()), QPointF(area.right(), area.top()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::asprintf("Page %d of %d", page, pages));
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                     QLocale().toString(QDateTime::currentDateTime(), QLocale::LongFormat));
}

bool CGridPrinter::PrintTo(QPrinter* printer) {
    QFont printFont("Arial");
    printFont.setPointSize(10);
    const QFontMetricsF fm(printFont, printer);
    const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ");
    const double charW = fm.horizontalAdvance(alphabet) / 52.0;
    const double charH = fm.height();
    const double pageW = printer->width(), pageH = printer->height();
    const double left = m_Grid.m_nLeftMargin * charW;
    const double width = pageW - left - m_Grid.m_nRightMargin * charW;

    double gridW = 0;
    for (int c = 0; c < m_Grid.GetColumnCount(); ++c)
        gridW += m_Grid.GetColumnWidth(c);
    const double scale = gridW > 0 && width > 0 ? width / gridW : 1.0;
    const double top = (m_Grid.m_nTopMargin + m_Grid.m_nHeaderHeight + m_Grid.m_nGap) * charH;
    const double bottom = (m_Grid.m_nBottomMargin + m_Grid.m_nFooterHeight + m_Grid.m_nGap) * charH;
    double fixedH = 0;
    for (int r = 0; r < m_Grid.GetFixedRowCount(); ++r)
        fixedH += m_Grid.GetRowHeight(r);
    const std::vector<int> pages = Paginate((pageH - top - bottom) / scale - fixedH);
    // The pages of the range chosen in the print dialog; their numbers stay those of the whole grid.
    const CArray<int> sequence = CPrintPages::Sequence(static_cast<int>(pages.size()), *printer);
    if (sequence.empty())
        return true;
    QPainter painter;
    if (!painter.begin(printer))
        return false;

    // The grid's own font at its screen size, so that text keeps its proportion to the cells.
    QFont gridFont = m_Grid.TextFont();
    gridFont.setPixelSize(std::max(1, QFontInfo(m_Grid.font()).pixelSize()));
    QFont boldFont = printFont;
    boldFont.setBold(true);
    const QString window = WindowTitle();
    const QString app = QGuiApplication::applicationDisplayName();

    for (size_t k = 0; k < sequence.size(); ++k) {
        const size_t p = static_cast<size_t>(sequence[k]);
        if (k > 0 && !printer->newPage())
            return false;
        painter.setFont(boldFont);
        painter.setPen(Qt::black);
        DrawHeader(painter, window, app, charH, left, width);
        DrawFooter(painter, int(p) + 1, int(pages.size()), charH, left, width, pageH);

        painter.save();
        painter.translate(left, top);
        painter.scale(scale, scale);
        painter.setFont(gridFont);
        const int last = p + 1 < pages.size() ? pages[p + 1] : m_Grid.GetRowCount();
        std::vector<int> rowList;
        for (int r = 0; r < m_Grid.GetFixedRowCount(); ++r)
            rowList.push_back(r);
        for (int r = pages[p]; r < last; ++r)
            rowList.push_back(r);
        int y = 0;
        for (int r : rowList) {
            const int h = m_Grid.GetRowHeight(r);
            if (h <= 0)
                continue;
            int x = 0;
            for (int c = 0; c < m_Grid.GetColumnCount(); ++c) {
                const int w = m_Grid.GetColumnWidth(c);
                if (w > 0)
                    m_Grid.DrawCell(painter, r, c, QRect(x, y, w, h), true);
                x += w;
            }
            y += h;
        }
        painter.restore();
    }
    return painter.end();
}
