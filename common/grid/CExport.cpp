#include "grid/CExport.h"

#include "grid/CExcelBook.h"
#include "grid/CExportFile.h"
#include "grid/CResultTable.h"
#include "toolkit/MessageBox.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// ODBC SQL type codes whose values are written between single quotes.
constexpr int kQuotedTypes[] = {1, 12, -1, -8, -9, -10, 9, 10, 11};

void OpenTag(CString& out, const char* tag, const char* attribute = nullptr, std::string_view value = {}) {
    out += '<';
    out += tag;
    if (attribute) {
        out += ' ';
        out += attribute;
        out += "=\"";
        CExport::AppendEscapedMarkup(out, value);
        out += '"';
    }
    out += '>';
}

void CloseTag(CString& out, const char* tag) {
    out += "</";
    out += tag;
    out += ">\r\n";
}
} // namespace

CExport::CExport(const CResultTable* table, EXP_TYPE target)
    : m_pTable(table), m_bPreset(target != EXP_NONE) {
    SetMode(target == EXP_NONE ? EXP_TEXT : target);
}

CExport::~CExport() = default;

void CExport::SetMode(EXP_TYPE target) {
    m_Options.toText = target == EXP_TEXT;
    m_Options.toSQL = target == EXP_SQL;
    m_Options.toHTML = target == EXP_HTML;
    m_Options.toXML = target == EXP_XML;
    m_Options.toExcel = target == EXP_EXCEL;
}

EXP_TYPE CExport::GetMode() const {
    if (m_Options.toText)
        return EXP_TEXT;
    if (m_Options.toSQL)
        return EXP_SQL;
    if (m_Options.toHTML)
        return EXP_HTML;
    if (m_Options.toXML)
        return EXP_XML;
    if (m_Options.toExcel)
        return EXP_EXCEL;
    return EXP_TEXT;
}

void CExport::SetSeparatorFromOptions() {
    const std::string_view option(m_Options.Separator);
    CString separator;
    size_t start = 0;
    for (size_t pos; (pos = option.find("<tab>", start)) != std::string_view::npos; start = pos + 5) {
        separator.append(option.substr(start, pos - start));
        separator += '\t';
    }
    separator.append(option.substr(start));
    SetSeparator(separator);
}

void CExport::SetSeparator(const CString& separator) {
    m_Separator = separator;
    std::fill(std::begin(m_QuoteTrigger), std::end(m_QuoteTrigger), false);
    m_QuoteTrigger[static_cast<unsigned char>('\r')] = true;
    m_QuoteTrigger[static_cast<unsigned char>('\n')] = true;
    if (!m_Separator.empty())
        m_QuoteTrigger[static_cast<unsigned char>(m_Separator[0])] = true;
}

bool CExport::IsQuotedType(int sqlType) {
    return std::find(std::begin(kQuotedTypes), std::end(kQuotedTypes), sqlType) != std::end(kQuotedTypes);
}

size_t CExport::CharCount(std::string_view text) {
    size_t n = 0;
    for (char ch : text)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80)
            ++n;
    return n;
}

void CExport::AppendEscapedMarkup(CString& out, std::string_view text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* replacement = nullptr;
        switch (text[i]) {
        case '&':
            replacement = "&amp;";
            break;
        case '<':
            replacement = "&lt;";
            break;
        case '>':
            replacement = "&gt;";
            break;
        case '"':
            replacement = "&quot;";
            break;
        default:
            continue;
        }
        out.append(text.substr(start, i - start));
        out += replacement;
        start = i + 1;
    }
    out.append(text.substr(start));
}

void CExport::AppendSqlLiteral(CString& out, std::string_view text) {
    out += '\'';
    size_t start = 0;
    for (size_t pos; (pos = text.find('\'', start)) != std::string_view::npos; start = pos + 1) {
        out.append(text.substr(start, pos + 1 - start));
        out += '\'';
    }
    out.append(text.substr(start));
    out += '\'';
}

void CExport::AddTextItem(int i, std::string_view text, CString& line) const {
    if (m_Options.WithDelim) {
        if (i > 0)
            line += m_Separator;
        bool quote = false;
        for (size_t k = 0; k < text.size() && !quote; ++k) {
            const char ch = text[k];
            if (m_QuoteTrigger[static_cast<unsigned char>(ch)])
                quote = ch == '\r' || ch == '\n' || text.compare(k, m_Separator.size(), m_Separator) == 0;
        }
        if (!quote) {
            line.append(text);
            return;
        }
        line += '"';
        size_t start = 0;
        for (size_t pos; (pos = text.find('"', start)) != std::string_view::npos; start = pos + 1) {
            line.append(text.substr(start, pos + 1 - start));
            line += '"';
        }
        line.append(text.substr(start));
        line += '"';
        return;
    }
    line.append(text);
    const size_t width = i >= 0 && size_t(i) < m_ColumnWidths.size() ? m_ColumnWidths[size_t(i)] : 0;
    const size_t chars = CharCount(text);
    if (chars < width)
        line.append(width - chars, ' ');
}

CCellRange CExport::ExportBlock() const {
    CCellRange block =
        m_Options.AllData || !m_Options.SelOnly ? m_pTable->GetCellRange() : m_pTable->GetSelectedCellRange();
    if (block.minRow == 0)
        block.minRow = 1;
    if (block.minCol == 0)
        block.minCol = 1;
    return block;
}

bool CExport::WriteFile(CExportFile& file, const CCellRange& block) {
    const CResultTable& t = *m_pTable;
    const EXP_TYPE mode = GetMode();
    const bool hasColumns = block.minCol <= block.maxCol;
    CString out;
    out.reserve(4096);

    // Prologue
    CString head;
    if (mode == EXP_HTML) {
        out += "<HTML>\r\n<HEAD>\r\n<TITLE>";
        AppendEscapedMarkup(out, "<< Results >>");
        out += "</TITLE>\r\n</HEAD><BODY >\r\n<table border=1>\n";
    } else if (mode == EXP_XML) {
        out += "<?xml version=\"1.0\" ?>";
        OpenTag(out, "recordset");
    } else if (mode == EXP_SQL) {
        head = "insert into " + t.GetTables() + "(";
        for (size_t i = 0; i < t.Fields().size(); ++i) {
            if (i)
                head += ',';
            head += t.Fields()[i].name;
        }
        head += ") values (";
    }

    // Widths of fixed-width text
    if (mode == EXP_TEXT && !m_Options.WithDelim) {
        m_ColumnWidths.assign(hasColumns ? size_t(block.maxCol - block.minCol + 1) : 0, 0);
        for (int c = block.minCol; c <= block.maxCol; ++c) {
            size_t longest = m_Options.WithColNames ? CharCount(t.HeadingText(c)) : 0;
            for (int r = block.minRow; r <= block.maxRow; ++r)
                longest = std::max(longest, CharCount(t.TextView(r, c)));
            m_ColumnWidths[size_t(c - block.minCol)] = uint16_t(std::min<size_t>(longest + 1, 0xFFFF));
        }
    }

    // Heading line
    if (m_Options.WithColNames && hasColumns && (mode == EXP_TEXT || mode == EXP_HTML)) {
        if (mode == EXP_HTML)
            out += "<tr>\n";
        for (int c = block.minCol; c <= block.maxCol; ++c) {
            if (mode == EXP_TEXT) {
                AddTextItem(c - block.minCol, t.HeadingText(c), out);
            } else {
                out += "<td ><b>";
                AppendEscapedMarkup(out, t.HeadingText(c));
                out += "</b></td>";
            }
        }
        out += mode == EXP_TEXT ? "\r\n" : "</tr>\n";
    }
    if (!file.Write(out))
        return false;

    // Rows
    char number[16];
    for (int r = block.minRow; r <= block.maxRow && hasColumns; ++r) {
        out.clear();
        if (mode == EXP_HTML) {
            out += "<tr>\n";
        } else if (mode == EXP_XML) {
            std::snprintf(number, sizeof number, "%d", r - block.minRow + 1);
            OpenTag(out, "row", "no", number);
        } else if (mode == EXP_SQL) {
            out += head;
        }
        for (int c = block.minCol; c <= block.maxCol; ++c) {
            const std::string_view v = t.TextView(r, c);
            switch (mode) {
            case EXP_XML:
                OpenTag(out, "item", "column", t.HeadingText(c));
                AppendEscapedMarkup(out, v);
                CloseTag(out, "item");
                break;
            case EXP_HTML:
                out += "<td >";
                if (v.empty())
                    out += "&nbsp;";
                else
                    AppendEscapedMarkup(out, v);
                out += "</td>";
                break;
            case EXP_SQL: {
                if (c > block.minCol)
                    out += ',';
                const size_t field = size_t(c - 1);
                // A column without description is quoted: a quoted number is still valid SQL.
                const bool quoted = field >= t.Fields().size() || IsQuotedType(t.Fields()[field].sqlType);
                if (v == CResultTable::kNullText)
                    out += "NULL";
                else if (quoted)
                    AppendSqlLiteral(out, v);
                else
                    out.append(v);
                break;
            }
            default:
                AddTextItem(c - block.minCol, v, out);
                break;
            }
        }
        if (mode == EXP_HTML)
            out += "</tr>\n";
        else if (mode == EXP_XML)
            CloseTag(out, "row");
        else
            out += mode == EXP_SQL ? ")\r\n" : "\r\n";
        if (!file.Write(out))
            return false;
    }

    // Epilogue
    out.clear();
    if (mode == EXP_XML)
        CloseTag(out, "recordset");
    else if (mode == EXP_HTML)
        out += "</table>\n</BODY>\r\n</HTML>\r\n";
    return file.Write(out);
}

bool CExport::WriteExcel(CExcelBook& book, const CCellRange& block) {
    const CResultTable& t = *m_pTable;
    if (block.minCol > block.maxCol)
        return true;
    std::vector<CString> letters;
    for (int c = block.minCol; c <= block.maxCol; ++c)
        letters.push_back(CExcelBook::ColumnLetters(c - 1));
    if (m_Options.WithColNames)
        for (int c = block.minCol; c <= block.maxCol; ++c)
            if (!book.SetCell(letters[size_t(c - block.minCol)] + "1", t.HeadingText(c)))
                return false;
    for (int r = block.minRow; r <= block.maxRow; ++r) {
        const CString row = std::to_string(r + 1);
        for (int c = block.minCol; c <= block.maxCol; ++c)
            if (!book.SetCell(letters[size_t(c - block.minCol)] + row, t.TextView(r, c)))
                return false;
    }
    return true;
}

EXP_RESULT CExport::Run() {
    const EXP_TYPE mode = GetMode();
    if (mode != EXP_EXCEL && m_Options.FileName.empty())
        return EXP_NO_FILE_NAME;
    if (!m_pTable)
        return EXP_UNCLASSIFIED;
    try {
        if (mode == EXP_EXCEL) {
            CExcelBook book;
            if (!book.Start())
                return EXP_NO_EXCEL;
            if (!WriteExcel(book, ExportBlock()))
                return EXP_UNCLASSIFIED;
            return book.Show() ? EXP_DONE : EXP_NO_EXCEL;
        }
        CExportFile file;
        if (!file.Open(m_Options.FileName))
            return EXP_FILE_ERROR;
        if (!WriteFile(file, ExportBlock())) {
            file.Abort();
            return EXP_FILE_ERROR;
        }
        return file.Commit() ? EXP_DONE : EXP_FILE_ERROR;
    } catch (const std::bad_alloc&) {
        // Too large to build in memory: reported to the user as an unclassified failure.
        return EXP_UNCLASSIFIED;
    } catch (const std::length_error&) {
        return EXP_UNCLASSIFIED;
    }
}

CString CExport::ResultText(EXP_RESULT result) {
    switch (result) {
    case EXP_NO_FILE_NAME:
        return "Enter file name first!";
    case EXP_NO_EXCEL:
        return "Couldn't start Excel and get Application object.";
    case EXP_FILE_ERROR:
        return "Error create, open or write target file!";
    case EXP_UNCLASSIFIED:
        return "Unclassified export Error!";
    default:
        return {};
    }
}

void CExport::ShowResult(EXP_RESULT result, QWidget* parent) {
    if (result == EXP_DONE)
        return;
    if (result == EXP_NO_EXCEL)
        ShowMessage(ResultText(result), "", MB_OK, parent);
    else
        ShowMessage(ResultText(result), "Error!", MB_OK | MB_ICONERROR, parent);
}
