// The editor's "Search and Replace" dialog: finds the next occurrence, replaces the selection or
// replaces every occurrence in the editor it belongs to.
#pragma once

#include "CommonTypes.h"

#include <QDialog>

class ColorEditWnd;
class QCheckBox;
class QComboBox;
class QPushButton;

class SearchAndReplaceView : public QDialog {
    Q_OBJECT

public:
    // Control identifiers.
    enum : int {
        IDC_FIND = 1003,
        IDC_REPLACE = 1026,
        IDC_WHOLE = 1011,
        IDC_MATCHCASE = 1009,
        IDC_REGEXP = 1010,
        IDC_NEXT = 1008,
        IDC_REPLACE_ONE = 1006,
        IDC_REPLACE_ALL = 1007,
    };

    explicit SearchAndReplaceView(ColorEditWnd* editor);
    ~SearchAndReplaceView() override;

    void SaveHistory();
    void OnNext();
    void OnReplaceOne();
    void OnReplaceAll();

    QComboBox* FindBox() const { return m_FindBox; }
    QComboBox* ReplaceBox() const { return m_ReplaceBox; }
    QCheckBox* WholeBox() const { return m_Whole; }
    QCheckBox* MatchCaseBox() const { return m_MatchCase; }

private:
    ColorEditWnd* m_Editor;
    QComboBox* m_FindBox = nullptr;
    QComboBox* m_ReplaceBox = nullptr;
    QCheckBox* m_Whole = nullptr;
    QCheckBox* m_MatchCase = nullptr;
    QCheckBox* m_RegExp = nullptr;
};
