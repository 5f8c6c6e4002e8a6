// Builder page choosing the index to drop.
#pragma once

#include "builder/CBuilderPage.h"

class QListWidget;

class CIndexPage : public CBuilderPage {
    Q_OBJECT
public:
    explicit CIndexPage(Builder* builder);
    void Show() override;
    void Store() override;
    QListWidget* List() const { return m_List; }

private:
    QListWidget* m_List;
};
