#include "CConnectMode.h"

#include "CMainWindow.h"

#include "services/CPasswordStore.h"
#include "services/_Settings.h"
#include "toolkit/CDataExchange.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/CListCtrl.h"
#include "toolkit/CStringTable.h"
#include "toolkit/CWaitCursor.h"
#include "toolkit/ControlId.h"
#include "toolkit/MessageBox.h"

#include "codbc/CDB.h"
#include "codbc/DSN_Info.h"
#include "codbc/ODBC.h"
#include "views/CDBCBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <sql.h>
#include <sqlext.h>

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {
// The database last selected with "use" on the current connection.
CString s_UsedDatabase;

const char* const kDatabaseLabel = "Database";
const char* const kOwnerLabel = "Ow&ner (schema)";

template <class W> W* Tag(W* widget, int id) {
    SetControlId(widget, id);
    return widget;
}

QString ToQ(const CString& text) {
    return QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size()));
}

CString FromQ(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return CString(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// A catalog or owner term as a label: its first letter in upper case.
CString TermLabel(CString term) {
    term[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(term[0])));
    return term;
}
} // namespace

CConnectMode::CConnectMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CSmDialog(IDD, parent, Qt::Widget), m_Main(main), m_Settings(settings), m_Session(session) {}

CConnectMode::~CConnectMode() = default;

bool CConnectMode::OnInitDialog() {
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(8, 8, 8, 8);
    top->setSpacing(8);

    // The login: data source, user, password, owner and database, with their actions beside them.
    auto* login = new QGroupBox(" Connection ", this);
    auto* g = new QGridLayout(login);
    g->setHorizontalSpacing(8);
    g->setColumnStretch(1, 1);
    g->setColumnMinimumWidth(1, 220);
    auto label = [this](const char* text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    m_DSN = Tag(new CDBCBox(this), IDC_DSN);
    m_DSN->setEditable(false);
    m_User = Tag(new CHistCBox(this), IDC_USER);
    m_PasswordEdit = Tag(new QLineEdit(this), IDC_PASSWORD);
    m_PasswordEdit->setEchoMode(QLineEdit::Password);
    m_Owner = Tag(new CHistCBox(this), IDC_OWNER);
    m_Database = Tag(new CDBCBox(this), IDC_DATABASE);
    m_Database->setEditable(false);
    m_OwnerLabel = Tag(label(kOwnerLabel, m_Owner), IDC_OWNER_LABEL);
    m_DatabaseLabel = Tag(label(kDatabaseLabel, m_Database), IDC_DATABASE_LABEL);
    m_SavePassword = Tag(new QCheckBox("Save password", this), IDC_SAVEPASSWORD);
    m_Passwords = std::make_unique<CPasswordStore>(m_Settings);
    m_KeyringNote = new QLabel("No keyring: only obscured", this);
    m_KeyringNote->setVisible(!m_Passwords->UsesKeyring());
    if (m_Passwords->UsesKeyring()) {
        m_SavePassword->setToolTip("The password is kept in the desktop keyring");
    } else {
        const QString why = "No Secret Service (GNOME Keyring, KWallet, KeePassXC) answers in this "
                            "session: a saved password is kept scrambled in Varnel.ini, hidden from a "
                            "glance but not from anyone who can read that file";
        m_SavePassword->setToolTip(why);
        m_KeyringNote->setToolTip(why);
    }
    m_Permanent = Tag(new QCheckBox("&Permanent connection (recomended)", this), IDC_PERMANENT);
    auto* manage = Tag(new QPushButton("Manage...", this), IDC_MANAGE);
    auto* test = Tag(new QPushButton("Test", this), IDC_TEST);
    // Enter in a login field must not open the administrator or start a test.
    manage->setAutoDefault(false);
    test->setAutoDefault(false);

    g->addWidget(label("Data &source", m_DSN), 0, 0);
    g->addWidget(m_DSN, 0, 1);
    g->addWidget(manage, 0, 2);
    g->addWidget(label("&User", m_User), 1, 0);
    g->addWidget(m_User, 1, 1);
    g->addWidget(label("Pass&word", m_PasswordEdit), 2, 0);
    g->addWidget(m_PasswordEdit, 2, 1);
    g->addWidget(m_SavePassword, 2, 2);
    g->addWidget(m_KeyringNote, 2, 3);
    g->addWidget(m_OwnerLabel, 3, 0);
    g->addWidget(m_Owner, 3, 1);
    g->addWidget(m_DatabaseLabel, 4, 0);
    g->addWidget(m_Database, 4, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(m_Permanent);
    actions->addStretch(1);
    actions->addWidget(test);
    g->addLayout(actions, 5, 0, 1, 4);
    top->addWidget(login);

    // What the driver and the data source say about themselves.
    auto* information = new QGroupBox(" Data source information ", this);
    auto* i = new QGridLayout(information);
    i->setHorizontalSpacing(8);
    i->setColumnStretch(1, 1);
    i->setColumnStretch(3, 1);
    const struct {
        int id;
        const char* text;
        int row, column;
    } fields[] = {{IDC_DBMS, "DBMS", 0, 0},
                  {IDC_SERVER, "Server name", 0, 2},
                  {IDC_DRIVER, "Driver", 1, 0},
                  {IDC_MANAGER, "Manager", 1, 2}};
    for (int f = 0; f < 4; ++f) {
        m_Fields[f] = Tag(new QLineEdit(this), fields[f].id);
        m_Fields[f]->setReadOnly(true);
        i->addWidget(new QLabel(fields[f].text, this), fields[f].row, fields[f].column);
        i->addWidget(m_Fields[f], fields[f].row, fields[f].column + 1);
    }
    m_Info = Tag(new CListCtrl(this), IDC_INFO);
    m_Info->SetColumns({"Description", "ODBC", "Value"});
    m_Info->setColumnWidth(0, 250);
    m_Info->setColumnWidth(1, 50);
    m_Info->setColumnWidth(2, 150);
    m_Info->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_Info->setAlternatingRowColors(true);
    m_Info->setStyleSheet("QTreeView::item { border-right: 1px solid palette(midlight); "
                          "border-bottom: 1px solid palette(midlight); }");
    m_Info->header()->setStretchLastSection(true);
    i->addWidget(m_Info, 2, 0, 1, 4);
    top->addWidget(information, 1);

    connect(m_Permanent, &QCheckBox::clicked, this, [this] { OnPermanent(); });
    connect(test, &QPushButton::clicked, this, [this] { OnTest(); });
    connect(manage, &QPushButton::clicked, this, [this] { OnManage(); });
    connect(m_DSN, &QComboBox::activated, this, [this] { OnDataSourceChanged(); });
    connect(m_Database, &QComboBox::activated, this, [this] { OnDatabaseChanged(); });
    connect(m_SavePassword, &QCheckBox::clicked, this, [this](bool checked) { OnSavePassword(checked); });
    connect(m_User, &QComboBox::activated, this, [this] { OnUserChanged(); });

    // The fields as the last run left them.
    m_DataSource = m_Settings.getStr("DSN");
    m_DSN->FillDSN(DS_TYPE(0), m_DataSource);
    m_User->Load("User");
    if (m_Settings.getInt("SavePassword")) {
        m_Password = m_Passwords->Load(m_DataSource, m_User->GetCurString());
        m_SavedLogin = LoginKey();
        m_SavedPassword = m_Password;
    } else {
        // A password that an earlier version kept although saving was off.
        m_Passwords->ClearSetting();
    }
    m_Owner->Load("Owner");
    m_Database->Load("Database");
    m_Database->FillDatabases(m_Session, m_Database->GetCurItem("Database"));
    m_DatabaseIndex = m_Database->currentIndex();
    m_SeenUser = m_User->GetCurString();
    m_SeenOwner = m_Owner->GetCurString();
    UpdateData(false);
    LockLogin(m_Settings.getInt("IsPerm") != 0);
    FillInfo();
    return true;
}

void CConnectMode::UpdateData(bool save) {
    if (!m_Permanent)
        return;
    CDataExchange dx{this, save};
    m_Settings.sDDX_Check(&dx, IDC_SAVEPASSWORD, "SavePassword");
    m_Settings.sDDX_Check(&dx, IDC_PERMANENT, "IsPerm");
    if (save)
        m_Password = FromQ(m_PasswordEdit->text());
    else
        m_PasswordEdit->setText(ToQ(m_Password));
}

void CConnectMode::ShowPermanent() {
    if (!m_Permanent)
        return;
    CDataExchange dx{this, false};
    m_Settings.sDDX_Check(&dx, IDC_SAVEPASSWORD, "SavePassword");
    m_Settings.sDDX_Check(&dx, IDC_PERMANENT, "IsPerm");
    LockLogin(m_Settings.getInt("IsPerm") != 0);
}

void CConnectMode::LockLogin(bool permanent) {
    m_Permanent->setChecked(permanent);
    m_DSN->setEnabled(!permanent);
    m_User->setEnabled(!permanent);
    m_PasswordEdit->setEnabled(!permanent);
    m_Owner->setEnabled(!permanent);
    m_Database->setEnabled(permanent);
}

bool CConnectMode::Refused() {
    if (!m_Main.IsRunning())
        return false;
    m_Main.SetStatusText("A script is running");
    return true;
}

void CConnectMode::Activate() {
    CSmDialog::Activate();
    if (!m_Main.IsRunning())
        ApplyPermanent();
}

void CConnectMode::Deactivate() {
    if (m_User) {
        UpdateData(true);
        const CString owner = m_Owner->GetCurString();
        const CString user = m_User->GetCurString();
        if (owner != m_SeenOwner) {
            m_SeenOwner = owner;
            ++m_Generation;
        }
        if (user != m_SeenUser) {
            m_SeenUser = user;
            ++m_Generation;
        }
        m_Owner->SetActiveOrAdd(owner);
        m_User->SetActiveOrAdd(user);
        m_User->Save("User");
        m_Owner->Save("Owner");
        m_Database->Save("Database");
        m_DataSource = m_DSN->GetCurDSN();
        if (m_Settings.getInt("SavePassword") &&
            (LoginKey() != m_SavedLogin || m_Password != m_SavedPassword)) {
            if (m_Passwords->Save(m_DataSource, user, m_Password)) {
                m_SavedLogin = LoginKey();
                m_SavedPassword = m_Password;
            } else {
                m_Main.SetStatusText("The password could not be saved in the keyring");
            }
        }
    }
    m_Settings.setStr("DSN", m_DataSource);
    m_Settings.SaveData();
    CSmDialog::Deactivate();
}

int CConnectMode::EnsureConnected() {
    if (!m_Session)
        return -1;
    if (m_Session->connected)
        return 0;
    int rc = 0;
    {
        CWaitCursor wait;
        if (m_User)
            m_DataSource = m_DSN->GetCurDSN();
        const CString user = m_User ? m_User->GetCurString() : CHistCBox::StoredCurString("User");
        rc = m_Session->Connect(m_DataSource, user, m_Password);
    }
    if (rc != 0) {
        // A login without a usable statement is no connection either: nothing may build on it.
        if (m_Session->connected)
            m_Session->Disconnect();
        ShowMessage(m_Session->lastError, "Error!", MB_OK | MB_ICONERROR, this);
        m_Settings.setInt("IsPerm", 0);
        m_Settings.SaveData();
        ShowPermanent();
        return rc;
    }
    CString owner;
    if (m_User) {
        m_User->SetActiveOrAdd(m_User->GetCurString());
        owner = m_Owner->GetCurString();
        m_Owner->SetActiveOrAdd(owner);
    } else {
        owner = CHistCBox::StoredCurString("Owner");
    }
    std::snprintf(m_Session->owner, sizeof m_Session->owner, "%s", owner.c_str());
    FillInfo();
    SelectDatabase(true);
    if (m_User) {
        m_Database->FillDatabases(m_Session, "");
        m_DatabaseIndex = m_Database->currentIndex();
        FillTerms();
    }
    m_Main.UpdateTitle();
    return 0;
}

void CConnectMode::FillTerms() {
    CString term;
    if (m_Session->GetInfo(static_cast<short>(SQL_CATALOG_TERM), &term) == 0 && !term.empty())
        m_DatabaseLabel->setText(ToQ(TermLabel(term)));
    term.clear();
    if (m_Session->GetInfo(static_cast<short>(SQL_OWNER_TERM), &term) == 0 && !term.empty())
        m_OwnerLabel->setText(ToQ(TermLabel(term)));
}

void CConnectMode::FillInfo() {
    if (!m_Info)
        return;
    auto* session = dynamic_cast<ODBC*>(m_Session);
    if (session && session->connected) {
        m_Info->setEnabled(true);
        DSN_Info info(session);
        info.SetList(m_Info);
        info.InsertAllInfo();
        m_Fields[0]->setText(ToQ(info.DBMSNameAndVer()));
        CString server;
        if (session->GetInfo(static_cast<short>(SQL_SERVER_NAME), &server) == 0)
            m_Fields[1]->setText(ToQ(server));
        m_Fields[2]->setText(ToQ(info.DRIVERNameAndVer()));
        m_Fields[3]->setText(ToQ(info.ODBCVer()));
    } else {
        for (QLineEdit* field : m_Fields)
            field->clear();
        m_Info->DeleteAllItems();
        m_Info->setEnabled(false);
    }
}

void CConnectMode::SelectDatabase(bool newConnection) {
    if (!m_Session || !m_Session->connected || m_Session->dbmsKind != DBMS_MSSQL)
        return;
    if (newConnection)
        s_UsedDatabase.clear();
    const CString database =
        m_Database ? m_Database->GetCurItem("Database") : CHistCBox::StoredCurString("Database");
    // An empty name would only make the server complain.
    if (database.empty() || database == s_UsedDatabase)
        return;
    if (m_Session->Exec("use " + database) == 0) {
        s_UsedDatabase = database;
        m_Main.UpdateTitle();
    }
}

CString CConnectMode::ConnectionSummary() {
    CString user, owner, database;
    if (m_User) {
        user = m_User->currentText().toStdString();
        owner = m_Owner->currentText().toStdString();
        database = m_Database->GetCurItem("Database");
    }
    char text[1200];
    std::snprintf(text, sizeof text, "(%s/%s/%s/%s)", m_DataSource.c_str(), user.c_str(), owner.c_str(),
                  database.c_str());
    m_Summary = text;
    return m_Summary;
}

void CConnectMode::ApplyPermanent() {
    if (!m_User)
        return;
    UpdateData(true);
    const bool permanent = m_Settings.getInt("IsPerm") != 0;
    LockLogin(permanent);
    if (!m_Session)
        return;
    if (!permanent) {
        m_Session->Disconnect();
        m_Main.UpdateTitle();
    } else if (EnsureConnected() != 0) {
        LockLogin(false);
        m_Session->Disconnect();
        m_Main.UpdateTitle();
    }
    if (!m_Session->ownerSupported) {
        m_Owner->SetActiveOrAdd("");
    }
}

void CConnectMode::OnPermanent() {
    if (Refused()) {
        m_Permanent->setChecked(!m_Permanent->isChecked());
        return;
    }
    ApplyPermanent();
}

void CConnectMode::OnTest() {
    if (Refused() || !m_Session)
        return;
    UpdateData(true);
    if (EnsureConnected() == 0)
        ShowMessage("TEST COMPLETED SUCCESSFULLY!", "Connect", MB_OK | MB_ICONINFORMATION, this);
    if (!m_Settings.getInt("IsPerm")) {
        m_Session->Disconnect();
        m_Main.UpdateTitle();
    }
}

void CConnectMode::OnManage() {
    if (Refused() || !m_Session)
        return;
    m_Session->ManageDSN(this);
    m_DSN->FillDSN(DS_TYPE(0), m_DSN->GetCurDSN());
}

CString CConnectMode::LoginKey() const {
    return m_DSN->GetCurDSN() + '\n' + m_User->GetCurString();
}

void CConnectMode::FillSavedPassword() {
    if (!m_Settings.getInt("SavePassword") || !m_Passwords->UsesKeyring())
        return;
    if (auto saved = CPasswordStore::KeyringLookup(m_DSN->GetCurDSN(), m_User->GetCurString())) {
        m_Password = *saved;
        m_PasswordEdit->setText(ToQ(m_Password));
        m_SavedLogin = LoginKey();
        m_SavedPassword = m_Password;
    }
}

void CConnectMode::OnSavePassword(bool save) {
    m_Settings.setInt("SavePassword", save ? 1 : 0);
    if (!save) {
        if (!m_Passwords->ForgetAll())
            m_Main.SetStatusText("The saved passwords could not be removed from the keyring");
        m_SavedLogin.clear();
        m_SavedPassword.clear();
    }
    m_Settings.SaveData();
}

void CConnectMode::OnUserChanged() {
    FillSavedPassword();
}

void CConnectMode::OnDataSourceChanged() {
    ++m_Generation;
    FillSavedPassword();
    // The run's connection is left alone; the box is refilled at the next connection.
    if (m_Main.IsRunning())
        return;
    m_DataSource = m_DSN->GetCurDSN();
    m_Database->FillDatabases(m_Session, "");
    // Not connected, the box still lists the previous data source's database.
    if (!m_Session || !m_Session->connected)
        m_Database->clear();
    m_DatabaseIndex = m_Database->currentIndex();
    m_Main.UpdateTitle();
}

void CConnectMode::OnDatabaseChanged() {
    if (Refused()) {
        m_Database->setCurrentIndex(m_DatabaseIndex);
        return;
    }
    m_DatabaseIndex = m_Database->currentIndex();
    ++m_Generation;
    SelectDatabase(false);
}

void CConnectMode::RestoreLastConnection() {
    if (!m_Settings.getInt("IsPerm"))
        return;
    CString caption = "Permanent connection", question = "Restore last connection?";
    CStringTable::Load(5003, &caption);
    CStringTable::Load(5002, &question);
    CString user, owner, database;
    if (m_User) {
        user = m_User->GetCurString();
        owner = m_Owner->GetCurString();
    }
    database = m_Database ? m_Database->GetCurItem("Database") : CHistCBox::StoredCurString("Database");
    const CString source = m_User ? m_DSN->GetCurDSN() : m_DataSource;
    char text[2048];
    std::snprintf(text, sizeof text, "Data Source = %s\nUser       = %s\nOwner    = %s\nDatabase=%s\n\n%s",
                  source.c_str(), user.c_str(), owner.c_str(), database.c_str(), question.c_str());
    if (ShowMessage(text, caption, MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
        m_Settings.setInt("IsPerm", 0);
        ShowPermanent();
        return;
    }
    if (EnsureConnected() != 0 && m_Session) {
        m_Session->Disconnect();
        m_Main.UpdateTitle();
    }
}
