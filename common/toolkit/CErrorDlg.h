// The dialog shown when a statement of a script run fails: the statement and the driver's message,
// with the choice to go on, to go on without further messages, or to stop the run.
#pragma once

#include "CommonTypes.h"

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QPushButton;

class CErrorDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 155 };

    CErrorDlg(const CString& message, const CString& statement, QWidget* parent = nullptr);

    // Runs the dialog modally: IDOK after "Continue" or "Continue w/o messages", IDCANCEL after
    // "Cancel" (or Escape).
    int DoModal();
    // Set by "Continue w/o messages".
    bool NoMoreMessages() const { return m_NoMoreMessages; }

    // The dialog runs through this instead of its own event loop when set; the runner presses one
    // of the buttons (tests choose the answer this way). Returns the previous runner.
    using Runner = std::function<void(CErrorDlg&)>;
    static Runner SetRunner(Runner runner);

    CString Statement() const;
    CString Message() const;
    QPushButton* ContinueButton() const { return m_Continue; }
    QPushButton* QuietButton() const { return m_Quiet; }
    QPushButton* CancelButton() const { return m_Cancel; }

protected:
    void reject() override;

private:
    QPlainTextEdit* m_Statement = nullptr;
    QPlainTextEdit* m_Message = nullptr;
    QPushButton* m_Continue = nullptr;
    QPushButton* m_Quiet = nullptr;
    QPushButton* m_Cancel = nullptr;
    bool m_NoMoreMessages = false;
};
