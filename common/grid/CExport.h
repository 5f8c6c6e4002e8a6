// Export of a result table to a text file (delimited or fixed width), SQL INSERT statements, an XML
// document, an HTML table or a new spreadsheet workbook. The engine needs no window; the "Export"
// dialog edits its options and runs it.
#pragma once

#include "grid/CRowSink.h"
#include "grid/GridItem.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class CResultTable;
class CExcelBook;
class CExportFile;
class QWidget;

enum EXP_TYPE { EXP_NONE = -1, EXP_TEXT = 0, EXP_SQL = 1, EXP_HTML = 2, EXP_XML = 3, EXP_EXCEL = 4 };

// Outcome of one export.
enum EXP_RESULT { EXP_DONE = 0, EXP_NO_FILE_NAME, EXP_NO_EXCEL, EXP_FILE_ERROR, EXP_UNCLASSIFIED };

class CExport : public CRowSink {
public:
    // The options of the dialog, named as they are stored in the section "Export".
    struct Options {
        int toText = 1;
        int toSQL = 0;
        int toHTML = 0;
        int toExcel = 0;
        int toXML = 0;
        int WithDelim = 1;
        int AllData = 1;
        int SelOnly = 0;
        int WithColNames = 1;
        CString FileName;
        CString Separator;
        // SQL statements end with ";" so that other tools load the file.
        int Terminate = 0;
    };

    static constexpr const char* kSection = "Export";

    // Binds the table (not owned); a target other than EXP_NONE presets the options.
    CExport(const CResultTable* table, EXP_TYPE target);
    ~CExport() override;
    CExport(const CExport&) = delete;
    CExport& operator=(const CExport&) = delete;

    // Makes exactly the given target's option 1.
    void SetMode(EXP_TYPE target);
    // The chosen target (the first option set, text when none is).
    EXP_TYPE GetMode() const;
    bool IsPreset() const { return m_bPreset; }
    Options& GetOptions() { return m_Options; }
    const Options& GetOptions() const { return m_Options; }
    const CResultTable* GetTable() const { return m_pTable; }
    // Takes the separator from the option; "<tab>" stands for one tab character.
    void SetSeparatorFromOptions();
    const CString& GetSeparator() const { return m_Separator; }
    void SetSeparator(const CString& separator);

    // Runs the export with the current options and separator.
    EXP_RESULT Run();
    // Writes to an open descriptor as a stream (standard output) instead of the file "FileName";
    // -1 goes back to the file. The spreadsheet always needs a file.
    void SetDescriptor(int fd) { m_Descriptor = fd; }

    // Writing rows as they are read instead of from the table, which then gives only the headings,
    // the column descriptions and the table list: OpenFile creates the file "FileName", a loader hands
    // the rows through the row-sink calls, CloseFile puts the file in place (or drops it after a
    // failure). The bytes are those Run writes for a table holding the same rows. Fixed-width text
    // needs every row for its widths and the workbook is built aside: CanWriteRows is false for them.
    bool CanWriteRows() const;
    EXP_RESULT OpenFile();
    bool BeginRows() override;
    bool AddRow(int index, const std::string_view* texts, size_t count) override;
    bool EndRows() override;
    EXP_RESULT CloseFile();
    void AbortFile();
    // The message for a failed export (empty for success), with its caption and box type.
    static CString ResultText(EXP_RESULT result);
    static void ShowResult(EXP_RESULT result, QWidget* parent);

    // Appends one field to a text line: delimited, or padded to the width of exported column i.
    void AddTextItem(int i, std::string_view text, CString& line) const;

    // The block that Run exports: all data or the selection, never the heading row or the
    // row-number column; invalid when there is nothing to export.
    CCellRange ExportBlock() const;

    // Escaping for markup texts and SQL literals. Markup never holds what XML 1.0 forbids: a C0
    // control other than tab, CR and LF, or a byte that is not valid UTF-8, becomes U+FFFD.
    static void AppendEscapedMarkup(CString& out, std::string_view text);
    static void AppendXmlText(CString& out, std::string_view text);
    static CString XmlText(std::string_view text);
    // A column name for an SQL statement: as it is when it is a plain identifier, else between the
    // driver's identifier quotes (a blank quote means the driver has none).
    static CString SqlIdentifier(std::string_view name, const CString& quote);
    static void AppendSqlLiteral(CString& out, std::string_view text);
    // The text between two `quote` characters, each quote inside it doubled.
    static void AppendQuoted(CString& out, std::string_view text, char quote);
    // True for the SQL types whose values are written as quoted literals.
    static bool IsQuotedType(int sqlType);
    // Number of characters of a UTF-8 text.
    static size_t CharCount(std::string_view text);

private:
    bool NeedsQuotes(std::string_view text) const;
    bool WriteTable(const CCellRange& block);
    bool BeginBlock(const CCellRange& block);
    bool WriteRow(int number, const std::string_view* texts, size_t count);
    bool Flush();
    bool WriteExcel(CExcelBook& book, const CCellRange& block);

    const CResultTable* m_pTable;
    std::unique_ptr<CExportFile> m_pFile; // open between OpenFile and CloseFile
    CCellRange m_Block;                   // the block being written
    CString m_SqlHead;                    // "insert into T(A,B) values ("
    CString m_Out;                        // text not yet handed to the file
    bool m_bRowsBegun = false;
    bool m_bRowsEnded = false;
    bool m_bWriteFailed = false;
    Options m_Options;
    CString m_Separator;
    std::vector<uint16_t> m_ColumnWidths;
    bool m_bPreset;
    int m_Descriptor = -1;
};
