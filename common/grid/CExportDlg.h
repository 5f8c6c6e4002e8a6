// The "Export" dialog over a result's export object: target, block and text options, the target
// file, and "Go!" to run the export. Its options live in the settings section "Export".
#pragma once

#include "grid/CExport.h"
#include "services/_Settings.h"
#include "toolkit/CSmDialog.h"

class QComboBox;

// Control identifiers of the dialog.
enum : int {
    IDD_EXPORT = 160,
    IDC_EXP_TEXT = 1601,
    IDC_EXP_SQL,
    IDC_EXP_HTML,
    IDC_EXP_XML,
    IDC_EXP_EXCEL,
    IDC_EXP_ALLDATA,
    IDC_EXP_SELONLY,
    IDC_EXP_WITHDELIM,
    IDC_EXP_FIXED,
    IDC_EXP_SEPARATOR,
    IDC_EXP_COLNAMES,
    IDC_EXP_FILE,
    IDC_EXP_BROWSE,
    IDC_EXP_GO,
    IDC_EXP_CANCEL,
    IDC_EXP_HELP,
    IDC_EXP_TERMINATE,
};

class CExportDlg : public CSmDialog {
    Q_OBJECT
public:
    CExportDlg(CExport& exporter, QWidget* parent = nullptr);

    // Moves values between the controls, the options and the export object; reading the controls
    // also sets the separator.
    void DoDataExchange(bool saveAndValidate);
    // Enabling rules for the chosen target.
    void OnSql();
    void OnWithDelim();
    void OnBrowse();
    // Runs the export; the dialog closes unless the file name is missing or the spreadsheet
    // application couldn't be started.
    void OnOK();
    // The save-file filter for the chosen target, as description|pattern pairs.
    CString FilterText() const;

protected:
    bool OnInitDialog() override;

private:
    void StoreAndClose();

    CExport& m_Export;
    _Settings m_Options;
    QComboBox* m_pSeparator = nullptr;
};
