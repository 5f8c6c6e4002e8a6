#include "builder/Builder.h"

#include "builder/CColumnsPage.h"
#include "builder/CConditionsPage.h"
#include "builder/CCreateTablePage.h"
#include "builder/CFromPage.h"
#include "builder/CIndexPage.h"
#include "builder/COrderGroupPage.h"
#include "builder/CProcedurePage.h"
#include "builder/CSelectListPage.h"
#include "builder/CTablePage.h"
#include "builder/CTypePage.h"
#include "builder/CValuesPage.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

Builder::Builder(QWidget* parent, CDB* connection) : QWidget(parent), m_Model(connection) {
    auto* layout = new QVBoxLayout(this);
    m_Heading = new QLabel(this);
    m_Stack = new QStackedWidget(this);
    layout->addWidget(m_Heading);
    layout->addWidget(m_Stack, 1);
    m_Pages[PG_TYPE] = new CTypePage(this);
    m_Pages[PG_FROM] = new CFromPage(this);
    m_Pages[PG_TABLE] = new CTablePage(this);
    m_Pages[PG_COLUMNS] = new CColumnsPage(this);
    m_Pages[PG_SELECT_LIST] = new CSelectListPage(this);
    m_Pages[PG_ORDER_GROUP] = new COrderGroupPage(this);
    m_Pages[PG_CONDITIONS] = new CConditionsPage(this);
    m_Pages[PG_VALUES] = new CValuesPage(this);
    m_Pages[PG_INDEX] = new CIndexPage(this);
    m_Pages[PG_PROCEDURE] = new CProcedurePage(this);
    m_Pages[PG_CREATE_TABLE] = new CCreateTablePage(this);
    for (CBuilderPage* page : m_Pages)
        m_Stack->addWidget(page);
    m_Stack->setCurrentIndex(PG_TYPE);
    m_Pages[PG_TYPE]->Show();
    m_Heading->setText(QString::fromStdString(m_Pages[PG_TYPE]->Heading()));
    m_Heading->setBuddy(m_Pages[PG_TYPE]);
}

void Builder::Activate() {
    m_Model.Activate();
    CBuilderPage* page = m_Pages[m_Model.CurrentPage()];
    page->Show();
    m_Stack->setCurrentWidget(page);
    m_Heading->setText(QString::fromStdString(page->Heading()));
    // The heading's mnemonic leads to its page (and is drawn underlined, not as "&").
    m_Heading->setBuddy(page);
    page->setFocus();
    show();
    emit Changed();
}

int Builder::CanNext() {
    m_Pages[m_Model.CurrentPage()]->Store();
    return m_Model.CanNext();
}

int Builder::CanBack() {
    return m_Model.CanBack();
}

void Builder::Next() {
    m_Pages[m_Model.CurrentPage()]->Store();
    if (m_Model.Next()) {
        CBuilderPage::type = m_Model.Mode();
        Activate();
    }
}

void Builder::Back() {
    m_Pages[m_Model.CurrentPage()]->Store();
    if (m_Model.Back())
        Activate();
}

void Builder::Refresh() {
    m_Model.Refresh();
    for (CBuilderPage* page : m_Pages)
        page->Show();
    m_Stack->setCurrentIndex(PG_TYPE);
}

CString Builder::GetSQL() {
    m_Pages[m_Model.CurrentPage()]->Store();
    return m_Model.GetSQL();
}
