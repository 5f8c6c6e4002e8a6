// Runs a script the way the Results mode does, without a window and without questions: connects,
// cuts the script, executes the statements in order, reads the last statement's result as the grid
// would, and writes it as the Export dialog does with "All data". Formats whose bytes don't depend on
// later rows are written while the rows are read, to standard output as a stream; fixed-width text
// and the workbook load it first.
#pragma once

#include "CRunOptions.h"
#include "grid/CResultTable.h"
#include "run/CScriptExecutor.h"

#include <chrono>
#include <cstdio>
#include <functional>

class CDB;
class CRowSink;

class CScriptRunner : private CScriptExecutor::Handler {
public:
    // Exit codes of varnel-run.
    enum : int { EXIT_DONE = 0, EXIT_STATEMENT = 1, EXIT_USAGE = 2, EXIT_CONNECT = 3, EXIT_OUTPUT = 4 };

    // The session is borrowed; it must not be connected yet.
    CScriptRunner(const CRunOptions& options, CDB& session);

    // Where messages go (standard error by default) and whether progress and the time line are shown
    // there as well.
    void SetMessages(FILE* stream) { m_Messages = stream; }
    void SetProgress(bool on) { m_Progress = on; }

    // Connects with the data source, user and password, runs the editor's text of the script and writes
    // the result. Returns the exit code.
    int Run(const CString& text, const CString& dataSource, const CString& password);

    // The steps of Run, for callers that take them one by one: Execute loads the whole result into
    // Table(), Write writes it from there.
    int Connect(const CString& dataSource, const CString& password);
    int Execute(const CString& text);
    int Write();
    // Whether Run writes the result while reading it, without holding it.
    bool WritesWhileReading() const;

    const CResultTable& Table() const { return m_Table; }
    // "Execution time: ... sec, reading ... sec" of the last run.
    const CString& TimeLine() const { return m_TimeLine; }

private:
    void Message(const CString& text);
    void Progress(const CString& text);
    void ClearProgress();
    int RunStatements(const CString& text);
    // No questions; progress on the terminal, and each failure reported on standard error.
    void PhaseChanged(CScriptExecutor::Phase phase) override;
    void StatementStarting(int index, int count) override;
    CScriptExecutor::Decision StatementFailed(const CScriptExecutor::Step& step) override;
    // Reads the result into the table, or only its headings when the rows go to a sink. False, after
    // telling the user, when reading failed: the rows read before the failure are not the result.
    bool Load(CRowSink* sink);
    void SetExportOptions(CExport& exporter, const CString& path) const;
    int ExportTo(const CString& path);
    // An empty path is standard output.
    int StreamTo(const CString& path);
    static CString OutputName(const CString& path);

    const CRunOptions& m_Options;
    CDB& m_DB;
    CResultTable m_Table;
    FILE* m_Messages = stderr;
    bool m_Progress = false;
    bool m_ProgressShown = false;
    CString m_TimeLine;
    CString m_Tables; // the parser's table list of the last script
    long m_ExecutionMs = 0;
    std::chrono::steady_clock::time_point m_Started; // when execution began
};
