// The application object: creates the settings, the log banner, the main window and the one
// database session, shows the main window modally, and tears everything down in order.
#pragma once

#include "CommonTypes.h"

#include <functional>
#include <memory>

class CDB;
class CLog;
class CMainWindow;
class CSettingsDlg;

class CVarnelApp {
public:
    // Creates the session; the default makes an ODBC session, which throws when the driver
    // manager cannot be set up.
    using SessionFactory = std::function<CDB*()>;
    static void SetSessionFactory(SessionFactory factory);
    // Registers the program as opener of script files (called when "NeedRegister" is on).
    using FileTypeRegistrar = std::function<void(const CString& programPath)>;
    static void SetFileTypeRegistrar(FileTypeRegistrar registrar);

    // programPath: the executable's full path; commandLine: the whole command line after it.
    CVarnelApp(const CString& programPath, const CString& commandLine);
    ~CVarnelApp();
    CVarnelApp(const CVarnelApp&) = delete;
    CVarnelApp& operator=(const CVarnelApp&) = delete;

    // Start-up up to the session; false (after "Error initialize ODBC") when it could not be created.
    bool InitInstance();
    // Shows the main window modally and returns when it ended.
    int Run();
    // Shut-down: session, settings, main window. Runs once; the destructor calls it too.
    void ExitInstance();
    // InitInstance, Run (when it succeeded) and ExitInstance.
    int Main();

    CSettingsDlg* Settings() const { return m_Settings.get(); }
    CMainWindow* MainWindow() const { return m_MainWindow.get(); }
    CDB* Session() const { return m_Session.get(); }
    const CString& ProgramPath() const { return m_ProgramPath; }

    // The program's log object.
    static CLog& Log();
    // The help file of a program path: its extension (the characters after the last ".") replaced
    // by "chm"; "<path>.chm" when it has none.
    static CString HelpFileOf(const CString& programPath);

private:
    CString m_ProgramPath;
    CString m_CommandLine;
    std::unique_ptr<CSettingsDlg> m_Settings;
    std::unique_ptr<CMainWindow> m_MainWindow;
    std::unique_ptr<CDB> m_Session;
    bool m_Exited = false;
};
