// The spreadsheet target of the export: a new workbook whose cells are set by their addresses
// ("A1", "AB7"), written to a temporary .xlsx and opened, unsaved, with the desktop's spreadsheet
// application.
#pragma once

#include "CommonTypes.h"

#include <functional>
#include <string_view>

struct lxw_workbook;
struct lxw_worksheet;

class CExcelBook {
public:
    CExcelBook() = default;
    ~CExcelBook();
    CExcelBook(const CExcelBook&) = delete;
    CExcelBook& operator=(const CExcelBook&) = delete;

    // Creates the workbook with its first sheet; false when that can't be done.
    bool Start();
    // Puts a text into the cell at an address; rows must be set in ascending order.
    bool SetCell(const CString& address, std::string_view text);
    // Writes the workbook and hands it to the spreadsheet application; false when it can't be opened.
    bool Show();
    const CString& Path() const { return m_Path; }

    // Column letters of a 0-based column: A..Z, then AA..ZZ, and on in the same manner.
    static CString ColumnLetters(int column);

    // Opens a finished workbook; the default asks the desktop. Returns the previous opener.
    using Opener = std::function<bool(const CString& path)>;
    static Opener SetOpener(Opener opener);

private:
    lxw_workbook* m_pBook = nullptr;
    lxw_worksheet* m_pSheet = nullptr;
    CString m_Path;
};
