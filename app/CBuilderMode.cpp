#include "CBuilderMode.h"

#include "CMainWindow.h"
#include "CSettingsDlg.h"

#include "builder/Builder.h"
#include "builder/CBuilderPanel.h"

#include <QPlainTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

CBuilderMode::CBuilderMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CConnectedMode(IDD, main, settings, session, parent) {}

bool CBuilderMode::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    m_ToolBar = new QToolBar(this);
    AddButtons(m_ToolBar, {{ID_RESTART, "Restart the builder"},
                           {0, nullptr},
                           {ID_APPEND, "Append"},
                           {ID_INSERT, "Insert"},
                           {ID_REPLACE, "Replace"}});
    SetImages(m_ToolBar, ":/builder-toolbar.xpm");
    layout->addWidget(m_ToolBar);
    m_Panel = new CBuilderPanel(this, m_Session);
    // The statement in the script's font, so that its indentation lines up.
    m_Panel->Statement()->setFont(CSettingsDlg::EditorFont(m_Settings));
    layout->addWidget(m_Panel, 1);
    return true;
}

bool CBuilderMode::Enter() {
    if (!Connect())
        return false;
    Builder* builder = m_Panel->GetBuilder();
    const int generation = Generation();
    if (generation != m_SeenGeneration) {
        builder->Refresh();
        m_SeenGeneration = generation;
    }
    builder->Activate();
    m_Panel->UpdateState();
    return true;
}

bool CBuilderMode::OnCommand(unsigned id) {
    int how;
    switch (id) {
    case ID_RESTART:
        m_Panel->Restart();
        return true;
    case ID_INSERT:
        how = 0;
        break;
    case ID_REPLACE:
        how = 1;
        break;
    case ID_APPEND:
        how = 2;
        break;
    default:
        return false;
    }
    m_Main.InsertIntoScript(m_Panel->GetBuilder()->GetSQL(), how);
    m_Main.SwitchMode(CMainWindow::MODE_SCRIPT);
    return true;
}
