#include "CKeywordDlg.h"

#include "toolkit/ControlId.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

CKeywordDlg::CKeywordDlg(QWidget* parent) : CSmDialog(IDD, parent) {
    setWindowTitle("Keyword");
}

bool CKeywordDlg::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);
    m_Edit = new QLineEdit(this);
    SetControlId(m_Edit, IDC_KEYWORD);
    layout->addWidget(m_Edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CKeywordDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CKeywordDlg::reject);
    layout->addWidget(buttons);
    m_Edit->setFocus();
    return true;
}

void CKeywordDlg::accept() {
    const QByteArray bytes = m_Edit ? m_Edit->text().toUpper().toUtf8() : QByteArray();
    m_Text.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    QDialog::accept();
}

std::optional<CString> CKeywordDlg::Ask(QWidget* parent) {
    CKeywordDlg dlg(parent);
    if (dlg.DoModal() != QDialog::Accepted)
        return std::nullopt;
    return dlg.Text();
}
