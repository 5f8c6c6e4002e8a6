// Builder page choosing the ORDER BY and GROUP BY fields of a SELECT.
#pragma once

#include "builder/CBuilderPage.h"

class QListWidget;

class COrderGroupPage : public CBuilderPage {
    Q_OBJECT
public:
    explicit COrderGroupPage(Builder* builder);
    void Show() override;
    QListWidget* Fields() const { return m_Fields; }
    QListWidget* OrderBy() const { return m_Order; }
    QListWidget* GroupBy() const { return m_Group; }

private:
    QListWidget* m_Fields;
    QListWidget* m_Order;
    QListWidget* m_Group;
};
