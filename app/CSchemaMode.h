// The Schema mode page: connects on entry and will show the database's objects with their SQL text;
// it refreshes only after the connection changed.
#pragma once

#include "toolkit/CSmDialog.h"

class _Settings;
class CDB;
class CMainWindow;
class QLabel;

class CSchemaMode : public CSmDialog {
    Q_OBJECT
public:
    enum { IDD = 184 };

    CSchemaMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent = nullptr);

    // Connects when needed (switching to the Connect mode when that fails), refreshes after a
    // change of connection, then shows the page.
    void Activate() override;
    // Disconnects unless the connection is permanent, then hides.
    void Deactivate() override;

    // The connection generation the page last refreshed for.
    int SeenGeneration() const { return m_SeenGeneration; }
    int Refreshes() const { return m_Refreshes; }

protected:
    bool OnInitDialog() override;

private:
    void Refresh();

    CMainWindow& m_Main;
    _Settings& m_Settings;
    CDB* m_Session;
    int m_SeenGeneration = -1;
    int m_Refreshes = 0;
    QLabel* m_State = nullptr;
};
