// The Results mode page: the time line above the result grid and the grid's toolbar. Entering the
// page runs the script of the Script mode and shows the result of its last statement.
#pragma once

#include "CommonTypes.h"
#include "toolkit/CSmDialog.h"

#include "run/CScriptExecutor.h"

#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class _Settings;
class CDB;
class CMainWindow;
class CWait;
class CWaitCursor;
class DBgrid;
class CResultTable;
class QAction;
class QLabel;
class QTabBar;
class QToolBar;

class CResultsMode : public CSmDialog, private CScriptExecutor::Handler {
    Q_OBJECT
public:
    enum { IDD = 153, IDC_TIME = 1055, IDC_GRID = 1056, IDB_TOOLBAR = 203, IDS_MANY_STATEMENTS = 5010 };
    // Commands of the toolbar.
    enum : unsigned {
        ID_COPY = 57634,
        ID_SELECT_ALL = 57642,
        ID_EXPORT_TEXT = 32821,
        ID_EXPORT_SQL = 32822,
        ID_EXPORT_XML = 32823,
        ID_EXPORT_HTML = 32825,
        ID_EXPORT_EXCEL = 32827,
        ID_SORT_ASC = 32828,
        ID_SORT_DESC = 32829,
        ID_PRINT = 32785,
        // Keeping every result of a run (a toggle).
        ID_KEEP_RESULTS = 32900,
    };
    // How long a statement runs before the progress window lets the user cancel it.
    static constexpr int kCancelDelayMs = 1000;

    // A wall-clock time with millisecond resolution.
    struct Stamp {
        long seconds = 0;
        int milliseconds = 0;
        static Stamp Now();
    };
    // "Execution time: s.mmm sec, reading s.mmm sec" for execution t0..t1 and reading t1..t2.
    static CString FormatTimeText(const Stamp& t0, const Stamp& t1, const Stamp& t2);

    CResultsMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent = nullptr);
    ~CResultsMode() override;

    // The run: executes the script (unless it is the one whose result is shown) and shows the
    // result, or goes back to the Script mode when the run is abandoned.
    void Activate() override;
    // Runs `text` (a statement or a selection of the script) as a script of its own and shows the
    // page; the check that skips an unchanged script belongs to the whole-script run only.
    void RunText(const CString& text);
    // The toolbar's and the menu's grid commands; false for any other command.
    bool OnCommand(unsigned id);

    bool IsRunning() const { return m_Running; }
    // Checksum of the script whose result the grid shows; 0 when none.
    static uint32_t LastRunChecksum() { return lastRunChecksum; }

    DBgrid* Grid() const { return m_Grid; }
    // The tabs of the kept results of the last run; hidden when the run kept none.
    QTabBar* ResultTabs() const { return m_Tabs; }
    QToolBar* ToolBar() const { return m_ToolBar; }
    QLabel* TimeLine() const { return m_Time; }
    const CString& TimeText() const { return m_TimeText; }
    // The progress window of the run in progress; null between runs.
    CWait* Wait() const { return m_Wait.get(); }

protected:
    bool OnInitDialog() override;

private:
    // Gives up the run and goes back to the Script mode.
    void Abandon();
    // The executor's questions and events: the question box, the progress window, the wait cursor
    // and the execution error dialog.
    bool ConfirmStatements(int count) override;
    void PhaseChanged(CScriptExecutor::Phase phase) override;
    void StatementStarting(int index, int count) override;
    void StatementDone(const CScriptExecutor::Step& step) override;
    CScriptExecutor::Decision StatementFailed(const CScriptExecutor::Step& step) override;
    bool CancelRequested() override;
    void OnWaitCancelled();
    // Reads the rows of a statement that is not the last one into a result of its own.
    void KeepResult(const CScriptExecutor::Step& step);
    // Adds the tabs of the kept results and the last one, the last chosen; none when nothing was kept.
    void ShowResultTabs();
    void ClearKeptResults();
    void OnTabChosen(int index);
    void OnCancelDelay();

    CMainWindow& m_Main;
    _Settings& m_Settings;
    CDB* m_Session;
    QLabel* m_Time = nullptr;
    QToolBar* m_ToolBar = nullptr;
    DBgrid* m_Grid = nullptr;
    QTabBar* m_Tabs = nullptr;
    QAction* m_KeepAction = nullptr;
    // One result per tab; the slot of the shown tab holds what the grid held before it.
    struct KeptResult;
    std::vector<KeptResult> m_Kept;
    int m_Shown = -1;
    bool m_LastHasRows = false;
    CScriptExecutor m_Executor;
    CString m_TimeText;
    CString m_ScriptText;
    std::unique_ptr<CWait> m_Wait;
    std::unique_ptr<CWaitCursor> m_ExecCursor;
    Stamp m_Started; // t0: when execution began
    bool m_CountTime = false;
    QTimer m_CancelDelay;
    bool m_Executing = false;
    bool m_Running = false;
    // The text RunText hands to the next Activate.
    std::optional<CString> m_PartText;

    static uint32_t lastRunChecksum;
};
