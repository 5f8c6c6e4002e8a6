// The Builder mode page: the SQL builder with the statement built so far, and commands to start
// again and to put the statement into the script (appended, inserted at the caret or replacing it).
#pragma once

#include "CConnectedMode.h"

class CBuilderPanel;
class QToolBar;

class CBuilderMode : public CConnectedMode {
    Q_OBJECT
public:
    enum { IDD = 140, ID_RESTART = 1062, ID_APPEND = 4, ID_INSERT = 1174, ID_REPLACE = 5 };

    CBuilderMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent = nullptr);

    // Restart, and Append, Insert, Replace, which end in the Script mode.
    bool OnCommand(unsigned id) override;
    CBuilderPanel* Panel() const { return m_Panel; }
    QToolBar* ToolBar() const { return m_ToolBar; }
    // The connection generation the builder was last restarted for.
    int SeenGeneration() const { return m_SeenGeneration; }

protected:
    bool OnInitDialog() override;
    // Connects; starts the builder again when the connection changed, then activates it.
    bool Enter() override;

private:
    CBuilderPanel* m_Panel = nullptr;
    QToolBar* m_ToolBar = nullptr;
    int m_SeenGeneration = 0;
};
