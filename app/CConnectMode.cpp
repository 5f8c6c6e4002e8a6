#include "CConnectMode.h"

#include "services/_Settings.h"
#include "toolkit/MessageBox.h"

#include "codbc/CDB.h"

#include <QLabel>
#include <QVBoxLayout>

#include <cstdio>

CConnectMode::CConnectMode(_Settings& settings, CDB* session, QWidget* parent)
    : CSmDialog(IDD, parent, Qt::Widget), m_Settings(settings), m_Session(session) {}

bool CConnectMode::OnInitDialog() {
    m_DataSource = m_Settings.getStr("DSN");
    auto* layout = new QVBoxLayout(this);
    m_State = new QLabel(this);
    m_State->setAlignment(Qt::AlignCenter);
    m_State->setWordWrap(true);
    layout->addWidget(m_State);
    ShowState();
    return true;
}

void CConnectMode::ShowState() {
    if (!m_State)
        return;
    QString text = QString::fromStdString("Data source: " + (m_DataSource.empty() ? "(none)" : m_DataSource));
    text += m_Session && m_Session->connected ? "\nConnected" : "\nNot connected";
    m_State->setText(text);
}

void CConnectMode::Activate() {
    CSmDialog::Activate();
    if (m_Settings.getInt("IsPerm"))
        EnsureConnected();
    ShowState();
}

void CConnectMode::Deactivate() {
    if (m_Settings.getStr("DSN") != m_DataSource)
        m_Settings.setStr("DSN", m_DataSource);
    CSmDialog::Deactivate();
}

int CConnectMode::EnsureConnected() {
    if (!m_Session)
        return -1;
    if (m_Session->connected)
        return 0;
    const CString dataSource = m_Settings.getStr("DSN");
    if (dataSource != m_DataSource) {
        m_DataSource = dataSource;
        ++m_Generation;
    }
    const int rc = m_Session->Connect(m_DataSource, m_User, m_Settings.getStr("Password"));
    if (rc != 0 || !m_Session->connected) {
        ShowMessage(m_Session->lastError, "Error!", MB_OK | MB_ICONERROR, this);
        m_Settings.setInt("IsPerm", 0);
        m_Settings.SaveData();
        ShowState();
        return rc != 0 ? rc : 1;
    }
    ShowState();
    return 0;
}

CString CConnectMode::ConnectionSummary() {
    if (m_DataSource.empty())
        m_DataSource = m_Settings.getStr("DSN");
    m_Summary = "(" + m_DataSource + "/" + m_User + "/" + m_Owner + "/" + m_Database + ")";
    return m_Summary;
}

void CConnectMode::OfferLastConnection() {
    if (!m_Settings.getInt("IsPerm"))
        return;
    char text[1024];
    std::snprintf(text, sizeof text, "Data Source = %s\nUser       = %s\nOwner    = %s\nDatabase=%s\n\n%s",
                  m_DataSource.c_str(), m_User.c_str(), m_Owner.c_str(), m_Database.c_str(),
                  "Restore last connection?");
    if (ShowMessage(text, "Permanent connection", MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
        m_Settings.setInt("IsPerm", 0);
        return;
    }
    if (EnsureConnected() != 0 && m_Session)
        m_Session->Disconnect();
}
