// The main window as the program builds it, over a real session, for tests of the pages that need
// a connection: data sources, switching between them, and the script's text.
#pragma once

#include "CConnectMode.h"
#include "CMainWindow.h"
#include "CScriptMode.h"
#include "CSettingsDlg.h"

#include "services/CLog.h"
#include "services/CSysReg.h"
#include "toolkit/ControlId.h"

#include "codbc/ODBC.h"

#include "DatabaseSources.h"
#include "MessageRecorder.h"

#include <QComboBox>
#include <QDialog>

#include <gtest/gtest.h>

#include <memory>

class ModePageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
        reg.Save("Tips", "m_TipOnStartup", 0);
        m_Settings = std::make_unique<CSettingsDlg>();
        m_Settings->Settings().LoadData();
        CMainWindow::SetModalRunner([](QDialog&) { return 1; });
        m_Session = std::make_unique<ODBC>();
    }
    void TearDown() override {
        m_Window.reset();
        m_Session.reset();
        CMainWindow::SetModalRunner(nullptr);
    }
    _Settings& S() { return m_Settings->Settings(); }

    // Builds and shows the window with `dataSource` as the current data source.
    CMainWindow& Open(const CString& dataSource) {
        S().setStr("DSN", dataSource);
        m_Window = std::make_unique<CMainWindow>(*m_Settings, m_Log);
        m_Window->SetSession(m_Session.get());
        EXPECT_TRUE(m_Window->Create(0, 0));
        m_Window->resize(900, 680);
        m_Window->show();
        return *m_Window;
    }
    // Another data source, as the user picks it on the Connect page.
    void ChooseDataSource(const CString& dataSource) {
        S().setStr("DSN", dataSource);
        auto* box = qobject_cast<QComboBox*>(FindControl(m_Window->ConnectPage(), 1039));
        const int index = box ? box->findText(QString::fromStdString(dataSource)) : -1;
        if (index >= 0) {
            box->setCurrentIndex(index);
            emit box->activated(index); // as the user's choice does
        }
    }
    // Runs statements on the data source through a session of its own.
    void Execute(const CString& dataSource, std::initializer_list<CString> statements,
                 const CString& user = "", const CString& password = "") {
        ODBC session;
        ASSERT_EQ(0, session.Connect(dataSource, user, password)) << session.lastError;
        for (const CString& sql : statements) {
            ASSERT_EQ(0, session.StmtRealloc());
            ASSERT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
        }
        session.Disconnect();
    }
    // The script without the line end the editor keeps after its last line.
    CString ScriptText() const {
        CString text = m_Window->ScriptPage()->ScriptText();
        if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
            text.resize(text.size() - 2);
        return text;
    }

    MessageRecorder messages;
    CLog m_Log;
    std::unique_ptr<CSettingsDlg> m_Settings;
    std::unique_ptr<ODBC> m_Session;
    std::unique_ptr<CMainWindow> m_Window;
};
