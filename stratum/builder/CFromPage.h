// Builder page choosing the tables of a SELECT, with their aliases.
#pragma once

#include "builder/CBuilderPage.h"

class QLineEdit;
class QListWidget;
class QTreeWidget;

class CFromPage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CFromPage(Builder* builder);
    void Show() override;
    QListWidget* Tables() const { return m_Tables; }
    QTreeWidget* FromList() const { return m_From; }
    QLineEdit* AliasField() const { return m_Alias; }

private:
    QListWidget* m_Tables;
    QTreeWidget* m_From;
    QLineEdit* m_Alias;
};
