// The editor's "Search and Replace" dialog: finds the next occurrence, replaces the selection or
// replaces every occurrence in the editor it belongs to. Its two histories, its two options and
// its placement are kept in the settings store.
#pragma once

#include "CommonTypes.h"
#include "services/_Settings.h"
#include "toolkit/CSmDialog.h"

class CHistCBox;
class ColorEditWnd;
class QCheckBox;

class SearchAndReplaceView : public CSmDialog {
    Q_OBJECT

public:
    // Dialog template and control identifiers.
    enum : int {
        IDD_SEARCH = 129,
        IDC_FIND = 1003,
        IDC_REPLACE = 1026,
        IDC_WHOLE = 1011,
        IDC_MATCHCASE = 1009,
        IDC_REGEXP = 1010,
        IDC_NEXT = 1008,
        IDC_REPLACE_ONE = 1006,
        IDC_REPLACE_ALL = 1007,
        IDC_CLOSE = 2,
    };

    explicit SearchAndReplaceView(ColorEditWnd* editor);
    ~SearchAndReplaceView() override;
    SearchAndReplaceView(const SearchAndReplaceView&) = delete;
    SearchAndReplaceView& operator=(const SearchAndReplaceView&) = delete;

    // Fills both histories, the options and the placement from the store.
    void Load();
    // Takes the check boxes into the options and stores the histories, the options and the placement.
    void Store();
    // Makes the current text of each box the top entry of its history.
    void SaveHistory();
    void OnNext();
    void OnReplaceOne();
    void OnReplaceAll();

    CHistCBox* FindBox() const { return m_FindBox; }
    CHistCBox* ReplaceBox() const { return m_ReplaceBox; }
    QCheckBox* WholeBox() const { return m_Whole; }
    QCheckBox* MatchCaseBox() const { return m_MatchCase; }
    QCheckBox* RegExpBox() const { return m_RegExp; }

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;

public slots:
    void done(int result) override;

private:
    ColorEditWnd* m_Editor;
    _Settings m_Settings;
    CHistCBox* m_FindBox = nullptr;
    CHistCBox* m_ReplaceBox = nullptr;
    QCheckBox* m_Whole = nullptr;
    QCheckBox* m_MatchCase = nullptr;
    QCheckBox* m_RegExp = nullptr;
    bool m_Loaded = false;
};
