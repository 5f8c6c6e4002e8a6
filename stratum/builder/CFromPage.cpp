#include "builder/CFromPage.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

CFromPage::CFromPage(Builder* builder) : CBuilderPage(builder, "Se&lect table(s) for FROM") {
    auto* layout = new QHBoxLayout(this);
    m_Tables = new QListWidget(this);
    m_Tables->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* buttons = new QVBoxLayout;
    m_From = new QTreeWidget(this);
    m_From->setHeaderLabels({"Table name", "Alias"});
    m_From->setRootIsDecorated(false);
    m_From->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_Alias = new QLineEdit(this);
    layout->addWidget(m_Tables, 1);
    layout->addLayout(buttons);
    auto* right = new QVBoxLayout;
    right->addWidget(m_From, 1);
    right->addWidget(m_Alias);
    layout->addLayout(right, 1);
    Button(buttons, ">", [this] { Model().FromAdd(SelectedRows(m_Tables)); });
    Button(buttons, ">>", [this] { Model().FromAddAll(); });
    Button(buttons, "<", [this] { Model().FromRemove(SelectedRows(m_From)); });
    Button(buttons, "<<", [this] { Model().FromClear(); });
    Button(buttons, "&Alias",
           [this] { Model().FromAlias(SelectedRows(m_From), m_Alias->text().toStdString()); });
    Button(buttons, "Clear selection", [this] { m_Tables->clearSelection(); });
    buttons->addStretch(1);
}

void CFromPage::Show() {
    const Selection tables = SelectedRows(m_Tables);
    FillList(m_Tables, Model().fromTables);
    SelectRows(m_Tables, tables);
    m_From->clear();
    for (const BuilderTable& entry : Model().fromList)
        m_From->addTopLevelItem(new QTreeWidgetItem(
            QStringList{QString::fromStdString(entry.table), QString::fromStdString(entry.alias)}));
}
