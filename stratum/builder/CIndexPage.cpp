#include "builder/CIndexPage.h"

#include <QListWidget>
#include <QVBoxLayout>

CIndexPage::CIndexPage(Builder* builder) : CBuilderPage(builder, "Select index name") {
    auto* layout = new QVBoxLayout(this);
    m_List = new QListWidget(this);
    layout->addWidget(m_List);
}

void CIndexPage::Show() {
    FillList(m_List, Model().indexes);
    m_List->setCurrentRow(Model().indexSel);
}

void CIndexPage::Store() {
    Model().indexSel = m_List->currentRow();
}
