// The small "Keyword" dialog that asks for one new syntax-colouring keyword.
#pragma once

#include "CommonTypes.h"
#include "toolkit/CSmDialog.h"

#include <optional>

class QLineEdit;

class CKeywordDlg : public CSmDialog {
    Q_OBJECT
public:
    enum { IDD = 205, IDC_KEYWORD = 1045 };

    explicit CKeywordDlg(QWidget* parent = nullptr);

    // The keyword after OK, in upper case.
    const CString& Text() const { return m_Text; }
    QLineEdit* Edit() const { return m_Edit; }

    // Runs the dialog modally; the upper-cased keyword after OK, nothing after Cancel.
    static std::optional<CString> Ask(QWidget* parent);

    void accept() override;

protected:
    bool OnInitDialog() override;

private:
    CString m_Text;
    QLineEdit* m_Edit = nullptr;
};
