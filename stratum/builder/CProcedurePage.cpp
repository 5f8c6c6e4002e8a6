#include "builder/CProcedurePage.h"

#include <QListWidget>
#include <QVBoxLayout>

CProcedurePage::CProcedurePage(Builder* builder) : CBuilderPage(builder, "Select stored procedure name") {
    auto* layout = new QVBoxLayout(this);
    m_List = new QListWidget(this);
    layout->addWidget(m_List);
}

void CProcedurePage::Show() {
    FillList(m_List, Model().procedures);
    m_List->setCurrentRow(Model().procedureSel);
}

void CProcedurePage::Store() {
    Model().procedureSel = m_List->currentRow();
}
