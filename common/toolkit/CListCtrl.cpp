#include "toolkit/CListCtrl.h"

CListCtrl::CListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
}

void CListCtrl::SetColumns(const CStringArray& captions) {
    QStringList labels;
    for (const CString& caption : captions)
        labels << QString::fromStdString(caption);
    setColumnCount(static_cast<int>(captions.size()));
    setHeaderLabels(labels);
}

void CListCtrl::DeleteAllItems() {
    clear();
}

int CListCtrl::InsertItem(int row, const CString& text) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(text));
    if (row < 0 || row > topLevelItemCount())
        row = topLevelItemCount();
    insertTopLevelItem(row, item);
    return row;
}

void CListCtrl::SetItemText(int row, int column, const CString& text) {
    if (QTreeWidgetItem* item = topLevelItem(row))
        item->setText(column, QString::fromStdString(text));
}

CString CListCtrl::GetItemText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column).toStdString() : CString();
}

void CListCtrl::AppendRow(const CStringArray& texts) {
    const int row = InsertItem(GetItemCount(), texts.empty() ? CString() : texts.front());
    for (size_t column = 1; column < texts.size(); ++column)
        SetItemText(row, int(column), texts[column]);
}
