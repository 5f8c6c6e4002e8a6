// The dialog base of the program's pages and dialogs: shown and hidden as a page, controls
// anchored to its size, splitters dragged with the pointer, a minimum size, a status bar kept at
// the bottom, control tips from the program's strings, placement kept in the settings store,
// and the Escape key swallowed.
#pragma once

#include "CommonTypes.h"
#include "services/CSysReg.h"
#include "toolkit/_ControlContainer.h"

#include <QDialog>

#include <optional>

class CSmDialog : public QDialog {
    Q_OBJECT
public:
    // Pages embedded in another window pass Qt::Widget as flags.
    CSmDialog(int templateId, QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Dialog);

    // Builds the dialog (OnInitDialog), sets up the tips and places it at (x, y) without changing
    // its size; it stays hidden. A failure shows "CDialog::Create fail!". Returns true on success.
    // A window (not a page) whose placement was not restored opens centred on its owner instead.
    bool Create(int x, int y);
    // The window that dialogs without a parent open centred on.
    static void SetMainWindow(QWidget* window);
    // Builds the dialog when not yet done and runs it modally.
    int DoModal();
    bool IsCreated() const { return m_Created; }
    int TemplateId() const { return m_TemplateId; }

    virtual void Activate();
    virtual void Deactivate();

    void SetMinSizes(int width, int height) { m_Container.SetMinSizes(width, height); }
    void AddStatusBar(QWidget* bar) { m_Container.AddStatusBar(bar); }
    void AddHSplitter(int controlId) { m_Container.AddHSplitter(controlId); }
    void AddVSplitter(int controlId) { m_Container.AddVSplitter(controlId); }
    void AddControl(int controlId, RZ_TYPE type, SPLIT_TYPE flags = SPLIT_NONE) {
        m_Container.AddControl(controlId, type, flags);
    }
    void AddWnd(QWidget* window, RZ_TYPE type) { m_Container.AddWnd(window, type); }
    _ControlContainer& Container() { return m_Container; }

    // Stores the dialog's rectangle as "dlg" and each registered control's as "ctrl%d" in the
    // section `name`; returns 0.
    int Save(const CString& name);
    int Save(CString* name) { return name ? Save(*name) : -1; }
    // Restores what Save stored, a window kept within reach on the screens; -1 and nothing changed
    // when nothing was stored.
    int Load(const CString& name);
    int Load(CString* name) { return name ? Load(*name) : -1; }

protected:
    // Creates the controls and registers the anchored ones; false when that failed.
    virtual bool OnInitDialog() { return true; }

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    _ControlContainer m_Container;

private:
    bool Initialise();
    void SaveRect(const CString& item, const QRect& rect);
    std::optional<QRect> ReadRect(const CString& item);

    CSysReg m_Reg;
    CString m_Name;
    int m_TemplateId;
    QWidget* m_Parent;
    bool m_Created = false;
    bool m_CentreOnShow = true;
};
