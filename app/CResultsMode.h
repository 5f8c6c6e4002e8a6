// The Results mode page: the time line and the place of the result grid; entering it runs the
// script, and the grid's commands (copy, export, sort) arrive here from the menu.
#pragma once

#include "toolkit/CSmDialog.h"

class _Settings;
class CDB;
class CMainWindow;
class QLabel;

class CResultsMode : public CSmDialog {
    Q_OBJECT
public:
    enum { IDD = 153, IDC_TIME = 1055 };

    CResultsMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent = nullptr);

    // The run; for now the page is only shown.
    void Activate() override;
    // Copy selected, Export, Sort ASC/DESC and the export targets; false for any other command.
    bool OnCommand(unsigned id);
    bool IsRunning() const { return m_Running; }

protected:
    bool OnInitDialog() override;

private:
    CMainWindow& m_Main;
    _Settings& m_Settings;
    CDB* m_Session;
    QLabel* m_Time = nullptr;
    bool m_Running = false;
};
