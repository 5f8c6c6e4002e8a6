#include "CVarnelApp.h"

#include "CMainWindow.h"
#include "CSettingsDlg.h"

#include "services/CSysReg.h"
#include "services/HtmlHelp.h"
#include "services/ProgramDirectory.h"

#include "codbc/ODBC.h"

#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {
CString Stored(const char* name) {
    CSysReg reg;
    reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
    CString value;
    return reg.Read("Settings", name, &value, "<missing>") == 0 ? value : "<missing>";
}

class VarnelAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        CVarnelApp::SetFileTypeRegistrar([this](const CString& path) { m_Registered.push_back(path); });
    }
    void TearDown() override {
        CVarnelApp::SetSessionFactory(nullptr);
        CVarnelApp::SetFileTypeRegistrar(nullptr);
        CMainWindow::SetModalRunner(nullptr);
    }
    MessageRecorder messages;
    CStringArray m_Registered;
};

TEST(VarnelAppHelpTest, HelpFileIsTheProgramPathWithTheChmExtension) {
    EXPECT_EQ("/opt/varnel/varnel.chm", CVarnelApp::HelpFileOf("/opt/varnel/varnel.exe"));
    EXPECT_EQ("/opt/v.1/varnel.chm", CVarnelApp::HelpFileOf("/opt/v.1/varnel"));
    EXPECT_EQ("/usr/bin/varnel.chm", CVarnelApp::HelpFileOf("/usr/bin/varnel"));
}

TEST_F(VarnelAppTest, SessionFailureSaysSoAndEndsWithoutTheWindowButSavesTheSettings) {
    CVarnelApp::SetSessionFactory([]() -> CDB* { throw 1; });
    int shown = 0;
    CMainWindow::SetModalRunner([&](QDialog&) { return ++shown; });
    CVarnelApp app("/usr/bin/varnel", "/tmp/my script.sql");
    EXPECT_EQ(0, app.Main());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error initialize ODBC", messages.Shown()[0].text);
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_ICONERROR), messages.Shown()[0].type & MB_ICONMASK);
    EXPECT_EQ(nullptr, messages.Shown()[0].parent);
    EXPECT_EQ(0, shown);
    EXPECT_EQ(nullptr, app.MainWindow());
    EXPECT_EQ("/tmp/my script.sql", Stored("SqlFile")) << "the command line is kept whole and saved";
    EXPECT_EQ("/usr/bin/varnel.chm", GetHelpName());
    std::ifstream log(ProgramDirectory() + "Error.Log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(CString::npos, text.str().find("Ostrak Varnel")) << "the banner is written";
}

TEST_F(VarnelAppTest, FileTypeIsRegisteredOnlyWhenAsked) {
    CVarnelApp::SetSessionFactory([]() -> CDB* { throw 2; });
    {
        CVarnelApp app("/usr/bin/varnel", "");
        EXPECT_FALSE(app.InitInstance());
    }
    EXPECT_EQ(CStringArray{"/usr/bin/varnel"}, m_Registered);
    CSysReg reg;
    reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
    reg.Save("Settings", "NeedRegister", 0);
    {
        CVarnelApp app("/usr/bin/varnel", "");
        EXPECT_FALSE(app.InitInstance());
    }
    EXPECT_EQ(1u, m_Registered.size());
}

TEST_F(VarnelAppTest, FirstStartOpensTheWindowOnTheSampleDatabase) {
    CVarnelApp app("/usr/bin/varnel", "");
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(nullptr, app.Session());
    EXPECT_EQ("Varnel Sample", app.Settings()->Settings().getStr("DSN"));
    // The window ends at once: the exit is taken as the user would.
    CMainWindow::SetModalRunner(nullptr);
    QTimer::singleShot(100, [&] { app.MainWindow()->OnCommand(CMainWindow::ID_EXIT); });
    EXPECT_EQ(1, app.Run());
    EXPECT_EQ("Varnel [  ] (Varnel Sample///)", app.MainWindow()->windowTitle().toStdString());
    EXPECT_EQ("", app.Settings()->Settings().getStr("LastFile"));
    app.ExitInstance();
    EXPECT_EQ(nullptr, app.Session());
    EXPECT_EQ("Varnel Sample", Stored("DSN"));
}
} // namespace
