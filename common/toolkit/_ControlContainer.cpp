#include "toolkit/_ControlContainer.h"

#include "toolkit/CStringTable.h"
#include "toolkit/ControlId.h"

namespace {
CAnchorRect ToAnchor(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}
QRect FromAnchor(const CAnchorRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
} // namespace

void _ControlContainer::AddControl(int controlId, RZ_TYPE type, SPLIT_TYPE flags) {
    m_Layout.Add(controlId, type, flags);
    m_Windows.push_back(FindControl(m_Dialog, controlId));
}

void _ControlContainer::AddWnd(QWidget* window, RZ_TYPE type) {
    m_Layout.Add(-1, type, SPLIT_NONE);
    m_Windows.push_back(window);
}

void _ControlContainer::AddHSplitter(int controlId) {
    m_HSplitter = FindControl(m_Dialog, controlId);
    // The dialog itself follows the pointer over its splitters.
    if (m_HSplitter)
        m_HSplitter->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (m_Dialog)
        m_Dialog->setMouseTracking(true);
}

void _ControlContainer::AddVSplitter(int controlId) {
    m_VSplitter = FindControl(m_Dialog, controlId);
    if (m_VSplitter)
        m_VSplitter->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (m_Dialog)
        m_Dialog->setMouseTracking(true);
}

void _ControlContainer::AddStatusBar(QWidget* bar) {
    m_StatusBar = bar;
}

void _ControlContainer::SetMinSizes(int width, int height) {
    m_MinWidth = width;
    m_MinHeight = height;
    if (m_Dialog)
        m_Dialog->setMinimumSize(width > 0 ? width : 0, width > 0 ? height : 0);
}

QWidget* _ControlContainer::ItemWindow(int index) const {
    return index >= 0 && index < ItemCount() ? m_Windows[index].data() : nullptr;
}

void _ControlContainer::OnSize(int width, int height, bool minimised) {
    if (minimised)
        return;
    if (m_Layout.SizeChanged(width, height))
        ReSize();
}

void _ControlContainer::ReSize() {
    for (const auto& step : m_Layout.ResizeSteps(m_StatusBar != nullptr)) {
        if (step.item == CAnchorLayout::kStatusBar)
            MoveOneCtrl(m_StatusBar, step.type, -1);
        else
            MoveOneCtrl(m_Windows[step.item], step.type, step.item);
    }
}

void _ControlContainer::MoveAll(bool vertical) {
    QWidget* splitter = vertical ? m_HSplitter : m_VSplitter;
    int splitterItem = -1;
    for (int i = 0; i < ItemCount(); ++i)
        if (splitter && m_Windows[i] == splitter)
            splitterItem = i;
    for (const auto& step : m_Layout.SplitterSteps(vertical, splitterItem)) {
        if (step.item == CAnchorLayout::kSplitter)
            MoveOneCtrl(splitter, step.type, -1);
        else
            MoveOneCtrl(m_Windows[step.item], step.type, step.item);
    }
}

void _ControlContainer::MoveOneCtrl(QWidget* window, RZ_TYPE type, int itemIndex) {
    if (!window || !m_Dialog)
        return;
    CAnchorRect rect = ToAnchor(RectInDialog(window));
    bool moved = itemIndex >= 0 ? m_Layout.Apply(rect, {itemIndex, type})
                                : CAnchorLayout::Apply(rect, type, m_Layout.Dx(), m_Layout.Dy(), nullptr);
    if (moved) {
        SetRectInDialog(window, FromAnchor(rect));
        window->update();
    }
}

QRect _ControlContainer::RectInDialog(const QWidget* window) const {
    if (!window)
        return QRect();
    QWidget* parent = window->parentWidget();
    if (!m_Dialog || parent == m_Dialog || !parent)
        return window->geometry();
    return QRect(parent->mapTo(m_Dialog, window->pos()), window->size());
}

void _ControlContainer::SetRectInDialog(QWidget* window, const QRect& rect) const {
    if (!window)
        return;
    QWidget* parent = window->parentWidget();
    QPoint topLeft = rect.topLeft();
    if (m_Dialog && parent && parent != m_Dialog)
        topLeft = parent->mapFrom(m_Dialog, topLeft);
    window->setGeometry(QRect(topLeft, QSize(std::max(0, rect.width()), std::max(0, rect.height()))));
}

void _ControlContainer::InitToolTips() {
    if (!m_Dialog)
        return;
    for (QWidget* child : m_Dialog->findChildren<QWidget*>()) {
        const int id = ControlId(child);
        if (id == -1)
            continue;
        CString text = CStringTable::TipText(id);
        if (!text.empty())
            child->setToolTip(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
}

Qt::CursorShape _ControlContainer::PointerMoved(const QPoint& pos) {
    if (m_InPointerMove)
        return m_DragH ? Qt::SizeVerCursor : m_DragV ? Qt::SizeHorCursor : Qt::ArrowCursor;
    m_InPointerMove = true;
    m_Layout.SetChange(pos.x() - m_LastPoint.x(), pos.y() - m_LastPoint.y());
    m_LastPoint = pos;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (m_DragH && m_HSplitter) {
        shape = Qt::SizeVerCursor;
        MoveAll(true);
    } else if (m_DragV && m_VSplitter) {
        shape = Qt::SizeHorCursor;
        MoveAll(false);
    } else {
        m_OverH = m_HSplitter && m_HSplitter->isVisible() && RectInDialog(m_HSplitter).contains(pos);
        m_OverV =
            !m_OverH && m_VSplitter && m_VSplitter->isVisible() && RectInDialog(m_VSplitter).contains(pos);
        shape = m_OverH ? Qt::SizeVerCursor : m_OverV ? Qt::SizeHorCursor : Qt::ArrowCursor;
    }
    m_InPointerMove = false;
    return shape;
}

bool _ControlContainer::LeftButtonDown(const QPoint& pos) {
    m_LastPoint = pos;
    if (m_OverH)
        m_DragH = true;
    else if (m_OverV)
        m_DragV = true;
    return Dragging();
}

void _ControlContainer::LeftButtonUp() {
    m_DragH = false;
    m_DragV = false;
}
