// The "Condition" dialog: two operands from the builder's fields (or typed), an operation and the
// link to the next condition.
#pragma once

#include "builder/CBuilderModel.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;

class CConditionDlg : public QDialog {
    Q_OBJECT
public:
    // `fields` fill both operand lists; `condition` holds the values of a row being edited, or is
    // empty for a new one.
    CConditionDlg(const CStringArray& fields, const BuilderCondition& condition, QWidget* parent = nullptr);

    BuilderCondition Condition() const;
    QComboBox* Operand1() const { return m_Operand1; }
    QComboBox* Operation() const { return m_Operation; }
    QComboBox* Operand2() const { return m_Operand2; }
    QButtonGroup* Link() const { return m_Link; }

private:
    QComboBox* m_Operand1;
    QComboBox* m_Operation;
    QComboBox* m_Operand2;
    QButtonGroup* m_Link;
};
