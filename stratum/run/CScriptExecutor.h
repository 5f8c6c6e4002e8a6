// Runs a script's statements one after another through the session: cuts the script (or takes it
// whole), switches autocommit on where the driver has transactions, executes each statement and
// leaves the questions, the failure decisions and the progress to the caller's handler. It stops
// before the result is read: the session holds the result of the last statement that ran.
#pragma once

#include "CommonTypes.h"
#include "parse/CParse.h"

#include <string_view>
#include <vector>

class CDB;

class CScriptExecutor {
public:
    // SQLGetInfo's transaction capability and the connection's autocommit option.
    static constexpr short kTxnCapable = 46;
    static constexpr int kAutocommit = 102;
    static constexpr int kAutocommitOn = 1;

    struct Options {
        // Execute the whole script as one statement.
        bool noParse = false;
        // Blank each statement's terminator before it is sent (the keyword cut only: the semicolon
        // cut leaves the terminators out of the statements already).
        bool removeTerm = false;
        // How the script is cut: by leading keywords, or after semicolons and at GO lines.
        enum Separator { SEPARATOR_KEYWORDS, SEPARATOR_SEMICOLONS } separator = SEPARATOR_KEYWORDS;
    };

    // What the caller decides after a failing statement.
    enum Decision { DECIDE_CONTINUE, DECIDE_CONTINUE_SILENTLY, DECIDE_CANCEL };
    enum Phase {
        // The script has been cut; its table list is known. Not reached without parsing.
        PHASE_CUT,
        // The statements are about to run.
        PHASE_EXECUTE,
    };
    enum Outcome {
        // The last statement that ran succeeded; its result waits in the session.
        RUN_DONE,
        // The caller declined to run several statements: nothing was executed.
        RUN_REFUSED,
        // The last statement that ran failed, whatever the caller chose: the run is given up.
        RUN_FAILED,
        // The caller asked to stop while a statement ran or between statements.
        RUN_CANCELLED,
    };

    // One executed statement.
    struct Step {
        CDB* session = nullptr;
        int index = 0; // from 0, in script order
        int count = 0;
        std::string_view statement;        // as cut from the script
        const CString* executed = nullptr; // the text that was sent
        int status = 0;                    // the session's Exec result; 0 for success
        // Whether the statement left rows to read in the session (asks the driver).
        bool HasResultSet() const;
    };

    class Handler {
    public:
        virtual ~Handler() = default;
        // The script holds `count` statements (more than one): whether to run them all.
        virtual bool ConfirmStatements(int count) { return true; }
        virtual void PhaseChanged(Phase phase) {}
        // Before statement `index` (from 0) of `count` is sent.
        virtual void StatementStarting(int index, int count) {}
        // After each statement, before any decision about it.
        virtual void StatementDone(const Step& step) {}
        // A statement failed. Not asked again in this run after DECIDE_CONTINUE_SILENTLY.
        virtual Decision StatementFailed(const Step& step) { return DECIDE_CANCEL; }
        // Polled before each statement and after each one has run.
        virtual bool CancelRequested() { return false; }
    };

    CScriptExecutor();

    // Runs the script, whose text must outlive the statements read from Statements().
    Outcome Run(CDB& session, std::string_view script, const Options& options, Handler& handler);

    // The statements of the last run: views into its script, or the whole script as the only one.
    const std::vector<std::string_view>& Statements() const { return m_Statements; }
    // The table list of the last run: the FROM list of the script's last SELECT after the keyword cut,
    // that of the last statement after the semicolon cut; empty when it did not parse.
    const CString& Tables() const { return m_Parser.m_Tables; }
    // The statement whose result the session holds: the last one that ran, -1 when none ran.
    int LastIndex() const { return m_LastIndex; }
    // Exec's result for that statement.
    int LastStatus() const { return m_LastStatus; }

    // The run's time line: "Execution time: s.mmm sec, reading s.mmm sec".
    static CString TimeLine(long executionMs, long readingMs);

private:
    CParse m_Parser;
    std::vector<std::string_view> m_Statements;
    int m_LastIndex = -1;
    int m_LastStatus = 0;
};
