#include "CMainWindow.h"

#include "CAboutDlg.h"
#include "CBuilderMode.h"
#include "CConnectMode.h"
#include "CHelpWindow.h"
#include "CMacrosDlg.h"
#include "CResultsMode.h"
#include "CSchemaMode.h"
#include "CScriptFile.h"
#include "CScriptMode.h"
#include "CSettingsDlg.h"

#include "editor/CColorizer.h"
#include "services/CLog.h"
#include "services/HtmlHelp.h"
#include "services/_Settings.h"
#include "toolkit/CStringTable.h"
#include "toolkit/CTipDlg.h"
#include "toolkit/ControlId.h"
#include "toolkit/MessageBox.h"

#include "codbc/CDB.h"
#include "views/CCatalogCache.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>
#include <filesystem>

namespace {
const char* const kAttention = "Attention!";

CMainWindow::ModalRunner& ModalRunnerSlot() {
    static CMainWindow::ModalRunner runner;
    return runner;
}

CMainWindow::UrlOpener& UrlOpenerSlot() {
    static CMainWindow::UrlOpener opener;
    return opener;
}

int RunModal(QDialog& dialog) {
    if (ModalRunnerSlot())
        return ModalRunnerSlot()(dialog);
    return dialog.exec();
}

bool OpenUrl(const CString& url) {
    if (UrlOpenerSlot())
        return UrlOpenerSlot()(url);
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

const char* const kTabTexts[CMainWindow::kModes] = {"S&cript", "C&onnect", "Sche&ma", "&Results", "&Builder"};

// One image per tab, from the style's standard icons.
QIcon TabImage(const QStyle* style, int index) {
    static const QStyle::StandardPixmap kImages[CMainWindow::kModes] = {
        QStyle::SP_FileIcon, QStyle::SP_DriveNetIcon, QStyle::SP_DirIcon, QStyle::SP_FileDialogDetailedView,
        QStyle::SP_FileDialogContentsView};
    return style->standardIcon(kImages[index]);
}

bool FileExists(const CString& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}
} // namespace

void CMainWindow::SetModalRunner(ModalRunner runner) {
    ModalRunnerSlot() = std::move(runner);
}

void CMainWindow::SetUrlOpener(UrlOpener opener) {
    UrlOpenerSlot() = std::move(opener);
}

const CStringArray& CMainWindow::TipTexts() {
    static const CStringArray tips = {
        "You can get quick access to the file or script edited earlier using combo-box on the first tab "
        "(\"Script\")",
        "You can switch between program modes using Alt key with the hot key (Alt+C for Script, Alt+O for "
        "Connect, Alt+M for Schema, Alt+R for Results and Alt+B for Builder).",
        "You can use macros to automate entering scenarios.",
        "You can use right mouse button to get access to the context menu in Varnel or results viewer.",
        "You can minimize program to system tray using appropriate option \"Minimize on tray\".",
        "You can select rows, columns or set of cells in results grid using left mouse button and drag.",
        "Program can play user-specified WAV file when script execution is complete.",
        "You can view Binary Large Objects as binary or as hexadecimal. View \"Settings\" for more "
        "details...",
        "\"Text Conversion\" option lets you perform automatic OEM-ANSI conversion in query results.",
        "Program can visualize NULL data values as empty strings or as \"NULL\" strings. See program options "
        "for detailed information...",
        "You can view current cursor position at the right side of the Varnel status bar.",
        "Program always creates backup (.BAK) file in the same directory to avoid data overwriting.",
        "Program always creates \"auto-save\" file for the current script before running it.",
    };
    return tips;
}

void CMainWindow::RegisterStrings() {
    static const struct {
        int id;
        const char* text;
    } kStrings[] = {
        {5000, "Varnel support drag-n-drop only one file!\nFirst file accepted!"},
        {5001, "You have 'Auto Save file'. Restore it\nas current file?"},
        {5002, "Restore last connection?"},
        {5003, "Permanent connection"},
        {1062, "New script"},
        {57672, "Open script"},
        {57673, "Save script"},
        {57641, "Search and replace"},
        {57635, "Cut"},
        {57634, "Copy selected"},
        {57637, "Paste"},
        {57642, "Select all"},
        {57643, "Undo"},
        {57644, "Redo"},
        {32785, "Print"},
        {1963, "Macro definitions"},
        {32821, "Export: text"},
        {32822, "Export: SQL"},
        {32823, "Export: XML"},
        {32825, "Export: HTML"},
        {32827, "Export: Microsoft Excel"},
        {32828, "Sort ASC"},
        {32829, "Sort DESC"},
        {999, "Refresh information"},
        {32839, "Copy object name"},
        {32841, "Copy object's text"},
        {4, "Append"},
        {1174, "Insert"},
        {5, "Replace"},
    };
    for (const auto& s : kStrings)
        CStringTable::Set(s.id, s.text);
    for (size_t i = 0; i < TipTexts().size(); ++i)
        CStringTable::Set(10000 + static_cast<int>(i), TipTexts()[i]);
}

CMainWindow::CMainWindow(CSettingsDlg& settings, CLog& log, QWidget* parent)
    : CSmDialog(IDD, parent, Qt::Window), m_SettingsDlg(settings), m_Settings(settings.Settings()),
      m_Log(log) {
    setWindowTitle("Varnel [  ] ");
    m_StartupTimer.setSingleShot(true);
    connect(&m_StartupTimer, &QTimer::timeout, this, &CMainWindow::OnStartupTimer);
    RegisterStrings();
}

CMainWindow::~CMainWindow() {
    Shutdown();
    // The pages go before the colouring engine their editors use.
    for (CSmDialog*& page : m_Pages) {
        delete page;
        page = nullptr;
    }
    delete m_Colorizer;
}

bool CMainWindow::OnInitDialog() {
    CSmDialog::SetMainWindow(this);
    setWindowIcon(QIcon(":/icons/varnel.svg"));
    m_Tips = new CTipDlg(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 0, 3, 0);
    layout->setSpacing(2);
    BuildMenu();
    layout->setMenuBar(m_MenuBar);

    auto* top = new QHBoxLayout;
    m_Tabs = new QTabBar(this);
    m_Tabs->setExpanding(false);
    m_Tabs->setDrawBase(false);
    top->addWidget(m_Tabs);
    top->addStretch(1);
    m_HelpLink = new QLabel("<a href=\"help\">Help</a>", this);
    SetControlId(m_HelpLink, IDC_HELPLINK);
    connect(m_HelpLink, &QLabel::linkActivated, this, [this] { OnCommand(ID_HELP_INDEX); });
    top->addWidget(m_HelpLink);
    layout->addLayout(top);

    m_Tabs->addTab(TabImage(style(), MODE_SCRIPT), kTabTexts[MODE_SCRIPT]);

    setAcceptDrops(true);
    m_PageArea = new QWidget(this);
    m_PageArea->installEventFilter(this);
    layout->addWidget(m_PageArea, 1);
    m_StatusBar = new QStatusBar(this);
    m_StatusBar->setSizeGripEnabled(true);
    for (int i = 0; i < 3; ++i) {
        m_Panes[i] = new QLabel(this);
        m_StatusBar->addWidget(m_Panes[i], i == 0 ? 0 : 1);
    }
    layout->addWidget(m_StatusBar);

    m_Colorizer = new CColorizer;
    ApplyColors();

    m_Script = new CScriptMode(m_Settings, m_Colorizer, m_PageArea);
    m_Pages[MODE_SCRIPT] = m_Script;
    connect(m_Script, &CScriptMode::CaretMoved, this, &CMainWindow::SetCaretPane);
    connect(m_Script, &CScriptMode::ModifiedChanged, this, &CMainWindow::SetModifiedMark);
    connect(m_Script, &CScriptMode::FileChanged, this, &CMainWindow::UpdateTitle);
    connect(m_Script, &CScriptMode::RunRequested, this, [this](unsigned id) { OnCommand(id); });
    m_Script->Create(0, 0);
    m_Script->Activate();

    m_Connect = new CConnectMode(*this, m_Settings, m_Session, m_PageArea);
    m_Schema = new CSchemaMode(*this, m_Settings, m_Session, m_PageArea);
    m_Results = new CResultsMode(*this, m_Settings, m_Session, m_PageArea);
    m_Builder = new CBuilderMode(*this, m_Settings, m_Session, m_PageArea);
    m_Pages[MODE_CONNECT] = m_Connect;
    m_Pages[MODE_SCHEMA] = m_Schema;
    m_Pages[MODE_RESULTS] = m_Results;
    m_Pages[MODE_BUILDER] = m_Builder;
    m_Catalog =
        std::make_unique<CCatalogCache>(m_Session, [this] { return m_Connect->ConnectionGeneration(); });
    m_Catalog->IsBusy = [this] { return IsRunning(); };
    m_Script->SetCatalog(m_Catalog.get());
    for (int i = MODE_CONNECT; i < kModes; ++i) {
        m_Tabs->addTab(TabImage(style(), i), kTabTexts[i]);
        m_Pages[i]->Create(0, 0);
        m_Pages[i]->hide();
    }
    m_Mode = MODE_SCRIPT;
    connect(m_Tabs, &QTabBar::currentChanged, this, &CMainWindow::OnTabChanged);

    OpenStartScript();

    SetMinSizes(539, 495);
    setMinimumSize(539, 495);
    resize(900, 680);
    Load(kPlacement);

    if (m_Settings.getInt("AutoSave"))
        m_Script->StartAutoSave(CSettingsDlg::AutoSaveMinutes(m_Settings));

    qApp->installEventFilter(this);
    SetHelpViewer([this](QWidget*, const CString&, const CString& topic) { ShowHelp(topic); });
    m_Script->setFocus();
    m_StartupTimer.start(1);
    return true;
}

void CMainWindow::ApplyColors() {
    auto rgb = [this](const char* prefix, int part) {
        static const char* const kParts[] = {"R", "G", "B"};
        return m_Settings.getInt((CString(prefix) + "Color" + kParts[part]).c_str());
    };
    m_Colorizer->SetKeywordColor(rgb("Keyword", 0), rgb("Keyword", 1), rgb("Keyword", 2));
    m_Colorizer->SetCommentColor(rgb("Comment", 0), rgb("Comment", 1), rgb("Comment", 2));
    m_Colorizer->SetConstColor(rgb("Const", 0), rgb("Const", 1), rgb("Const", 2));
    if (m_Settings.getInt("Syntax"))
        m_Colorizer->SetKeywords(m_SettingsDlg.Keywords());
}

void CMainWindow::OpenStartScript() {
    if (!m_Settings.getStr("SqlFile").empty()) {
        m_Script->LoadScriptFile();
        return;
    }
    const CString last = m_Settings.getStr("LastFile");
    if (last == m_Settings.getStr("AUTOname"))
        return;
    if (FileExists(last)) {
        m_Settings.setStr("SqlFile", last);
        m_Script->LoadScriptFile();
    } else {
        m_Settings.setStr("LastFile", "");
        m_Settings.SaveData();
    }
}

void CMainWindow::BuildMenu() {
    m_MenuBar = new QMenuBar(this);
    auto add = [this](QMenu* menu, const char* text, unsigned id) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };
    QMenu* file = m_MenuBar->addMenu("&File");
    add(file, "&New", ID_NEW);
    add(file, "&Open...", ID_OPEN);
    add(file, "&Save", ID_SAVE);
    add(file, "Save &As...", ID_SAVE_AS);
    file->addSeparator();
    add(file, "&Print script...", ID_PRINT);
    file->addSeparator();
    add(file, "E&xit", ID_EXIT);
    QMenu* edit = m_MenuBar->addMenu("&Edit");
    add(edit, "&Undo\tCtrl+Z", ID_UNDO);
    add(edit, "Redo\tCtrl+Y", ID_REDO);
    edit->addSeparator();
    add(edit, "Cu&t\tCtrl+X", ID_CUT);
    add(edit, "&Copy\tCtrl+C", ID_COPY);
    add(edit, "&Paste\tCtrl+V", ID_PASTE);
    add(edit, "Select all\tCtrl+A", ID_SELECT_ALL);
    edit->addSeparator();
    add(edit, "&Search and Replace\tCtrl+F", ID_SEARCH);
    QMenu* results = m_MenuBar->addMenu("Results");
    add(results, "Copy selected", ID_COPY_SELECTED);
    add(results, "Export...", ID_EXPORT);
    results->addSeparator();
    add(results, "Sort ASC", ID_SORT_ASC);
    add(results, "Sort desc", ID_SORT_DESC);
    results->addSeparator();
    add(results, "Run statement\tCtrl+Enter", ID_RUN_STATEMENT);
    add(results, "Run selection\tCtrl+Shift+Enter", ID_RUN_SELECTION);
    // The keys work wherever the focus is in the window; macros keep Ctrl with digits and letters.
    auto shortcut = [this](QList<QKeySequence> keys, unsigned id) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        addAction(action);
    };
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)},
             ID_RUN_STATEMENT);
    shortcut({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Enter)},
             ID_RUN_SELECTION);
    QMenu* tools = m_MenuBar->addMenu("Tool&s");
    add(tools, "Settings...", ID_SETTINGS);
    add(tools, "&Macro definitions...", ID_MACROS);
    QMenu* log = tools->addMenu("Log file");
    add(log, "&View", ID_LOG_VIEW);
    add(log, "&Truncate", ID_LOG_TRUNCATE);
    QMenu* help = m_MenuBar->addMenu("&Help");
    add(help, "&Index...", ID_HELP_INDEX);
    add(help, "Tip of the day...", ID_TIP);
    help->addSeparator();
    add(help, "Go to Varnel Web Site", ID_WEB_SITE);
    add(help, "Write an E-mail to technical support", ID_MAIL);
    help->addSeparator();
    add(help, "&About Ostrak Varnel...", ID_ABOUT);
}

QMenu* CMainWindow::TrayMenu() {
    if (m_TrayMenu)
        return m_TrayMenu;
    m_TrayMenu = new QMenu(this);
    static const struct {
        const char* text;
        unsigned id;
    } kItems[] = {{"&Load", ID_OPEN},  {"&Save", ID_SAVE},       {"Save &As", ID_SAVE_AS},
                  {"About", ID_ABOUT}, {"&Help", ID_HELP_INDEX}, {"E&xit", ID_EXIT}};
    for (const auto& item : kItems) {
        const unsigned id = item.id;
        QAction* action = m_TrayMenu->addAction(item.text);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] {
            if (id != ID_EXIT) {
                OnCommand(id);
            } else if (OnExit() && m_Tray) {
                m_Tray->hide();
            }
        });
    }
    connect(m_TrayMenu, &QMenu::aboutToShow, this, [this] { m_TrayMenuOpen = true; });
    connect(m_TrayMenu, &QMenu::aboutToHide, this, [this] { m_TrayMenuOpen = false; });
    return m_TrayMenu;
}

bool CMainWindow::IsRunning() const {
    return m_Results && m_Results->IsRunning();
}

void CMainWindow::SwitchMode(int index) {
    if (index < 0 || index >= kModes || !m_Pages[index])
        return;
    // Leaving the Results page while its run executes or reads would release the statement in use.
    if (index != m_Mode && IsRunning())
        index = m_Mode;
    if (index != m_Mode) {
        m_Pages[m_Mode]->Deactivate();
        m_Mode = index;
        // The tab shows the mode while it works (a run happens inside the Results page's Activate).
        m_SwitchingTab = true;
        m_Tabs->setCurrentIndex(index);
        m_SwitchingTab = false;
        m_Pages[index]->Activate();
    }
    m_SwitchingTab = true;
    m_Tabs->setCurrentIndex(m_Mode);
    m_SwitchingTab = false;
}

void CMainWindow::OnTabChanged(int index) {
    if (m_SwitchingTab || index < 0 || index >= kModes || index == m_Mode)
        return;
    if (IsRunning()) {
        m_SwitchingTab = true;
        m_Tabs->setCurrentIndex(m_Mode);
        m_SwitchingTab = false;
        return;
    }
    m_Pages[m_Mode]->Deactivate();
    m_Mode = index;
    m_Pages[index]->Activate();
    m_SwitchingTab = true;
    m_Tabs->setCurrentIndex(m_Mode);
    m_SwitchingTab = false;
}

void CMainWindow::UpdateTitle() {
    const CString file = m_Settings.getStr("SqlFile");
    const size_t slash = file.find_last_of('/');
    const CString name = slash == CString::npos ? file : file.substr(slash + 1);
    const CString summary = m_Connect ? m_Connect->ConnectionSummary() : CString();
    setWindowTitle(QString::fromStdString("Varnel [ " + name + " ] " + summary));
}

void CMainWindow::SetModifiedMark(bool modified) {
    if (m_Panes[2])
        m_Panes[2]->setText(modified ? "Changed" : "");
}

void CMainWindow::SetCaretPane(int column, int line) {
    char text[64];
    std::snprintf(text, sizeof text, "Ln %d, Col %d", line + 1, column + 1);
    if (m_Panes[1])
        m_Panes[1]->setText(text);
}

void CMainWindow::SetStatusText(const CString& text) {
    if (m_Panes[0])
        m_Panes[0]->setText(QString::fromStdString(text));
}

void CMainWindow::InsertIntoScript(const CString& text, int how) {
    if (m_Script)
        m_Script->InsertSql(text, how);
}

CString CMainWindow::HelpTopic() const {
    switch (m_Mode) {
    case MODE_SCRIPT:
        return "editor.htm";
    case MODE_SCHEMA:
        return "schema.htm";
    case MODE_BUILDER:
        return "builder.htm";
    default:
        return "";
    }
}

void CMainWindow::ShowHelp(const CString& topic) {
    if (!m_Help)
        m_Help = new CHelpWindow(this);
    m_Help->ShowTopic(topic);
}

bool CMainWindow::OnCommand(unsigned id) {
    if (!m_Script)
        return false;
    switch (id) {
    case ID_NEW:
        m_Script->NewScript();
        return true;
    case ID_OPEN:
        m_Script->OpenScript();
        return true;
    case ID_SAVE:
        if (m_Script->SaveScript() == 0)
            return true;
        [[fallthrough]];
    case ID_SAVE_AS:
        if (m_Script->SaveScriptAs() == 0) {
            // The name only: the connection summary comes back with the next load or connection.
            const CString file = m_Settings.getStr("SqlFile");
            const size_t slash = file.find_last_of('/');
            setWindowTitle(QString::fromStdString(
                "Varnel [ " + (slash == CString::npos ? file : file.substr(slash + 1)) + " ]"));
        }
        return true;
    case ID_PRINT:
        m_Script->PrintScript();
        return true;
    case ID_EXIT:
        OnExit();
        return true;
    case ID_COPY_SELECTED:
    case ID_EXPORT:
    case ID_SORT_ASC:
    case ID_SORT_DESC:
        return m_Results->OnCommand(id);
    case ID_RUN_STATEMENT:
    case ID_RUN_SELECTION: {
        if (IsRunning())
            return true;
        const CString text = id == ID_RUN_STATEMENT
                                 ? m_Script->CaretStatement(m_Settings.getInt("NoParse") != 0)
                                 : m_Script->SelectionText();
        if (!text.empty())
            m_Results->RunText(text);
        return true;
    }
    case ID_SETTINGS:
        if (m_SettingsDlg.Open())
            RunModal(m_SettingsDlg);
        m_Script->ApplyCompletionSetting();
        return true;
    case ID_MACROS: {
        CMacrosDlg dialog(m_Settings, this);
        if (dialog.Open() && RunModal(dialog) == QDialog::Accepted)
            m_Script->InstallMacros();
        return true;
    }
    case ID_LOG_VIEW:
        m_Log.ViewLog(true);
        return true;
    case ID_LOG_TRUNCATE:
        if (ShowMessage("Truncate log file.\nAre you sure?", kAttention, MB_YESNO | MB_ICONQUESTION, this) ==
            IDYES)
            m_Log.TruncateLog(true);
        return true;
    case ID_HELP_INDEX:
        ShowHtmlHelp(this, HelpTopic());
        return true;
    case ID_TIP:
        RunModal(*m_Tips);
        return true;
    case ID_WEB_SITE:
        OpenUrl(kWebSite);
        return true;
    case ID_MAIL:
        OpenUrl(CString("mailto:") + kSupportMail + "?subject=Varnel");
        return true;
    case ID_ABOUT: {
        CAboutDlg about(m_Log, this);
        RunModal(about);
        return true;
    }
    default:
        return m_Script->OnCommand(id);
    }
}

bool CMainWindow::OnExit() {
    // The session and the statement of a run in progress must stay until the run ends.
    if (IsRunning())
        return false;
    if (m_Script && !m_Script->QuerySave())
        return false;
    m_Settings.setStr("LastFile", m_Settings.getStr("SqlFile"));
    QDialog::done(IDOK);
    return true;
}

void CMainWindow::reject() {
    OnExit();
}

void CMainWindow::OnDropFiles(const CStringArray& paths) {
    if (paths.empty() || !m_Script || !m_Script->QuerySave())
        return;
    if (paths.size() > 1) {
        CString text;
        CStringTable::Load(5000, &text);
        ShowMessage(text, kAttention, MB_OK | MB_ICONINFORMATION, this);
    }
    m_Settings.setStr("SqlFile", paths.front());
    m_Script->LoadScriptFile();
}

void CMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainWindow::dropEvent(QDropEvent* event) {
    CStringArray paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    OnDropFiles(paths);
}

void CMainWindow::OnStartupTimer() {
    m_StartupTimer.stop();
    if (!m_Script || !m_Tips)
        return;
    const CString autoSave = m_Settings.getStr("AUTOname");
    if (FileExists(autoSave)) {
        CString text;
        CStringTable::Load(5001, &text);
        if (ShowMessage(text, kAttention, MB_YESNO | MB_ICONQUESTION, this) == IDYES)
            m_Script->RestoreAutoSave();
    }
    m_Connect->RestoreLastConnection();
    UpdateTitle();
    for (int id = 10000; id <= 10012; ++id) {
        CString tip;
        if (CStringTable::Load(id, &tip))
            m_Tips->Add(tip);
    }
    if (m_Tips->TipOnStartup())
        m_Tips->open();
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_PageArea && event->type() == QEvent::Resize) {
        LayoutPages();
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier || key->key() <= 32)
        return false;
    int mode = -1;
    switch (key->key()) {
    case Qt::Key_C:
        mode = MODE_SCRIPT;
        break;
    case Qt::Key_O:
        mode = MODE_CONNECT;
        break;
    case Qt::Key_M:
        mode = MODE_SCHEMA;
        break;
    case Qt::Key_R:
        mode = MODE_RESULTS;
        break;
    case Qt::Key_B:
        mode = MODE_BUILDER;
        break;
    default:
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the key so that no shortcut (tab or menu mnemonic) takes it before the key press.
        event->accept();
        return true;
    }
    if (!key->isAutoRepeat() || m_Mode != mode)
        SwitchMode(mode);
    return true;
}

void CMainWindow::LayoutPages() {
    const QRect area = m_PageArea->rect();
    for (CSmDialog* page : m_Pages)
        if (page)
            page->setGeometry(area);
}

void CMainWindow::resizeEvent(QResizeEvent* event) {
    CSmDialog::resizeEvent(event);
}

void CMainWindow::changeEvent(QEvent* event) {
    CSmDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        OnMinimized();
}

void CMainWindow::OnMinimized() {
    if (!m_Settings.getInt("OnTray") || !QSystemTrayIcon::isSystemTrayAvailable())
        return; // minimised as usual
    if (!m_Tray) {
        m_Tray = new QSystemTrayIcon(windowIcon(), this);
        m_Tray->setContextMenu(TrayMenu());
        connect(m_Tray, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { OnTrayActivated(reason); });
    }
    m_Tray->setToolTip(windowTitle().left(127));
    m_Tray->show();
    QTimer::singleShot(0, this, [this] { hide(); });
}

void CMainWindow::OnTrayActivated(int reason) {
    if (m_TrayMenuOpen && m_TrayMenu)
        m_TrayMenu->close();
    if (reason == QSystemTrayIcon::DoubleClick)
        OnTrayRestore();
}

void CMainWindow::OnTrayRestore() {
    showNormal();
    raise();
    activateWindow();
    if (m_Tray)
        m_Tray->hide();
}

void CMainWindow::Shutdown() {
    if (m_ShutDown || !IsCreated())
        return;
    m_ShutDown = true;
    m_StartupTimer.stop();
    qApp->removeEventFilter(this);
    SetHelpViewer(nullptr);
    if (m_Session)
        m_Session->Disconnect();
    if (m_Help)
        m_Help->close();
    if (m_Script)
        m_Script->SaveHistories();
    Save(kPlacement);
    const CString autoSave = m_Settings.getStr("AUTOname");
    std::error_code ec;
    if (!autoSave.empty()) {
        std::filesystem::remove(autoSave, ec);
        // Writing the auto-save file over an older one keeps that as its backup.
        std::filesystem::remove(CScriptFile::BackupName(autoSave), ec);
    }
    if (m_Pages[m_Mode])
        m_Pages[m_Mode]->Deactivate();
    if (m_Tray)
        m_Tray->hide();
}
