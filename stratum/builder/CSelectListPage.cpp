#include "builder/CSelectListPage.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

CSelectListPage::CSelectListPage(Builder* builder)
    : CBuilderPage(builder, "Fields, functions and custom values") {
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* buttons = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->addLayout(right, 1);
    m_Fields = new QListWidget(this);
    m_Fields->setSelectionMode(QAbstractItemView::MultiSelection);
    m_Functions = new QListWidget(this);
    FillList(m_Functions, CBuilderModel::Functions());
    m_Functions->setCurrentRow(-1);
    m_Value = new QLineEdit(this);
    left->addWidget(m_Fields, 2);
    left->addWidget(m_Functions, 1);
    left->addWidget(m_Value);
    m_Items = new QTreeWidget(this);
    m_Items->setHeaderLabels({"Item", "Distinct", "As"});
    m_Items->setRootIsDecorated(false);
    m_Items->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_As = new QLineEdit(this);
    right->addWidget(m_Items, 1);
    right->addWidget(m_As);
    Button(buttons, ">", [this] {
        Model().ItemsAddFields(SelectedRows(m_Fields));
    })->setObjectName("addFields");
    Button(buttons, ">", [this] {
        const Selection functions = SelectedRows(m_Functions);
        Model().ItemsAddFunction(functions.empty() ? -1 : *functions.begin(), SelectedRows(m_Fields));
    })->setObjectName("addFunction");
    Button(buttons, ">", [this] {
        Model().ItemsAddValue(m_Value->text().toStdString());
    })->setObjectName("addValue");
    Button(buttons, "<", [this] { Model().ItemsRemove(SelectedRows(m_Items)); });
    Button(buttons, "<<", [this] { Model().ItemsRemoveAll(); });
    Button(buttons, "DISTINCT", [this] { Model().ItemsDistinct(SelectedRows(m_Items)); });
    Button(buttons, "AS", [this] { Model().ItemsAs(SelectedRows(m_Items), m_As->text().toStdString()); });
    Button(buttons, "Clear selection", [this] { m_Fields->clearSelection(); });
    buttons->addStretch(1);
}

void CSelectListPage::Show() {
    const Selection fields = SelectedRows(m_Fields);
    const Selection items = SelectedRows(m_Items);
    FillList(m_Fields, Model().selectFields);
    SelectRows(m_Fields, fields);
    m_Items->clear();
    for (const BuilderItem& item : Model().items)
        m_Items->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromStdString(item.item),
                                                                 QString::fromStdString(item.distinct),
                                                                 QString::fromStdString(item.as)}));
    SelectRows(m_Items, items);
}
