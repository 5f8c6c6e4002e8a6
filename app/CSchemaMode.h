// The Schema mode page: the database's objects as a tree above a read-only view of the selected
// object's SQL text, with commands to refresh and to copy the object's name or text.
#pragma once

#include "CConnectedMode.h"

class CSchemaView;

class CSchemaMode : public CConnectedMode {
    Q_OBJECT
public:
    enum { IDD = 184 };

    CSchemaMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent = nullptr);

    // Refresh information (999), copy object name (32839), copy object's text (32841).
    bool OnCommand(unsigned id) override;
    CSchemaView* View() const { return m_View; }

protected:
    bool OnInitDialog() override;
    // Connects; reads the tree again when it is empty or the connection changed since.
    bool Enter() override;

private:
    CSchemaView* m_View = nullptr;
};
