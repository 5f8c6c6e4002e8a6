// "ODBC Data Sources": lists the user and system data sources and the installed drivers, and adds,
// edits and removes user data sources through the installer library.
#pragma once

#include "CommonTypes.h"
#include "codbc/CDSNAdmin.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class CDSNAdminDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDSNAdminDlg(QWidget* parent = nullptr);

    // Rereads the lists from the configuration files.
    void Refresh();
    // Shows a user data source in the form (the empty name clears it).
    void SelectSource(const CString& source);
    // Starts a new data source of the driver chosen in the form, with its default attributes.
    void New();
    // Adds the form's data source, or rewrites it when it is the one being edited; false (after a
    // message) on failure.
    bool Save();
    // Removes the selected user data source after the user agrees.
    bool Remove();

    QListWidget* userList() const { return m_User; }
    QListWidget* systemList() const { return m_System; }
    QListWidget* driverList() const { return m_Drivers; }
    QLineEdit* nameEdit() const { return m_Name; }
    QComboBox* driverBox() const { return m_Driver; }
    QPlainTextEdit* attributesEdit() const { return m_Attributes; }

private:
    CDSNAdmin m_Admin;
    CString m_Editing; // the user data source shown in the form; empty for a new one
    QListWidget* m_User = nullptr;
    QListWidget* m_System = nullptr;
    QListWidget* m_Drivers = nullptr;
    QLineEdit* m_Name = nullptr;
    QComboBox* m_Driver = nullptr;
    QPlainTextEdit* m_Attributes = nullptr;
};
