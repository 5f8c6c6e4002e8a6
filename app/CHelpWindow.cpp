#include "CHelpWindow.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Varnel Help");
    m_Browser = new QTextBrowser(this);
    m_Browser->setOpenExternalLinks(true);
    m_Browser->setSearchPaths({":/help"});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Browser);
    resize(640, 560);
}

void CHelpWindow::ShowTopic(const CString& topic) {
    QString page = QString::fromStdString(topic);
    // Only the bare page name counts: a topic never reaches outside the shipped pages.
    page = page.section('/', -1).section('#', 0, 0);
    if (page.isEmpty() || !QFile::exists(":/help/" + page))
        page = "index.htm";
    m_Browser->setSource(QUrl("qrc:/help/" + page));
    show();
    raise();
    activateWindow();
}

CString CHelpWindow::CurrentTopic() const {
    return m_Browser->source().fileName().toStdString();
}
