#include "builder/CConditionsPage.h"

#include "builder/CConditionDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>

CConditionsPage::CConditionsPage(Builder* builder) : CBuilderPage(builder, "WHERE / HAVING") {
    auto* layout = new QVBoxLayout(this);
    const char* const titles[] = {"WHERE", "HAVING"};
    for (int which = 0; which < 2; ++which) {
        layout->addWidget(new QLabel(titles[which], this));
        auto* row = new QHBoxLayout;
        m_Lists[which] = new QTreeWidget(this);
        m_Lists[which]->setObjectName(titles[which]);
        m_Lists[which]->setHeaderLabels({"Operand 1", "Operation", "Operand 2", "Link"});
        m_Lists[which]->setRootIsDecorated(false);
        m_Lists[which]->setSelectionMode(QAbstractItemView::ExtendedSelection);
        row->addWidget(m_Lists[which], 1);
        auto* buttons = new QVBoxLayout;
        row->addLayout(buttons);
        layout->addLayout(row, 1);
        m_Buttons[which][0] = Button(buttons, "Add", [this, which] { Edit(which, -1); });
        m_Buttons[which][1] = Button(buttons, "Edit", [this, which] {
            const int row = Model().ConditionEditRow(which, SelectedRows(m_Lists[which]));
            if (row >= 0)
                Edit(which, row);
        });
        m_Buttons[which][2] = Button(buttons, "Delete", [this, which] {
            Model().ConditionDelete(which, SelectedRows(m_Lists[which]));
        });
        m_Buttons[which][3] =
            Button(buttons, "Delete All", [this, which] { Model().ConditionDeleteAll(which); });
        for (QPushButton* button : m_Buttons[which])
            button->setObjectName(QString(titles[which]) + " " + button->text());
        buttons->addStretch(1);
    }
}

void CConditionsPage::Edit(int which, int row) {
    BuilderCondition condition;
    if (row >= 0)
        condition = Model().conditions[which][row];
    CConditionDlg dialog(Model().ConditionFields(), condition, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (row >= 0)
        Model().conditions[which][row] = dialog.Condition();
    else
        Model().ConditionAdd(which, dialog.Condition());
}

void CConditionsPage::Show() {
    for (int which = 0; which < 2; ++which) {
        m_Lists[which]->clear();
        for (const BuilderCondition& c : Model().conditions[which])
            m_Lists[which]->addTopLevelItem(new QTreeWidgetItem(
                QStringList{QString::fromStdString(c.operand1), QString::fromStdString(c.operation),
                            QString::fromStdString(c.operand2), QString::fromStdString(c.link)}));
    }
    const bool having = Model().HavingEnabled() != 0;
    m_Lists[1]->setEnabled(having);
    for (int button = 0; button < 3; ++button)
        m_Buttons[1][button]->setEnabled(having);
}
