#include "grid/CGridCtrl.h"

#include "grid/CGridPrinter.h"
#include "services/Helpers.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <optional>

namespace {
QColor ToQColor(uint32_t c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
uint32_t FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

constexpr int kResizeSlack = 3;
constexpr int kVerticalMargin = 2;

// Whole pixels for a laid-out width; float noise below a thousandth of a pixel is not a pixel more.
int CeilWidth(double width) {
    return static_cast<int>(std::ceil(width - 1e-3));
}

// The lines a cell's text is laid out in: one for a single-line cell, else one per line break.
template <class Visit> void ForEachLine(std::string_view text, unsigned format, Visit visit) {
    size_t pos = 0;
    do {
        const size_t nl = (format & DT_SINGLELINE) ? std::string_view::npos : text.find('\n', pos);
        std::string_view line =
            text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        visit(line);
        pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
    } while (pos <= text.size());
}

bool IsAscii(std::string_view s) {
    for (char ch : s)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    return true;
}

Qt::Alignment AlignmentOf(unsigned format) {
    Qt::Alignment a = (format & DT_RIGHT)    ? Qt::AlignRight
                      : (format & DT_CENTER) ? Qt::AlignHCenter
                                             : Qt::AlignLeft;
    a |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    return a;
}

unsigned Modifiers(Qt::KeyboardModifiers modifiers) {
    unsigned flags = CGridNavigation::NoModifier;
    if (modifiers & Qt::ShiftModifier)
        flags |= CGridNavigation::Shift;
    if (modifiers & Qt::ControlModifier)
        flags |= CGridNavigation::Ctrl;
    return flags;
}

std::optional<CGridNavigation::Key> NavigationKey(int key) {
    using Key = CGridNavigation::Key;
    switch (key) {
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Right:
        return Key::Right;
    case Qt::Key_PageUp:
        return Key::PageUp;
    case Qt::Key_PageDown:
        return Key::PageDown;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_End:
        return Key::End;
    case Qt::Key_Tab:
        return Key::Tab;
    case Qt::Key_Backtab:
        return Key::Backtab;
    default:
        return std::nullopt;
    }
}
} // namespace

CGridCtrl::CGridCtrl(QWidget* parent, std::unique_ptr<CGridModel> model)
    : QAbstractScrollArea(parent), m_pModel(model ? std::move(model) : std::make_unique<CGridModel>()),
      m_Navigation(*m_pModel) {
    const QPalette pal = palette();
    m_crTextColour = FromQColor(pal.color(QPalette::Text));
    m_crTextBkColour = FromQColor(pal.color(QPalette::Base));
    m_crFixedBkColour = FromQColor(pal.color(QPalette::Button));
    m_crGridColour = RGB(192, 192, 192);
    const int lines = QApplication::wheelScrollLines();
    m_nRowsPerWheelNotch = (lines > 0 || lines == -1) ? lines : 3;
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(20);
    UpdateFontMetrics();
    m_nTopRow = m_pModel->GetFixedRowCount();
}

CGridCtrl::~CGridCtrl() = default;

// ---------------------------------------------------------------- structure

bool CGridCtrl::SetRowCount(int rows) {
    const bool ok = m_pModel->SetRowCount(rows);
    ScheduleLayout();
    return ok;
}
bool CGridCtrl::SetColumnCount(int cols) {
    const bool ok = m_pModel->SetColumnCount(cols);
    ScheduleLayout();
    return ok;
}
bool CGridCtrl::SetFixedRowCount(int rows) {
    const bool ok = m_pModel->SetFixedRowCount(rows);
    ScheduleLayout();
    return ok;
}
bool CGridCtrl::SetFixedColumnCount(int cols) {
    const bool ok = m_pModel->SetFixedColumnCount(cols);
    ScheduleLayout();
    return ok;
}
int CGridCtrl::InsertRow(const CString& heading, int before) {
    const int row = m_pModel->InsertRow(heading, before);
    ScheduleLayout();
    return row;
}
bool CGridCtrl::DeleteRow(int row) {
    const bool ok = m_pModel->DeleteRow(row);
    ScheduleLayout();
    return ok;
}
void CGridCtrl::ContentReplaced() {
    m_nTopRow = m_pModel->GetFixedRowCount();
    m_MouseMode = MouseMode::None;
    m_Navigation.Reset();
    horizontalScrollBar()->setValue(0);
    ScheduleLayout();
}

void CGridCtrl::DeleteAllItems() {
    m_pModel->DeleteAllItems();
    m_nTopRow = 0;
    m_MouseMode = MouseMode::None;
    m_Navigation.Reset();
    horizontalScrollBar()->setValue(0);
    ScheduleLayout();
}

bool CGridCtrl::SetItem(const _GV_ITEM& item) {
    const bool ok = m_pModel->SetItem(item);
    ScheduleLayout();
    return ok;
}
bool CGridCtrl::SetItemText(int row, int col, const CString& text) {
    const bool ok = m_pModel->SetItemText(row, col, text);
    ScheduleLayout();
    return ok;
}
bool CGridCtrl::SetItemFormat(int row, int col, unsigned format) {
    const bool ok = m_pModel->SetItemFormat(row, col, format);
    ScheduleLayout();
    return ok;
}
bool CGridCtrl::SetItemState(int row, int col, unsigned state) {
    const bool ok = m_pModel->SetItemState(row, col, state);
    ScheduleLayout();
    return ok;
}
bool CGridCtrl::SetRowHeight(int row, int height) {
    const bool ok = m_pModel->SetRowHeight(row, height);
    ScheduleLayout();
    return ok;
}
bool CGridCtrl::SetColumnWidth(int col, int width) {
    const bool ok = m_pModel->SetColumnWidth(col, width);
    ScheduleLayout();
    return ok;
}

void CGridCtrl::ScheduleLayout() {
    if (m_bLayoutPending)
        return;
    m_bLayoutPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bLayoutPending = false;
            ResetScrollBars();
            viewport()->update();
        },
        Qt::QueuedConnection);
}

void CGridCtrl::Refresh() {
    ResetScrollBars();
    viewport()->update();
}

// ---------------------------------------------------------------- geometry

void CGridCtrl::UpdateFontMetrics() {
    m_TextFont = font();
    m_TextFont.setKerning(false);
    const QFontMetricsF fm(m_TextFont);
    m_MaxAsciiAdvance = 0;
    for (int c = 0; c < 128; ++c) {
        m_AsciiAdvance[c] = c >= 0x20 && c < 0x7F ? fm.horizontalAdvance(QChar(c)) : 0;
        m_MaxAsciiAdvance = std::max(m_MaxAsciiAdvance, m_AsciiAdvance[c]);
    }
    m_nLineHeight = CeilWidth(std::max(fm.height(), fm.lineSpacing()));
    const QSize padding = TextPadding();
    m_pModel->SetDefaultCellSize(CeilWidth(fm.averageCharWidth() * 10) + padding.width(),
                                 m_nLineHeight + padding.height());
}

QRect CGridCtrl::TextRect(const QRect& cell) const {
    // The right and bottom pixels hold the grid lines.
    return cell.adjusted(m_nMargin, kVerticalMargin, -m_nMargin - 1, -kVerticalMargin);
}

QSize CGridCtrl::TextPadding() const {
    const QRect probe(0, 0, 1000, 1000);
    const QRect text = TextRect(probe);
    return {probe.width() - text.width(), probe.height() - text.height()};
}

int CGridCtrl::FixedWidth() const {
    int w = 0;
    for (int c = 0; c < GetFixedColumnCount(); ++c)
        w += GetColumnWidth(c);
    return w;
}

int CGridCtrl::FixedHeight() const {
    int h = 0;
    for (int r = 0; r < GetFixedRowCount(); ++r)
        h += GetRowHeight(r);
    return h;
}

int CGridCtrl::ColumnLeft(int col) const {
    const int fixed = GetFixedColumnCount();
    int x = 0;
    if (col < fixed) {
        for (int c = 0; c < col; ++c)
            x += GetColumnWidth(c);
        return x;
    }
    x = FixedWidth() - horizontalScrollBar()->value();
    for (int c = fixed; c < col; ++c)
        x += GetColumnWidth(c);
    return x;
}

int CGridCtrl::RowTop(int row) const {
    const int fixed = GetFixedRowCount();
    int y = 0;
    if (row < fixed) {
        for (int r = 0; r < row; ++r)
            y += GetRowHeight(r);
        return y;
    }
    if (row < m_nTopRow)
        return INT_MIN;
    y = FixedHeight();
    const int limit = viewport()->height();
    for (int r = m_nTopRow; r < row; ++r) {
        y += GetRowHeight(r);
        if (y > limit)
            return INT_MAX / 2;
    }
    return y;
}

QRect CGridCtrl::GetCellRect(int row, int col) const {
    if (!IsValid(row, col))
        return {};
    const int y = RowTop(row);
    if (y == INT_MIN || y >= INT_MAX / 2)
        return {};
    return QRect(ColumnLeft(col), y, GetColumnWidth(col), GetRowHeight(row));
}

CCellID CGridCtrl::GetCellFromPt(const QPoint& p) const {
    if (p.x() < 0 || p.y() < 0)
        return {};
    int col = -1;
    const int fixedW = FixedWidth();
    if (p.x() < fixedW) {
        int x = 0;
        for (int c = 0; c < GetFixedColumnCount(); ++c) {
            x += GetColumnWidth(c);
            if (p.x() < x) {
                col = c;
                break;
            }
        }
    } else {
        int x = fixedW - horizontalScrollBar()->value();
        for (int c = GetFixedColumnCount(); c < GetColumnCount(); ++c) {
            x += GetColumnWidth(c);
            if (p.x() < x) {
                col = c;
                break;
            }
        }
    }
    int row = -1;
    const int fixedH = FixedHeight();
    if (p.y() < fixedH) {
        int y = 0;
        for (int r = 0; r < GetFixedRowCount(); ++r) {
            y += GetRowHeight(r);
            if (p.y() < y) {
                row = r;
                break;
            }
        }
    } else {
        int y = fixedH;
        for (int r = m_nTopRow; r < GetRowCount() && y <= p.y(); ++r) {
            y += GetRowHeight(r);
            if (p.y() < y) {
                row = r;
                break;
            }
        }
    }
    if (row < 0 || col < 0)
        return {};
    return {row, col};
}

int CGridCtrl::VisibleRowsFrom(int top) const {
    const int avail = viewport()->height() - FixedHeight();
    int y = 0, n = 0;
    for (int r = top; r < GetRowCount() && y < avail; ++r) {
        y += GetRowHeight(r);
        ++n;
    }
    return n;
}

int CGridCtrl::MaxTopRow() const {
    const int fixed = GetFixedRowCount();
    const int rows = GetRowCount();
    if (rows <= fixed)
        return fixed;
    const int avail = viewport()->height() - FixedHeight();
    int h = 0;
    int r = rows - 1;
    for (; r >= fixed; --r) {
        h += GetRowHeight(r);
        if (h > avail)
            break;
    }
    return r < fixed ? fixed : std::min(r + 1, rows - 1);
}

void CGridCtrl::ResetScrollBars() {
    const int fixed = GetFixedRowCount();
    const int maxTop = MaxTopRow();
    m_nTopRow = std::clamp(m_nTopRow, fixed, std::max(fixed, maxTop));
    // The range signals stay on: the scroll area shows or hides its bars on them. A value change
    // only re-reads the top row, which is already the one set here.
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, maxTop - fixed));
    v->setPageStep(std::max(1, VisibleRowsFrom(m_nTopRow) - 1));
    v->setValue(m_nTopRow - fixed);

    int total = 0;
    for (int c = GetFixedColumnCount(); c < GetColumnCount(); ++c)
        total += GetColumnWidth(c);
    const int avail = std::max(0, viewport()->width() - FixedWidth());
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, total - avail));
    h->setPageStep(std::max(1, avail));
}

void CGridCtrl::SetTopRow(int row) {
    const int fixed = GetFixedRowCount();
    m_nTopRow = std::clamp(row, fixed, std::max(fixed, MaxTopRow()));
    const QSignalBlocker block(verticalScrollBar());
    verticalScrollBar()->setValue(m_nTopRow - fixed);
    viewport()->update();
}

void CGridCtrl::scrollContentsBy(int dx, int dy) {
    m_nTopRow = GetFixedRowCount() + verticalScrollBar()->value();
    viewport()->update();
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    ResetScrollBars();
}

void CGridCtrl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        UpdateFontMetrics();
    QAbstractScrollArea::changeEvent(event);
}

void CGridCtrl::EnsureVisible(int row, int col) {
    if (!IsValid(row, col))
        return;
    if (row >= GetFixedRowCount()) {
        if (row < m_nTopRow) {
            SetTopRow(row);
        } else {
            const int avail = viewport()->height() - FixedHeight();
            int h = 0;
            for (int r = m_nTopRow; r <= row; ++r)
                h += GetRowHeight(r);
            if (h > avail) {
                int top = row, fill = GetRowHeight(row);
                while (top - 1 >= GetFixedRowCount() && fill + GetRowHeight(top - 1) <= avail)
                    fill += GetRowHeight(--top);
                SetTopRow(top);
            }
        }
    }
    if (col >= GetFixedColumnCount()) {
        QScrollBar* h = horizontalScrollBar();
        int x = 0;
        for (int c = GetFixedColumnCount(); c < col; ++c)
            x += GetColumnWidth(c);
        const int avail = viewport()->width() - FixedWidth();
        if (x < h->value())
            h->setValue(x);
        else if (x + GetColumnWidth(col) > h->value() + avail)
            h->setValue(std::min(x, x + GetColumnWidth(col) - avail));
    }
}

// ---------------------------------------------------------------- sizing

std::optional<QFont> CGridCtrl::CellFont(const CGridCellBase* attr) const {
    if (!attr || !attr->m_Font)
        return std::nullopt;
    const CFontDesc& desc = *attr->m_Font;
    QFont font = m_TextFont;
    if (!desc.family.empty())
        font.setFamily(QString::fromStdString(desc.family));
    if (desc.pointSize > 0)
        font.setPointSize(desc.pointSize);
    font.setWeight(QFont::Weight(std::clamp(desc.weight, 1, 1000)));
    font.setItalic(desc.italic);
    return font;
}

int CGridCtrl::LineWidth(std::string_view line, const QFont* font) const {
    if (!font && IsAscii(line)) {
        double w = 0;
        for (char ch : line)
            w += m_AsciiAdvance[static_cast<unsigned char>(ch)];
        return CeilWidth(w);
    }
    const QFontMetricsF fm(font ? *font : m_TextFont);
    return CeilWidth(fm.horizontalAdvance(QString::fromUtf8(line.data(), qsizetype(line.size()))));
}

QSize CGridCtrl::GetTextExtent(int row, int col) const {
    const std::string_view text = m_pModel->TextView(row, col);
    const CGridCellBase* attr = m_pModel->Attributes(row, col);
    const std::optional<QFont> cellFont = CellFont(attr);
    const QFont* font = cellFont ? &*cellFont : nullptr;
    const unsigned format = attr ? attr->m_nFormat : CGridModel::kCommonFormat;
    int width = 0, lines = 0;
    ForEachLine(text, format, [&](std::string_view line) {
        width = std::max(width, LineWidth(line, font));
        ++lines;
    });
    int lineHeight = m_nLineHeight;
    if (font) {
        const QFontMetricsF fm(*font);
        lineHeight = CeilWidth(std::max(fm.height(), fm.lineSpacing()));
    }
    const QSize padding = TextPadding();
    return {width + padding.width(), lines * lineHeight + padding.height()};
}

void CGridCtrl::AutoSizeColumn(int col) {
    if (col < 0 || col >= GetColumnCount())
        return;
    const int padding = TextPadding().width();
    int width = 0;
    const int rows = GetRowCount();
    for (int row = 0; row < rows; ++row) {
        const std::string_view text = m_pModel->TextView(row, col);
        // A text too short to beat the widest one found needs no measuring.
        if (double(text.size()) * m_MaxAsciiAdvance + padding <= width && !m_pModel->Attributes(row, col))
            continue;
        width = std::max(width, GetTextExtent(row, col).width());
    }
    m_pModel->SetColumnWidth(col, width);
}

void CGridCtrl::AutoSizeRow(int row) {
    if (row < 0 || row >= GetRowCount())
        return;
    int height = m_nLineHeight + TextPadding().height();
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (m_pModel->Attributes(row, col) ||
            m_pModel->TextView(row, col).find('\n') != std::string_view::npos)
            height = std::max(height, GetTextExtent(row, col).height());
    }
    m_pModel->SetRowHeight(row, height);
}

void CGridCtrl::AutoSize() {
    // One pass over the rows measures every column and row; plain ASCII cells are measured from a
    // table of character advances, and texts too short to beat a column's widest are skipped.
    const int rows = GetRowCount(), cols = GetColumnCount();
    std::vector<int> widths(static_cast<size_t>(cols), 0);
    std::vector<char> visible(static_cast<size_t>(cols), 0);
    for (int c = 0; c < cols; ++c)
        visible[size_t(c)] = GetColumnWidth(c) > 0;
    const QSize padding = TextPadding();
    const int singleLine = m_nLineHeight + padding.height();
    for (int row = 0; row < rows; ++row) {
        const bool plainRow = !m_pModel->RowHasAttributes(row);
        for (int col = 0; col < cols; ++col) {
            if (!visible[size_t(col)])
                continue;
            int& width = widths[size_t(col)];
            const std::string_view text = m_pModel->TextView(row, col);
            if (plainRow) {
                if (double(text.size()) * m_MaxAsciiAdvance + padding.width() <= width)
                    continue;
                double w = 0;
                bool ascii = true;
                for (char ch : text) {
                    const auto b = static_cast<unsigned char>(ch);
                    if (b >= 0x80) {
                        ascii = false;
                        break;
                    }
                    w += m_AsciiAdvance[b];
                }
                width =
                    std::max(width, ascii ? CeilWidth(w) + padding.width() : GetTextExtent(row, col).width());
            } else {
                width = std::max(width, GetTextExtent(row, col).width());
            }
        }
        if (GetRowHeight(row) > 0) {
            if (plainRow)
                m_pModel->SetRowHeight(row, singleLine);
            else
                AutoSizeRow(row);
        }
    }
    for (int col = 0; col < cols; ++col)
        if (visible[size_t(col)])
            m_pModel->SetColumnWidth(col, widths[size_t(col)]);
    ResetScrollBars();
    viewport()->update();
}

// ---------------------------------------------------------------- selection

void CGridCtrl::SetSelectedRange(const CCellRange& range) {
    m_pModel->Selection().Clear();
    CCellRange r = range;
    if (GetListMode() && r.IsValid()) {
        r.minCol = GetFixedColumnCount();
        r.maxCol = GetColumnCount() - 1;
    }
    m_pModel->Selection().Add(r);
    m_pModel->Selection().Clip(GetCellRange());
    viewport()->update();
}

void CGridCtrl::SelectAllCells() {
    m_Navigation.SelectAll();
    viewport()->update();
}

void CGridCtrl::ClearSelection() {
    m_pModel->Selection().Clear();
    viewport()->update();
}

void CGridCtrl::SetFocusCell(int row, int col) {
    m_pModel->SetFocusCell(CCellID(row, col));
    viewport()->update();
}

bool CGridCtrl::SortTextItems(int col, bool ascending) {
    const bool ok = m_pModel->SortTextItems(col, ascending);
    viewport()->update();
    return ok;
}

void CGridCtrl::OnHeaderSort(int col) {
    const bool ascending = !(m_pModel->GetSortColumn() == col && m_pModel->GetSortAscending());
    m_pModel->Selection().Clear();
    m_pModel->SetFocusCell(CCellID());
    SortTextItems(col, ascending);
}

int CGridCtrl::ResizeColumnAt(const QPoint& p) const {
    if (!m_bAllowColumnResize || p.y() >= FixedHeight())
        return -1;
    int found = -1;
    for (int c = 0; c < GetColumnCount(); ++c) {
        const int right = ColumnLeft(c) + GetColumnWidth(c);
        if (c >= GetFixedColumnCount() && right <= FixedWidth())
            continue;
        if (std::abs(right - p.x()) <= kResizeSlack) {
            if (GetColumnWidth(c) == 0 && !m_bHiddenReopen)
                continue;
            found = c; // the last one wins, so a hidden column after the edge can be opened again
        } else if (right > p.x() + kResizeSlack) {
            break;
        }
    }
    return found;
}

int CGridCtrl::ResizeRowAt(const QPoint& p) const {
    if (!m_bAllowRowResize || p.x() >= FixedWidth())
        return -1;
    int found = -1;
    auto check = [&](int r) {
        const int y = RowTop(r);
        if (y == INT_MIN || y >= INT_MAX / 2)
            return false;
        const int bottom = y + GetRowHeight(r);
        if (std::abs(bottom - p.y()) <= kResizeSlack) {
            if (GetRowHeight(r) > 0 || m_bHiddenReopen)
                found = r;
        }
        return bottom > p.y() + kResizeSlack;
    };
    for (int r = 0; r < GetFixedRowCount(); ++r)
        if (check(r))
            return found;
    for (int r = m_nTopRow; r < GetRowCount(); ++r)
        if (check(r))
            break;
    return found;
}

// ---------------------------------------------------------------- mouse

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const CCellID cell = GetCellFromPt(pos);
    if (event->button() == Qt::RightButton) {
        m_Navigation.OnRightClick(cell);
        viewport()->update();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (int c = ResizeColumnAt(pos); c >= 0) {
        m_MouseMode = MouseMode::ResizeColumn;
        m_nResizeIndex = c;
        m_nResizeOrigin = ColumnLeft(c);
        return;
    }
    if (int r = ResizeRowAt(pos); r >= 0) {
        m_MouseMode = MouseMode::ResizeRow;
        m_nResizeIndex = r;
        m_nResizeOrigin = RowTop(r);
        return;
    }
    if (m_Navigation.OnLeftClick(cell, Modifiers(event->modifiers())) == CGridNavigation::Click::SortColumn) {
        OnHeaderSort(cell.col);
        return;
    }
    viewport()->update();
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    switch (m_MouseMode) {
    case MouseMode::ResizeColumn:
        m_pModel->SetColumnWidth(m_nResizeIndex, std::max(0, pos.x() - m_nResizeOrigin));
        ResetScrollBars();
        viewport()->update();
        return;
    case MouseMode::ResizeRow:
        m_pModel->SetRowHeight(m_nResizeIndex, std::max(0, pos.y() - m_nResizeOrigin));
        ResetScrollBars();
        viewport()->update();
        return;
    case MouseMode::None:
        break;
    }
    const CGridNavigation::Drag drag = m_Navigation.GetDrag();
    if (drag == CGridNavigation::Drag::None) {
        if (ResizeColumnAt(pos) >= 0)
            viewport()->setCursor(Qt::SplitHCursor);
        else if (ResizeRowAt(pos) >= 0)
            viewport()->setCursor(Qt::SplitVCursor);
        else
            viewport()->unsetCursor();
        return;
    }
    if (!(event->buttons() & Qt::LeftButton))
        return;
    // Scroll while the mouse is dragged past the edges.
    if (pos.y() >= viewport()->height())
        SetTopRow(m_nTopRow + 1);
    else if (pos.y() < FixedHeight() && drag != CGridNavigation::Drag::Columns)
        SetTopRow(m_nTopRow - 1);
    const QPoint clamped(
        std::clamp(pos.x(), FixedWidth(), std::max(FixedWidth(), viewport()->width() - 1)),
        std::clamp(pos.y(), FixedHeight(), std::max(FixedHeight(), viewport()->height() - 1)));
    CCellID cell = GetCellFromPt(drag == CGridNavigation::Drag::Columns ? QPoint(clamped.x(), 0) : clamped);
    if (drag == CGridNavigation::Drag::Rows)
        cell = GetCellFromPt(QPoint(0, clamped.y()));
    if (!cell.IsValid())
        return;
    m_Navigation.DragTo(cell);
    viewport()->update();
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (m_MouseMode == MouseMode::ResizeColumn || m_MouseMode == MouseMode::ResizeRow)
        ResetScrollBars();
    m_MouseMode = MouseMode::None;
    m_Navigation.EndDrag();
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (int c = ResizeColumnAt(pos); c >= 0) {
        AutoSizeColumn(c);
        Refresh();
        return;
    }
    if (int r = ResizeRowAt(pos); r >= 0) {
        AutoSizeRow(r);
        Refresh();
        return;
    }
    mousePressEvent(event);
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
    m_nWheelRemainder += event->angleDelta().y();
    const int notches = m_nWheelRemainder / 120;
    m_nWheelRemainder %= 120;
    if (notches == 0)
        return;
    const int step =
        m_nRowsPerWheelNotch == -1 ? std::max(1, VisibleRowsFrom(m_nTopRow) - 1) : m_nRowsPerWheelNotch;
    SetTopRow(m_nTopRow - notches * step);
    event->accept();
}

CString CGridCtrl::GetTitleTipText(int row, int col) const {
    if (!m_bTitleTips || !IsValid(row, col))
        return {};
    if (row < GetFixedRowCount() && col >= 1) {
        const CString tip = GetColTip(col - 1);
        if (!tip.empty())
            return tip;
    }
    // The extent is the smallest cell that paints the text whole, so a smaller one cuts it.
    const QSize extent = GetTextExtent(row, col);
    if (extent.width() > GetColumnWidth(col) || extent.height() > GetRowHeight(row))
        return GetItemText(row, col);
    return {};
}

bool CGridCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const CCellID cell = GetCellFromPt(help->pos());
        const CString tip = cell.IsValid() ? GetTitleTipText(cell.row, cell.col) : CString();
        if (tip.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), QString::fromUtf8(tip.data(), qsizetype(tip.size())),
                               viewport(), GetCellRect(cell.row, cell.col));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

// ---------------------------------------------------------------- keyboard

bool CGridCtrl::focusNextPrevChild(bool next) {
    return false;
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int key = event->key();
    if ((ctrl && key == Qt::Key_C) || (ctrl && key == Qt::Key_Insert)) {
        OnEditCopy();
        return;
    }
    if (ctrl && key == Qt::Key_X) {
        OnEditCut();
        return;
    }
    if ((ctrl && key == Qt::Key_V) || (shift && key == Qt::Key_Insert)) {
        OnEditPaste();
        return;
    }
    if (ctrl && key == Qt::Key_A) {
        SelectAllCells();
        return;
    }
    const std::optional<CGridNavigation::Key> move = NavigationKey(key);
    if (!move || !m_Navigation.OnKey(*move, Modifiers(event->modifiers()),
                                     std::max(1, VisibleRowsFrom(m_nTopRow) - 1))) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const CCellID focus = GetFocusCell();
    if (focus.IsValid())
        EnsureVisible(focus.row, focus.col);
    viewport()->update();
}

// ---------------------------------------------------------------- clipboard and commands

void CGridCtrl::OnEditCopy() {
    if (m_pModel->Selection().IsEmpty())
        return;
    CopyToClipBoard(m_pModel->SelectedText());
}

void CGridCtrl::OnEditCut() {
    if (!m_bEditable || m_pModel->Selection().IsEmpty())
        return;
    OnEditCopy();
    for (const CCellRange& r : m_pModel->Selection().Ranges())
        for (int row = r.minRow; row <= r.maxRow; ++row)
            for (int col = r.minCol; col <= r.maxCol; ++col)
                m_pModel->SetItemText(row, col, {});
    viewport()->update();
}

void CGridCtrl::OnEditPaste() {
    if (!m_bEditable)
        return;
    CCellID at = GetFocusCell();
    if (!at.IsValid()) {
        const CCellRange sel = GetSelectedCellRange();
        if (!sel.IsValid())
            return;
        at = CCellID(sel.minRow, sel.minCol);
    }
    const QString text = QApplication::clipboard()->text();
    const QStringList lines = text.split('\n');
    int row = at.row;
    for (int i = 0; i < lines.size() && row < GetRowCount(); ++i, ++row) {
        QString line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        const QStringList fields = line.split('\t');
        for (int j = 0; j < fields.size() && at.col + j < GetColumnCount(); ++j)
            m_pModel->SetItemText(row, at.col + j, fields[j].toStdString());
    }
    viewport()->update();
}

bool CGridCtrl::OnCommand(int id, long param) {
    switch (id) {
    case 57634:
        OnEditCopy();
        return true;
    case 57635:
        OnEditCut();
        return true;
    case 57637:
        OnEditPaste();
        return true;
    case 57642:
        SelectAllCells();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- painting

void CGridCtrl::DrawCell(QPainter& painter, int row, int col, const QRect& rect, bool printing) const {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const bool fixed = row < GetFixedRowCount() || col < GetFixedColumnCount();
    const CGridCellBase* attr = m_pModel->Attributes(row, col);
    const bool selected = !printing && !fixed && IsCellSelected(row, col);
    QColor bk, fg;
    if (fixed)
        bk = printing ? (m_bShadedPrintOut ? QColor(224, 224, 224) : QColor(Qt::white))
                      : ToQColor(m_crFixedBkColour);
    else if (attr && attr->m_crBkClr != CLR_DEFAULT)
        bk = ToQColor(attr->m_crBkClr);
    else
        bk = printing ? QColor(Qt::white) : ToQColor(m_crTextBkColour);
    if (attr && attr->m_crFgClr != CLR_DEFAULT)
        fg = ToQColor(attr->m_crFgClr);
    else
        fg = printing ? QColor(Qt::black) : ToQColor(m_crTextColour);
    if (selected) {
        bk = palette().color(QPalette::Highlight);
        fg = palette().color(QPalette::HighlightedText);
    }
    painter.fillRect(rect, bk);
    painter.setPen(ToQColor(m_crGridColour));
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());

    const std::string_view text = m_pModel->TextView(row, col);
    const QRect textRect = TextRect(rect);
    if (!text.empty() && textRect.width() > 0 && textRect.height() > 0) {
        const unsigned format = attr ? attr->m_nFormat : CGridModel::kCommonFormat;
        const std::optional<QFont> ownFont = CellFont(attr);
        const QFont* cellFont = ownFont ? &*ownFont : nullptr;
        const QFont previousFont = painter.font();
        if (cellFont)
            painter.setFont(*cellFont);
        painter.setPen(fg);
        // On screen the text is measured exactly as sizing measures it; a printer has its own metrics.
        const QFontMetricsF printMetrics(painter.font(), painter.device());
        auto width = [&](std::string_view line) {
            if (!printing)
                return LineWidth(line, cellFont);
            return CeilWidth(
                printMetrics.horizontalAdvance(QString::fromUtf8(line.data(), qsizetype(line.size()))));
        };
        bool fits = true;
        int lines = 0;
        ForEachLine(text, format, [&](std::string_view line) {
            fits = fits && width(line) <= textRect.width();
            ++lines;
        });
        const double lineHeight = printing ? printMetrics.height() : QFontMetricsF(painter.font()).height();
        fits = fits && lines * lineHeight <= textRect.height() + 0.5;
        QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
        int flags = int(AlignmentOf(format));
        if (!(format & DT_NOPREFIX))
            flags |= Qt::TextShowMnemonic;
        if (fits) {
            // Measured to fit: drawn as it stands, never wrapped or cut by a rounding of the layout.
            flags |= Qt::TextDontClip | ((format & DT_SINGLELINE) ? Qt::TextSingleLine : 0);
        } else if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE) &&
                   textRect.height() >= 2 * lineHeight) {
            flags |= Qt::TextWordWrap;
        } else {
            // Too narrow and no room for more lines: each line ends in an ellipsis, so that what is
            // missing shows.
            flags |= (format & DT_SINGLELINE) ? Qt::TextSingleLine : 0;
            const QFontMetrics fm(painter.font(), painter.device());
            QStringList parts = (format & DT_SINGLELINE) ? QStringList{s} : s.split('\n');
            for (QString& part : parts) {
                if (part.endsWith('\r'))
                    part.chop(1);
                part = fm.elidedText(part, Qt::ElideRight, textRect.width(), Qt::TextSingleLine);
            }
            s = parts.join('\n');
        }
        painter.drawText(textRect, flags, s);
        if (cellFont)
            painter.setFont(previousFont);
    }
    if (!printing && GetFocusCell() == CCellID(row, col) && hasFocus()) {
        QPen pen(fg, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect.adjusted(1, 1, -2, -2));
    }
}

void CGridCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(m_TextFont);
    const int vw = viewport()->width(), vh = viewport()->height();
    painter.fillRect(0, 0, vw, vh, ToQColor(m_crTextBkColour));
    const int fixedRows = GetFixedRowCount(), fixedCols = GetFixedColumnCount();
    const int fixedW = FixedWidth(), fixedH = FixedHeight();

    // Visible columns and rows with their positions; only these are drawn.
    std::vector<std::pair<int, int>> cols, rows;
    for (int c = 0, x = 0; c < fixedCols && x < vw; x += GetColumnWidth(c), ++c)
        cols.emplace_back(c, x);
    const size_t fixedColItems = cols.size();
    for (int c = fixedCols, x = fixedW - horizontalScrollBar()->value(); c < GetColumnCount() && x < vw;
         x += GetColumnWidth(c), ++c)
        if (x + GetColumnWidth(c) > fixedW && GetColumnWidth(c) > 0)
            cols.emplace_back(c, x);
    for (int r = 0, y = 0; r < fixedRows && y < vh; y += GetRowHeight(r), ++r)
        rows.emplace_back(r, y);
    const size_t fixedRowItems = rows.size();
    for (int r = m_nTopRow, y = fixedH; r < GetRowCount() && y < vh; y += GetRowHeight(r), ++r)
        if (GetRowHeight(r) > 0)
            rows.emplace_back(r, y);

    auto drawBlock = [&](size_t r0, size_t r1, size_t c0, size_t c1, const QRect& clip) {
        if (clip.width() <= 0 || clip.height() <= 0)
            return;
        painter.setClipRect(clip);
        for (size_t i = r0; i < r1; ++i)
            for (size_t j = c0; j < c1; ++j) {
                const auto [r, y] = rows[i];
                const auto [c, x] = cols[j];
                DrawCell(painter, r, c, QRect(x, y, GetColumnWidth(c), GetRowHeight(r)), false);
            }
    };
    drawBlock(fixedRowItems, rows.size(), fixedColItems, cols.size(),
              QRect(fixedW, fixedH, vw - fixedW, vh - fixedH));
    drawBlock(0, fixedRowItems, fixedColItems, cols.size(), QRect(fixedW, 0, vw - fixedW, fixedH));
    drawBlock(fixedRowItems, rows.size(), 0, fixedColItems, QRect(0, fixedH, fixedW, vh - fixedH));
    drawBlock(0, fixedRowItems, 0, fixedColItems, QRect(0, 0, fixedW, fixedH));
}

// ---------------------------------------------------------------- printing

void CGridCtrl::SetPrintMarginInfo(int header, int footer, int left, int right, int top, int bottom,
                                   int gap) {
    m_nHeaderHeight = header;
    m_nFooterHeight = footer;
    m_nLeftMargin = left;
    m_nRightMargin = right;
    m_nTopMargin = top;
    m_nBottomMargin = bottom;
    m_nGap = gap;
}

bool CGridCtrl::Print(QPrinter* printer) {
    std::unique_ptr<QPrinter> own;
    if (!printer) {
        own = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer = own.get();
    }
    CGridPrinter gridPrinter(*this);
    return gridPrinter.Print(printer);
}
