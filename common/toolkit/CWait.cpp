#include "toolkit/CWait.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

CWait::CWait(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle("Varnel");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_Status = new QLabel(this);
    m_Status->setMinimumWidth(280);
    layout->addWidget(m_Status);
    m_Bar = new QProgressBar(this);
    m_Bar->setRange(0, 99);
    m_Bar->setValue(0);
    m_Bar->setTextVisible(false);
    layout->addWidget(m_Bar);
    m_Clock = new QLabel(this);
    layout->addWidget(m_Clock);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_Cancel = new QPushButton("Cancel", this);
    m_Cancel->setAutoDefault(false);
    buttons->addWidget(m_Cancel);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(m_Cancel, &QPushButton::clicked, this, &CWait::OnCancel);
    m_Timer.setInterval(1000);
    connect(&m_Timer, &QTimer::timeout, this, &CWait::Tick);
}

CWait::~CWait() = default;

bool CWait::Create() {
    m_StartTime = QTime::currentTime();
    m_Started = std::chrono::steady_clock::now();
    Tick();
    show();
    raise();
    m_Timer.start();
    return true;
}

void CWait::SetStatus(const CString& text, int percentage) {
    m_Status->setText(QString::fromStdString(text));
    if (percentage >= 0)
        m_Bar->setValue(percentage % 100);
}

void CWait::NoCancel(int disable) {
    m_Cancel->setEnabled(disable == 0);
}

void CWait::Close() {
    m_Timer.stop();
    if (isVisible())
        hide();
}

CString CWait::ClockText(const QTime& start, long long elapsedSeconds) {
    if (elapsedSeconds < 0)
        elapsedSeconds = 0;
    char text[96];
    std::snprintf(text, sizeof text, "Start %02d:%02d:%02d  Time %02d.%02d.%02d", start.hour(),
                  start.minute(), start.second(), static_cast<int>(elapsedSeconds / 3600),
                  static_cast<int>(elapsedSeconds / 60 % 60), static_cast<int>(elapsedSeconds % 60));
    return text;
}

void CWait::Tick() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - m_Started)
            .count();
    m_Clock->setText(QString::fromStdString(ClockText(m_StartTime, elapsed)));
}

void CWait::OnCancel() {
    if (!m_Cancel->isEnabled())
        return;
    cancelRequested = 1;
    Close();
    emit Cancelled();
}

void CWait::reject() {
    // Escape and the window's close button count as Cancel only while Cancel may be pressed.
    OnCancel();
}

void CWait::closeEvent(QCloseEvent* event) {
    if (isVisible() && m_Cancel->isEnabled()) {
        event->accept();
        OnCancel();
        return;
    }
    event->ignore();
}
