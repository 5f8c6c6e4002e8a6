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
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

constexpr short kTxnCapable = 46;
constexpr int kAutocommit = 102;
constexpr int kAutocommitOn = 1;

long Milliseconds(Clock::time_point from, Clock::time_point to) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count());
}

// Copies a finished file to a descriptor; false when a read or write fails.
bool CopyToDescriptor(const CString& path, int target) {
    const int source = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    char block[1 << 16];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(source, block, sizeof block);
        if (got == 0)
            break;
        if (got < 0) {
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(target, block + done, static_cast<size_t>(got - done));
            if (put <= 0) {
                ok = false;
                break;
            }
            done += put;
        }
        if (!ok)
            break;
    }
    ::close(source);
    return ok;
}

CString Directory(const CString& path) {
    const size_t slash = path.find_last_of('/');
    return slash == CString::npos ? CString(".") : slash == 0 ? CString("/") : path.substr(0, slash);
}
} // namespace

CScriptRunner::CScriptRunner(const CRunOptions& options, CDB& session) : m_Options(options), m_DB(session) {}

CString CScriptRunner::FormatTimeLine(long executionMs, long readingMs) {
    char line[128];
    std::snprintf(line, sizeof line, "Execution time: %ld.%03d sec, reading %ld.%03d sec", executionMs / 1000,
                  static_cast<int>(executionMs % 1000), readingMs / 1000, static_cast<int>(readingMs % 1000));
    return line;
}

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
        code = m_Options.output.empty()
                   ? WriteStandardOutput([this](const CString& path) { return StreamTo(path); })
                   : StreamTo(m_Options.output);
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
    CParse parse;
    parse.SetCopyTexts(false);
    std::vector<std::string_view> statements;
    if (!m_Options.noParse) {
        parse.Parse(text);
        statements = std::move(parse.m_Views);
        m_Tables = parse.m_Tables;
    }
    if (statements.empty())
        statements.push_back(text);

    const Clock::time_point t0 = Clock::now();
    short transactions = 0;
    if (m_DB.GetInfo(kTxnCapable, &transactions) == 0 && transactions != 0)
        m_DB.SetConnectOption(kAutocommit, kAutocommitOn);

    int lastStatus = 0;
    const size_t count = statements.size();
    for (size_t i = 0; i < count; ++i) {
        Progress("Statement " + std::to_string(i + 1) + " of " + std::to_string(count));
        const CString copy = parse.ExecutableText(statements[i], !m_Options.noParse, m_Options.removeTerm);
        m_DB.StmtRealloc();
        lastStatus = m_DB.Exec(copy);
        if (lastStatus != 0) {
            Message("varnel-run: statement " + std::to_string(i + 1) + " of " + std::to_string(count) +
                    " failed: " + CParse::Encoded(CString(statements[i]).c_str()));
            Message(m_DB.lastError);
            if (!m_Options.continueOnError)
                break;
        }
    }
    if (lastStatus != 0) {
        m_DB.StmtRealloc();
        return EXIT_STATEMENT;
    }
    m_ExecutionMs = Milliseconds(t0, Clock::now());
    return EXIT_DONE;
}

bool CScriptRunner::Load(CRowSink* sink) {
    const Clock::time_point t1 = Clock::now();
    m_Table.ViewNull(m_Options.nullEmpty ? 0 : 1);
    m_Table.SetBlobAsText(0);
    m_Table.AssignTables(m_Options.table ? *m_Options.table : m_Tables);
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
    m_TimeLine = FormatTimeLine(m_ExecutionMs, Milliseconds(t1, Clock::now()));
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
    if (m_Options.format == EXP_EXCEL)
        return WriteXlsx();
    if (m_Options.output.empty())
        return WriteStandardOutput([this](const CString& path) { return ExportTo(path); });
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
    exporter.SetSeparatorFromOptions();
}

int CScriptRunner::ExportTo(const CString& path) {
    CExport exporter(&m_Table, m_Options.format);
    SetExportOptions(exporter, path);
    const EXP_RESULT result = exporter.Run();
    if (result != EXP_DONE) {
        Message("varnel-run: " + CExport::ResultText(result) + " (" + path + ")");
        return EXIT_OUTPUT;
    }
    return EXIT_DONE;
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
        Message("varnel-run: " + CExport::ResultText(result) + " (" + path + ")");
        return EXIT_OUTPUT;
    }
    return EXIT_DONE;
}

// The export engine writes files; standard output gets a finished temporary file, so a failed
// export never leaves half a result in a pipe or a redirected file.
int CScriptRunner::WriteStandardOutput(const std::function<int(const CString&)>& write) {
    const char* tmp = std::getenv("TMPDIR");
    CString pattern = CString(tmp && *tmp ? tmp : "/tmp") + "/varnel-run-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        Message("varnel-run: cannot create a temporary file: " + CString(std::strerror(errno)));
        return EXIT_OUTPUT;
    }
    ::close(fd);
    const int code = write(pattern);
    bool ok = code == EXIT_DONE;
    if (ok) {
        ClearProgress();
        std::fflush(stdout);
        ok = CopyToDescriptor(pattern, STDOUT_FILENO);
        if (!ok)
            Message("varnel-run: cannot write standard output: " + CString(std::strerror(errno)));
    }
    ::unlink(pattern.c_str());
    if (code != EXIT_DONE)
        return code;
    return ok ? EXIT_DONE : EXIT_OUTPUT;
}

// The workbook goes to the output path: through a temporary file beside it, renamed when complete.
int CScriptRunner::WriteXlsx() {
    const CString target = m_Options.output;
    bool moved = false;
    CString failure;
    CExcelBook::Opener previous = CExcelBook::SetOpener([&](const CString& path) {
        CString temp = Directory(target) + "/.varnel-run-XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0) {
            failure = std::strerror(errno);
            return false;
        }
        const bool copied = CopyToDescriptor(path, fd);
        const int copyError = errno;
        const bool synced = copied && ::fsync(fd) == 0;
        const int syncError = errno;
        ::close(fd);
        if (!copied || !synced) {
            failure = std::strerror(copied ? syncError : copyError);
            ::unlink(temp.c_str());
            return false;
        }
        // A new file gets the permissions any other new file of the user gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temp.c_str(), 0666 & ~mask);
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            failure = std::strerror(errno);
            ::unlink(temp.c_str());
            return false;
        }
        ::unlink(path.c_str());
        moved = true;
        return true;
    });
    CExport exporter(&m_Table, EXP_EXCEL);
    SetExportOptions(exporter, CString());
    const EXP_RESULT result = exporter.Run();
    CExcelBook::SetOpener(std::move(previous));
    if (result != EXP_DONE || !moved) {
        Message("varnel-run: the workbook could not be written (" + target + ")" +
                (failure.empty() ? CString() : ": " + failure));
        return EXIT_OUTPUT;
    }
    return EXIT_DONE;
}
