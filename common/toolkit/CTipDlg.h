// The "Tip of the Day" dialog: shows one hint at a time from the list its owner fills, and
// remembers across runs which tip comes next and whether to show the dialog at start-up.
#pragma once

#include "CommonTypes.h"
#include "services/CSysReg.h"

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class CTipDlg : public QDialog {
public:
    // Loads "iNextTipIndex" and "m_TipOnStartup" from the section "Tips".
    explicit CTipDlg(QWidget* parent = nullptr);
    ~CTipDlg() override;

    void Add(const CString& text);
    int DoModal() { return exec(); }

    // The check box state the owner reads to decide whether to show the dialog at start-up.
    int TipOnStartup() const { return m_TipOnStartup; }
    int NextTipIndex() const { return m_NextTipIndex; }
    const CString& CurrentText() const { return m_CurrentText; }

    QCheckBox* StartupCheck() const { return m_Startup; }
    QPushButton* NextButton() const { return m_Next; }
    QPushButton* CloseButton() const { return m_Close; }
    QPlainTextEdit* TipText() const { return m_Text; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void NextTip();
    void Store();

    CStringArray m_Tips;
    int m_NextTipIndex = 0;
    int m_TipOnStartup = 1;
    CString m_CurrentText;
    CSysReg m_Reg;
    bool m_Open = false;

    QPlainTextEdit* m_Text;
    QCheckBox* m_Startup;
    QPushButton* m_Next;
    QPushButton* m_Close;
};
