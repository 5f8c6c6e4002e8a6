// Builder page choosing the one table (or view) a statement works on.
#pragma once

#include "builder/CBuilderPage.h"

class QListWidget;

class CTablePage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CTablePage(Builder* builder);
    void Show() override;
    void Store() override;
    QListWidget* List() const { return m_List; }

private:
    QListWidget* m_List;
};
