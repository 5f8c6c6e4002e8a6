// One page of the SQL builder: shows its lists from the builder's model and hands the user's
// choices back to it.
#pragma once

#include "builder/CBuilderModel.h"

#include <QWidget>

class Builder;
class QAbstractItemView;
class QListWidget;
class QTreeWidget;
class QPushButton;
class QBoxLayout;

class CBuilderPage : public QWidget {
    Q_OBJECT
public:
    CBuilderPage(Builder* builder, const CString& heading);

    // The statement kind of the whole process, set when leaving the first page.
    static SQL_MODE type;

    // Shows the model's lists (after the model refilled them on activation).
    virtual void Show() = 0;
    // Writes the selections made on the page into the model.
    virtual void Store() {}
    CString Heading() const { return m_Heading; }

protected:
    CBuilderModel& Model();
    static Selection SelectedRows(const QAbstractItemView* view);
    static void FillList(QListWidget* list, const CStringArray& texts);
    static void SelectRows(QAbstractItemView* view, const Selection& rows);
    template <typename F> QPushButton* Button(QBoxLayout* layout, const char* text, F action);

    Builder* m_Builder;
    CString m_Heading;
};

#include <QBoxLayout>
#include <QPushButton>

template <typename F> QPushButton* CBuilderPage::Button(QBoxLayout* layout, const char* text, F action) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setObjectName(QString::fromUtf8(text));
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, action] {
        Store();
        action();
        Show();
    });
    return button;
}
