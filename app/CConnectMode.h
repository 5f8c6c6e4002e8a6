// The Connect mode page: the program's one entry point for connecting the session, the connection
// summary shown in the window title and the start-up offer to restore a permanent connection.
#pragma once

#include "CommonTypes.h"
#include "toolkit/CSmDialog.h"

class _Settings;
class CDB;
class QLabel;

class CConnectMode : public CSmDialog {
    Q_OBJECT
public:
    enum { IDD = 164 };

    // `settings` must outlive the page; the session may be null (then nothing connects).
    CConnectMode(_Settings& settings, CDB* session, QWidget* parent = nullptr);

    // Shows the page, then applies the permanent-connection option.
    void Activate() override;
    // Keeps the data source in "DSN", then hides.
    void Deactivate() override;

    // 0 when the session is connected afterwards; otherwise the code of the failed connection,
    // after the driver's message was shown and "IsPerm" cleared.
    int EnsureConnected();
    // "(data source/user/owner/database)".
    CString ConnectionSummary();
    // At start-up with "IsPerm" on: asks whether to connect as last time.
    void OfferLastConnection();
    // Raised whenever the data source, user, owner or database changes.
    int ConnectionGeneration() const { return m_Generation; }
    CString DataSource() const { return m_DataSource; }

protected:
    bool OnInitDialog() override;

private:
    void ShowState();

    _Settings& m_Settings;
    CDB* m_Session;
    CString m_DataSource;
    CString m_User;
    CString m_Owner;
    CString m_Database;
    CString m_Summary;
    int m_Generation = 0;
    QLabel* m_State = nullptr;
};
