#include "CBuilderMode.h"

#include "CConnectMode.h"
#include "CMainWindow.h"

#include "services/_Settings.h"

#include "codbc/CDB.h"

#include <QLabel>
#include <QVBoxLayout>

CBuilderMode::CBuilderMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CSmDialog(IDD, parent, Qt::Widget), m_Main(main), m_Settings(settings), m_Session(session) {}

bool CBuilderMode::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);
    m_State = new QLabel(this);
    m_State->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_State);
    return true;
}

void CBuilderMode::Activate() {
    CConnectMode* connect = m_Main.ConnectPage();
    if (!connect || connect->EnsureConnected() != 0) {
        m_Main.SwitchMode(CMainWindow::MODE_CONNECT);
        return;
    }
    if (connect->ConnectionGeneration() != m_SeenGeneration)
        Refresh();
    if (m_State)
        m_State->setText(QString::fromStdString("Builder: " + connect->ConnectionSummary()));
    CSmDialog::Activate();
}

void CBuilderMode::Refresh() {
    m_SeenGeneration = m_Main.ConnectPage()->ConnectionGeneration();
    ++m_Refreshes;
}

void CBuilderMode::Deactivate() {
    if (!m_Settings.getInt("IsPerm") && m_Session)
        m_Session->Disconnect();
    CSmDialog::Deactivate();
}
