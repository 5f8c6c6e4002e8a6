// The "Macro definitions" dialog: shows the fixed macros and lets the user write the texts of
// the ten macros on Ctrl-0 to Ctrl-9; saved texts reach the script editor at once.
#pragma once

#include "toolkit/CSmDialog.h"

class _Settings;

class CMacrosDlg : public CSmDialog {
    Q_OBJECT
public:
    enum { IDD = 180, IDC_SAVE = 1018, IDC_CANCEL = 2, IDC_HELP = 57670 };

    struct Row {
        int keyControl;
        int textControl;
        int slot;
    };
    // The rows top to bottom: the fixed macros, then Ctrl-1 to Ctrl-9 and Ctrl-0.
    static const CArray<Row>& Rows();

    CMacrosDlg(_Settings& settings, QWidget* parent = nullptr);

    // Builds the dialog when needed and shows the settings in its fields, without showing it.
    bool Open();
    int DoModal();

    // Takes every field into the settings, saves them and closes.
    void OnSave();
    void OnHelp();
    void UpdateData(bool save);

protected:
    bool OnInitDialog() override;

private:
    _Settings& m_Settings;
};
