#include "builder/CCreateTablePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTreeWidget>

CCreateTablePage::CCreateTablePage(Builder* builder) : CBuilderPage(builder, "Table name") {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_Table = new QLineEdit(this);
    m_Column = new QLineEdit(this);
    m_Type = new QComboBox(this);
    m_Type->setEditable(true);
    m_Default = new QLineEdit(this);
    m_Null = new QCheckBox("NULL", this);
    form->addRow("Table name", m_Table);
    form->addRow("Column (field)", m_Column);
    form->addRow("Data type", m_Type);
    form->addRow("Default", m_Default);
    form->addRow("", m_Null);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    m_List = new QTreeWidget(this);
    m_List->setHeaderLabels({"Field", "Type", "Default", "NULL"});
    m_List->setRootIsDecorated(false);
    m_List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(m_List, 1);
    Button(buttons, "&Add", [this] {
        Model().ColumnAdd(m_Column->text().toStdString(), m_Type->currentText().toStdString(),
                          m_Default->text().toStdString(), m_Null->isChecked() ? 1 : 0);
    });
    Button(buttons, "Delete", [this] { Model().ColumnDelete(SelectedRows(m_List)); });
}

void CCreateTablePage::Show() {
    const QString typed = m_Type->currentText();
    m_Type->clear();
    for (const CString& type : Model().dataTypes)
        m_Type->addItem(QString::fromStdString(type));
    m_Type->setEditText(typed);
    m_List->clear();
    for (const BuilderColumn& c : Model().columns)
        m_List->addTopLevelItem(new QTreeWidgetItem(
            QStringList{QString::fromStdString(c.name), QString::fromStdString(c.type),
                        QString::fromStdString(c.defaultValue), QString::fromStdString(c.null)}));
}

void CCreateTablePage::Store() {
    Model().newTable = m_Table->text().toStdString();
}
