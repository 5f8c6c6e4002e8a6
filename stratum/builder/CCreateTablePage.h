// Builder page defining a new table: its name and its columns with type, default and nullability.
#pragma once

#include "builder/CBuilderPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTreeWidget;

class CCreateTablePage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CCreateTablePage(Builder* builder);
    void Show() override;
    void Store() override;
    QLineEdit* TableName() const { return m_Table; }
    QLineEdit* ColumnName() const { return m_Column; }
    QComboBox* DataType() const { return m_Type; }
    QLineEdit* DefaultValue() const { return m_Default; }
    QCheckBox* Null() const { return m_Null; }
    QTreeWidget* Columns() const { return m_List; }

private:
    QLineEdit* m_Table;
    QLineEdit* m_Column;
    QComboBox* m_Type;
    QLineEdit* m_Default;
    QCheckBox* m_Null;
    QTreeWidget* m_List;
};
