// Builder page listing the WHERE and HAVING conditions; HAVING only for a SELECT.
#pragma once

#include "builder/CBuilderPage.h"

class QTreeWidget;

class CConditionsPage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CConditionsPage(Builder* builder);
    void Show() override;
    QTreeWidget* List(int which) const { return m_Lists[which]; }
    QPushButton* ListButton(int which, int button) const { return m_Buttons[which][button]; }

private:
    void Edit(int which, int row);

    QTreeWidget* m_Lists[2];
    QPushButton* m_Buttons[2][4];
};
