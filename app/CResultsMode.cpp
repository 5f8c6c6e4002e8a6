#include "CResultsMode.h"

#include "CMainWindow.h"

#include "toolkit/ControlId.h"

#include <QLabel>
#include <QVBoxLayout>

CResultsMode::CResultsMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CSmDialog(IDD, parent, Qt::Widget), m_Main(main), m_Settings(settings), m_Session(session) {}

bool CResultsMode::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);
    m_Time = new QLabel("Time", this);
    SetControlId(m_Time, IDC_TIME);
    layout->addWidget(m_Time);
    layout->addStretch(1);
    return true;
}

void CResultsMode::Activate() {
    CSmDialog::Activate();
}

bool CResultsMode::OnCommand(unsigned id) {
    switch (id) {
    case 1028:  // copy selected
    case 1029:  // export
    case 32828: // sort ascending
    case 32829: // sort descending
    case 32821:
    case 32822:
    case 32823:
    case 32825:
    case 32827:
        return true; // the grid is not there yet: nothing to copy, export or sort
    default:
        return false;
    }
}
