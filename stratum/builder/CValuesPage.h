// Builder page giving the new value of every chosen field of an INSERT or UPDATE.
#pragma once

#include "builder/CBuilderPage.h"

class QComboBox;
class QTreeWidget;

class CValuesPage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CValuesPage(Builder* builder);
    void Show() override;
    QTreeWidget* List() const { return m_List; }
    QComboBox* ValueField() const { return m_Value; }

private:
    QTreeWidget* m_List;
    QComboBox* m_Value;
};
