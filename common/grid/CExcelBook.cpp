#include "grid/CExcelBook.h"

#include "grid/CExportFile.h"
#include "services/Desktop.h"

#include <QDir>

#include <csignal>
#include <unistd.h>

#ifdef VARNEL_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

namespace {
// libxlsxwriter makes and at once unlinks temporary files of its own while it adds a sheet and
// while it closes the book; a signal in between would leave one behind. Signals that end the
// program wait until it is done.
class CEndingSignalsHeld {
public:
    CEndingSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
            sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &m_Previous);
    }
    ~CEndingSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &m_Previous, nullptr); }
    CEndingSignalsHeld(const CEndingSignalsHeld&) = delete;
    CEndingSignalsHeld& operator=(const CEndingSignalsHeld&) = delete;

private:
    sigset_t m_Previous;
};

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
    if (m_pBook) {
        CEndingSignalsHeld held;
        workbook_close(m_pBook);
    }
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
    CEndingSignalsHeld held;
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
    lxw_error closed = LXW_NO_ERROR;
    {
        CEndingSignalsHeld held;
        closed = workbook_close(m_pBook);
    }
    m_pBook = nullptr;
    m_pSheet = nullptr;
    return closed == LXW_NO_ERROR;
#else
    return false;
#endif
}
