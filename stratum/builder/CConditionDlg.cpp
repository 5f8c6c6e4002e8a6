#include "builder/CConditionDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

namespace {
// The first entry that begins with `text`; -1 when none does (or the text is empty).
int FindBeginning(const QComboBox* box, const CString& text) {
    if (text.empty())
        return -1;
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).toStdString().compare(0, text.size(), text) == 0)
            return i;
    }
    return -1;
}
} // namespace

CConditionDlg::CConditionDlg(const CStringArray& fields, const BuilderCondition& condition, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Condition");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Enter information for one condition", this));
    auto* row = new QHBoxLayout;
    m_Operand1 = new QComboBox(this);
    m_Operation = new QComboBox(this);
    m_Operand2 = new QComboBox(this);
    for (QComboBox* box : {m_Operand1, m_Operand2}) {
        box->setEditable(true);
        for (const CString& field : fields)
            box->addItem(QString::fromStdString(field));
    }
    for (const CString& operation : CBuilderModel::Operations())
        m_Operation->addItem(QString::fromStdString(operation));
    row->addWidget(m_Operand1, 2);
    row->addWidget(m_Operation, 1);
    row->addWidget(m_Operand2, 2);
    layout->addLayout(row);
    auto* links = new QHBoxLayout;
    m_Link = new QButtonGroup(this);
    const char* const linkTexts[] = {"None", "And", "Or"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(linkTexts[i], this);
        m_Link->addButton(radio, i);
        links->addWidget(radio);
    }
    layout->addLayout(links);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);

    m_Operation->setCurrentIndex(0);
    const int first = FindBeginning(m_Operand1, condition.operand1);
    m_Operand1->setCurrentIndex(first);
    if (first < 0)
        m_Operand1->setEditText("");
    // Operations begin with one another (">" and ">="), so only the stored one itself will do.
    const int operation = m_Operation->findText(QString::fromStdString(condition.operation),
                                                Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (operation >= 0)
        m_Operation->setCurrentIndex(operation);
    const int second = FindBeginning(m_Operand2, condition.operand2);
    m_Operand2->setCurrentIndex(second);
    if (second < 0)
        m_Operand2->setEditText(QString::fromStdString(condition.operand2));
    m_Link->button(condition.link == "AND" ? 1 : condition.link == "OR" ? 2 : 0)->setChecked(true);
}

BuilderCondition CConditionDlg::Condition() const {
    const int link = m_Link->checkedId();
    return {m_Operand1->currentText().toStdString(), m_Operation->currentText().toStdString(),
            m_Operand2->currentText().toStdString(),
            link == 1   ? "AND"
            : link == 2 ? "OR"
                        : ""};
}
