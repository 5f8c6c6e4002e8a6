#include "CAboutDlg.h"

#include "CMainWindow.h"

#include "services/CLog.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include <cstdio>

CAboutDlg::CAboutDlg(const CLog& log, QWidget* parent) : QDialog(parent) {
    const QString line = QString::fromStdString(VersionLine(log));
    setWindowTitle(line);
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(":/icons/varnel.svg").pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* version = new QLabel(line, this);
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    auto* links = new QLabel(QString("<a href=\"%1\">%1</a><br><a href=\"mailto:%2\">%2</a>")
                                 .arg(CMainWindow::kWebSite, CMainWindow::kSupportMail),
                             this);
    links->setAlignment(Qt::AlignCenter);
    links->setOpenExternalLinks(true);
    layout->addWidget(links);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

CString CAboutDlg::BuildDate() {
    CString date = __DATE__; // "Dec  7 2026"
    if (date.size() > 4 && date[4] == ' ')
        date.erase(4, 1);
    return date;
}

CString CAboutDlg::VersionLine(const CLog& log) {
    char text[128];
    std::snprintf(text, sizeof text, "Ostrak Varnel. Version %d.%02d.%02d  [%s]", log.m_VersionMajor,
                  log.m_VersionMinor, log.m_VersionBuild, BuildDate().c_str());
    return text;
}
