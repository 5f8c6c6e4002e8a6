// The rows a list control would show, recorded for logic that fills a row list.
#pragma once

#include "CommonTypes.h"
#include "toolkit/CRowList.h"

#include <vector>

class RowsSeen : public CRowList {
public:
    void DeleteAllItems() override { m_Rows.clear(); }
    void AppendRow(const CStringArray& texts) override { m_Rows.push_back(texts); }
    int GetItemCount() const { return int(m_Rows.size()); }
    CString GetItemText(int row, int column) const { return m_Rows.at(row).at(column); }

private:
    std::vector<CStringArray> m_Rows;
};
