#include "toolkit/CSmDialog.h"

#include "toolkit/CWindowPlacement.h"
#include "toolkit/MessageBox.h"

#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QShowEvent>

namespace {
QPointer<QWidget>& MainWindowSlot() {
    static QPointer<QWidget> window;
    return window;
}
} // namespace

CSmDialog::CSmDialog(int templateId, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_Container(this), m_TemplateId(templateId), m_Parent(parent) {
    // QDialog makes itself a window whatever it is given; a page lives inside its parent.
    if ((flags & Qt::WindowType_Mask) == Qt::Widget)
        setWindowFlags(flags);
}

bool CSmDialog::Initialise() {
    if (m_Created)
        return true;
    if (!OnInitDialog()) {
        ShowMessage("CDialog::Create fail!", "CSmDialog", MB_OK | MB_ICONERROR, m_Parent);
        return false;
    }
    m_Container.InitToolTips();
    // The size the dialog was built with is where anchoring starts from, shown or not.
    m_Container.RecordSize(width(), height());
    m_Created = true;
    return true;
}

void CSmDialog::SetMainWindow(QWidget* window) {
    MainWindowSlot() = window;
}

bool CSmDialog::Create(int x, int y) {
    // A window opens centred unless its initialisation restores a stored placement.
    if (isWindow())
        m_CentreOnShow = true;
    if (!Initialise())
        return false;
    if (!isWindow() || m_CentreOnShow)
        move(x, y);
    return true;
}

int CSmDialog::DoModal() {
    if (!Initialise())
        return -1;
    return exec();
}

void CSmDialog::Activate() {
    show();
    setFocus();
}

void CSmDialog::Deactivate() {
    hide();
}

void CSmDialog::showEvent(QShowEvent* event) {
    if (isWindow() && m_CentreOnShow && !event->spontaneous()) {
        m_CentreOnShow = false;
        // Centred at the size it is shown with, which its layout settles now.
        if (layout())
            layout()->activate();
        QWidget* owner = parentWidget() ? parentWidget()->window() : MainWindowSlot().data();
        const QRect ownerRect =
            owner && owner != this && owner->isVisible() ? owner->frameGeometry() : QRect();
        // The frame counts where the desktop already knows it; move() places the frame.
        move(CWindowPlacement::Centred(frameGeometry().size(), ownerRect, CWindowPlacement::Screens())
                 .topLeft());
    }
    QDialog::showEvent(event);
}

void CSmDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_Container.OnSize(event->size().width(), event->size().height(), isMinimized());
}

void CSmDialog::mouseMoveEvent(QMouseEvent* event) {
    const Qt::CursorShape shape = m_Container.PointerMoved(event->position().toPoint());
    if (shape == Qt::ArrowCursor)
        unsetCursor();
    else
        setCursor(shape);
    QDialog::mouseMoveEvent(event);
}

void CSmDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_Container.LeftButtonDown(event->position().toPoint())) {
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CSmDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_Container.LeftButtonUp();
    QDialog::mouseReleaseEvent(event);
}

void CSmDialog::keyPressEvent(QKeyEvent* event) {
    // Escape neither closes nor cancels a page or dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CSmDialog::SaveRect(const CString& item, const QRect& r) {
    const char* section = m_Name.c_str();
    m_Reg.Save(section, (item + "X1").c_str(), r.left());
    m_Reg.Save(section, (item + "Y1").c_str(), r.top());
    m_Reg.Save(section, (item + "X2").c_str(), r.x() + r.width());
    m_Reg.Save(section, (item + "Y2").c_str(), r.y() + r.height());
}

std::optional<QRect> CSmDialog::ReadRect(const CString& item) {
    const char* section = m_Name.c_str();
    int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    m_Reg.Read(section, (item + "X1").c_str(), &x1, -1);
    m_Reg.Read(section, (item + "Y1").c_str(), &y1, -1);
    m_Reg.Read(section, (item + "X2").c_str(), &x2, -1);
    m_Reg.Read(section, (item + "Y2").c_str(), &y2, -1);
    if (y2 < 0)
        return std::nullopt;
    return QRect(x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1));
}

int CSmDialog::Save(const CString& name) {
    m_Name = name;
    CSysReg::Batch batch;
    // A window in screen coordinates, an embedded page in its parent's; the controls in the dialog's.
    SaveRect("dlg", QRect(pos(), size()));
    for (int i = 0; i < m_Container.ItemCount(); ++i) {
        if (QWidget* w = m_Container.ItemWindow(i))
            SaveRect("ctrl" + std::to_string(i), m_Container.RectInDialog(w));
    }
    return 0;
}

int CSmDialog::Load(const CString& name) {
    m_Name = name;
    const std::optional<QRect> dlg = ReadRect("dlg");
    if (!dlg)
        return -1;
    QSize size = dlg->size().expandedTo(minimumSize()).boundedTo(maximumSize());
    QPoint topLeft = dlg->topLeft();
    if (isWindow()) {
        // Stored on a screen that is gone or larger: brought back where the user can reach it.
        const QRect placed = CWindowPlacement::OnScreen(QRect(topLeft, size), CWindowPlacement::Screens());
        topLeft = placed.topLeft();
        size = placed.size().expandedTo(minimumSize());
        m_CentreOnShow = false;
    }
    move(topLeft);
    resize(size);
    // The controls get their stored rectangles below; the size change must not move them again.
    m_Container.RecordSize(size.width(), size.height());
    for (int i = 0; i < m_Container.ItemCount(); ++i) {
        QWidget* w = m_Container.ItemWindow(i);
        if (!w)
            continue;
        // An item registered after the placement was saved keeps its place.
        if (const auto r = ReadRect("ctrl" + std::to_string(i)))
            m_Container.SetRectInDialog(w, *r);
    }
    return 0;
}
