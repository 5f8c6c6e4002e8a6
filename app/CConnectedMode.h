// The base of the mode pages that need the connection: entry connects through the Connect page and
// switches to the Connect mode when that fails; leaving disconnects unless the connection is
// permanent. Also gives their toolbars the images of a strip.
#pragma once

#include "toolkit/CSmDialog.h"

#include <initializer_list>

class _Settings;
class CDB;
class CMainWindow;
class QToolBar;

class CConnectedMode : public CSmDialog {
    Q_OBJECT
public:
    // Connects, brings the page up to date and shows it; on a failed connection the Connect mode
    // becomes current instead and the page stays hidden.
    void Activate() override;
    // Without "IsPerm" the session is disconnected; then the page hides.
    void Deactivate() override;
    // A toolbar command of the page; false for any other command.
    virtual bool OnCommand(unsigned id) = 0;

    struct ToolButton {
        unsigned id; // 0: a separator
        const char* tip;
    };

protected:
    CConnectedMode(int templateId, CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent);

    // The page's work on entry; false when the connection could not be made.
    virtual bool Enter() = 0;
    // True when the session is connected (connecting through the Connect page if needed).
    bool Connect();
    // The Connect page's connection generation.
    int Generation() const;

    // Adds the buttons to `bar`, each running OnCommand with its identifier.
    void AddButtons(QToolBar* bar, std::initializer_list<ToolButton> buttons);
    // Gives the toolbar's buttons, in order, the 17 x 15 images of the strip.
    static void SetImages(QToolBar* bar, const char* strip);

    CMainWindow& m_Main;
    _Settings& m_Settings;
    CDB* m_Session;
};
