// Keeps a dialog's registered controls anchored: moves them by their resize types when the
// dialog's size changes or a splitter is dragged, and gives every control its tip.
#pragma once

#include "toolkit/CAnchorLayout.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

class _ControlContainer {
public:
    explicit _ControlContainer(QWidget* dialog = nullptr) : m_Dialog(dialog) {}
    _ControlContainer(const _ControlContainer&) = delete;
    _ControlContainer& operator=(const _ControlContainer&) = delete;

    void SetDialog(QWidget* dialog) { m_Dialog = dialog; }
    QWidget* Dialog() const { return m_Dialog; }

    // Registers the dialog's control with that identifier (looked up now).
    void AddControl(int controlId, RZ_TYPE type, SPLIT_TYPE flags = SPLIT_NONE);
    // Registers a window directly, with no splitter flags.
    void AddWnd(QWidget* window, RZ_TYPE type);
    void AddHSplitter(int controlId);
    void AddVSplitter(int controlId);
    void AddStatusBar(QWidget* bar);
    // The dialog cannot be made smaller than this; both 0: no minimum.
    void SetMinSizes(int width, int height);

    // A new client size: the first one is only recorded.
    void OnSize(int width, int height, bool minimised = false);
    void RecordSize(int width, int height) { m_Layout.RecordSize(width, height); }
    void ReSize();
    // A splitter drag: `vertical` for the horizontal splitter moving up or down, otherwise the
    // vertical splitter moving sideways.
    void MoveAll(bool vertical);
    // Moves one window by `type` with the current change; itemIndex < 0 for windows without an item.
    void MoveOneCtrl(QWidget* window, RZ_TYPE type, int itemIndex);
    // Sets the tip of every child that has a control identifier and a program string.
    void InitToolTips();

    // Pointer over the dialog, in its client coordinates. Returns the cursor to show.
    Qt::CursorShape PointerMoved(const QPoint& pos);
    // True when the press starts a splitter drag.
    bool LeftButtonDown(const QPoint& pos);
    void LeftButtonUp();
    bool Dragging() const { return m_DragH || m_DragV; }

    int ItemCount() const { return static_cast<int>(m_Windows.size()); }
    QWidget* ItemWindow(int index) const;
    CAnchorLayout& Layout() { return m_Layout; }

    // A window's rectangle in the dialog's client coordinates, and back.
    QRect RectInDialog(const QWidget* window) const;
    void SetRectInDialog(QWidget* window, const QRect& rect) const;

private:
    CAnchorLayout m_Layout;
    CArray<QPointer<QWidget>> m_Windows; // one per layout item
    QPointer<QWidget> m_Dialog;
    QPointer<QWidget> m_HSplitter;
    QPointer<QWidget> m_VSplitter;
    QPointer<QWidget> m_StatusBar;
    int m_MinWidth = 0, m_MinHeight = 0;
    bool m_DragH = false, m_OverH = false, m_DragV = false, m_OverV = false;
    bool m_InPointerMove = false;
    QPoint m_LastPoint;
};
