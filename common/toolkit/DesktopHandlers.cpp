// The desktop's side of the logic's requests: message boxes, the wait cursor, the clipboard, opening
// files and the internal-failure dialog, installed when the application object is created.
#include "toolkit/MessageBox.h"

#include "QtText.h"
#include "services/Desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <vector>

namespace {
bool HasDisplay() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

QMessageBox::StandardButton StandardButtonOf(int id) {
    switch (id) {
    case IDCANCEL:
        return QMessageBox::Cancel;
    case IDABORT:
        return QMessageBox::Abort;
    case IDRETRY:
        return QMessageBox::Retry;
    case IDIGNORE:
        return QMessageBox::Ignore;
    case IDYES:
        return QMessageBox::Yes;
    case IDNO:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int MessageBoxHandler(const MessageRequest& request) {
    QMessageBox box(request.parent);
    box.setWindowTitle(ToQ(request.caption));
    box.setText(ToQ(request.text));
    switch (request.type & MB_ICONMASK) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    const std::vector<int> ids = MessageButtons(request.type);
    for (int id : ids)
        box.addButton(StandardButtonOf(id));
    box.setDefaultButton(StandardButtonOf(DefaultAnswer(request.type)));
    const int pressed = box.exec();
    for (int id : ids)
        if (pressed == StandardButtonOf(id))
            return id;
    // Closing the box counts as Cancel where there is one, else as the default answer.
    for (int id : ids)
        if (id == IDCANCEL)
            return IDCANCEL;
    return DefaultAnswer(request.type);
}

void WaitCursor(bool busy) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CopyText(const CString& text) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool OpenFile(const CString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

int FaultDialog(const CString& message, const CString& file, int line) {
    QDialog dialog;
    dialog.setWindowTitle("ASSERT");
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    auto* fileEdit = new QLineEdit(QString::fromStdString(file));
    fileEdit->setReadOnly(true);
    auto* lineEdit = new QLineEdit(QString::asprintf("%d", line));
    lineEdit->setReadOnly(true);
    form->addRow("File", fileEdit);
    form->addRow("Line", lineEdit);
    layout->addLayout(form);
    auto* text = new QPlainTextEdit(QString::fromStdString(message));
    text->setReadOnly(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton("Close", QDialogButtonBox::AcceptRole);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void InstallDesktopHandlers() {
    SetDesktopHandlers({HasDisplay, MessageBoxHandler, WaitCursor, CopyText, OpenFile, FaultDialog});
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallDesktopHandlers)
