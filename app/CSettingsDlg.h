// The program's settings table and the "Settings" dialog in which the user changes the options.
// One object lives from start-up to shut-down; its construction registers every setting.
#pragma once

#include "CommonTypes.h"
#include "services/_Settings.h"
#include "toolkit/CSmDialog.h"

#include <QFont>

class CHistCBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class CSettingsDlg : public CSmDialog {
    Q_OBJECT
public:
    enum {
        IDD = 132,
        IDC_ONTRAY = 1080,
        IDC_NOPARSE = 1127,
        IDC_SEPARATOR = 1300,
        IDC_SYNTAX = 1070,
        IDC_AUTOSAVE = 1033,
        IDC_AS_MIN = 1034,
        IDC_AS_MIN_SPIN = 1129,
        IDC_COUNTTIME = 1082,
        IDC_BLOBASTEXT = 1097,
        IDC_REMOVE = 1134,
        IDC_PLAYSOUND = 1145,
        IDC_SOUNDFILE = 1146,
        IDC_SOUNDBROWSE = 1027,
        IDC_NULLASNULL = 1148,
        IDC_KEEPRESULTS = 1301,
        IDC_COMPLETEONDOT = 1302,
        IDC_NOCONVERSION = 1041,
        IDC_ANSITOOEM = 1042,
        IDC_OEMTOANSI = 1043,
        IDC_FONTSIZE = 1035,
        IDC_FONTSIZE_SPIN = 1130,
        IDC_TABSIZE = 1036,
        IDC_TABSIZE_SPIN = 1131,
        IDC_FONTFACE = 1201,
        IDC_SHOWALLCHARS = 1205,
        IDC_KEYWORDCOLOR = 1202,
        IDC_COMMENTCOLOR = 1074,
        IDC_CONSTCOLOR = 1075,
        IDC_KEYWORDS = 1038,
        IDC_ADD = 1207,
        IDC_DELETE = 1206,
        IDC_SAVE = 1018,
        IDC_CANCEL = 2,
        IDC_HELP = 57670,
    };

    // Ranges of the number fields' arrows.
    static constexpr int kAsMinLow = 0, kAsMinHigh = 60;
    static constexpr int kFontSizeLow = 4, kFontSizeHigh = 120;
    static constexpr int kTabSizeLow = 3, kTabSizeHigh = 10;

    // Registers every setting with its default; nothing is read from the store yet (LoadData).
    explicit CSettingsDlg(QWidget* parent = nullptr);

    _Settings& Settings() { return m_Settings; }
    // The keyword list registered as "keywords".
    CStringArray& Keywords() { return m_Keywords; }
    static CStringArray DefaultKeywords();

    // Values for their users: a stored value outside the arrows' range gives the default, so a
    // typed 0 never reaches the editor or the auto-save timer.
    static int TabSize(_Settings& settings);
    static int FontSize(_Settings& settings);
    // Auto-save period in minutes, 1 to 60.
    static int AutoSaveMinutes(_Settings& settings);
    // "FontFace" at "FontSize"; the system's fixed font when that family is not installed.
    static QFont EditorFont(_Settings& settings);
    // A colour (0x00BBGGRR) from the settings `prefix` + "ColorR", "ColorG", "ColorB", each
    // component kept within 0 to 255; prefix "Keyword", "Comment" or "Const".
    static unsigned Color(_Settings& settings, const CString& prefix);

    // Prepares the dialog for showing (placement, font list, fields) and runs it modally.
    int DoModal();
    // Prepares the dialog for showing without showing it; false when it could not be built.
    bool Open();

    // The dialog's commands, also driven directly by tests.
    void OnSpin(int spinId, int step);
    void OnSoundFile();
    void OnColor(int buttonId);
    void OnAddKeyword();
    // Adds an upper-cased keyword; false (with a message for a duplicate) when it was not added.
    bool AddKeyword(const CString& keyword);
    void OnDeleteKeyword();
    void OnHelp();
    void OnSave();
    // Cancel, the close box: asks about unsaved changes; the dialog stays open on Cancel.
    void reject() override;

    // Shows the settings in the fields (false) or takes the fields into the settings (true).
    void UpdateData(bool save);

protected:
    bool OnInitDialog() override;

private:
    void Register();
    void FillFonts();
    void FillKeywords();
    void TakeAll();
    void ShowColors();
    CString SpinSetting(int spinId, int* low, int* high) const;

    CStringArray m_Keywords;
    CStringArray m_KeywordsAtOpen;
    _Settings m_Settings;

    CHistCBox* m_FontFace = nullptr;
    QComboBox* m_Separator = nullptr;
    QListWidget* m_KeywordList = nullptr;
    QRadioButton* m_NoConversion = nullptr;
    QRadioButton* m_AnsiToOem = nullptr;
    QRadioButton* m_OemToAnsi = nullptr;
};
