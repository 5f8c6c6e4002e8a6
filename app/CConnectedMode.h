// A mode page that needs the connection: connects on entry (switching to the Connect mode when that
// fails), refreshes after a change of connection, and disconnects on leaving unless it is permanent.
#pragma once

#include "toolkit/CSmDialog.h"

class _Settings;
class CDB;
class CMainWindow;
class QLabel;

class CConnectedMode : public CSmDialog {
    Q_OBJECT
public:
    void Activate() override;
    void Deactivate() override;

    // The connection generation the page last refreshed for.
    int SeenGeneration() const { return m_SeenGeneration; }
    int Refreshes() const { return m_Refreshes; }

protected:
    // caption heads the connection summary; refreshOnFirstEntry also refreshes before any change.
    CConnectedMode(int templateId, const char* caption, bool refreshOnFirstEntry, CMainWindow& main,
                   _Settings& settings, CDB* session, QWidget* parent);
    bool OnInitDialog() override;

private:
    void Refresh();

    const char* m_Caption;
    bool m_RefreshOnFirstEntry;
    CMainWindow& m_Main;
    _Settings& m_Settings;
    CDB* m_Session;
    int m_SeenGeneration;
    int m_Refreshes = 0;
    QLabel* m_State = nullptr;
};
