#include "CConnectedMode.h"

#include "CConnectMode.h"
#include "CMainWindow.h"

#include "services/_Settings.h"

#include "codbc/CDB.h"

#include <QLabel>
#include <QVBoxLayout>

CConnectedMode::CConnectedMode(int templateId, const char* caption, bool refreshOnFirstEntry,
                               CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CSmDialog(templateId, parent, Qt::Widget), m_Caption(caption),
      m_RefreshOnFirstEntry(refreshOnFirstEntry), m_Main(main), m_Settings(settings), m_Session(session),
      m_SeenGeneration(refreshOnFirstEntry ? -1 : 0) {}

bool CConnectedMode::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);
    m_State = new QLabel(this);
    m_State->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_State);
    return true;
}

void CConnectedMode::Activate() {
    CConnectMode* connect = m_Main.ConnectPage();
    if (!connect || connect->EnsureConnected() != 0) {
        m_Main.SwitchMode(CMainWindow::MODE_CONNECT);
        return;
    }
    if (connect->ConnectionGeneration() != m_SeenGeneration || (m_RefreshOnFirstEntry && m_Refreshes == 0))
        Refresh();
    if (m_State)
        m_State->setText(QString::fromStdString(m_Caption + (": " + connect->ConnectionSummary())));
    CSmDialog::Activate();
}

void CConnectedMode::Refresh() {
    m_SeenGeneration = m_Main.ConnectPage()->ConnectionGeneration();
    ++m_Refreshes;
}

void CConnectedMode::Deactivate() {
    if (!m_Settings.getInt("IsPerm") && m_Session)
        m_Session->Disconnect();
    CSmDialog::Deactivate();
}
