// Builder page choosing the stored procedure to drop.
#pragma once

#include "builder/CBuilderPage.h"

class QListWidget;

class CProcedurePage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CProcedurePage(Builder* builder);
    void Show() override;
    void Store() override;
    QListWidget* List() const { return m_List; }

private:
    QListWidget* m_List;
};
