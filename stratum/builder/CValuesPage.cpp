#include "builder/CValuesPage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QTreeWidget>

CValuesPage::CValuesPage(Builder* builder) : CBuilderPage(builder, "Set new values for selected fields") {
    auto* layout = new QVBoxLayout(this);
    m_List = new QTreeWidget(this);
    m_List->setHeaderLabels({"Field", "Value"});
    m_List->setRootIsDecorated(false);
    layout->addWidget(m_List, 1);
    auto* row = new QHBoxLayout;
    m_Value = new QComboBox(this);
    m_Value->setEditable(true);
    m_Value->addItems({"DEFAULT", "NULL"});
    m_Value->setEditText("");
    row->addWidget(m_Value, 1);
    layout->addLayout(row);
    Button(row, "Set value", [this] {
        const Selection rows = SelectedRows(m_List);
        Model().SetValue(rows.empty() ? -1 : *rows.begin(), m_Value->currentText().toStdString());
    });
}

void CValuesPage::Show() {
    const Selection rows = SelectedRows(m_List);
    m_List->clear();
    for (const BuilderValue& value : Model().values)
        m_List->addTopLevelItem(new QTreeWidgetItem(
            QStringList{QString::fromStdString(value.field), QString::fromStdString(value.value)}));
    SelectRows(m_List, rows);
}
