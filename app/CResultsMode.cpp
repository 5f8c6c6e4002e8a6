#include "CResultsMode.h"

#include "CConnectMode.h"
#include "CMainWindow.h"
#include "CScriptFile.h"
#include "CScriptMode.h"
#include "CToolbarImages.h"

#include "services/CSoundPlayer.h"
#include "services/Helpers.h"
#include "services/_Settings.h"
#include "toolkit/CErrorDlg.h"
#include "toolkit/CStringTable.h"
#include "toolkit/CWait.h"
#include "toolkit/CWaitCursor.h"
#include "toolkit/ControlId.h"
#include "toolkit/MessageBox.h"

#include "codbc/CDB.h"
#include "grid/CResultTable.h"
#include "run/CResultTab.h"
#include "views/CResultLoader.h"
#include "views/DBgrid.h"

#include <QAction>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

uint32_t CResultsMode::lastRunChecksum = 0;

namespace {
const char* const kManyStatements =
    "Script containts %d SQL statements.\nYou'll view olny results of last statement.\nContinue ?";

// Passes rows on to a table until it holds `limit` of them, then ends the reading.
class CLimitedSink : public CRowSink {
public:
    CLimitedSink(CResultTable& table, int limit) : m_Table(table), m_Limit(limit) {}
    bool BeginRows() override { return m_Table.BeginRows(); }
    bool AddRow(int index, const std::string_view* texts, size_t count) override {
        if (index >= m_Limit) {
            m_Cut = true;
            return false;
        }
        return m_Table.AddRow(index, texts, count);
    }
    bool EndRows() override { return m_Table.EndRows(); }
    bool Cut() const { return m_Cut; }

private:
    CResultTable& m_Table;
    int m_Limit;
    bool m_Cut = false;
};
} // namespace

struct CResultsMode::KeptResult {
    std::unique_ptr<CResultTable> table;
    CString caption;
    bool sized = false;
};

CResultsMode::Stamp CResultsMode::Stamp::Now() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return {static_cast<long>(ms / 1000), static_cast<int>(ms % 1000)};
}

CString CResultsMode::FormatTimeText(const Stamp& t0, const Stamp& t1, const Stamp& t2) {
    auto span = [](const Stamp& from, const Stamp& to) {
        const long ms = (to.seconds - from.seconds) * 1000L + (to.milliseconds - from.milliseconds);
        return ms < 0 ? 0L : ms; // a clock set back during the run counts as no time
    };
    return CScriptExecutor::TimeLine(span(t0, t1), span(t1, t2));
}

CResultsMode::CResultsMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CSmDialog(IDD, parent, Qt::Widget), m_Main(main), m_Settings(settings), m_Session(session) {
    CStringTable::Set(IDS_MANY_STATEMENTS, kManyStatements);
    m_CancelDelay.setSingleShot(true);
    m_CancelDelay.setInterval(kCancelDelayMs);
    connect(&m_CancelDelay, &QTimer::timeout, this, &CResultsMode::OnCancelDelay);
}

CResultsMode::~CResultsMode() = default;

bool CResultsMode::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    m_ToolBar = new QToolBar(this);
    struct Button {
        unsigned id;
        const char* label;
        const char* tip;
    };
    const Button buttons[] = {
        {ID_COPY, "Copy", "Copy selected"},
        {ID_SELECT_ALL, "Select all", "Select all"},
        {0, nullptr, nullptr},
        {ID_EXPORT_TEXT, "Text", "Export: text"},
        {ID_EXPORT_SQL, "SQL", "Export: SQL"},
        {ID_EXPORT_XML, "XML", "Export: XML"},
        {ID_EXPORT_HTML, "HTML", "Export: HTML"},
        {ID_EXPORT_EXCEL, "Excel", "Export: Microsoft Excel"},
        {0, nullptr, nullptr},
        {ID_SORT_ASC, "Sort ASC", "Sort ASC"},
        {ID_SORT_DESC, "Sort DESC", "Sort DESC"},
        {ID_PRINT, "Print", "Print"},
    };
    for (const Button& b : buttons) {
        if (!b.label) {
            m_ToolBar->addSeparator();
            continue;
        }
        QAction* action = m_ToolBar->addAction(b.label);
        action->setToolTip(b.tip);
        action->setData(b.id);
        const unsigned id = b.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    m_ToolBar->addSeparator();
    m_KeepAction = m_ToolBar->addAction("Keep every result");
    m_KeepAction->setToolTip("Keep every result of a run");
    m_KeepAction->setData(ID_KEEP_RESULTS);
    m_KeepAction->setCheckable(true);
    m_KeepAction->setChecked(m_Settings.getInt("KeepResults") != 0);
    connect(m_KeepAction, &QAction::toggled, this,
            [this](bool on) { m_Settings.setInt("KeepResults", on ? 1 : 0); });
    CToolbarImages::Apply(m_ToolBar,
                          {"edit-copy", "edit-select-all", "text-x-generic", "text-x-sql", "text-xml",
                           "text-html", "x-office-spreadsheet", "view-sort-ascending", "view-sort-descending",
                           "document-print", "view-list-details"},
                          ":/results-toolbar.xpm");
    layout->addWidget(m_ToolBar);

    m_Time = new QLabel("Time", this);
    SetControlId(m_Time, IDC_TIME);
    layout->addWidget(m_Time);

    m_Tabs = new QTabBar(this);
    m_Tabs->setExpanding(false);
    m_Tabs->setVisible(false);
    connect(m_Tabs, &QTabBar::currentChanged, this, &CResultsMode::OnTabChosen);
    layout->addWidget(m_Tabs);

    m_Grid = new DBgrid(this);
    SetControlId(m_Grid, IDC_GRID);
    layout->addWidget(m_Grid, 1);
    return true;
}

bool CResultsMode::OnCommand(unsigned id) {
    switch (id) {
    case ID_COPY:
    case ID_SELECT_ALL:
    case CMainWindow::ID_COPY_SELECTED:
    case CMainWindow::ID_EXPORT:
    case ID_EXPORT_TEXT:
    case ID_EXPORT_SQL:
    case ID_EXPORT_XML:
    case ID_EXPORT_HTML:
    case ID_EXPORT_EXCEL:
    case ID_SORT_ASC:
    case ID_SORT_DESC:
    case ID_PRINT:
        break;
    default:
        return false;
    }
    // The grid is being filled while a run is in progress: it is neither sorted nor exported then.
    if (!m_Grid || m_Running)
        return true;
    switch (id) {
    case ID_PRINT:
        m_Grid->Print();
        break;
    case ID_SORT_ASC:
        m_Grid->Sort(-1, 1);
        break;
    case ID_SORT_DESC:
        m_Grid->Sort(-1, 0);
        break;
    default:
        m_Grid->OnCommand(static_cast<int>(id));
        break;
    }
    return true;
}

void CResultsMode::RunText(const CString& text) {
    if (m_Running)
        return;
    m_PartText = text;
    if (m_Main.CurrentMode() == CMainWindow::MODE_RESULTS)
        Activate();
    else
        m_Main.SwitchMode(CMainWindow::MODE_RESULTS);
    m_PartText.reset();
}

void CResultsMode::Activate() {
    if (m_Running)
        return;
    CScriptMode* script = m_Main.ScriptPage();
    const std::optional<CString> part = std::exchange(m_PartText, std::nullopt);
    m_ScriptText = part ? *part : script ? script->ScriptText() : CString();
    if (m_ScriptText.empty() || !m_Session || !m_Grid) {
        Abandon();
        return;
    }
    // A NUL read from the file is shown as its symbol; a driver would end the statement at it.
    if (const size_t nul = m_ScriptText.find(CScriptFile::kNulSymbol); nul != CString::npos) {
        const size_t line =
            1 + size_t(std::count(m_ScriptText.begin(), m_ScriptText.begin() + long(nul), '\n'));
        ShowMessage("The script holds a NUL character on line " + std::to_string(line) + "; it is not run.",
                    "Error!", MB_OK | MB_ICONERROR, window());
        Abandon();
        return;
    }
    // A part's result is not the script's: the next whole-script run executes again.
    const uint32_t checksum = part ? 0 : CRC32(m_ScriptText.data(), static_cast<int>(m_ScriptText.size()));
    if (!part && checksum == lastRunChecksum) {
        CSmDialog::Activate();
        return;
    }
    lastRunChecksum = checksum;
    m_Grid->ViewNull(m_Settings.getInt("NullAsNull"));
    if (m_KeepAction) {
        const QSignalBlocker quiet(m_KeepAction);
        m_KeepAction->setChecked(m_Settings.getInt("KeepResults") != 0);
    }
    // A failed safety copy has been reported by the writer; the run goes on.
    if (script)
        script->WriteScriptFile(m_Settings.getStr("AUTOname"));

    m_Running = true;
    // The time of the previous run does not belong to this one.
    m_TimeText.clear();
    m_Time->clear();
    m_Grid->setContextMenuPolicy(Qt::NoContextMenu);
    m_ToolBar->setEnabled(false);
    m_Wait = std::make_unique<CWait>(window());
    connect(m_Wait.get(), &CWait::Cancelled, this, &CResultsMode::OnWaitCancelled);
    m_Wait->Create();
    m_Wait->SetStatus("Initialize...", 5);
    m_Wait->NoCancel(1);

    if (!m_Settings.getInt("IsPerm")) {
        CConnectMode* connect = m_Main.ConnectPage();
        if (!connect || connect->EnsureConnected() != 0) {
            m_Wait->Close();
            Abandon();
            return;
        }
    }

    CScriptExecutor::Options options;
    options.noParse = m_Settings.getInt("NoParse") != 0;
    options.removeTerm = m_Settings.getInt("Remove") != 0;
    if (m_Settings.getInt("Separator") == 1)
        options.separator = CScriptExecutor::Options::SEPARATOR_SEMICOLONS;
    // A refused question, a failing last statement and a statement cancelled while it ran all give
    // up the run.
    if (m_Executor.Run(*m_Session, m_ScriptText, options, *this) != CScriptExecutor::RUN_DONE) {
        Abandon();
        return;
    }

    CSmDialog::Activate();
    m_Wait->NoCancel(0);
    Stamp t1, t2;
    if (m_CountTime)
        t1 = Stamp::Now();
    m_Grid->SetBlobAsText(m_Settings.getInt("BlobAsText"));
    if (!m_Wait->cancelRequested) {
        m_Wait->SetStatus("Read results", 70);
        {
            CWaitCursor wait;
            m_Grid->AssignNeedAbort(&m_Wait->cancelRequested);
            m_Grid->AssignSQL(m_ScriptText);
            m_Grid->AssignDatabase(m_Session, m_Settings.getInt("OemToAnsi"));
            // The flag goes with the progress window.
            m_Grid->AssignNeedAbort(nullptr);
        }
        m_TimeText.clear();
        if (m_CountTime) {
            t2 = Stamp::Now();
            m_TimeText = FormatTimeText(m_Started, t1, t2);
        }
        // Rows read before a failure stay in the grid, marked as not the whole result.
        const CResultLoader& loader = m_Grid->Loader();
        if (loader.Incomplete()) {
            char note[96];
            std::snprintf(note, sizeof note, "Incomplete result: reading failed after %d rows",
                          loader.RowsRead());
            m_TimeText += (m_TimeText.empty() ? "" : "  ") + CString(note);
            if (!m_Wait->cancelRequested)
                ShowMessage(loader.ReadError(), "Error!", MB_OK | MB_ICONERROR, window());
        }
    }
    m_Time->setText(QString::fromStdString(m_TimeText));
    ShowResultTabs();
    m_Wait->SetStatus("Post-execution actions", 95);
    if (!m_Settings.getInt("IsPerm"))
        m_Session->Disconnect();
    if (script)
        for (std::string_view statement : m_Executor.Statements())
            script->AddToSqlHistory(CString(statement));

    m_Wait->Close();
    m_Wait.reset();
    m_ToolBar->setEnabled(true);
    m_Grid->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_Running = false;
    if (m_Settings.getInt("PlaySound"))
        CSoundPlayer::Play(m_Settings.getStr("SoundFile"));
    m_Session->StmtRealloc();
}

bool CResultsMode::ConfirmStatements(int count) {
    CString format = kManyStatements;
    CStringTable::Load(IDS_MANY_STATEMENTS, &format);
    char text[512];
    std::snprintf(text, sizeof text, format.c_str(), count);
    return ShowMessage(text, "Attention!", MB_YESNO | MB_ICONQUESTION, window()) == IDYES;
}

void CResultsMode::PhaseChanged(CScriptExecutor::Phase phase) {
    if (phase == CScriptExecutor::PHASE_CUT) {
        m_Grid->AssignTables(m_Executor.Tables());
        return;
    }
    // From here on an abandoned run leaves an empty grid.
    ClearKeptResults();
    m_Grid->Clear();
    m_CountTime = m_Settings.getInt("CountTime") != 0;
    if (m_CountTime)
        m_Started = Stamp::Now();
    m_Wait->SetStatus("Script execution", 40);
}

void CResultsMode::StatementStarting(int, int) {
    m_ExecCursor = std::make_unique<CWaitCursor>();
    m_Executing = true;
    m_CancelDelay.start();
}

void CResultsMode::StatementDone(const CScriptExecutor::Step& step) {
    m_CancelDelay.stop();
    m_Executing = false;
    m_Wait->NoCancel(1);
    m_ExecCursor.reset();
    if (step.index + 1 == step.count && m_Settings.getInt("KeepResults"))
        m_LastHasRows = step.HasResultSet();
    // The last statement's result is read into the grid after the run.
    if (step.status == 0 && step.index + 1 < step.count && m_Settings.getInt("KeepResults") &&
        !m_Wait->cancelRequested && step.HasResultSet())
        KeepResult(step);
}

void CResultsMode::KeepResult(const CScriptExecutor::Step& step) {
    KeptResult kept{std::make_unique<CResultTable>(), {}, false};
    CResultTable& table = *kept.table;
    table.ViewNull(m_Settings.getInt("NullAsNull"));
    table.SetBlobAsText(m_Settings.getInt("BlobAsText"));
    table.AssignSQL(CString(step.statement));
    table.AssignTables(m_Executor.Tables());
    CString quote;
    if (step.session->GetInfo(short(29), &quote) == 0 && !quote.empty())
        table.SetIdentifierQuote(quote);
    const int limit = std::max(1, m_Settings.getInt("KeepResultsLimit"));
    CLimitedSink sink(table, limit);
    CResultLoader loader(table);
    loader.SetMessageParent(window());
    loader.SetRowSink(&sink);
    loader.AssignNeedAbort(&m_Wait->cancelRequested);
    {
        CWaitCursor wait;
        loader.AssignDatabase(step.session, m_Settings.getInt("OemToAnsi"));
    }
    const bool cut = sink.Cut() || loader.Incomplete();
    kept.caption = CResultTab::Text(step.index + 1, step.statement, loader.RowsRead(), cut);
    m_Kept.push_back(std::move(kept));
}

void CResultsMode::ShowResultTabs() {
    if (m_Kept.empty())
        return;
    // The grid holds the last statement's result; its slot waits for whatever the grid shows next.
    const int last = m_Executor.LastIndex();
    const std::string_view statement = last >= 0 && size_t(last) < m_Executor.Statements().size()
                                           ? m_Executor.Statements()[size_t(last)]
                                           : std::string_view();
    // The last statement's summary, when it returned no rows, gets a tab too: it is what the grid shows.
    const int rows = m_LastHasRows ? m_Grid->Loader().RowsRead() : 0;
    m_Kept.push_back(
        {std::make_unique<CResultTable>(), CResultTab::Text(last + 1, statement, rows, false), true});
    const QSignalBlocker quiet(m_Tabs);
    for (const KeptResult& kept : m_Kept)
        m_Tabs->addTab(QString::fromStdString(kept.caption));
    m_Shown = int(m_Kept.size()) - 1;
    m_Tabs->setCurrentIndex(m_Shown);
    m_Tabs->setVisible(true);
}

void CResultsMode::ClearKeptResults() {
    const QSignalBlocker quiet(m_Tabs);
    while (m_Tabs->count() > 0)
        m_Tabs->removeTab(0);
    m_Tabs->setVisible(false);
    m_Kept.clear();
    m_Shown = -1;
    m_LastHasRows = false;
}

void CResultsMode::OnTabChosen(int index) {
    if (index < 0 || size_t(index) >= m_Kept.size() || index == m_Shown || m_Running)
        return;
    // The shown result goes back to its slot; the chosen one comes out of its own.
    if (m_Shown >= 0)
        m_Grid->SwapTable(*m_Kept[size_t(m_Shown)].table);
    m_Grid->SwapTable(*m_Kept[size_t(index)].table);
    m_Shown = index;
    KeptResult& kept = m_Kept[size_t(index)];
    if (!kept.sized) {
        m_Grid->AutoSize();
        kept.sized = true;
    }
    m_Grid->Refresh();
}

CScriptExecutor::Decision CResultsMode::StatementFailed(const CScriptExecutor::Step& step) {
    CErrorDlg dialog(m_Session->lastError, *step.executed, window());
    if (dialog.DoModal() != IDOK)
        return CScriptExecutor::DECIDE_CANCEL;
    return dialog.NoMoreMessages() ? CScriptExecutor::DECIDE_CONTINUE_SILENTLY
                                   : CScriptExecutor::DECIDE_CONTINUE;
}

bool CResultsMode::CancelRequested() {
    return m_Wait && m_Wait->cancelRequested;
}

void CResultsMode::OnCancelDelay() {
    if (m_Executing && m_Wait)
        m_Wait->NoCancel(0);
}

void CResultsMode::OnWaitCancelled() {
    // Pressed while a statement runs or its first rows are computed: ask the driver to stop it; the
    // waiting call returns when it has.
    if (m_Session && m_Session->IsExecuting())
        m_Session->Cancel();
}

void CResultsMode::Abandon() {
    m_CancelDelay.stop();
    if (m_Session)
        m_Session->StmtRealloc();
    if (m_Wait && m_Wait->IsOpen())
        m_Wait->Close();
    m_Wait.reset();
    if (m_Session && !m_Settings.getInt("IsPerm"))
        m_Session->Disconnect();
    if (m_ToolBar)
        m_ToolBar->setEnabled(true);
    if (m_Grid)
        m_Grid->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_Running = false;
    lastRunChecksum = 0;
    if (m_Tabs)
        ClearKeptResults();
    m_Main.SwitchMode(CMainWindow::MODE_SCRIPT);
}
