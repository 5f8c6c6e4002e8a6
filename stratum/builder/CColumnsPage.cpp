#include "builder/CColumnsPage.h"

#include <QListWidget>
#include <QVBoxLayout>

CColumnsPage::CColumnsPage(Builder* builder)
    : CBuilderPage(builder, "Select fields for update or insert values") {
    auto* layout = new QVBoxLayout(this);
    m_List = new QListWidget(this);
    m_List->setSelectionMode(QAbstractItemView::MultiSelection);
    layout->addWidget(m_List);
}

void CColumnsPage::Show() {
    FillList(m_List, Model().columnFields);
    m_List->setCurrentRow(Model().columnCurrent, QItemSelectionModel::NoUpdate);
    SelectRows(m_List, Model().columnSel);
}

void CColumnsPage::Store() {
    Model().columnSel = SelectedRows(m_List);
    Model().columnCurrent = m_List->currentRow();
}
