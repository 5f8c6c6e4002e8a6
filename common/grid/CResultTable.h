// One query result as text without any window: a heading row with the column names, a row-number
// column and one row of text cells per fetched row, with the column descriptions, the statement
// text and the table list. The result grid shows it; loading and export work on it directly.
#pragma once

#include "grid/CGridModel.h"
#include "grid/CRowSink.h"
#include "grid/FLD_DESC.h"

class CResultTable : public CGridModel, public CRowSink {
public:
    // How a SQL NULL is shown when the show-NULL flag is set.
    static constexpr const char* kNullText = "<NULL>";
    // A loader hands a NULL to a row sink as NullView: the address of one marker for the whole
    // program tells a NULL from a stored text that reads the same.
    static bool IsNull(std::string_view text) {
        return text.data() == s_NullMark ? text.size() == 6 : text.data() == s_NullMark + 6 && text.empty();
    }
    // The text a sink receives for a NULL: "<NULL>" when NULLs are shown, else empty.
    static std::string_view NullView(bool shown) {
        return shown ? std::string_view(s_NullMark, 6) : std::string_view(s_NullMark + 6, 0);
    }
    // Format of the heading cells.
    static constexpr unsigned kHeadingFormat = DT_WORDBREAK | DT_NOPREFIX;

    // Removes all rows, columns, sizes, selection, focus and column descriptions.
    void Clear();
    // Exchanges the whole result with another table: the grid content and the column descriptions,
    // statement, tables and display options.
    void SwapResult(CResultTable& other);
    // One row, one fixed row and one fixed column: the empty layout of a result.
    void Initialize();
    // Heading of grid column column + 1 (the column count grows when needed).
    void AddColumn(int column, const CString& name);
    // Appends a row whose row-number cell reads index + 1 as "%3d"; returns the new row.
    int NextRow(int index);
    // Stores a value cell with the common format.
    bool SetCellText(int row, int col, std::string_view text);
    // Loading: each row becomes a numbered grid row after the ones before.
    bool BeginRows() override { return true; }
    bool AddRow(int index, const std::string_view* texts, size_t count) override;
    bool EndRows() override { return true; }
    // Whether a value cell holds a NULL; CellView gives its text as a row sink receives it.
    bool IsNullCell(int row, int col) const { return GetItemData(row, col) == kNullMark; }
    std::string_view CellView(int row, int col) const {
        const std::string_view text = TextView(row, col);
        return IsNullCell(row, col) ? NullView(!text.empty()) : text;
    }
    // Heading text of a grid column.
    std::string_view HeadingText(int col) const { return TextView(0, col); }

    void ViewNull(int on) { m_ViewNull = on; }
    int GetViewNull() const { return m_ViewNull; }
    void SetBlobAsText(int on) { m_BlobAsText = on; }
    int GetBlobAsText() const { return m_BlobAsText; }
    void AssignSQL(const CString& sql) { m_SQL = sql; }
    const CString& GetSQL() const { return m_SQL; }
    void AssignTables(const CString& tables) { m_Tables = tables; }
    const CString& GetTables() const { return m_Tables; }
    // The driver's identifier quote for column names in SQL statements (a blank when it has none).
    void SetIdentifierQuote(const CString& quote) { m_IdentifierQuote = quote; }
    const CString& GetIdentifierQuote() const { return m_IdentifierQuote; }
    unsigned GetResultColumns() const { return m_nColumns; }
    void SetResultColumns(unsigned count) { m_nColumns = count; }
    // Column descriptions; entry i belongs to grid column i + 1.
    CArray<FLD_DESC>& Fields() { return m_Fields; }
    const CArray<FLD_DESC>& Fields() const { return m_Fields; }

    // "Copy selected": the full rectangle around the selection, a tab after every cell and CR LF
    // after every row; the row-number column is left out.
    CString CopySelectedText() const;

protected:
    // Columns of a numeric SQL type sort by value.
    bool SortsByValue(int col) const override;

private:
    static constexpr uint32_t kNullMark = 0x4E554C4C;
    static const char s_NullMark[7];

    CArray<FLD_DESC> m_Fields;
    CString m_SQL;
    CString m_Tables;
    CString m_IdentifierQuote = "\"";
    unsigned m_nColumns = 0;
    int m_BlobAsText = 0;
    int m_ViewNull = 1;
};
