#include "builder/CTypePage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CTypePage::CTypePage(Builder* builder) : CBuilderPage(builder, "Select type of statement to build") {
    auto* layout = new QVBoxLayout(this);
    m_Buttons = new QButtonGroup(this);
    const char* const texts[] = {"SELECT",    "&INSERT",    "&UPDATE",        "&DELETE",     "DROP TABLE",
                                 "DROP VIEW", "DROP INDEX", "DROP PROCEDURE", "CREATE TABLE"};
    for (int i = 0; i < 9; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(texts[i]), this);
        m_Buttons->addButton(radio, i);
        layout->addWidget(radio);
    }
    m_Buttons->button(SQL_SELECT)->setChecked(true);
    m_Warning = new QLabel(
        QString::fromUtf8("\r\nWARNING!\r\nPlease connect database before\r\n run SQL builder"), this);
    layout->addWidget(m_Warning);
    layout->addStretch(1);
}

void CTypePage::Show() {
    m_Warning->setVisible(Model().ShowsWarning() != 0);
    if (QAbstractButton* button = m_Buttons->button(Model().typeChoice))
        button->setChecked(true);
}

void CTypePage::Store() {
    if (m_Buttons->checkedId() >= 0)
        Model().typeChoice = m_Buttons->checkedId();
}
