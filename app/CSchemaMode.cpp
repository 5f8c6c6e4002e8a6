#include "CSchemaMode.h"

#include "CConnectMode.h"
#include "CMainWindow.h"

#include "services/_Settings.h"

#include "codbc/CDB.h"

#include <QLabel>
#include <QVBoxLayout>

CSchemaMode::CSchemaMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CSmDialog(IDD, parent, Qt::Widget), m_Main(main), m_Settings(settings), m_Session(session) {}

bool CSchemaMode::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);
    m_State = new QLabel(this);
    m_State->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_State);
    return true;
}

void CSchemaMode::Activate() {
    CConnectMode* connect = m_Main.ConnectPage();
    if (!connect || connect->EnsureConnected() != 0) {
        m_Main.SwitchMode(CMainWindow::MODE_CONNECT);
        return;
    }
    if (connect->ConnectionGeneration() != m_SeenGeneration || m_Refreshes == 0)
        Refresh();
    if (m_State)
        m_State->setText(QString::fromStdString("Schema: " + connect->ConnectionSummary()));
    CSmDialog::Activate();
}

void CSchemaMode::Refresh() {
    m_SeenGeneration = m_Main.ConnectPage()->ConnectionGeneration();
    ++m_Refreshes;
}

void CSchemaMode::Deactivate() {
    if (!m_Settings.getInt("IsPerm") && m_Session)
        m_Session->Disconnect();
    CSmDialog::Deactivate();
}
