// First builder page: the kind of statement to build, and a warning while no database is connected.
#pragma once

#include "builder/CBuilderPage.h"

class QButtonGroup;
class QLabel;

class CTypePage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CTypePage(Builder* builder);
    void Show() override;
    void Store() override;
    QButtonGroup* Buttons() const { return m_Buttons; }
    QLabel* Warning() const { return m_Warning; }

private:
    QButtonGroup* m_Buttons;
    QLabel* m_Warning;
};
