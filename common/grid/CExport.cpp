#include "grid/CExport.h"

#include "grid/CExcelBook.h"
#include "grid/CExportFile.h"
#include "grid/CResultTable.h"
#include "editor/CUtf8.h"
#include "toolkit/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
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

namespace {
// True for the bytes that can't stand for themselves in XML 1.0: C0 controls other than tab, CR and
// LF, and every byte of a multi-byte character (checked more closely).
inline bool NeedsCare(unsigned char ch) {
    return ch >= 0x80 || (ch < 0x20 && ch != '\t' && ch != '\r' && ch != '\n');
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
} // namespace

void CExport::AppendXmlText(CString& out, std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    const char* start = p;
    while (p < end) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (!NeedsCare(ch)) {
            ++p;
            continue;
        }
        if (ch >= 0x80) {
            int length = 0;
            const char32_t code = CUtf8::Decode(p, end, &length);
            // A well-formed character that XML allows stays as it is.
            if (code < CUtf8::InvalidByteBase && code != 0xFFFE && code != 0xFFFF) {
                p += length;
                continue;
            }
        }
        out.append(start, size_t(p - start));
        out.append(kReplacement);
        ++p;
        start = p;
    }
    out.append(start, size_t(end - start));
}

CString CExport::XmlText(std::string_view text) {
    CString out;
    out.reserve(text.size());
    AppendXmlText(out, text);
    return out;
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
        AppendXmlText(out, text.substr(start, i - start));
        out += replacement;
        start = i + 1;
    }
    AppendXmlText(out, text.substr(start));
}

CString CExport::SqlIdentifier(std::string_view name, const CString& quote) {
    const auto plain = [](std::string_view text) {
        if (text.empty() || (!std::isalpha(static_cast<unsigned char>(text[0])) && text[0] != '_'))
            return false;
        for (char ch : text)
            if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_')
                return false;
        return true;
    };
    const CString q = quote == " " ? CString() : quote;
    if (plain(name) || q.empty())
        return CString(name);
    if (q.size() == 1) {
        CString out;
        AppendQuoted(out, name, q[0]);
        return out;
    }
    return q + CString(name) + q;
}

void CExport::AppendQuoted(CString& out, std::string_view text, char quote) {
    out += quote;
    size_t start = 0;
    for (size_t pos; (pos = text.find(quote, start)) != std::string_view::npos; start = pos + 1) {
        out.append(text.substr(start, pos + 1 - start));
        out += quote;
    }
    out.append(text.substr(start));
    out += quote;
}

void CExport::AppendSqlLiteral(CString& out, std::string_view text) {
    AppendQuoted(out, text, '\'');
}

namespace {
// Non-zero when one of the word's bytes is `byte`.
template <typename Word> inline Word HasByte(Word word, unsigned char byte) {
    constexpr Word ones = Word(~Word(0)) / 0xFF;
    const Word x = word ^ Word(ones * byte);
    return (x - ones) & ~x & Word(ones * 0x80);
}

template <typename Word>
inline bool HasAnyOf(const char* at, unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    return (HasByte(word, a) | HasByte(word, b) | HasByte(word, c) | HasByte(word, d)) != 0;
}

// Whether the text holds a, b, c or d: sixteen bytes a step where the compiler offers vectors, else whole
// words, the last step overlapping the one before rather than reading past the end.
inline bool HasAnyOf(std::string_view text, unsigned char a, unsigned char b, unsigned char c,
                     unsigned char d) {
    const char* data = text.data();
    const size_t size = text.size();
#if defined(__GNUC__)
    if (size >= 16) {
        using Bytes = unsigned char __attribute__((vector_size(16)));
        const auto step = [&](const char* at) {
            Bytes v;
            std::memcpy(&v, at, sizeof v);
            const auto hits = (v == a) | (v == b) | (v == c) | (v == d);
            uint64_t halves[2];
            std::memcpy(halves, &hits, sizeof halves);
            return (halves[0] | halves[1]) != 0;
        };
        for (size_t k = 0; k + 16 < size; k += 16)
            if (step(data + k))
                return true;
        return step(data + size - 16);
    }
#endif
    if (size >= 8) {
        for (size_t k = 0; k + 8 < size; k += 8)
            if (HasAnyOf<uint64_t>(data + k, a, b, c, d))
                return true;
        return HasAnyOf<uint64_t>(data + size - 8, a, b, c, d);
    }
    if (size >= 4)
        return HasAnyOf<uint32_t>(data, a, b, c, d) || HasAnyOf<uint32_t>(data + size - 4, a, b, c, d);
    for (size_t k = 0; k < size; ++k) {
        const unsigned char ch = static_cast<unsigned char>(data[k]);
        if (ch == a || ch == b || ch == c || ch == d)
            return true;
    }
    return false;
}
} // namespace

// A delimited field is quoted when it holds a line break, a double quote or the separator. This runs
// for every value exported: a quick scan for the bytes that may start any of them comes first.
inline bool CExport::NeedsQuotes(std::string_view text) const {
    const unsigned char first = static_cast<unsigned char>(m_Separator.empty() ? '\n' : m_Separator[0]);
    if (!HasAnyOf(text, '\r', '\n', '"', first))
        return false;
    if (text.find_first_of("\r\n\"") != std::string_view::npos)
        return true;
    return !m_Separator.empty() && text.find(m_Separator) != std::string_view::npos;
}

void CExport::AddTextItem(int i, std::string_view text, CString& line) const {
    if (m_Options.WithDelim) {
        if (i > 0) {
            if (m_Separator.size() == 1)
                line += m_Separator[0];
            else
                line += m_Separator;
        }
        if (!NeedsQuotes(text)) {
            line.append(text);
            return;
        }
        AppendQuoted(line, text, '"');
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

bool CExport::CanWriteRows() const {
    const EXP_TYPE mode = GetMode();
    return mode != EXP_EXCEL && (mode != EXP_TEXT || m_Options.WithDelim);
}

EXP_RESULT CExport::OpenFile() {
    m_pFile.reset();
    m_bRowsBegun = m_bRowsEnded = m_bWriteFailed = false;
    if (GetMode() == EXP_EXCEL || !m_pTable)
        return EXP_UNCLASSIFIED;
    if (m_Options.FileName.empty() && m_Descriptor < 0)
        return EXP_NO_FILE_NAME;
    auto file = std::make_unique<CExportFile>();
    if (m_Descriptor >= 0 ? !file->OpenDescriptor(m_Descriptor) : !file->Open(m_Options.FileName))
        return EXP_FILE_ERROR;
    m_pFile = std::move(file);
    return EXP_DONE;
}

EXP_RESULT CExport::CloseFile() {
    if (!m_pFile)
        return EXP_FILE_ERROR;
    const std::unique_ptr<CExportFile> file = std::move(m_pFile);
    if (!m_bRowsEnded) {
        file->Abort();
        return EXP_UNCLASSIFIED;
    }
    if (m_bWriteFailed) {
        file->Abort();
        return EXP_FILE_ERROR;
    }
    return file->Commit() ? EXP_DONE : EXP_FILE_ERROR;
}

void CExport::AbortFile() {
    if (m_pFile)
        m_pFile->Abort();
    m_pFile.reset();
}

bool CExport::Flush() {
    if (!m_bWriteFailed && !m_pFile->Write(m_Out))
        m_bWriteFailed = true;
    m_Out.clear();
    return !m_bWriteFailed;
}

bool CExport::BeginRows() {
    if (!CanWriteRows())
        return false;
    // Every column of the table, the rows as they come.
    return BeginBlock({1, 1, -1, m_pTable->GetColumnCount() - 1});
}

bool CExport::AddRow(int index, const std::string_view* texts, size_t count) {
    return WriteRow(index + 1, texts, count);
}

bool CExport::EndRows() {
    if (!m_pFile || !m_bRowsBegun || m_bRowsEnded)
        return false;
    m_bRowsEnded = true;
    const EXP_TYPE mode = GetMode();
    if (mode == EXP_XML)
        CloseTag(m_Out, "recordset");
    else if (mode == EXP_HTML)
        m_Out += "</table>\n</BODY>\r\n</HTML>\r\n";
    return Flush();
}

// The prologue and the heading line of the block's columns.
bool CExport::BeginBlock(const CCellRange& block) {
    if (!m_pFile || m_bRowsBegun)
        return false;
    m_bRowsBegun = true;
    m_Block = block;
    const CResultTable& t = *m_pTable;
    const EXP_TYPE mode = GetMode();
    const bool hasColumns = block.minCol <= block.maxCol;
    CString& out = m_Out;
    out.clear();
    out.reserve(4096);
    m_SqlHead.clear();
    if (mode == EXP_HTML) {
        out += "<HTML>\r\n<HEAD>\r\n<TITLE>";
        AppendEscapedMarkup(out, "<< Results >>");
        out += "</TITLE>\r\n</HEAD><BODY >\r\n<table border=1>\n";
    } else if (mode == EXP_XML) {
        out += "<?xml version=\"1.0\" ?>";
        OpenTag(out, "recordset");
    } else if (mode == EXP_SQL) {
        m_SqlHead = "insert into " + t.GetTables() + "(";
        for (size_t i = 0; i < t.Fields().size(); ++i) {
            if (i)
                m_SqlHead += ',';
            m_SqlHead += SqlIdentifier(t.Fields()[i].name, t.GetIdentifierQuote());
        }
        m_SqlHead += ") values (";
    }

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
    return Flush();
}

// One row of the block: texts[i] is the text of block column i, missing ones are empty. Number counts
// the block's rows from 1.
bool CExport::WriteRow(int number, const std::string_view* texts, size_t count) {
    if (!m_pFile || !m_bRowsBegun || m_bRowsEnded || m_bWriteFailed)
        return false;
    const CCellRange& block = m_Block;
    if (block.minCol > block.maxCol)
        return true;
    const CResultTable& t = *m_pTable;
    const EXP_TYPE mode = GetMode();
    CString& out = m_Out;
    if (mode == EXP_HTML) {
        out += "<tr>\n";
    } else if (mode == EXP_XML) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", number);
        OpenTag(out, "row", "no", text);
    } else if (mode == EXP_SQL) {
        out += m_SqlHead;
    }
    for (int c = block.minCol; c <= block.maxCol; ++c) {
        const size_t i = size_t(c - block.minCol);
        const std::string_view v = i < count ? texts[i] : std::string_view();
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
            // A NULL is NULL however it is shown; a text that reads "<NULL>" is a text.
            if (CResultTable::IsNull(v))
                out += "NULL";
            else if (quoted)
                AppendSqlLiteral(out, v);
            else
                out.append(v);
            break;
        }
        default:
            AddTextItem(int(i), v, out);
            break;
        }
    }
    if (mode == EXP_HTML)
        out += "</tr>\n";
    else if (mode == EXP_XML)
        CloseTag(out, "row");
    else
        out += mode != EXP_SQL ? "\r\n" : m_Options.Terminate ? ");\r\n" : ")\r\n";
    return Flush();
}

bool CExport::WriteTable(const CCellRange& block) {
    const CResultTable& t = *m_pTable;
    const bool hasColumns = block.minCol <= block.maxCol;
    // Widths of fixed-width text
    if (GetMode() == EXP_TEXT && !m_Options.WithDelim) {
        m_ColumnWidths.assign(hasColumns ? size_t(block.maxCol - block.minCol + 1) : 0, 0);
        for (int c = block.minCol; c <= block.maxCol; ++c) {
            size_t longest = m_Options.WithColNames ? CharCount(t.HeadingText(c)) : 0;
            for (int r = block.minRow; r <= block.maxRow; ++r)
                longest = std::max(longest, CharCount(t.TextView(r, c)));
            m_ColumnWidths[size_t(c - block.minCol)] = uint16_t(std::min<size_t>(longest + 1, 0xFFFF));
        }
    }
    if (!BeginBlock(block))
        return false;
    std::vector<std::string_view> texts(hasColumns ? size_t(block.maxCol - block.minCol + 1) : 0);
    for (int r = block.minRow; r <= block.maxRow && hasColumns; ++r) {
        for (int c = block.minCol; c <= block.maxCol; ++c)
            texts[size_t(c - block.minCol)] = t.CellView(r, c);
        if (!WriteRow(r - block.minRow + 1, texts.data(), texts.size()))
            return false;
    }
    return EndRows();
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
            if (!book.SetCell(letters[size_t(c - block.minCol)] + "1", XmlText(t.HeadingText(c))))
                return false;
    for (int r = block.minRow; r <= block.maxRow; ++r) {
        const CString row = std::to_string(r + 1);
        for (int c = block.minCol; c <= block.maxCol; ++c)
            if (!book.SetCell(letters[size_t(c - block.minCol)] + row, XmlText(t.TextView(r, c))))
                return false;
    }
    return true;
}

EXP_RESULT CExport::Run() {
    const EXP_TYPE mode = GetMode();
    if (m_Options.FileName.empty() && (m_Descriptor < 0 || mode == EXP_EXCEL))
        return EXP_NO_FILE_NAME;
    if (!m_pTable)
        return EXP_UNCLASSIFIED;
    try {
        if (mode == EXP_EXCEL) {
            // The workbook is built aside and copied to the target as any other export file.
            CExcelBook book;
            if (!book.Start())
                return EXP_NO_EXCEL;
            if (!WriteExcel(book, ExportBlock()) || !book.Finish())
                return EXP_UNCLASSIFIED;
            CExportFile file;
            if (!file.Open(m_Options.FileName))
                return EXP_FILE_ERROR;
            if (!file.WriteFileContent(book.Path())) {
                file.Abort();
                return EXP_FILE_ERROR;
            }
            return file.Commit() ? EXP_DONE : EXP_FILE_ERROR;
        }
        if (const EXP_RESULT opened = OpenFile(); opened != EXP_DONE)
            return opened;
        if (!WriteTable(ExportBlock())) {
            AbortFile();
            return EXP_FILE_ERROR;
        }
        return CloseFile();
    } catch (const std::bad_alloc&) {
        // Too large to build in memory: reported to the user as an unclassified failure.
        AbortFile();
        return EXP_UNCLASSIFIED;
    } catch (const std::length_error&) {
        AbortFile();
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
