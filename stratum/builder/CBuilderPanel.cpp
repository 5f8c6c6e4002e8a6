#include "builder/CBuilderPanel.h"

#include "builder/Builder.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

CBuilderPanel::CBuilderPanel(QWidget* parent, CDB* connection) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    m_Builder = new Builder(this, connection);
    m_Statement = new QPlainTextEdit(this);
    m_Statement->setReadOnly(true);
    auto* buttons = new QHBoxLayout;
    m_Back = new QPushButton("<<< Back", this);
    m_Forward = new QPushButton("&Next >>>", this);
    buttons->addStretch(1);
    buttons->addWidget(m_Back);
    buttons->addWidget(m_Forward);
    layout->addWidget(m_Builder, 3);
    layout->addWidget(m_Statement, 1);
    layout->addLayout(buttons);
    connect(m_Back, &QPushButton::clicked, this, [this] {
        m_Builder->Back();
        UpdateState();
    });
    connect(m_Forward, &QPushButton::clicked, this, [this] {
        m_Builder->Next();
        UpdateState();
    });
    UpdateState();
}

void CBuilderPanel::Restart() {
    m_Builder->Refresh();
    m_Builder->Activate();
    UpdateState();
}

void CBuilderPanel::UpdateState() {
    m_Back->setVisible(m_Builder->CanBack() != 0);
    m_Forward->setText(m_Builder->CanNext() ? "&Next >>>" : "Finish");
    // Line breaks of the statement are CR LF; the box shows them as plain line breaks.
    QString text = QString::fromStdString(m_Builder->GetSQL());
    text.replace("\r\n", "\n");
    m_Statement->setPlainText(text);
}
