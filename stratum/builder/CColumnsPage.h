// Builder page choosing the fields an INSERT or UPDATE sets.
#pragma once

#include "builder/CBuilderPage.h"

class QListWidget;

class CColumnsPage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CColumnsPage(Builder* builder);
    void Show() override;
    void Store() override;
    QListWidget* List() const { return m_List; }

private:
    QListWidget* m_List;
};
