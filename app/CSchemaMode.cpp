#include "CSchemaMode.h"

#include "CMainWindow.h"
#include "CSettingsDlg.h"

#include "views/CSchemaView.h"

#include <QVBoxLayout>

CSchemaMode::CSchemaMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CConnectedMode(IDD, main, settings, session, parent) {}

bool CSchemaMode::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    m_View = new CSchemaView(this);
    layout->addWidget(m_View);
    // The family actually used: the fixed font stands in for a face that is not installed.
    const CString face = CSettingsDlg::EditorFont(m_Settings).family().toStdString();
    m_View->Create(m_Session, m_Main.Colorizer(), face.c_str(), CSettingsDlg::FontSize(m_Settings) * 10,
                   CSettingsDlg::TabSize(m_Settings));
    m_View->SetConnection([this] { return Connect(); }, [this] { return Generation(); });
    SetImages(m_View->ToolBar(), ":/schema-toolbar.xpm");
    return true;
}

bool CSchemaMode::Enter() {
    return m_View->Activate();
}

bool CSchemaMode::OnCommand(unsigned id) {
    return m_View->OnCommand(static_cast<int>(id));
}
