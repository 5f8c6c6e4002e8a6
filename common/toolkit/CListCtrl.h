// A list of rows with several text columns (report view), filled by rows and read by row and column.
#pragma once

#include "CommonTypes.h"
#include "toolkit/CRowList.h"

#include <QTreeWidget>

class CListCtrl : public QTreeWidget, public CRowList {
public:
    explicit CListCtrl(QWidget* parent = nullptr);

    // Sets the column captions (and so the number of columns).
    void SetColumns(const CStringArray& captions);
    void DeleteAllItems() override;
    void AppendRow(const CStringArray& texts) override;
    // Inserts a row at `row` (at the end when out of range) with its first column; returns its index.
    int InsertItem(int row, const CString& text);
    void SetItemText(int row, int column, const CString& text);
    CString GetItemText(int row, int column) const;
    int GetItemCount() const { return topLevelItemCount(); }
};
