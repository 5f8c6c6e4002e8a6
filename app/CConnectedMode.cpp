#include "CConnectedMode.h"

#include "CConnectMode.h"
#include "CMainWindow.h"

#include "services/_Settings.h"

#include "codbc/CDB.h"

#include <QAction>
#include <QPixmap>
#include <QToolBar>

CConnectedMode::CConnectedMode(int templateId, CMainWindow& main, _Settings& settings, CDB* session,
                               QWidget* parent)
    : CSmDialog(templateId, parent, Qt::Widget), m_Main(main), m_Settings(settings), m_Session(session) {}

void CConnectedMode::Activate() {
    if (!Enter()) {
        m_Main.SwitchMode(CMainWindow::MODE_CONNECT);
        return;
    }
    CSmDialog::Activate();
}

void CConnectedMode::Deactivate() {
    if (!m_Settings.getInt("IsPerm") && m_Session)
        m_Session->Disconnect();
    CSmDialog::Deactivate();
}

bool CConnectedMode::Connect() {
    CConnectMode* connect = m_Main.ConnectPage();
    return connect && connect->EnsureConnected() == 0;
}

int CConnectedMode::Generation() const {
    CConnectMode* connect = m_Main.ConnectPage();
    return connect ? connect->ConnectionGeneration() : 0;
}

void CConnectedMode::AddButtons(QToolBar* bar, std::initializer_list<ToolButton> buttons) {
    for (const ToolButton& button : buttons) {
        if (!button.id) {
            bar->addSeparator();
            continue;
        }
        QAction* action = bar->addAction(QString::fromLatin1(button.tip));
        action->setToolTip(QString::fromLatin1(button.tip));
        action->setData(button.id);
        const unsigned id = button.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
}

void CConnectedMode::SetImages(QToolBar* bar, const char* strip) {
    const QPixmap images(QString::fromLatin1(strip));
    constexpr int kWidth = 17, kHeight = 15;
    bar->setIconSize(QSize(kWidth, kHeight));
    int index = 0;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            continue;
        if ((index + 1) * kWidth <= images.width())
            action->setIcon(QIcon(images.copy(index * kWidth, 0, kWidth, kHeight)));
        ++index;
    }
}
