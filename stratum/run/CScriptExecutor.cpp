#include "run/CScriptExecutor.h"

#include "codbc/CDB.h"
#include "parse/CSemicolonCutter.h"

#include <cstdio>

bool CScriptExecutor::Step::HasResultSet() const {
    int columns = 0;
    return session && status == 0 && session->NumResultCols(&columns) == 0 && columns > 0;
}

CScriptExecutor::CScriptExecutor() {
    // The statements are read as views into the caller's script.
    m_Parser.SetCopyTexts(false);
}

CScriptExecutor::Outcome CScriptExecutor::Run(CDB& session, std::string_view script, const Options& options,
                                              Handler& handler) {
    m_Statements.clear();
    m_Parser.m_Tables.clear();
    m_LastIndex = -1;
    m_LastStatus = 0;
    const bool semicolons = options.separator == Options::SEPARATOR_SEMICOLONS;
    if (!options.noParse) {
        if (semicolons) {
            m_Statements = CSemicolonCutter::Cut(script);
            // The grid shows the last statement's result, so its FROM list names the export's table.
            if (!m_Statements.empty())
                m_Parser.Parse(m_Statements.back().data(), m_Statements.back().size());
        } else {
            m_Parser.Parse(script.data(), script.size());
            if (m_Parser.m_Count > 0)
                m_Statements = std::move(m_Parser.m_Views);
        }
        handler.PhaseChanged(PHASE_CUT);
        if (m_Statements.size() > 1 && !handler.ConfirmStatements(static_cast<int>(m_Statements.size()))) {
            m_Statements.clear();
            return RUN_REFUSED;
        }
    }
    // Nothing recognised, or no parsing: the whole script is the one statement.
    if (m_Statements.empty())
        m_Statements.push_back(script);

    handler.PhaseChanged(PHASE_EXECUTE);
    short transactions = 0;
    if (session.GetInfo(kTxnCapable, &transactions) == 0 && transactions != 0)
        session.SetConnectOption(kAutocommit, kAutocommitOn);

    bool showErrors = true;
    const int count = static_cast<int>(m_Statements.size());
    for (int i = 0; i < count; ++i) {
        if (handler.CancelRequested())
            return RUN_CANCELLED;
        const CString executed =
            m_Parser.ExecutableText(m_Statements[size_t(i)], !options.noParse && !semicolons,
                                    options.removeTerm && !(semicolons && !options.noParse));
        handler.StatementStarting(i, count);
        session.StmtRealloc();
        const int status = session.Exec(executed);
        m_LastIndex = i;
        m_LastStatus = status;
        const Step step{&session, i, count, m_Statements[size_t(i)], &executed, status};
        handler.StatementDone(step);
        // A statement the caller stopped gets no failure decision.
        if (handler.CancelRequested())
            return RUN_CANCELLED;
        if (status != 0 && showErrors) {
            const Decision decision = handler.StatementFailed(step);
            if (decision == DECIDE_CANCEL)
                break;
            if (decision == DECIDE_CONTINUE_SILENTLY)
                showErrors = false;
        }
    }
    // A failure in the middle is forgiven when a later statement succeeds; a failing last one is not.
    return m_LastStatus != 0 ? RUN_FAILED : RUN_DONE;
}

CString CScriptExecutor::TimeLine(long executionMs, long readingMs) {
    char line[128];
    std::snprintf(line, sizeof line, "Execution time: %ld.%03d sec, reading %ld.%03d sec", executionMs / 1000,
                  static_cast<int>(executionMs % 1000), readingMs / 1000, static_cast<int>(readingMs % 1000));
    return line;
}
