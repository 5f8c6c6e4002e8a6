#include "CCompletionPopup.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int kDetailRole = Qt::UserRole + 1;
constexpr int kPadding = 6;

// Paints a row's name and, right-aligned and dimmed, its detail (a column's type).
class CandidateDelegate : public QStyledItemDelegate {
public:
    CandidateDelegate(QObject* parent, const QColor* detail)
        : QStyledItemDelegate(parent), m_Detail(detail) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString detail = index.data(kDetailRole).toString();
        if (detail.isEmpty())
            return;
        painter->save();
        painter->setPen(option.state & QStyle::State_Selected ? option.palette.highlightedText().color()
                                                              : *m_Detail);
        painter->drawText(option.rect.adjusted(kPadding, 0, -kPadding, 0), Qt::AlignRight | Qt::AlignVCenter,
                          detail);
        painter->restore();
    }

private:
    const QColor* m_Detail;
};

} // namespace

CCompletionPopup::CCompletionPopup(QWidget* parent) : QListWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::Box);
    setItemDelegate(new CandidateDelegate(this, &m_Detail));
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { emit Chosen(row(item)); });
    hide();
}

void CCompletionPopup::SetColors(QColor back, QColor text, QColor keyword, QColor highlight,
                                 QColor highlightText) {
    QPalette p = palette();
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, highlightText);
    setPalette(p);
    m_Keyword = keyword;
    // Halfway between text and background.
    m_Detail = QColor((text.red() + back.red()) / 2, (text.green() + back.green()) / 2,
                      (text.blue() + back.blue()) / 2);
}

void CCompletionPopup::SetCandidates(const CArray<CCompletion::Candidate>& candidates) {
    const QString current = currentItem() ? currentItem()->text() : QString();
    clear();
    int keep = 0;
    for (const auto& c : candidates) {
        auto* item = new QListWidgetItem(QString::fromStdString(c.text), this);
        if (!c.detail.empty())
            item->setData(kDetailRole, QString::fromStdString(c.detail));
        if (c.kind == CCompletion::K_KEYWORD)
            item->setForeground(m_Keyword);
        QFont f = font();
        f.setBold(c.kind == CCompletion::K_TABLE || c.kind == CCompletion::K_VIEW);
        f.setItalic(c.kind == CCompletion::K_VIEW);
        item->setFont(f);
        if (item->text() == current)
            keep = count() - 1;
    }
    if (count() > 0)
        setCurrentRow(keep);
}

void CCompletionPopup::Place(QPoint below, QPoint above) {
    const QFontMetrics metrics(font());
    int width = 0;
    for (int i = 0; i < count(); ++i) {
        const QString detail = item(i)->data(kDetailRole).toString();
        QFont f = item(i)->font();
        width =
            std::max(width, QFontMetrics(f).horizontalAdvance(item(i)->text()) +
                                (detail.isEmpty() ? 0 : metrics.horizontalAdvance(detail) + 3 * kPadding));
    }
    const int rowHeight = std::max(sizeHintForRow(0), metrics.height());
    const int rows = std::min(count(), kVisibleRows);
    const int frame = 2 * frameWidth();
    const int scrollBar = count() > kVisibleRows ? verticalScrollBar()->sizeHint().width() : 0;
    const QWidget* area = parentWidget();
    const int maxWidth = area ? std::max(120, area->width() * 3 / 4) : 600;
    const int w = std::min(maxWidth, width + 2 * kPadding + frame + scrollBar);
    const int h = rows * rowHeight + frame;
    QPoint at = below;
    if (area && below.y() + h > area->height() && above.y() - h >= 0)
        at.setY(above.y() - h);
    if (area && at.x() + w > area->width())
        at.setX(std::max(0, area->width() - w));
    setGeometry(at.x(), at.y(), w, h);
    raise();
    show();
    if (currentItem())
        scrollToItem(currentItem());
}

bool CCompletionPopup::MoveSelection(int key) {
    const int last = count() - 1;
    if (last < 0)
        return false;
    int row = currentRow();
    switch (key) {
    case Qt::Key_Up:
        row = row <= 0 ? last : row - 1;
        break;
    case Qt::Key_Down:
        row = row >= last ? 0 : row + 1;
        break;
    case Qt::Key_PageUp:
        row = std::max(0, row - (kVisibleRows - 1));
        break;
    case Qt::Key_PageDown:
        row = std::min(last, row + (kVisibleRows - 1));
        break;
    default:
        return false;
    }
    setCurrentRow(row);
    return true;
}
