#include "grid/CResultTable.h"

#include <cstdio>

const char CResultTable::s_NullMark[7] = "<NULL>";

void CResultTable::Clear() {
    DeleteAllItems();
    m_Fields.clear();
    m_nColumns = 0;
}

void CResultTable::Initialize() {
    SetRowCount(1);
    SetFixedRowCount(1);
    SetFixedColumnCount(1);
}

void CResultTable::AddColumn(int column, const CString& name) {
    if (column < 0)
        return;
    if (GetRowCount() < 1)
        SetRowCount(1);
    if (GetColumnCount() < column + 2)
        SetColumnCount(column + 2);
    SetItemText(0, column + 1, name);
    SetItemFormat(0, column + 1, kHeadingFormat);
}

int CResultTable::NextRow(int index) {
    char number[16];
    std::snprintf(number, sizeof number, "%3d", index + 1);
    return InsertRow(number, -1);
}

bool CResultTable::AddRow(int index, const std::string_view* texts, size_t count) {
    const int row = NextRow(index);
    if (row < 0)
        return false;
    for (size_t c = 0; c < count; ++c) {
        SetCellText(row, static_cast<int>(c) + 1, texts[c]);
        if (IsNull(texts[c]))
            SetItemData(row, static_cast<int>(c) + 1, kNullMark);
    }
    return true;
}

bool CResultTable::SetCellText(int row, int col, std::string_view text) {
    if (!SetItemText(row, col, text))
        return false;
    return GetItemFormat(row, col) == kCommonFormat || SetItemFormat(row, col, kCommonFormat);
}

CString CResultTable::CopySelectedText() const {
    const CCellRange range = GetSelectedCellRange();
    CString out;
    const int firstCol = range.minCol == 0 ? 1 : range.minCol;
    for (int row = range.minRow; row <= range.maxRow; ++row) {
        for (int col = firstCol; col <= range.maxCol; ++col) {
            out += TextView(row, col);
            out += '\t';
        }
        out += "\r\n";
    }
    return out;
}

bool CResultTable::SortsByValue(int col) const {
    if (col < 1 || size_t(col) > m_Fields.size())
        return false;
    switch (m_Fields[size_t(col - 1)].sqlType) {
    case 2:  // NUMERIC
    case 3:  // DECIMAL
    case 4:  // INTEGER
    case 5:  // SMALLINT
    case 6:  // FLOAT
    case 7:  // REAL
    case 8:  // DOUBLE
    case -5: // BIGINT
    case -6: // TINYINT
        return true;
    default:
        return false;
    }
}

void CResultTable::SwapResult(CResultTable& other) {
    SwapContent(other);
    std::swap(m_Fields, other.m_Fields);
    std::swap(m_SQL, other.m_SQL);
    std::swap(m_Tables, other.m_Tables);
    std::swap(m_IdentifierQuote, other.m_IdentifierQuote);
    std::swap(m_nColumns, other.m_nColumns);
    std::swap(m_BlobAsText, other.m_BlobAsText);
    std::swap(m_ViewNull, other.m_ViewNull);
}
