// Builder page composing the items of a SELECT: fields, functions over fields and custom values,
// each optionally DISTINCT and named with AS.
#pragma once

#include "builder/CBuilderPage.h"

class QLineEdit;
class QListWidget;
class QTreeWidget;

class CSelectListPage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CSelectListPage(Builder* builder);
    void Show() override;
    QListWidget* Fields() const { return m_Fields; }
    QListWidget* Functions() const { return m_Functions; }
    QLineEdit* ValueField() const { return m_Value; }
    QTreeWidget* Items() const { return m_Items; }
    QLineEdit* AsField() const { return m_As; }

private:
    QListWidget* m_Fields;
    QListWidget* m_Functions;
    QLineEdit* m_Value;
    QTreeWidget* m_Items;
    QLineEdit* m_As;
};
