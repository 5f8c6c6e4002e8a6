#include "grid/CExcelBook.h"

#include "grid/CExportFile.h"
#include "services/Desktop.h"

#include <QDir>

#include <unistd.h>

#ifdef VARNEL_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

namespace {
CExcelBook::Opener& CurrentOpener() {
    static CExcelBook::Opener opener;
    return opener;
}
} // namespace

CExcelBook::Opener CExcelBook::SetOpener(Opener opener) {
    return std::exchange(CurrentOpener(), std::move(opener));
}

CString CExcelBook::ColumnLetters(int column) {
    CString letters;
    for (int n = column; n >= 0; n = n / 26 - 1)
        letters.insert(letters.begin(), char('A' + n % 26));
    return letters;
}

CExcelBook::~CExcelBook() {
#ifdef VARNEL_HAVE_XLSXWRITER
    if (m_pBook)
        workbook_close(m_pBook);
#endif
    if (!m_Path.empty()) {
        ::unlink(m_Path.c_str());
        CExportFile::UnregisterTemporary(m_Path);
    }
}

bool CExcelBook::Open(const CString& path) {
    if (CurrentOpener())
        return CurrentOpener()(path);
    return Desktop().openFile && Desktop().openFile(path);
}

bool CExcelBook::Start() {
#ifdef VARNEL_HAVE_XLSXWRITER
    const int fd = CExportFile::CreateTemporary(QDir::tempPath().toStdString() + "/Varnel-", ".xlsx", m_Path);
    if (fd < 0)
        return false;
    ::close(fd);
    // Rows are written in ascending order, so the sheet can stream them instead of holding them.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    m_pBook = workbook_new_opt(m_Path.c_str(), &options);
    if (!m_pBook)
        return false;
    m_pSheet = workbook_add_worksheet(m_pBook, nullptr);
    return m_pSheet != nullptr;
#else
    return false;
#endif
}

bool CExcelBook::SetCell(const CString& address, std::string_view text) {
#ifdef VARNEL_HAVE_XLSXWRITER
    if (!m_pSheet)
        return false;
    const lxw_row_t row = lxw_name_to_row(address.c_str());
    const lxw_col_t col = lxw_name_to_col(address.c_str());
    if (text.empty())
        return true;
    const CString value(text);
    return worksheet_write_string(m_pSheet, row, col, value.c_str(), nullptr) == LXW_NO_ERROR;
#else
    return false;
#endif
}

bool CExcelBook::Finish() {
#ifdef VARNEL_HAVE_XLSXWRITER
    if (!m_pBook)
        return false;
    const lxw_error closed = workbook_close(m_pBook);
    m_pBook = nullptr;
    m_pSheet = nullptr;
    return closed == LXW_NO_ERROR;
#else
    return false;
#endif
}
