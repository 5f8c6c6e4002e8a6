#include "builder/CSelectListPage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

CSelectListPage::CSelectListPage(Builder* builder)
    : CBuilderPage(builder, "Fields, functions and custom values") {
    auto* layout = new QHBoxLayout(this);
    // Each source (fields, functions, custom value) has its own ">" beside it.
    auto* sources = new QGridLayout;
    auto* buttons = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    layout->addLayout(sources, 1);
    layout->addLayout(buttons);
    layout->addLayout(right, 1);
    m_Fields = new QListWidget(this);
    m_Fields->setSelectionMode(QAbstractItemView::MultiSelection);
    m_Functions = new QListWidget(this);
    FillList(m_Functions, CBuilderModel::Functions());
    m_Functions->setCurrentRow(-1);
    m_Value = new QLineEdit(this);
    sources->addWidget(m_Fields, 0, 0);
    sources->addWidget(m_Functions, 1, 0);
    sources->addWidget(m_Value, 2, 0);
    sources->setRowStretch(0, 2);
    sources->setRowStretch(1, 1);
    m_Items = new QTreeWidget(this);
    m_Items->setHeaderLabels({"Item", "Distinct", "As"});
    m_Items->setRootIsDecorated(false);
    m_Items->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_As = new QLineEdit(this);
    right->addWidget(m_Items, 1);
    right->addWidget(m_As);
    const struct {
        const char* name;
        const char* tip;
        int row;
    } adds[] = {
        {"addFields", "Add the selected fields to the select list", 0},
        {"addFunction", "Add the selected function of the selected fields to the select list", 1},
        {"addValue", "Add the custom value to the select list", 2},
    };
    for (const auto& add : adds) {
        auto* column = new QVBoxLayout;
        column->addStretch(1);
        QPushButton* button = nullptr;
        if (add.row == 0) {
            button = Button(column, ">", [this] { Model().ItemsAddFields(SelectedRows(m_Fields)); });
        } else if (add.row == 1) {
            button = Button(column, ">", [this] {
                const Selection functions = SelectedRows(m_Functions);
                Model().ItemsAddFunction(functions.empty() ? -1 : *functions.begin(), SelectedRows(m_Fields));
            });
        } else {
            button = Button(column, ">", [this] { Model().ItemsAddValue(m_Value->text().toStdString()); });
        }
        column->addStretch(1);
        button->setObjectName(add.name);
        button->setToolTip(add.tip);
        sources->addLayout(column, add.row, 1);
    }
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
    // Items are read whole: every column as wide as its longest text.
    for (int column = 0; column < m_Items->columnCount(); ++column)
        m_Items->resizeColumnToContents(column);
}
