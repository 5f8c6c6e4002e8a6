#include "builder/CTablePage.h"

#include <QListWidget>
#include <QVBoxLayout>

CTablePage::CTablePage(Builder* builder) : CBuilderPage(builder, "Select single table for statement") {
    auto* layout = new QVBoxLayout(this);
    m_List = new QListWidget(this);
    layout->addWidget(m_List);
}

void CTablePage::Show() {
    FillList(m_List, Model().singleTables);
    m_List->setCurrentRow(Model().singleSel);
}

void CTablePage::Store() {
    Model().singleSel = m_List->currentRow();
}
