#include "toolkit/CErrorDlg.h"

#include "toolkit/MessageBox.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
CErrorDlg::Runner& RunnerSlot() {
    static CErrorDlg::Runner runner;
    return runner;
}

QPlainTextEdit* ReadOnlyBox(const CString& text, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    // Statements keep the editor's CR LF line ends; the box shows plain lines.
    QString plain = QString::fromStdString(text);
    plain.replace("\r\n", "\n");
    box->setPlainText(plain);
    return box;
}
} // namespace

CErrorDlg::Runner CErrorDlg::SetRunner(Runner runner) {
    Runner previous = std::move(RunnerSlot());
    RunnerSlot() = std::move(runner);
    return previous;
}

CErrorDlg::CErrorDlg(const CString& message, const CString& statement, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Execution error ");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Wrong statement", this));
    m_Statement = ReadOnlyBox(statement, this);
    m_Statement->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_Statement->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_Statement, 2);
    layout->addWidget(new QLabel("Error message", this));
    m_Message = ReadOnlyBox(message, this);
    layout->addWidget(m_Message, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_Continue = new QPushButton("Continue", this);
    m_Quiet = new QPushButton("Continue w/o messages", this);
    m_Cancel = new QPushButton("Cancel", this);
    m_Continue->setDefault(true);
    for (QPushButton* button : {m_Continue, m_Quiet, m_Cancel})
        buttons->addWidget(button);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    resize(520, 340);
    connect(m_Continue, &QPushButton::clicked, this, [this] { done(IDOK); });
    connect(m_Quiet, &QPushButton::clicked, this, [this] {
        m_NoMoreMessages = true;
        done(IDOK);
    });
    connect(m_Cancel, &QPushButton::clicked, this, [this] { done(IDCANCEL); });
}

int CErrorDlg::DoModal() {
    setResult(IDCANCEL);
    if (RunnerSlot()) {
        RunnerSlot()(*this);
        return result();
    }
    if (!MessagesAreInteractive()) {
        // Without a display the run goes on, as a message box's default answer would.
        return IDOK;
    }
    return exec();
}

void CErrorDlg::reject() {
    done(IDCANCEL);
}

CString CErrorDlg::Statement() const {
    return m_Statement->toPlainText().toStdString();
}

CString CErrorDlg::Message() const {
    return m_Message->toPlainText().toStdString();
}
