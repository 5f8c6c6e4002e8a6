#include "grid/CExcelBook.h"
#include "grid/CExport.h"
#include "grid/CResultTable.h"

#include "ZipEntry.h"

#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace {
CString Path(const CString& name) {
    return TestSandbox::Directory() + "/" + name;
}

CString ReadFile(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const CString& path, const CString& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A result with the given headings, SQL types and rows, laid out as the loading does it.
void Load(CResultTable& t, const std::vector<std::pair<CString, int>>& columns,
          const std::vector<std::vector<CString>>& rows) {
    t.Clear();
    t.Initialize();
    t.SetColumnCount(int(columns.size()) + 1);
    for (size_t c = 0; c < columns.size(); ++c) {
        FLD_DESC f;
        f.name = columns[c].first;
        f.sqlType = columns[c].second;
        t.Fields().push_back(f);
        t.AddColumn(int(c), f.name);
    }
    t.SetResultColumns(unsigned(columns.size()));
    for (size_t r = 0; r < rows.size(); ++r) {
        const int row = t.NextRow(int(r));
        for (size_t c = 0; c < rows[r].size(); ++c)
            t.SetCellText(row, int(c) + 1, rows[r][c]);
    }
}

// The example of a grid with ID (integer) and NAME (VARCHAR) and the row 1, abc.
void LoadExample(CResultTable& t) {
    Load(t, {{"ID", 4}, {"NAME", 12}}, {{"1", "abc"}});
}

CString Export(CResultTable& t, EXP_TYPE target, const CString& name, void (*tune)(CExport&) = nullptr) {
    CExport e(&t, target);
    e.GetOptions().FileName = Path(name);
    e.GetOptions().Separator = ",";
    if (tune)
        tune(e);
    e.SetSeparatorFromOptions();
    EXPECT_EQ(EXP_DONE, e.Run());
    return ReadFile(Path(name));
}
} // namespace

TEST(CExport, ExamplesForTextSqlAndXml) {
    CResultTable t;
    LoadExample(t);
    t.AssignTables("T");
    EXPECT_EQ("ID,NAME\r\n1,abc\r\n", Export(t, EXP_TEXT, "a.txt"));
    EXPECT_EQ("insert into T(ID,NAME) values (1,'abc')\r\n", Export(t, EXP_SQL, "a.sql"));
    EXPECT_EQ("<?xml version=\"1.0\" ?><recordset><row no=\"1\"><item column=\"ID\">1</item>\r\n"
              "<item column=\"NAME\">abc</item>\r\n</row>\r\n</recordset>\r\n",
              Export(t, EXP_XML, "a.xml"));
}

TEST(CExport, HtmlDocumentWithHeadingsEmptyCellsAndNull) {
    CResultTable t;
    Load(t, {{"ID", 4}, {"NAME", 12}}, {{"1", ""}, {"2", "<NULL>"}});
    EXPECT_EQ(
        "<HTML>\r\n<HEAD>\r\n<TITLE>&lt;&lt; Results &gt;&gt;</TITLE>\r\n</HEAD><BODY >\r\n<table border=1>\n"
        "<tr>\n<td ><b>ID</b></td><td ><b>NAME</b></td></tr>\n"
        "<tr>\n<td >1</td><td >&nbsp;</td></tr>\n"
        "<tr>\n<td >2</td><td >&lt;NULL&gt;</td></tr>\n"
        "</table>\n</BODY>\r\n</HTML>\r\n",
        Export(t, EXP_HTML, "a.htm"));
}

TEST(CExport, FixedWidthColumnsAreOneWiderThanTheirLongestEntry) {
    CResultTable t;
    Load(t, {{"ID", 4}, {"NAME", 12}}, {{"12345", "ab"}, {"1", "\xc3\xa9t\xc3\xa9"}});
    const CString text = Export(t, EXP_TEXT, "fixed.txt", [](CExport& e) { e.GetOptions().WithDelim = 0; });
    EXPECT_EQ("ID    NAME \r\n12345 ab   \r\n1     \xc3\xa9t\xc3\xa9  \r\n", text);
    const CString noNames = Export(t, EXP_TEXT, "fixed2.txt", [](CExport& e) {
        e.GetOptions().WithDelim = 0;
        e.GetOptions().WithColNames = 0;
    });
    EXPECT_EQ("12345 ab  \r\n1     \xc3\xa9t\xc3\xa9 \r\n", noNames);
}

TEST(CExport, DelimitedFieldsAreQuotedWhenTheyHoldASeparatorLineBreakOrQuote) {
    CResultTable t;
    Load(t, {{"A", 12}, {"B", 12}, {"C", 12}},
         {{"", "x", "plain \"quoted\" text"},
          {"a,b", "two\r\nlines", "say \"hi\", then"},
          {"tab\there", "'", "lf\n"}});
    EXPECT_EQ(
        "A,B,C\r\n,x,\"plain \"\"quoted\"\" text\"\r\n\"a,b\",\"two\r\nlines\",\"say \"\"hi\"\", then\"\r\n"
        "tab\there,',\"lf\n\"\r\n",
        Export(t, EXP_TEXT, "q.txt"));
    const CString tabbed =
        Export(t, EXP_TEXT, "t.txt", [](CExport& e) { e.GetOptions().Separator = "<tab>"; });
    EXPECT_EQ(
        "A\tB\tC\r\n\tx\t\"plain \"\"quoted\"\" text\"\r\na,b\t\"two\r\nlines\"\t\"say \"\"hi\"\", then\"\r\n"
        "\"tab\there\"\t'\t\"lf\n\"\r\n",
        tabbed);
}

// Every position of a line break, a double quote or the separator in fields of every length up to a few words
// is seen; a separator of several characters counts only whole.
TEST(CExport, QuotingSeesEveryByteOfFieldsOfAnyLength) {
    for (const CString separator : {CString(","), CString("\t|")}) {
        CResultTable t;
        std::vector<std::vector<CString>> rows;
        CString expected;
        for (size_t length = 1; length <= 40; ++length) {
            for (size_t at = 0; at < length; ++at) {
                for (const CString mark :
                     {separator, CString("\n"), CString("\r"), CString(1, separator[0]), CString("\"")}) {
                    CString field(length, 'x');
                    field.replace(at, 1, mark);
                    const bool quoted = mark != CString(1, separator[0]) || separator.size() == 1;
                    rows.push_back({field, "y"});
                    CString written = field;
                    if (mark == "\"")
                        written.insert(at, "\"");
                    expected += (quoted ? "\"" + written + "\"" : written) + separator + "y\r\n";
                }
            }
            rows.push_back({CString(length, 'x'), "y"});
            expected += CString(length, 'x') + separator + "y\r\n";
        }
        Load(t, {{"A", 12}, {"B", 12}}, rows);
        CExport e(&t, EXP_TEXT);
        e.GetOptions().FileName = Path("every.txt");
        e.GetOptions().WithColNames = 0;
        e.SetSeparator(separator);
        ASSERT_EQ(EXP_DONE, e.Run());
        EXPECT_TRUE(expected == ReadFile(Path("every.txt"))) << "separator " << separator;
    }
}

TEST(CExport, MarkupAndSqlTextsAreEscaped) {
    CResultTable t;
    Load(t, {{"a<b & \"c\"", 12}, {"N", 4}}, {{"O'Brien <b>&amp;", "5"}});
    t.AssignTables("people");
    EXPECT_EQ("insert into people(\"a<b & \"\"c\"\"\",N) values ('O''Brien <b>&amp;',5)\r\n",
              Export(t, EXP_SQL, "e.sql"));
    EXPECT_EQ("<?xml version=\"1.0\" ?><recordset><row no=\"1\">"
              "<item column=\"a&lt;b &amp; &quot;c&quot;\">O'Brien &lt;b&gt;&amp;amp;</item>\r\n"
              "<item column=\"N\">5</item>\r\n</row>\r\n</recordset>\r\n",
              Export(t, EXP_XML, "e.xml"));
    const CString html = Export(t, EXP_HTML, "e.htm");
    EXPECT_NE(CString::npos, html.find("<td ><b>a&lt;b &amp; &quot;c&quot;</b></td>"));
    EXPECT_NE(CString::npos, html.find("<td >O'Brien &lt;b&gt;&amp;amp;</td>"));
}

// A NULL is NULL whether it is shown or not, a text reading "<NULL>" stays a text, every quoted type
// is quoted and numbers are bare.
TEST(CExport, SqlValuesByTypeAndNull) {
    const int quotedTypes[] = {1, 12, -1, -8, -9, -10, 9, 10, 11};
    const int bareTypes[] = {2, 3, 4, 5, 6, 7, 8, -5, -6, -7};
    for (const bool shown : {true, false}) {
        std::vector<std::pair<CString, int>> columns;
        std::vector<std::string_view> values, nulls;
        CString names, expectValues, expectNulls;
        for (const int type : quotedTypes) {
            columns.push_back({"q" + std::to_string(-type + 20), type});
            values.push_back("<NULL>");
            expectValues += "'<NULL>',";
        }
        for (const int type : bareTypes) {
            columns.push_back({"n" + std::to_string(-type + 20), type});
            values.push_back("42");
            expectValues += "42,";
        }
        for (const auto& column : columns) {
            names += column.first + ",";
            nulls.push_back(CResultTable::NullView(shown));
            expectNulls += "NULL,";
        }
        names.pop_back();
        expectValues.pop_back();
        expectNulls.pop_back();
        CResultTable t;
        Load(t, columns, {});
        t.ViewNull(shown);
        t.AddRow(0, values.data(), values.size());
        t.AddRow(1, nulls.data(), nulls.size());
        t.AssignTables("T");
        const CString head = "insert into T(" + names + ") values (";
        EXPECT_EQ(head + expectValues + ")\r\n" + head + expectNulls + ")\r\n", Export(t, EXP_SQL, "n.sql"))
            << "NULL shown: " << shown;
        EXPECT_EQ(head + expectValues + ");\r\n" + head + expectNulls + ");\r\n",
                  Export(t, EXP_SQL, "n2.sql", [](CExport& e) { e.GetOptions().Terminate = 1; }));
    }
    // Column names that are not plain identifiers are quoted with the driver's quote.
    CResultTable t;
    Load(t, {{"plain_1", 4}, {"two words", 4}, {"9lives", 4}, {"back`tick", 4}}, {{"1", "2", "3", "4"}});
    t.AssignTables("T");
    t.SetIdentifierQuote("`");
    EXPECT_EQ("insert into T(plain_1,`two words`,`9lives`,`back``tick`) values (1,2,3,4)\r\n",
              Export(t, EXP_SQL, "i.sql"));
}

TEST(CExport, SelectedItemsOnlyWithoutSelectionWritesOnlyTheFrame) {
    CResultTable t;
    LoadExample(t);
    auto selOnly = [](CExport& e) {
        e.GetOptions().AllData = 0;
        e.GetOptions().SelOnly = 1;
    };
    EXPECT_EQ("<?xml version=\"1.0\" ?><recordset></recordset>\r\n", Export(t, EXP_XML, "s.xml", selOnly));
    EXPECT_EQ("", Export(t, EXP_TEXT, "s.txt", selOnly));
    EXPECT_EQ(
        "<HTML>\r\n<HEAD>\r\n<TITLE>&lt;&lt; Results &gt;&gt;</TITLE>\r\n</HEAD><BODY >\r\n<table border=1>\n"
        "</table>\n</BODY>\r\n</HTML>\r\n",
        Export(t, EXP_HTML, "s.htm", selOnly));
}

TEST(CExport, SelectionFromTheThirdColumnExportsThatBlockOnly) {
    CResultTable t;
    Load(t, {{"A", 12}, {"B", 12}, {"C", 12}, {"D", 12}},
         {{"a1", "b1", "c1", "d1"}, {"a2", "b2", "c2", "d2"}});
    t.Selection().Add(CCellRange(2, 3, 2, 3));
    t.Selection().Add(CCellRange(1, 4, 1, 4));
    EXPECT_EQ("C;D\r\nc1;d1\r\nc2;d2\r\n", Export(t, EXP_TEXT, "b.txt", [](CExport& e) {
                  e.GetOptions().AllData = 0;
                  e.GetOptions().SelOnly = 1;
                  e.GetOptions().Separator = ";";
              }));
}

// Rows handed over one at a time while the table holds only the headings give the bytes of the export
// of a table holding them; a row with fewer texts (a cancelled read) has its other cells empty.
TEST(CExport, RowsHandedOverOneByOneGiveTheExportOfTheTable) {
    const std::vector<std::pair<CString, int>> columns{{"ID", 4}, {"NAME", 12}, {"NOTE <1>", 1}};
    const std::vector<std::vector<CString>> rows{
        {"1", "abc", "a,b"}, {"2", "<NULL>", ""}, {"3", "two\r\nlines", "O'B <&>"}, {"4"}};
    CResultTable full, headings;
    Load(full, columns, rows);
    Load(headings, columns, {});
    full.AssignTables("T");
    headings.AssignTables("T");
    for (const EXP_TYPE mode : {EXP_TEXT, EXP_SQL, EXP_XML, EXP_HTML}) {
        for (const int names : {1, 0}) {
            CExport table(&full, mode), rowwise(&headings, mode);
            for (CExport* e : {&table, &rowwise}) {
                e->GetOptions().FileName = Path(e == &table ? "table.out" : "rows.out");
                e->GetOptions().WithColNames = names;
                e->GetOptions().Separator = ",";
                e->SetSeparatorFromOptions();
            }
            ASSERT_EQ(EXP_DONE, table.Run());
            ASSERT_TRUE(rowwise.CanWriteRows());
            ASSERT_EQ(EXP_DONE, rowwise.OpenFile());
            ASSERT_TRUE(rowwise.BeginRows());
            for (size_t r = 0; r < rows.size(); ++r) {
                const std::vector<std::string_view> texts(rows[r].begin(), rows[r].end());
                ASSERT_TRUE(rowwise.AddRow(int(r), texts.data(), texts.size()));
            }
            ASSERT_TRUE(rowwise.EndRows());
            ASSERT_EQ(EXP_DONE, rowwise.CloseFile());
            EXPECT_EQ(ReadFile(Path("table.out")), ReadFile(Path("rows.out"))) << mode << " names " << names;
        }
    }
    // An empty heading table (a result that could not be described) gives the frame only.
    CResultTable empty;
    CExport frame(&empty, EXP_XML);
    frame.GetOptions().FileName = Path("frame.xml");
    ASSERT_EQ(EXP_DONE, frame.OpenFile());
    EXPECT_TRUE(frame.BeginRows());
    EXPECT_TRUE(frame.EndRows());
    ASSERT_EQ(EXP_DONE, frame.CloseFile());
    EXPECT_EQ("<?xml version=\"1.0\" ?><recordset></recordset>\r\n", ReadFile(Path("frame.xml")));
}

// Fixed-width text needs every row for its widths, and rows that never ended are no export: neither
// leaves a file, and an old file stays as it was.
TEST(CExport, RowsThatCannotBeWrittenOrNeverEndLeaveNoFile) {
    CResultTable headings;
    Load(headings, {{"ID", 4}}, {});
    const CString target = Path("kept.txt");
    WriteFile(target, "old\n");
    const std::string_view one = "1";

    CExport fixed(&headings, EXP_TEXT);
    fixed.GetOptions().WithDelim = 0;
    fixed.GetOptions().FileName = target;
    EXPECT_FALSE(fixed.CanWriteRows());
    ASSERT_EQ(EXP_DONE, fixed.OpenFile());
    EXPECT_FALSE(fixed.BeginRows());
    EXPECT_FALSE(fixed.AddRow(0, &one, 1));
    EXPECT_FALSE(fixed.EndRows());
    EXPECT_NE(EXP_DONE, fixed.CloseFile());

    CExport unfinished(&headings, EXP_TEXT);
    unfinished.GetOptions().FileName = target;
    ASSERT_EQ(EXP_DONE, unfinished.OpenFile());
    ASSERT_TRUE(unfinished.BeginRows());
    ASSERT_TRUE(unfinished.AddRow(0, &one, 1));
    EXPECT_NE(EXP_DONE, unfinished.CloseFile());
    EXPECT_FALSE(CExport(&headings, EXP_EXCEL).CanWriteRows());

    EXPECT_EQ("old\n", ReadFile(target));
    for (const auto& entry : std::filesystem::directory_iterator(TestSandbox::Directory()))
        EXPECT_EQ(CString::npos, entry.path().filename().string().find(".kept.txt."))
            << "temporary file left";
}

TEST(CExport, SeparatorTabMarkerBecomesATab) {
    CResultTable t;
    CExport e(&t, EXP_NONE);
    EXPECT_FALSE(e.IsPreset());
    EXPECT_EQ(EXP_TEXT, e.GetMode());
    e.GetOptions().Separator = "<tab>";
    e.SetSeparatorFromOptions();
    EXPECT_EQ("\t", e.GetSeparator());
    e.SetMode(EXP_XML);
    EXPECT_EQ(1, e.GetOptions().toXML);
    EXPECT_EQ(0,
              e.GetOptions().toText + e.GetOptions().toSQL + e.GetOptions().toHTML + e.GetOptions().toExcel);
    EXPECT_EQ(EXP_XML, e.GetMode());
}

TEST(CExport, MissingFileNameIsReported) {
    CResultTable t;
    LoadExample(t);
    CExport e(&t, EXP_TEXT);
    EXPECT_EQ(EXP_NO_FILE_NAME, e.Run());
    MessageRecorder messages;
    CExport::ShowResult(EXP_NO_FILE_NAME, nullptr);
    CExport::ShowResult(EXP_FILE_ERROR, nullptr);
    CExport::ShowResult(EXP_NO_EXCEL, nullptr);
    ASSERT_EQ(3u, messages.Shown().size());
    EXPECT_EQ("Enter file name first!", messages.Shown()[0].text);
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    EXPECT_EQ("Error create, open or write target file!", messages.Shown()[1].text);
    EXPECT_EQ("Couldn't start Excel and get Application object.", messages.Shown()[2].text);
    EXPECT_EQ("", messages.Shown()[2].caption);
}

TEST(CExport, FailedWriteLeavesTheOldFileInPlace) {
    CResultTable t;
    std::vector<std::vector<CString>> rows(20000, {"123456789", "some text to make the file grow"});
    Load(t, {{"ID", 4}, {"NAME", 12}}, rows);
    const CString target = Path("keep.txt");
    WriteFile(target, "precious\n");
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit limit = old;
    limit.rlim_cur = 64 * 1024;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &limit));
    CExport e(&t, EXP_TEXT);
    e.GetOptions().FileName = target;
    EXPECT_EQ(EXP_FILE_ERROR, e.Run());
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ("precious\n", ReadFile(target));
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(TestSandbox::Directory()))
        files += entry.path().filename().string().find("keep.txt") != CString::npos;
    EXPECT_EQ(1u, files) << "no half-written file left beside the target";
    e.GetOptions().FileName = Path("no/such/folder/x.txt");
    EXPECT_EQ(EXP_FILE_ERROR, e.Run());
}

TEST(CExport, ColumnLettersFollowTheSpreadsheetScheme) {
    EXPECT_EQ("A", CExcelBook::ColumnLetters(0));
    EXPECT_EQ("Z", CExcelBook::ColumnLetters(25));
    EXPECT_EQ("AA", CExcelBook::ColumnLetters(26));
    EXPECT_EQ("AB", CExcelBook::ColumnLetters(27));
    EXPECT_EQ("BA", CExcelBook::ColumnLetters(52));
    EXPECT_EQ("ZZ", CExcelBook::ColumnLetters(701));
}

#ifdef VARNEL_HAVE_XLSXWRITER
TEST(CExport, SpreadsheetGetsTextsAtTheirAddresses) {
    CResultTable t;
    Load(t, {{"A", 12}, {"B", 12}, {"C", 12}, {"D", 4}},
         {{"a1", "b1", "c1", "1"}, {"a2", "b2", "c & <2>", ""}});
    t.Selection().Add(CCellRange(2, 3, 2, 4));
    CExport e(&t, EXP_EXCEL);
    e.GetOptions().AllData = 0;
    e.GetOptions().SelOnly = 1;
    EXPECT_EQ(EXP_NO_FILE_NAME, e.Run());
    e.GetOptions().FileName = Path("book.xlsx");
    ASSERT_EQ(EXP_DONE, e.Run());
    const CString sheet = ZipEntry(Path("book.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_NE(CString::npos, sheet.find("<c r=\"C1\" t=\"inlineStr\"><is><t>C</t></is></c>")) << sheet;
    EXPECT_NE(CString::npos, sheet.find("<c r=\"D1\" t=\"inlineStr\"><is><t>D</t></is></c>"));
    EXPECT_NE(CString::npos, sheet.find("<c r=\"C3\" t=\"inlineStr\"><is><t>c &amp; &lt;2&gt;</t></is></c>"));
    EXPECT_EQ(CString::npos, sheet.find("r=\"A")) << "columns keep their letters from C";
    EXPECT_EQ(CString::npos, sheet.find("r=\"C2\"")) << "only the selected row, at its grid row plus one";

    // The 27th column is AA.
    std::vector<std::pair<CString, int>> columns;
    std::vector<CString> row;
    for (int c = 0; c < 28; ++c) {
        columns.push_back({"H" + std::to_string(c), 12});
        row.push_back("v" + std::to_string(c));
    }
    Load(t, columns, {row});
    CExport wide(&t, EXP_EXCEL);
    wide.GetOptions().WithColNames = 0;
    wide.GetOptions().FileName = Path("wide.xlsx");
    ASSERT_EQ(EXP_DONE, wide.Run());
    const CString wideSheet = ZipEntry(Path("wide.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_NE(CString::npos, wideSheet.find("<c r=\"AA2\" t=\"inlineStr\"><is><t>v26</t></is></c>"))
        << wideSheet;
    EXPECT_EQ(CString::npos, wideSheet.find("r=\"A1\"")) << "no headings";
}
#endif

namespace {
// The cells of an export file as a real parser of its format reads them (tests/support/parse-export.py):
// one line per row, each cell as the hexadecimal bytes of its text.
CString Parsed(const char* kind, const CString& path) {
    QProcess parser;
    parser.start("python3",
                 {VARNEL_SOURCE_DIR "/tests/support/parse-export.py", kind, QString::fromStdString(path)});
    EXPECT_TRUE(parser.waitForFinished(60000));
    EXPECT_EQ(0, parser.exitCode()) << kind << ": " << parser.readAllStandardError().toStdString();
    return parser.readAllStandardOutput().toStdString();
}

CString HexRow(const std::vector<CString>& cells) {
    CString line;
    for (const CString& cell : cells) {
        if (!line.empty())
            line += ' ';
        if (cell.empty())
            line += '-';
        for (unsigned char ch : cell) {
            const char digits[] = "0123456789abcdef";
            line += digits[ch >> 4];
            line += digits[ch & 15];
        }
    }
    return line + "\n";
}

// What an XML parser reads for a value: forbidden bytes as U+FFFD, line ends as LF.
CString AsXmlReadsIt(const CString& value, bool normalizeLineEnds) {
    CString out = CExport::XmlText(value);
    for (size_t at; normalizeLineEnds && (at = out.find("\r\n")) != CString::npos;)
        out.replace(at, 2, "\n");
    return out;
}
} // namespace

// Quotes, separators, line breaks, a NUL, a control character, a byte that is not UTF-8 and markup
// characters: each format's own parser reads back every value.
TEST(CExport, EveryFormatIsWellFormedForEveryValue) {
    const std::vector<CString> values = {"\"q",
                                         "a,b",
                                         "two\r\nlines",
                                         CString("A\0B", 3),
                                         "c\x01"
                                         "d",
                                         "bad\xff!",
                                         "<&>",
                                         "\xc3\xa9"};
    const CString replaced = "\xef\xbf\xbd";
    std::vector<std::pair<CString, int>> columns;
    std::vector<CString> headings;
    for (size_t c = 0; c < values.size(); ++c) {
        headings.push_back("h" + std::to_string(c));
        columns.push_back({headings.back(), 12});
    }
    CResultTable t;
    Load(t, columns, {values});
    // Pinned by hand for the characters XML forbids.
    EXPECT_EQ("A" + replaced + "B", CExport::XmlText(values[3]));
    EXPECT_EQ("c" + replaced + "d", CExport::XmlText(values[4]));
    EXPECT_EQ("bad" + replaced + "!", CExport::XmlText(values[5]));

    Export(t, EXP_TEXT, "all.csv");
    EXPECT_EQ(HexRow(headings) + HexRow(values), Parsed("csv", Path("all.csv")));

    // XML reads a line end as LF; HTML and the spreadsheet (which escapes the CR) keep CR LF.
    std::vector<CString> xmlValues, htmlValues;
    for (const CString& v : values) {
        xmlValues.push_back(AsXmlReadsIt(v, true));
        htmlValues.push_back(AsXmlReadsIt(v, false));
    }
    Export(t, EXP_XML, "all.xml");
    EXPECT_EQ(HexRow(xmlValues), Parsed("xml", Path("all.xml")));
    Export(t, EXP_HTML, "all.htm");
    EXPECT_EQ(HexRow(headings) + HexRow(htmlValues), Parsed("html", Path("all.htm")));
#ifdef VARNEL_HAVE_XLSXWRITER
    Export(t, EXP_EXCEL, "all.xlsx");
    EXPECT_EQ(HexRow(headings) + HexRow(htmlValues), Parsed("xlsx", Path("all.xlsx")));
#endif
}

// Every format goes through one writer: a link is followed and stays, the old file's mode is kept, a
// pipe and a device are written in place, and no temporary file is left anywhere.
TEST(CExport, EveryFormatReplacesFilesTheSameSafeWay) {
    CResultTable t;
    LoadExample(t);
    std::vector<EXP_TYPE> modes = {EXP_TEXT, EXP_SQL, EXP_XML, EXP_HTML};
#ifdef VARNEL_HAVE_XLSXWRITER
    modes.push_back(EXP_EXCEL);
#endif
    const CString folder = Path("targets");
    std::filesystem::create_directory(folder);
    // The workbook is built in the temporary folder first.
    const CString temp = Path("tmp");
    std::filesystem::create_directory(temp);
    qputenv("TMPDIR", QByteArray::fromStdString(temp));
    for (const EXP_TYPE mode : modes) {
        const CString name = "m" + std::to_string(int(mode));
        const CString target = folder + "/" + name;
        const CString link = folder + "/" + name + ".link";
        WriteFile(target, "old");
        ASSERT_EQ(0, ::chmod(target.c_str(), 0640));
        ASSERT_EQ(0, ::symlink(target.c_str(), link.c_str()));
        CExport e(&t, mode);
        e.GetOptions().FileName = link;
        ASSERT_EQ(EXP_DONE, e.Run()) << "mode " << mode;
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        const CString written = ReadFile(target);
        EXPECT_TRUE(mode == EXP_EXCEL ? written.rfind("PK\x03\x04", 0) == 0
                                      : written.find("abc") != CString::npos)
            << "mode " << mode;
        struct stat st {};
        ASSERT_EQ(0, ::stat(target.c_str(), &st));
        EXPECT_EQ(0640u, st.st_mode & 07777) << "mode " << mode;

        const CString fifo = folder + "/" + name + ".fifo";
        ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
        CString received;
        std::thread reader([&] { received = ReadFile(fifo); });
        e.GetOptions().FileName = fifo;
        EXPECT_EQ(EXP_DONE, e.Run()) << "mode " << mode;
        reader.join();
        EXPECT_EQ(written, received) << "mode " << mode;
        ASSERT_EQ(0, ::stat(fifo.c_str(), &st));
        EXPECT_TRUE(S_ISFIFO(st.st_mode));

        e.GetOptions().FileName = "/dev/full";
        EXPECT_EQ(EXP_FILE_ERROR, e.Run()) << "mode " << mode;
        ASSERT_EQ(0, ::stat("/dev/full", &st));
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device stays a device";
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_NE('.', entry.path().filename().string()[0]) << "temporary file left: " << entry.path();
    EXPECT_TRUE(std::filesystem::is_empty(temp));
    qunsetenv("TMPDIR");
}
