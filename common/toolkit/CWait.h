// The progress window of a script run: a status text, a progress bar, the start time with the
// elapsed time refreshed every second, and a Cancel button that raises the run's cancel flag.
#pragma once

#include "CommonTypes.h"

#include <QDialog>
#include <QTime>
#include <QTimer>

#include <chrono>

class QLabel;
class QProgressBar;
class QPushButton;

class CWait : public QDialog {
    Q_OBJECT
public:
    explicit CWait(QWidget* parent = nullptr);
    ~CWait() override;

    // Opens the window modeless, takes the start time and starts the one-second clock.
    bool Create();
    // Replaces the status text; a percentage that is not negative moves the bar to it modulo 100.
    void SetStatus(const CString& text, int percentage);
    // Non-zero disables the Cancel button, zero enables it.
    void NoCancel(int disable);
    // Closes the window and stops the clock; nothing happens when it is already closed.
    void Close();
    bool IsOpen() const { return isVisible(); }

    // Refreshes the clock line (the one-second timer calls it).
    void Tick();
    // "Start hh:mm:ss  Time hh.mm.ss" for a start time of day and the seconds elapsed since.
    static CString ClockText(const QTime& start, long long elapsedSeconds);

    QPushButton* CancelButton() const { return m_Cancel; }
    QLabel* StatusLabel() const { return m_Status; }
    QLabel* ClockLabel() const { return m_Clock; }
    QProgressBar* ProgressBar() const { return m_Bar; }
    bool IsClockRunning() const { return m_Timer.isActive(); }

    // 1 once Cancel was pressed; result loading watches it through its address.
    int cancelRequested = 0;

signals:
    // Cancel was pressed (after the flag was raised and the window closed).
    void Cancelled();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnCancel();

    QLabel* m_Status = nullptr;
    QProgressBar* m_Bar = nullptr;
    QLabel* m_Clock = nullptr;
    QPushButton* m_Cancel = nullptr;
    QTimer m_Timer;
    QTime m_StartTime;
    std::chrono::steady_clock::time_point m_Started;
};
