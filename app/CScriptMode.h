// The Script mode page: the script editor with the file and statement history boxes and a
// toolbar; it owns the script's file (new, open, load, save, print), the auto-save and the
// modified mark it reports to the main window.
#pragma once

#include "CommonTypes.h"
#include "toolkit/CSmDialog.h"

#include <QTimer>

class _Settings;
class CCatalogCache;
class CColorizer;
class CHistCBox;
class ColorEditWnd;
class QToolBar;

class CScriptMode : public CSmDialog {
    Q_OBJECT
public:
    enum {
        IDD = 152,
        IDC_EDITOR = 1001,
        IDC_FILES = 1002,
        IDC_HISTORY = 1003,
        // Commands of the toolbar.
        ID_NEW_SCRIPT = 1062,
        ID_FILE_OPEN = 57672,
        ID_FILE_SAVE = 57673,
        ID_FILE_PRINT = 32785,
        ID_MACROS = 1963,
        // Run the statement at the caret, or the selection.
        ID_RUN_STATEMENT = 32860,
        ID_RUN_SELECTION = 32861,
    };
    // Entries kept by each history box.
    static constexpr int kHistoryLimit = 50;

    // Builds the page at once (hidden, a child widget of `parent`): editor from the settings,
    // the shared colouring engine, macros, caret, both boxes loaded from the settings store.
    // `settings` and `colorizer` must outlive the page.
    CScriptMode(_Settings& settings, CColorizer* colorizer, QWidget* parent = nullptr);
    ~CScriptMode() override;

    void Activate() override;
    void Deactivate() override;

    // Asks about unsaved changes; false when the user cancelled (the caller stops).
    bool QuerySave();
    // Saves to "SqlFile"; non-zero when the script is unnamed or writing failed.
    int SaveScript();
    // Asks for a name and saves; 0 after a save, 1 after Cancel (or a failed write).
    int SaveScriptAs();
    // Writes the editor's text to `path`, keeping the previous version as ".bak"; 0 or -1.
    int WriteScriptFile(CString* path);
    int WriteScriptFile(const CString& path);
    // Loads the file named by "SqlFile"; 0 or -1.
    int LoadScriptFile();
    // Loads the auto-save file "AUTOname" as an unnamed, modified script ("SqlFile" empty);
    // 0 or -1.
    int RestoreAutoSave();
    // Writes the safety copy "AUTOname" (before a run); 0 or -1.
    int WriteAutoSave();

    void NewScript();
    void OpenScript();
    // Prints the script with the file box's text as title.
    void PrintScript();
    // The "Macro definitions" dialog, modal; saved texts take effect at once.
    void EditMacros();
    // Gives the editor the macros as the settings hold them now.
    void InstallMacros();
    // Runs a toolbar command; any other command goes to the editor. False when nobody knew it.
    bool OnCommand(unsigned id);

    void SetModified(bool modified);
    bool IsModified() const { return m_Modified; }

    // how 0: insert at the caret, 1: replace the whole script, 2: append at the end.
    void InsertSql(const CString& text, int how);
    // The editor's whole text.
    CString ScriptText() const;
    // The statement holding the caret (the whole script with `noParse`), or the selected text;
    // marked in the editor. Empty when there is nothing to run.
    CString CaretStatement(bool noParse);
    CString SelectionText();

    // Starts (or restarts) the auto-save timer with a period in minutes; a period outside 1 to 60
    // uses the default. StopAutoSave stops it.
    void StartAutoSave(int minutes);
    void StopAutoSave();
    bool IsAutoSaveRunning() const { return m_AutoSaveTimer.isActive(); }
    int AutoSaveInterval() const { return m_AutoSaveTimer.interval(); }
    // One tick of the auto-save timer: writes "AUTOname" while modified, then restarts the timer
    // with the current "AS_Min" while "AutoSave" is on.
    void OnAutoSaveTimer();

    // Adds an executed statement (multi-line) to the history box in its one-line form.
    void AddToSqlHistory(const CString& statement);
    // Stores both boxes in their sections "FileHistory" and "SqlHistory".
    void SaveHistories();

    // Box selections, as the user makes them (also driven by tests).
    void OnFileSelected(int index);
    void OnHistorySelected(int index);
    // Enter in a box: keeps the caret in "CursorX"/"CursorY" and saves the settings.
    void StoreCaret();

    // The catalog the editor completes names from (borrowed); it reads while the page is shown.
    void SetCatalog(CCatalogCache* catalog);
    // Takes "CompleteOnDot" from the settings.
    void ApplyCompletionSetting();

    ColorEditWnd* Editor() const { return m_Editor; }
    CHistCBox* FileBox() const { return m_FileBox; }
    CHistCBox* HistoryBox() const { return m_HistoryBox; }
    QToolBar* ToolBar() const { return m_ToolBar; }

signals:
    // The caret moved to (column, line), both from 0.
    void CaretMoved(int column, int line);
    // The modified mark changed ("Changed" in the status bar).
    void ModifiedChanged(bool modified);
    // "SqlFile" changed: the window title needs updating.
    void FileChanged();
    // A toolbar button asks to run the statement at the caret or the selection (its command).
    void RunRequested(unsigned id);

protected:
    bool OnInitDialog() override;

private:
    void OnEditorNotify(unsigned command, unsigned code);
    void EmitCaret();
    // Selects the file box entry of `path` without reordering the box.
    void ShowFileInBox(const CString& path);

    _Settings& m_Settings;
    CColorizer* m_Colorizer;
    ColorEditWnd* m_Editor = nullptr;
    CHistCBox* m_FileBox = nullptr;
    CHistCBox* m_HistoryBox = nullptr;
    QToolBar* m_ToolBar = nullptr;
    QTimer m_AutoSaveTimer;
    CCatalogCache* m_Catalog = nullptr;
    bool m_Modified = false;
};
