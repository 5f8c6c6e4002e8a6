#include "CScriptRunner.h"

#include "codbc/CDB.h"
#include "grid/CExcelBook.h"
#include "grid/CExport.h"
#include "parse/CParse.h"
#include "views/CResultLoader.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

long Milliseconds(Clock::time_point from, Clock::time_point to) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count());
}

} // namespace

CScriptRunner::CScriptRunner(const CRunOptions& options, CDB& session) : m_Options(options), m_DB(session) {}

void CScriptRunner::ClearProgress() {
    if (!m_ProgressShown)
        return;
    std::fputs("\r\033[K", m_Messages);
    std::fflush(m_Messages);
    m_ProgressShown = false;
}

void CScriptRunner::Message(const CString& text) {
    ClearProgress();
    std::fprintf(m_Messages, "%s\n", text.c_str());
    std::fflush(m_Messages);
}

// One line, rewritten in place.
void CScriptRunner::Progress(const CString& text) {
    if (!m_Progress)
        return;
    std::fprintf(m_Messages, "\r\033[K%s", text.c_str());
    std::fflush(m_Messages);
    m_ProgressShown = true;
}

int CScriptRunner::Run(const CString& text, const CString& dataSource, const CString& password) {
    if (const int code = Connect(dataSource, password); code != EXIT_DONE)
        return code;
    m_Table.Clear();
    int code = RunStatements(text);
    const bool streaming = code == EXIT_DONE && WritesWhileReading();
    if (streaming)
        code = StreamTo(m_Options.output);
    else if (code == EXIT_DONE && !Load(nullptr))
        code = EXIT_STATEMENT;
    m_DB.Disconnect();
    if (code == EXIT_DONE && !streaming)
        code = Write();
    ClearProgress();
    return code;
}

int CScriptRunner::Connect(const CString& dataSource, const CString& password) {
    if (dataSource.empty()) {
        Message("varnel-run: no data source: give --dsn NAME or choose one in Varnel");
        return EXIT_USAGE;
    }
    Progress("Connecting to " + dataSource + "...");
    const int rc = m_DB.Connect(dataSource, m_Options.user, password);
    if (rc != 0) {
        const CString reason = m_DB.lastError[0] ? CString(m_DB.lastError) : CString("the connection failed");
        m_DB.Disconnect();
        Message("varnel-run: cannot connect to \"" + dataSource + "\":");
        Message(reason);
        return EXIT_CONNECT;
    }
    return EXIT_DONE;
}

int CScriptRunner::Execute(const CString& text) {
    m_Table.Clear();
    const int code = RunStatements(text);
    if (code == EXIT_DONE && !Load(nullptr))
        return EXIT_STATEMENT;
    return code;
}

int CScriptRunner::RunStatements(const CString& text) {
    m_TimeLine.clear();
    m_Tables.clear();
    if (text.empty()) {
        Message("varnel-run: the script is empty");
        return EXIT_USAGE;
    }
    // The statements are views into the script, which outlives them: a large script is held once.
    CScriptExecutor executor;
    CScriptExecutor::Options options;
    options.noParse = m_Options.noParse;
    options.removeTerm = m_Options.removeTerm;
    if (m_Options.semicolons)
        options.separator = CScriptExecutor::Options::SEPARATOR_SEMICOLONS;
    const CScriptExecutor::Outcome outcome = executor.Run(m_DB, text, options, *this);
    m_Tables = executor.Tables();
    if (outcome != CScriptExecutor::RUN_DONE) {
        m_DB.StmtRealloc();
        return EXIT_STATEMENT;
    }
    m_ExecutionMs = Milliseconds(m_Started, Clock::now());
    return EXIT_DONE;
}

void CScriptRunner::PhaseChanged(CScriptExecutor::Phase phase) {
    if (phase == CScriptExecutor::PHASE_EXECUTE)
        m_Started = Clock::now();
}

void CScriptRunner::StatementStarting(int index, int count) {
    Progress("Statement " + std::to_string(index + 1) + " of " + std::to_string(count));
}

CScriptExecutor::Decision CScriptRunner::StatementFailed(const CScriptExecutor::Step& step) {
    Message("varnel-run: statement " + std::to_string(step.index + 1) + " of " + std::to_string(step.count) +
            " failed: " + CParse::Encoded(CString(step.statement).c_str()));
    Message(m_DB.lastError);
    return m_Options.continueOnError ? CScriptExecutor::DECIDE_CONTINUE : CScriptExecutor::DECIDE_CANCEL;
}

bool CScriptRunner::Load(CRowSink* sink) {
    const Clock::time_point t1 = Clock::now();
    m_Table.ViewNull(m_Options.nullEmpty ? 0 : 1);
    m_Table.SetBlobAsText(0);
    m_Table.AssignTables(m_Options.table ? *m_Options.table : m_Tables);
    // Column names of SQL output are quoted as this driver quotes them (SQL_IDENTIFIER_QUOTE_CHAR).
    CString quote;
    if (m_DB.GetInfo(short(29), &quote) == 0 && !quote.empty())
        m_Table.SetIdentifierQuote(quote);
    CResultLoader loader(m_Table);
    loader.SetRowSink(sink);
    // No window: the pump only reports the rows read so far.
    if (m_Progress) {
        loader.SetPump(
            [this, &loader] { Progress("Read results: " + std::to_string(loader.RowsRead()) + " rows"); });
        loader.SetPumpInterval(std::chrono::milliseconds(250));
    } else {
        loader.SetPump({});
    }
    Progress("Read results");
    loader.AssignDatabase(&m_DB, 0);
    m_TimeLine = CScriptExecutor::TimeLine(m_ExecutionMs, Milliseconds(t1, Clock::now()));
    if (m_Progress)
        Message(m_TimeLine);
    m_DB.StmtRealloc();
    if (!loader.Incomplete())
        return true;
    Message("varnel-run: reading the result failed after " + std::to_string(loader.RowsRead()) + " rows:");
    Message(loader.ReadError());
    return false;
}

bool CScriptRunner::WritesWhileReading() const {
    CExport exporter(nullptr, m_Options.format);
    SetExportOptions(exporter, m_Options.output);
    return exporter.CanWriteRows();
}

int CScriptRunner::Write() {
    Progress("Writing " + (m_Options.output.empty() ? CString("standard output") : m_Options.output) + "...");
    return ExportTo(m_Options.output);
}

// "All data" with the command line's options.
void CScriptRunner::SetExportOptions(CExport& exporter, const CString& path) const {
    CExport::Options& o = exporter.GetOptions();
    o.WithDelim = m_Options.fixed ? 0 : 1;
    o.WithColNames = m_Options.noNames ? 0 : 1;
    o.AllData = 1;
    o.SelOnly = 0;
    o.FileName = path;
    o.Separator = m_Options.separator;
    o.Terminate = m_Options.terminate ? 1 : 0;
    exporter.SetSeparatorFromOptions();
    // No file: standard output, written as a stream.
    exporter.SetDescriptor(path.empty() ? STDOUT_FILENO : -1);
}

int CScriptRunner::ExportTo(const CString& path) {
    CExport exporter(&m_Table, m_Options.format);
    SetExportOptions(exporter, path);
    ClearProgress();
    const EXP_RESULT result = exporter.Run();
    if (result != EXP_DONE) {
        Message("varnel-run: " + CExport::ResultText(result) + " (" + OutputName(path) + ")");
        return EXIT_OUTPUT;
    }
    return EXIT_DONE;
}

CString CScriptRunner::OutputName(const CString& path) {
    return path.empty() ? CString("standard output") : path;
}

// The export writes each row as the loader reads it; the table keeps only the headings.
int CScriptRunner::StreamTo(const CString& path) {
    CExport exporter(&m_Table, m_Options.format);
    SetExportOptions(exporter, path);
    EXP_RESULT result = exporter.OpenFile();
    if (result == EXP_DONE) {
        // A result that could not be read whole never replaces the target.
        if (!Load(&exporter)) {
            exporter.AbortFile();
            return EXIT_STATEMENT;
        }
        result = exporter.CloseFile();
    }
    if (result != EXP_DONE) {
        Message("varnel-run: " + CExport::ResultText(result) + " (" + OutputName(path) + ")");
        return EXIT_OUTPUT;
    }
    return EXIT_DONE;
}
