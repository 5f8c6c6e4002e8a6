#include "CConnectMode.h"

#include "CMainWindow.h"
#include "CSchemaMode.h"
#include "CSettingsDlg.h"

#include "services/CLog.h"
#include "services/CPasswordStore.h"
#include "services/CSysReg.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/CListCtrl.h"
#include "toolkit/ControlId.h"

#include "codbc/DSN_Info.h"
#include "codbc/ODBC.h"
#include "views/CDBCBox.h"
#include "views/CDSNAdminDlg.h"
#include "views/CSchemaView.h"

#include "DatabaseSources.h"
#include "ModePageFixture.h"
#include "MessageRecorder.h"
#include "ScriptedSource.h"
#include "TestKeyring.h"
#include "TestSandbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace {
const char* const kMssqlScript = "query sp_helpdb\n"
                                 "column name 12\ncolumn db_size 12\ncolumn owner 12\ncolumn dbid 5\n"
                                 "column created 12\ncolumn status 12\n"
                                 "row master|1 MB|sa|1|\\N|\\N\n"
                                 "row sales|2 MB|sa|7|\\N|\\N\n"
                                 "row salesarchive|3 MB|sa|8|\\N|\\N\n"
                                 "query use master\n"
                                 "query use sales\n"
                                 "query use salesarchive\n";

CString ReadFile(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ConnectModeTest : public ModePageFixture {
protected:
    // Builds and shows the main window on the data source `dsn`, without its deferred questions.
    CConnectMode& Open(const CString& dsn) { return *ModePageFixture::Open(dsn).ConnectPage(); }
    // Ends the window as the program does and builds it again, as at the next start.
    CConnectMode& Reopen() {
        m_Window->Shutdown();
        m_Window.reset();
        m_Settings = std::make_unique<CSettingsDlg>();
        m_Settings->Settings().LoadData();
        m_Window = std::make_unique<CMainWindow>(*m_Settings, m_Log);
        m_Window->SetSession(m_Session.get());
        EXPECT_TRUE(m_Window->Create(0, 0));
        m_Window->show();
        return *m_Window->ConnectPage();
    }
    CConnectMode& Page() { return *m_Window->ConnectPage(); }
    QCheckBox* Permanent() {
        return qobject_cast<QCheckBox*>(FindControl(&Page(), CConnectMode::IDC_PERMANENT));
    }
    QCheckBox* SavePassword() {
        return qobject_cast<QCheckBox*>(FindControl(&Page(), CConnectMode::IDC_SAVEPASSWORD));
    }
    QLineEdit* Field(int id) { return qobject_cast<QLineEdit*>(FindControl(&Page(), id)); }
    CString Label(int id) { return qobject_cast<QLabel*>(FindControl(&Page(), id))->text().toStdString(); }
    // Whether the login fields are open and the database box closed (no permanent connection).
    bool LoginOpen() {
        bool open = true;
        for (int id : {CConnectMode::IDC_DSN, CConnectMode::IDC_USER, CConnectMode::IDC_PASSWORD,
                       CConnectMode::IDC_OWNER})
            open = open && FindControl(&Page(), id)->isEnabled();
        return open && !FindControl(&Page(), CConnectMode::IDC_DATABASE)->isEnabled();
    }
    // The login fields closed (the database box follows the database system).
    bool LoginLocked() {
        bool locked = true;
        for (int id : {CConnectMode::IDC_DSN, CConnectMode::IDC_USER, CConnectMode::IDC_PASSWORD,
                       CConnectMode::IDC_OWNER})
            locked = locked && !FindControl(&Page(), id)->isEnabled();
        return locked;
    }
    // "IsPerm" as the settings store holds it.
    int StoredIsPerm() {
        CSettingsDlg fresh;
        fresh.Settings().LoadData();
        return fresh.Settings().getInt("IsPerm");
    }
    CString Title() const { return m_Window->windowTitle().toStdString(); }
    // The "use" statements the scripted driver ran since the last look.
    CStringArray Uses() {
        CStringArray uses;
        for (const CString& statement : DriverReport(*m_Session, "statements"))
            if (statement.rfind("use ", 0) == 0)
                uses.push_back(statement);
        return uses;
    }
    void ChooseDatabase(const char* name) {
        CDBCBox* box = Page().DatabaseBox();
        const int index = box->findText(name);
        ASSERT_GE(index, 0) << name;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
};
} // namespace

TEST_F(ConnectModeTest, PageHasItsControlsAndTheInformationColumns) {
    TestSandbox::AddSqliteSource("Shop");
    TestSandbox::AddSqliteSource("Stock");
    CConnectMode& page = Open("Stock");
    for (int id :
         {1008, 1009, 1030, 1031, 1038, 1039, 1063, 1064, 1099, 1124, 1126, 1128, 1130, 1157, 1167, 1186})
        EXPECT_NE(nullptr, FindControl(&page, id)) << id;
    EXPECT_EQ(QLineEdit::Password, Field(CConnectMode::IDC_PASSWORD)->echoMode());
    EXPECT_EQ("&Permanent connection (recomended)", Permanent()->text().toStdString());
    EXPECT_EQ((CStringArray{"Shop", "Stock"}), page.DataSourceBox()->ItemTexts());
    EXPECT_EQ("Stock", page.DataSourceBox()->GetCurDSN());
    CListCtrl* info = page.InfoList();
    ASSERT_EQ(3, info->columnCount());
    EXPECT_EQ("Description", info->headerItem()->text(0).toStdString());
    EXPECT_EQ("ODBC", info->headerItem()->text(1).toStdString());
    EXPECT_EQ("Value", info->headerItem()->text(2).toStdString());
    EXPECT_FALSE(info->isEnabled()) << "nothing to show before a connection";
    EXPECT_EQ("Database", Label(CConnectMode::IDC_DATABASE_LABEL));
    EXPECT_EQ("Ow&ner (schema)", Label(CConnectMode::IDC_OWNER_LABEL));
}

TEST_F(ConnectModeTest, WrongPasswordOnPostgresShowsTheDriversMessageAndClearsThePermanentOption) {
    VARNEL_REQUIRE_POSTGRES_SOURCE("pg");
    S().setInt("IsPerm", 1);
    CConnectMode& page = Open("pg");
    ASSERT_TRUE(Permanent()->isChecked());
    EXPECT_TRUE(LoginLocked());
    page.UserBox()->setEditText(QString::fromStdString(TestSandbox::Postgres()->user));
    page.PasswordField()->setText("certainly-wrong");
    page.OnTest();
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    EXPECT_EQ(CString(m_Session->lastError), messages.Shown()[0].text);
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("password")) << messages.Shown()[0].text;
    EXPECT_EQ(0, m_Session->connected);
    EXPECT_EQ(0, S().getInt("IsPerm"));
    EXPECT_EQ(0, StoredIsPerm()) << "saved at once";
    EXPECT_FALSE(Permanent()->isChecked());
    EXPECT_TRUE(LoginOpen());

    // The right password then passes the test.
    page.PasswordField()->setText(QString::fromStdString(TestSandbox::Postgres()->password));
    page.OnTest();
    ASSERT_EQ(2u, messages.Shown().size());
    EXPECT_EQ("TEST COMPLETED SUCCESSFULLY!", messages.Shown()[1].text);
    EXPECT_EQ(0, m_Session->connected);
}

TEST_F(ConnectModeTest, TickingThePermanentOptionConnectsAndLocksTheLoginUntickingDisconnects) {
    TestSandbox::AddSqliteSource("Shop");
    CConnectMode& page = Open("Shop");
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    EXPECT_EQ(0, m_Session->connected);
    EXPECT_TRUE(LoginOpen());

    Permanent()->click();
    EXPECT_TRUE(messages.Shown().empty()) << messages.Texts()[0];
    EXPECT_EQ(1, m_Session->connected);
    EXPECT_EQ(1, S().getInt("IsPerm"));
    EXPECT_TRUE(LoginLocked());
    EXPECT_EQ(DSN_Info::kItemCount, page.InfoList()->GetItemCount());
    EXPECT_TRUE(page.InfoList()->isEnabled());
    EXPECT_NE(CString::npos, Field(CConnectMode::IDC_DBMS)->text().toStdString().find("SQLite"));
    EXPECT_FALSE(Field(CConnectMode::IDC_DRIVER)->text().isEmpty());
    EXPECT_FALSE(Field(CConnectMode::IDC_MANAGER)->text().isEmpty());
    EXPECT_NE(CString::npos, Title().find(page.ConnectionSummary()));

    // Another mode keeps the permanent connection.
    m_Window->SwitchMode(CMainWindow::MODE_SCHEMA);
    m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ(1, m_Session->connected);

    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    Permanent()->click();
    EXPECT_EQ(0, m_Session->connected);
    EXPECT_EQ(0, S().getInt("IsPerm"));
    EXPECT_TRUE(LoginOpen());
    EXPECT_EQ(DSN_Info::kItemCount, page.InfoList()->GetItemCount()) << "what was read stays readable";
}

TEST_F(ConnectModeTest, AFailedPermanentConnectionLeavesTheOptionClearedAndTheLoginOpen) {
    AddScriptedSource("Shop", {{"Refuse", "28000 Login failed for user 'joe'"}});
    Open("Shop");
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    Permanent()->click();
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error!", messages.Shown()[0].caption);
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("Login failed for user 'joe'"))
        << messages.Shown()[0].text;
    EXPECT_EQ(0, m_Session->connected);
    EXPECT_FALSE(Permanent()->isChecked());
    EXPECT_TRUE(LoginOpen());
    EXPECT_EQ(0, StoredIsPerm());
}

TEST_F(ConnectModeTest, ALoginWithoutAStatementIsNoConnection) {
    AddScriptedSource("Shop", {{"NoStatement", "No more statement handles"}});
    Open("Shop");
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    EXPECT_NE(0, m_Window->ConnectPage()->EnsureConnected());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_NE(CString::npos, messages.Shown()[0].text.find("No more statement handles"))
        << messages.Shown()[0].text;
    EXPECT_EQ(0, m_Session->connected) << "a later caller must not take the login for a connection";
    EXPECT_NE(0, m_Window->ConnectPage()->EnsureConnected()) << "the next attempt connects again";
}

TEST_F(ConnectModeTest, LeavingThePageStoresHistoriesAndDataSourceAndChangesRaiseTheGeneration) {
    AddScriptedSource("Shop", {});
    AddScriptedSource("Stock", {});
    CConnectMode& page = Open("Shop");
    m_Window->SwitchMode(CMainWindow::MODE_SCHEMA);
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    int generation = page.ConnectionGeneration();

    // Leaving without a change keeps the generation.
    m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ(generation, page.ConnectionGeneration());

    // Only the owner changes: the Schema page refreshes on its next visit.
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    page.OwnerBox()->setEditText("main");
    m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ(generation + 1, page.ConnectionGeneration());
    m_Window->SwitchMode(CMainWindow::MODE_SCHEMA);
    EXPECT_EQ(page.ConnectionGeneration(), m_Window->SchemaPage()->View()->Generation())
        << "the Schema page refreshed for the new generation";
    EXPECT_STREQ("main", m_Session->owner) << "the owner goes to the session";
    generation = page.ConnectionGeneration();

    // The user and the data source.
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    page.UserBox()->setEditText("joe");
    CDBCBox* sources = page.DataSourceBox();
    sources->setCurrentIndex(sources->findText("Stock"));
    emit sources->activated(sources->currentIndex());
    m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ(generation + 2, page.ConnectionGeneration());

    EXPECT_EQ("Stock", S().getStr("DSN"));
    EXPECT_EQ("joe", CHistCBox::StoredCurString("User"));
    EXPECT_EQ("main", CHistCBox::StoredCurString("Owner"));
    CSysReg reg;
    int count = 0;
    reg.Read("User", "Counter", &count, 0);
    EXPECT_GE(count, 1);

    // The next start shows what was stored.
    CConnectMode& again = Reopen();
    EXPECT_EQ("Stock", again.DataSourceBox()->GetCurDSN());
    EXPECT_EQ("joe", again.UserBox()->currentText().toStdString());
    EXPECT_EQ("main", again.OwnerBox()->currentText().toStdString());
}

TEST_F(ConnectModeTest, SummaryNamesDataSourceUserOwnerAndDatabase) {
    AddScriptedSource("Shop", {{"DATABASE_NAME", "shopdb"}});
    AddScriptedSource("Stock", {{"DATABASE_NAME", "stockdb"}});
    CConnectMode& page = Open("Shop");
    EXPECT_EQ("(Shop///)", page.ConnectionSummary());
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    page.UserBox()->setEditText("joe");
    page.OwnerBox()->setEditText("main");
    Permanent()->click();
    ASSERT_EQ(1, m_Session->connected);
    EXPECT_EQ("(Shop/joe/main/shopdb)", page.ConnectionSummary());
    EXPECT_NE(CString::npos, Title().find("(Shop/joe/main/shopdb)")) << Title();

    // Another data source chosen: its name at once, and no database of the previous one.
    Permanent()->click();
    ASSERT_EQ(0, m_Session->connected);
    CDBCBox* sources = page.DataSourceBox();
    sources->setCurrentIndex(sources->findText("Stock"));
    emit sources->activated(sources->currentIndex());
    EXPECT_NE(CString::npos, Title().find("(Stock/joe/main/)")) << Title();
    EXPECT_EQ("", page.DatabaseBox()->currentText().toStdString());
}

// Without a Secret Service the page says so beside "Save password", the password is kept scrambled,
// and unticking the box erases it from the file at once.
TEST_F(ConnectModeTest, WithoutKeyringThePageSaysSoAndUntickingErasesTheScrambledPassword) {
    TestSandbox::AddSqliteSource("Shop");
    const CString ini = TestSandbox::Directory() + "/config/Ostrak/Varnel.ini";
    S().setInt("SavePassword", 1);
    S().setStr("Password", "secret");
    S().SaveData();
    CConnectMode& page = Open("Shop");
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    EXPECT_EQ("secret", page.PasswordField()->text().toStdString());
    QLabel* note = page.KeyringNote();
    ASSERT_TRUE(note->isVisible());
    EXPECT_EQ("No keyring: only obscured", note->text().toStdString());
    const QRect box = SavePassword()->geometry(), beside = note->geometry();
    EXPECT_FALSE(box.intersects(beside)) << "the note covers the check box";
    EXPECT_LE(box.right(), beside.left());
    EXPECT_LE(beside.right(), note->parentWidget()->width()) << "the note is cut off";

    page.PasswordField()->setText("newer");
    m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_NE(CString::npos, ReadFile(ini).find("Password=" + CSysReg::Encode("newer"))) << ReadFile(ini);

    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    SavePassword()->click();
    EXPECT_EQ(CString::npos, ReadFile(ini).find(CSysReg::Encode("newer"))) << "still stored after unticking";
    EXPECT_NE(CString::npos, ReadFile(ini).find("SavePassword=0"));
    page.PasswordField()->setText("typed");
    m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ(CString::npos, ReadFile(ini).find(CSysReg::Encode("typed")));

    CConnectMode& again = Reopen();
    EXPECT_EQ("", again.PasswordField()->text().toStdString());
    EXPECT_FALSE(SavePassword()->isChecked());
}

// With a Secret Service each data source and user has its own saved password there, the settings
// file holds none, choosing a login fills its password in, and unticking removes them all.
TEST_F(ConnectModeTest, WithKeyringPasswordsAreKeptPerLoginOutsideTheSettings) {
    TestKeyring keyring;
    ASSERT_EQ("", keyring.Error());
    TestSandbox::AddSqliteSource("Shop");
    TestSandbox::AddSqliteSource("Stock");
    const CString ini = TestSandbox::Directory() + "/config/Ostrak/Varnel.ini";
    S().setInt("SavePassword", 1);
    CConnectMode& page = Open("Shop");
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    EXPECT_FALSE(page.KeyringNote()->isVisible());
    page.UserBox()->setEditText("joe");
    page.PasswordField()->setText("shop-pw");
    m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ("shop-pw", CPasswordStore::KeyringLookup("Shop", "joe").value_or("<none>"));

    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    ChooseDataSource("Stock");
    page.PasswordField()->setText("stock-pw");
    m_Window->SwitchMode(CMainWindow::MODE_SCRIPT);
    EXPECT_EQ("stock-pw", CPasswordStore::KeyringLookup("Stock", "joe").value_or("<none>"));
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    ChooseDataSource("Shop");
    EXPECT_EQ("shop-pw", page.PasswordField()->text().toStdString());
    EXPECT_EQ(CString::npos, ReadFile(ini).find("\nPassword=")) << ReadFile(ini);

    CConnectMode& again = Reopen();
    EXPECT_EQ("shop-pw", again.PasswordField()->text().toStdString());
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    SavePassword()->click();
    EXPECT_EQ(std::nullopt, CPasswordStore::KeyringLookup("Shop", "joe"));
    EXPECT_EQ(std::nullopt, CPasswordStore::KeyringLookup("Stock", "joe"));
}

TEST_F(ConnectModeTest, RestoreQuestionAtStartupNoClearsTheOptionYesConnects) {
    TestSandbox::AddSqliteSource("Shop");
    S().setInt("IsPerm", 1);
    CConnectMode& page = Open("Shop");
    ASSERT_TRUE(Permanent()->isChecked());
    messages.QueueAnswer(IDNO);
    m_Window->OnStartupTimer();
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Permanent connection", messages.Shown()[0].caption);
    EXPECT_EQ("Data Source = Shop\nUser       = \nOwner    = \nDatabase=\n\nRestore last connection?",
              messages.Shown()[0].text);
    EXPECT_EQ(0, m_Session->connected);
    EXPECT_EQ(0, S().getInt("IsPerm"));
    EXPECT_FALSE(Permanent()->isChecked());
    (void)page;

    S().setInt("IsPerm", 1);
    S().SaveData();
    CConnectMode& again = Reopen();
    messages.QueueAnswer(IDYES);
    m_Window->OnStartupTimer();
    ASSERT_EQ(2u, messages.Shown().size());
    EXPECT_EQ(1, m_Session->connected);
    EXPECT_EQ(1, S().getInt("IsPerm"));
    EXPECT_TRUE(Permanent()->isChecked());
    EXPECT_NE(CString::npos, Title().find(again.ConnectionSummary())) << Title();

    // Without the option nothing is asked.
    m_Session->Disconnect();
    S().setInt("IsPerm", 0);
    m_Window->OnStartupTimer();
    EXPECT_EQ(2u, messages.Shown().size());
}

TEST_F(ConnectModeTest, TestReportsSuccessAndKeepsOnlyAPermanentConnection) {
    TestSandbox::AddSqliteSource("Shop");
    CConnectMode& page = Open("Shop");
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    page.OnTest();
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("TEST COMPLETED SUCCESSFULLY!", messages.Shown()[0].text);
    EXPECT_EQ("Connect", messages.Shown()[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONINFORMATION), messages.Shown()[0].type & MB_ICONMASK);
    EXPECT_EQ(0, m_Session->connected);

    Permanent()->click();
    ASSERT_EQ(1, m_Session->connected);
    page.OnTest();
    ASSERT_EQ(2u, messages.Shown().size());
    EXPECT_EQ("TEST COMPLETED SUCCESSFULLY!", messages.Shown()[1].text);
    EXPECT_EQ(1, m_Session->connected);
}

TEST_F(ConnectModeTest, ManageOpensTheDataSourceDialogAndRefillsTheBoxKeepingTheChoice) {
    TestSandbox::AddSqliteSource("Shop");
    CConnectMode& page = Open("Shop");
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CDSNAdminDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dialog);
        seen = true;
        dialog->driverBox()->setCurrentText("SQLite3");
        dialog->New();
        dialog->nameEdit()->setText("Added");
        dialog->Save();
        dialog->reject();
    });
    page.OnManage();
    EXPECT_TRUE(seen);
    EXPECT_EQ((CStringArray{"Shop", "Added"}), page.DataSourceBox()->ItemTexts());
    EXPECT_EQ("Shop", page.DataSourceBox()->GetCurDSN());
}

TEST_F(ConnectModeTest, DesktopDatabaseWithoutOwnerTermShowsAnEmptyOwner) {
    AddScriptedSource("desk",
                      {{"DBMS_NAME", "ACCESS"}, {"OWNER_TERM", ""}, {"DATABASE_NAME", "C:\\shop.mdb"}});
    CConnectMode& page = Open("desk");
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    page.OwnerBox()->setEditText("dbo");
    Permanent()->click();
    ASSERT_EQ(1, m_Session->connected) << m_Session->lastError;
    EXPECT_EQ(0, m_Session->ownerSupported);
    EXPECT_EQ(0, page.OwnerBox()->currentIndex());
    EXPECT_EQ("", page.OwnerBox()->currentText().toStdString());
    EXPECT_EQ("Ow&ner (schema)", Label(CConnectMode::IDC_OWNER_LABEL)) << "no term: the label stays";
    // Other database systems show their one database, and the box stays closed.
    EXPECT_EQ((CStringArray{"C:\\shop.mdb"}), page.DatabaseBox()->ItemTexts());
    EXPECT_FALSE(page.DatabaseBox()->isEnabled());
    EXPECT_TRUE(Uses().empty()) << "only Microsoft SQL Server gets \"use\"";
}

TEST_F(ConnectModeTest, SqlServerGetsUseOncePerDatabaseAndAgainAfterReconnecting) {
    AddScriptedSource("mssql",
                      {{"DBMS_NAME", "Microsoft SQL Server"},
                       {"DBMS_VER", "08.00.0760"},
                       {"OWNER_TERM", "owner"},
                       {"CATALOG_TERM", "database"},
                       {"DATABASE_NAME", "sales"}},
                      kMssqlScript);
    CConnectMode& page = Open("mssql");
    m_Window->SwitchMode(CMainWindow::MODE_CONNECT);
    Permanent()->click();
    ASSERT_EQ(1, m_Session->connected) << m_Session->lastError;
    EXPECT_TRUE(Uses().empty()) << "no database chosen yet";
    EXPECT_EQ((CStringArray{"master", "sales", "salesarchive"}), page.DatabaseBox()->ItemTexts());
    EXPECT_EQ("sales", page.DatabaseBox()->GetCurItem("Database"));
    EXPECT_TRUE(page.DatabaseBox()->isEnabled());
    EXPECT_EQ("Owner", Label(CConnectMode::IDC_OWNER_LABEL));
    EXPECT_EQ("Database", Label(CConnectMode::IDC_DATABASE_LABEL));

    const int generation = page.ConnectionGeneration();
    ChooseDatabase("master");
    EXPECT_EQ((CStringArray{"use master"}), Uses());
    EXPECT_EQ(generation + 1, page.ConnectionGeneration());
    EXPECT_NE(CString::npos, Title().find("/master)")) << Title();
    ChooseDatabase("master");
    EXPECT_TRUE(Uses().empty()) << "the same database again";
    ChooseDatabase("salesarchive");
    EXPECT_EQ((CStringArray{"use salesarchive"}), Uses());

    // A new connection applies the chosen database again.
    Permanent()->click();
    ASSERT_EQ(0, m_Session->connected);
    Permanent()->click();
    ASSERT_EQ(1, m_Session->connected);
    EXPECT_EQ((CStringArray{"use salesarchive"}), Uses());
}

TEST_F(ConnectModeTest, CatalogTermBecomesTheDatabaseLabel) {
    AddScriptedSource("catalogs", {{"OWNER_TERM", "schema"}, {"CATALOG_TERM", "catalog"}});
    CConnectMode& page = Open("catalogs");
    page.OnTest();
    ASSERT_EQ(1u, messages.Shown().size()) << "the test succeeded";
    EXPECT_EQ("Catalog", Label(CConnectMode::IDC_DATABASE_LABEL));
    EXPECT_EQ("Schema", Label(CConnectMode::IDC_OWNER_LABEL));
}
