// The spreadsheet target of the export: a new workbook whose cells are set by their addresses
// ("A1", "AB7"), built in a private temporary .xlsx that the export then copies to its target file,
// which can be opened with the desktop's spreadsheet application.
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
    // Completes the workbook in its temporary file, Path(); false when that fails.
    bool Finish();
    const CString& Path() const { return m_Path; }
    // Hands a finished workbook file to the desktop's application for it; false when none took it.
    static bool Open(const CString& path);

    // Column letters of a 0-based column: A..Z, then AA..ZZ, and on in the same manner.
    static CString ColumnLetters(int column);

    // What Open uses; the default asks the desktop. Returns the previous opener.
    using Opener = std::function<bool(const CString& path)>;
    static Opener SetOpener(Opener opener);

private:
    lxw_workbook* m_pBook = nullptr;
    lxw_worksheet* m_pSheet = nullptr;
    CString m_Path;
};
