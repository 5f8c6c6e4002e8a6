#include "CVarnelApp.h"

#include "CFileTypeRegistration.h"
#include "CMainWindow.h"
#include "CSampleDatabase.h"
#include "CSettingsDlg.h"

#include "services/CIniFile.h"
#include "services/CLog.h"
#include "services/CSysReg.h"
#include "services/HtmlHelp.h"
#include "services/ProgramDirectory.h"
#include "toolkit/MessageBox.h"

#include "codbc/ODBC.h"

namespace {
CVarnelApp::SessionFactory& FactorySlot() {
    static CVarnelApp::SessionFactory factory;
    return factory;
}

CVarnelApp::FileTypeRegistrar& RegistrarSlot() {
    static CVarnelApp::FileTypeRegistrar registrar;
    return registrar;
}
} // namespace

void CVarnelApp::SetSessionFactory(SessionFactory factory) {
    FactorySlot() = std::move(factory);
}

void CVarnelApp::SetFileTypeRegistrar(FileTypeRegistrar registrar) {
    RegistrarSlot() = std::move(registrar);
}

CLog& CVarnelApp::Log() {
    static CLog log;
    return log;
}

CString CVarnelApp::HelpFileOf(const CString& programPath) {
    const size_t dot = programPath.find_last_of('.');
    const size_t slash = programPath.find_last_of('/');
    if (dot == CString::npos || (slash != CString::npos && dot < slash))
        return programPath + ".chm";
    return programPath.substr(0, dot + 1) + "chm";
}

CVarnelApp::CVarnelApp(const CString& programPath, const CString& commandLine)
    : m_ProgramPath(programPath), m_CommandLine(commandLine) {}

CVarnelApp::~CVarnelApp() {
    ExitInstance();
}

bool CVarnelApp::InitInstance() {
    SetHelpName(HelpFileOf(m_ProgramPath));
    // Files left readable by others by earlier versions are closed before anything is added.
    ProtectProgramDirectory();
    m_Settings = std::make_unique<CSettingsDlg>();
    Log().Begin("Ostrak Varnel");
    _Settings& settings = m_Settings->Settings();
    settings.SetProfileName("Software\\Ostrak\\Varnel");
    // Copies of the store that an interrupted save left behind.
    CIniFile(CSysReg::ProfileFile(CSysReg::GetProfileName(), CSysReg::STORE_MODE)).RemoveLeftovers();
    settings.LoadData();
    m_MainWindow = std::make_unique<CMainWindow>(*m_Settings, Log());
    if (!m_CommandLine.empty())
        settings.setStr("SqlFile", m_CommandLine);
    if (settings.getInt("NeedRegister")) {
        if (RegistrarSlot())
            RegistrarSlot()(m_ProgramPath);
        else
            CFileTypeRegistration::Register(m_ProgramPath);
    }
    try {
        m_Session.reset(FactorySlot() ? FactorySlot()() : new ODBC());
    } catch (int) {
        m_Session.reset();
    }
    if (!m_Session) {
        ShowMessage("Error initialize ODBC", "Error!", MB_OK | MB_ICONERROR, nullptr);
        return false;
    }
    // First start on a machine without data sources: the sample database becomes the default.
    CSampleDatabase::EnsureDefault(settings, m_Session.get());
    m_MainWindow->SetSession(m_Session.get());
    return true;
}

int CVarnelApp::Run() {
    if (!m_MainWindow)
        return -1;
    const int result = m_MainWindow->DoModal();
    // What the window does when it goes away happens while the session still exists.
    m_MainWindow->Shutdown();
    return result;
}

void CVarnelApp::ExitInstance() {
    if (m_Exited)
        return;
    m_Exited = true;
    if (m_MainWindow)
        m_MainWindow->SetSession(nullptr);
    m_Session.reset();
    if (m_Settings)
        m_Settings->Settings().SaveData();
    // The window's pages hold the settings table: the window goes first.
    m_MainWindow.reset();
    m_Settings.reset();
}

int CVarnelApp::Main() {
    int result = 0;
    if (InitInstance())
        result = Run();
    ExitInstance();
    return result;
}
