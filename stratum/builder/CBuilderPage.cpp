#include "builder/CBuilderPage.h"

#include "builder/Builder.h"

#include <QItemSelectionModel>
#include <QListWidget>

SQL_MODE CBuilderPage::type = SQL_SELECT;

CBuilderPage::CBuilderPage(Builder* builder, const CString& heading)
    : QWidget(builder), m_Builder(builder), m_Heading(heading) {}

CBuilderModel& CBuilderPage::Model() {
    return m_Builder->Model();
}

Selection CBuilderPage::SelectedRows(const QAbstractItemView* view) {
    Selection rows;
    if (view->selectionModel()) {
        for (const QModelIndex& index : view->selectionModel()->selectedRows())
            rows.insert(index.row());
    }
    return rows;
}

void CBuilderPage::FillList(QListWidget* list, const CStringArray& texts) {
    list->clear();
    for (const CString& text : texts)
        list->addItem(QString::fromStdString(text));
}

void CBuilderPage::SelectRows(QAbstractItemView* view, const Selection& rows) {
    view->clearSelection();
    QAbstractItemModel* model = view->model();
    for (int row : rows) {
        if (row >= 0 && row < model->rowCount())
            view->selectionModel()->select(model->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}
