#include "services/CAssert.h"

#include "toolkit/MessageBox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

int CAssert::DoModal(const CString& message, const CString& file, int line) {
    if (!MessagesAreInteractive()) {
        // Without a display (or under test) the failure goes the way of every other message.
        return ShowMessage("File: " + file + "\nLine: " + std::to_string(line) + "\n" + message, "ASSERT",
                           MB_OK | MB_ICONERROR);
    }
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
