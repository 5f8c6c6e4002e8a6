// The Connect mode page: the login fields, the data-source information, the permanent-connection
// option, and the program's one entry point for connecting the session.
#pragma once

#include "CommonTypes.h"
#include "toolkit/CSmDialog.h"

#include <memory>

class _Settings;
class CPasswordStore;
class CDB;
class CDBCBox;
class CHistCBox;
class CListCtrl;
class CMainWindow;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CConnectMode : public CSmDialog {
    Q_OBJECT
public:
    enum {
        IDD = 164,
        IDC_USER = 1008,
        IDC_PASSWORD = 1009,
        IDC_OWNER = 1030,
        IDC_DATABASE = 1031,
        IDC_INFO = 1038,
        IDC_DSN = 1039,
        IDC_MANAGE = 1063,
        IDC_TEST = 1064,
        IDC_SAVEPASSWORD = 1099,
        IDC_DBMS = 1124,
        IDC_SERVER = 1126,
        IDC_DRIVER = 1128,
        IDC_MANAGER = 1130,
        IDC_DATABASE_LABEL = 1157,
        IDC_OWNER_LABEL = 1167,
        IDC_PERMANENT = 1186,
    };

    // `main`, `settings` and the session must outlive the page; the session may be null.
    CConnectMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent = nullptr);
    ~CConnectMode() override;

    // Shows the page, then applies the permanent-connection option.
    void Activate() override;
    // Stores the histories, the password (when it is to be saved) and "DSN", then hides.
    void Deactivate() override;

    // 0 when the session is connected afterwards; otherwise the code of the failed connection,
    // after the driver's message was shown and "IsPerm" cleared.
    int EnsureConnected();
    // "(data source/user/owner/database)".
    CString ConnectionSummary();
    // At start-up with "IsPerm" on: asks whether to connect as last time.
    void RestoreLastConnection();
    // Raised whenever the data source, user, owner or database changes.
    int ConnectionGeneration() const { return m_Generation; }
    CString DataSource() const { return m_DataSource; }

    // The controls' actions, as a click or a choice in the box starts them.
    void OnPermanent();
    void OnTest();
    void OnManage();
    void OnDataSourceChanged();
    void OnDatabaseChanged();
    // Unticking "Save password" removes the saved passwords at once.
    void OnSavePassword(bool save);
    // Another user chosen from the user box's list.
    void OnUserChanged();

    CHistCBox* UserBox() const { return m_User; }
    CHistCBox* OwnerBox() const { return m_Owner; }
    CDBCBox* DataSourceBox() const { return m_DSN; }
    CDBCBox* DatabaseBox() const { return m_Database; }
    QLineEdit* PasswordField() const { return m_PasswordEdit; }
    CListCtrl* InfoList() const { return m_Info; }
    // Shown beside "Save password" when no keyring answers.
    QLabel* KeyringNote() const { return m_KeyringNote; }

protected:
    bool OnInitDialog() override;

private:
    // Controls <-> the check-box settings and the password.
    void UpdateData(bool save);
    // The check boxes from the settings, and the login fields locked while the option is on.
    void ShowPermanent();
    void LockLogin(bool permanent);
    void ApplyPermanent();
    void FillInfo();
    void FillTerms();
    // "use" of the database box's choice on a Microsoft SQL Server connection.
    void SelectDatabase(bool newConnection);
    // True (after a note in the status bar) while a script is running.
    bool Refused();
    // The keyring's password of the chosen data source and user, when it holds one, into the field.
    void FillSavedPassword();
    CString LoginKey() const;

    CMainWindow& m_Main;
    _Settings& m_Settings;
    CDB* m_Session;
    CString m_DataSource;
    CString m_Password;
    CString m_Summary;
    CString m_SeenOwner;
    CString m_SeenUser;
    int m_Generation = 0;
    int m_DatabaseIndex = -1;
    std::unique_ptr<CPasswordStore> m_Passwords;
    // The login and password the store last gave or took, so leaving the page unchanged writes nothing.
    CString m_SavedLogin;
    CString m_SavedPassword;

    CHistCBox* m_User = nullptr;
    QLineEdit* m_PasswordEdit = nullptr;
    CDBCBox* m_DSN = nullptr;
    CDBCBox* m_Database = nullptr;
    CHistCBox* m_Owner = nullptr;
    QLabel* m_DatabaseLabel = nullptr;
    QLabel* m_OwnerLabel = nullptr;
    CListCtrl* m_Info = nullptr;
    QLineEdit* m_Fields[4] = {};
    QCheckBox* m_SavePassword = nullptr;
    QLabel* m_KeyringNote = nullptr;
    QCheckBox* m_Permanent = nullptr;
};
