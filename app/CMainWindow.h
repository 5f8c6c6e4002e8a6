// The program's main window: the five mode pages behind a tab bar, the hot keys that switch
// between them, the menu and its commands, the status bar, the tray icon, dropped files, the
// questions asked once the window is up, and the exit with its tidying up.
#pragma once

#include "CommonTypes.h"
#include "toolkit/CSmDialog.h"

#include <QTimer>

#include <functional>
#include <memory>

class _Settings;
class CBuilderMode;
class CCatalogCache;
class CColorizer;
class CConnectMode;
class CDB;
class CHelpWindow;
class CLog;
class CResultsMode;
class CSchemaMode;
class CScriptMode;
class CSettingsDlg;
class CTipDlg;
class QLabel;
class QDialog;
class QMenu;
class QMenuBar;
class QStatusBar;
class QSystemTrayIcon;
class QTabBar;

class CMainWindow : public CSmDialog {
    Q_OBJECT
public:
    enum { IDD = 102, IDI_MAIN = 129, IDI_TRAY = 194, IDC_HELPLINK = 1200, ID_TRAY = 63263 };
    enum Mode { MODE_SCRIPT = 0, MODE_CONNECT = 1, MODE_SCHEMA = 2, MODE_RESULTS = 3, MODE_BUILDER = 4 };
    static constexpr int kModes = 5;
    // Commands of the menu bar and the tray menu.
    enum : unsigned {
        ID_EXIT = 1,
        ID_NEW = 1062,
        ID_OPEN = 57672,
        ID_SAVE = 57673,
        ID_SAVE_AS = 57674,
        ID_PRINT = 32785,
        ID_UNDO = 57643,
        ID_REDO = 57644,
        ID_CUT = 57635,
        ID_COPY = 57634,
        ID_PASTE = 57637,
        ID_SELECT_ALL = 57642,
        ID_SEARCH = 57641,
        ID_COPY_SELECTED = 1028,
        ID_EXPORT = 1029,
        ID_SORT_ASC = 32828,
        ID_SORT_DESC = 32829,
        ID_RUN_STATEMENT = 32860,
        ID_RUN_SELECTION = 32861,
        ID_SETTINGS = 32801,
        ID_MACROS = 1963,
        ID_LOG_VIEW = 32796,
        ID_LOG_TRUNCATE = 32797,
        ID_HELP_INDEX = 57670,
        ID_TIP = 32804,
        ID_WEB_SITE = 32807,
        ID_MAIL = 1012,
        ID_ABOUT = 57671,
    };
    static constexpr const char* kWebSite = "https://varnel.ostrak.example/";
    static constexpr const char* kSupportMail = "support@ostrak.example";
    static constexpr const char* kPlacement = "MainWindow";

    // The settings object must outlive the window; the session is given before Create.
    CMainWindow(CSettingsDlg& settings, CLog& log, QWidget* parent = nullptr);
    ~CMainWindow() override;
    void SetSession(CDB* session) { m_Session = session; }

    // Makes a mode current; refused while a run is in progress.
    void SwitchMode(int index);
    int CurrentMode() const { return m_Mode; }
    // True while the Results page runs a script.
    bool IsRunning() const;
    void UpdateTitle();
    void SetModifiedMark(bool modified);
    void SetCaretPane(int column, int line);
    void SetStatusText(const CString& text);
    void InsertIntoScript(const CString& text, int how);
    // The help topic of the current mode ("editor.htm", ...; empty for the start page).
    CString HelpTopic() const;

    // A menu, tray or link command; false when neither the window nor the script editor knew it.
    bool OnCommand(unsigned id);
    // The exit: asks about unsaved changes, keeps "SqlFile" as "LastFile" and ends the window;
    // false when the user cancelled or a run is in progress.
    bool OnExit();
    // Files dropped on the window; the first one is opened.
    void OnDropFiles(const CStringArray& paths);
    // The questions asked once the window is up (auto-save file, last connection, tips).
    void OnStartupTimer();
    // Minimised with "OnTray" set: hidden, with an icon in the tray (when the desktop has a tray).
    void OnMinimized();
    void OnTrayRestore();
    // What the destruction does: disconnect, close help, store histories and placement, delete
    // the auto-save file, deactivate the current page. Runs once.
    void Shutdown();

    CScriptMode* ScriptPage() const { return m_Script; }
    CConnectMode* ConnectPage() const { return m_Connect; }
    CSchemaMode* SchemaPage() const { return m_Schema; }
    CResultsMode* ResultsPage() const { return m_Results; }
    CBuilderMode* BuilderPage() const { return m_Builder; }
    CSmDialog* Page(int index) const { return index >= 0 && index < kModes ? m_Pages[index] : nullptr; }
    QTabBar* Tabs() const { return m_Tabs; }
    QStatusBar* StatusBar() const { return m_StatusBar; }
    QLabel* Pane(int index) const { return index >= 0 && index < 3 ? m_Panes[index] : nullptr; }
    QMenuBar* MenuBar() const { return m_MenuBar; }
    CTipDlg* Tips() const { return m_Tips; }
    CHelpWindow* HelpWindow() const { return m_Help; }
    QSystemTrayIcon* TrayIcon() const { return m_Tray; }
    CColorizer* Colorizer() const { return m_Colorizer; }
    bool IsStartupTimerActive() const { return m_StartupTimer.isActive(); }

    // Modal dialogs (About, Settings, macros, tips) run through this; tests answer them at once.
    using ModalRunner = std::function<int(QDialog&)>;
    static void SetModalRunner(ModalRunner runner);
    // The web site and the mail program open through this; tests record the address.
    using UrlOpener = std::function<bool(const CString&)>;
    static void SetUrlOpener(UrlOpener opener);

    // The program's strings: the tips and the tool tips of the toolbar commands.
    static void RegisterStrings();
    // The thirteen tips in order.
    static const CStringArray& TipTexts();

protected:
    bool OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

private:
    void BuildMenu();
    QMenu* TrayMenu();
    void OnTabChanged(int index);
    void OnTrayActivated(int reason);
    void ShowHelp(const CString& topic);
    void ApplyColors();
    void OpenStartScript();
    void LayoutPages();

    CColorizer* m_Colorizer = nullptr;
    CSettingsDlg& m_SettingsDlg;
    _Settings& m_Settings;
    CLog& m_Log;
    CDB* m_Session = nullptr;
    QTabBar* m_Tabs = nullptr;
    QLabel* m_HelpLink = nullptr;
    QStatusBar* m_StatusBar = nullptr;
    QLabel* m_Panes[3] = {};
    QMenuBar* m_MenuBar = nullptr;
    QWidget* m_PageArea = nullptr;
    CTipDlg* m_Tips = nullptr;
    CHelpWindow* m_Help = nullptr;
    QSystemTrayIcon* m_Tray = nullptr;
    QMenu* m_TrayMenu = nullptr;
    CSmDialog* m_Pages[6] = {};
    CScriptMode* m_Script = nullptr;
    // Catalog names for the editor's completion, kept per connection.
    std::unique_ptr<CCatalogCache> m_Catalog;
    CConnectMode* m_Connect = nullptr;
    CSchemaMode* m_Schema = nullptr;
    CResultsMode* m_Results = nullptr;
    CBuilderMode* m_Builder = nullptr;
    int m_Mode = MODE_SCRIPT;
    bool m_TrayMenuOpen = false;
    bool m_SwitchingTab = false;
    bool m_ShutDown = false;
    QTimer m_StartupTimer;
};
