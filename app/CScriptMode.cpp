#include "CScriptMode.h"

#include "views/CCatalogCache.h"

#include "CMacroTable.h"
#include "CMacrosDlg.h"
#include "CScriptFile.h"
#include "CSettingsDlg.h"
#include "CToolbarImages.h"
#include "editor/CEditModel.h"
#include "editor/CUtf8.h"
#include "editor/ColorEditWnd.h"
#include "parse/CCaretStatement.h"
#include "parse/CParse.h"
#include "services/CSysReg.h"
#include "services/ProgramDirectory.h"
#include "services/_Settings.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/ControlId.h"
#include "toolkit/MessageBox.h"
#include "toolkit/StdDialogs.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kAttention = "Attention!";
const char* const kError = "Error!";
// The script file dialogs' filter: SQL scripts first, then every file.
const char* const kScriptFilter = "SQL scripts (*.sql);;All Files (*)";
// Where the script file dialogs remember their folder: a value of the profile key itself.
const char* const kDirKey = "OpenSaveDir";

CString FolderOf(const CString& path) {
    const size_t slash = path.rfind('/');
    return slash == CString::npos ? CString() : path.substr(0, slash);
}

CString FileNameOf(const CString& path) {
    const size_t slash = path.rfind('/');
    return slash == CString::npos ? path : path.substr(slash + 1);
}

CString LastFolder() {
    CSysReg reg;
    CString dir;
    reg.Read("", kDirKey, &dir, CString());
    return dir;
}

void RememberFolder(const CString& path) {
    const CString dir = FolderOf(path);
    if (dir.empty())
        return;
    CSysReg reg;
    reg.Save("", kDirKey, dir);
}

// A green triangle for running the statement; with a bar before it for running the selection.
QIcon RunIcon(bool selection) {
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 150, 60));
    const int left = selection ? 6 : 3;
    painter.drawPolygon(QPolygon({QPoint(left, 2), QPoint(left + 10, 8), QPoint(left, 14)}));
    if (selection)
        painter.drawRect(1, 2, 3, 12);
    return QIcon(image);
}

// Forwards Enter in a box's edit field to the page.
class EnterFilter : public QObject {
public:
    EnterFilter(QObject* parent, std::function<void()> onEnter)
        : QObject(parent), m_OnEnter(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_OnEnter();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_OnEnter;
};

} // namespace

CScriptMode::CScriptMode(_Settings& settings, CColorizer* colorizer, QWidget* parent)
    : CSmDialog(IDD, parent, Qt::Widget), m_Settings(settings), m_Colorizer(colorizer) {
    m_AutoSaveTimer.setSingleShot(true);
    connect(&m_AutoSaveTimer, &QTimer::timeout, this, &CScriptMode::OnAutoSaveTimer);
    Create(0, 0);
}

CScriptMode::~CScriptMode() = default;

bool CScriptMode::OnInitDialog() {
    SetModified(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    // The two boxes above the toolbar.
    auto* boxes = new QHBoxLayout;
    m_FileBox = new CHistCBox(this);
    m_HistoryBox = new CHistCBox(this);
    SetControlId(m_FileBox, IDC_FILES);
    SetControlId(m_HistoryBox, IDC_HISTORY);
    m_FileBox->SetLimit(kHistoryLimit);
    m_HistoryBox->SetLimit(kHistoryLimit);
    auto* fileLabel = new QLabel("Fi&le(s)", this);
    auto* historyLabel = new QLabel("Histor&y", this);
    fileLabel->setBuddy(m_FileBox);
    historyLabel->setBuddy(m_HistoryBox);
    boxes->addWidget(fileLabel);
    boxes->addWidget(m_FileBox, 1);
    boxes->addWidget(historyLabel);
    boxes->addWidget(m_HistoryBox, 2);
    layout->addLayout(boxes);

    // Toolbar.
    m_ToolBar = new QToolBar(this);
    struct Button {
        unsigned id;
        const char* tip;
    };
    const Button buttons[] = {
        {ID_NEW_SCRIPT, "New script"},
        {ID_FILE_OPEN, "Open script"},
        {ID_FILE_SAVE, "Save script"},
        {0, nullptr},
        {ColorEditWnd::ID_EDIT_REPLACE, "Search and replace"},
        {ColorEditWnd::ID_EDIT_CUT, "Cut"},
        {ColorEditWnd::ID_EDIT_COPY, "Copy selected"},
        {ColorEditWnd::ID_EDIT_PASTE, "Paste"},
        {ColorEditWnd::ID_EDIT_SELECT_ALL, "Select all"},
        {0, nullptr},
        {ColorEditWnd::ID_EDIT_UNDO, "Undo"},
        {ColorEditWnd::ID_EDIT_REDO, "Redo"},
        {0, nullptr},
        {ID_FILE_PRINT, "Print"},
        {ID_MACROS, "Macro definitions"},
    };
    for (const Button& b : buttons) {
        if (!b.tip) {
            m_ToolBar->addSeparator();
            continue;
        }
        QAction* action = m_ToolBar->addAction(b.tip);
        action->setToolTip(b.tip);
        action->setData(b.id);
        const unsigned id = b.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    CToolbarImages::Apply(m_ToolBar,
                          {"document-new", "document-open", "document-save", "edit-find-replace", "edit-cut",
                           "edit-copy", "edit-paste", "edit-select-all", "edit-undo", "edit-redo",
                           "document-print", "insert-text"},
                          ":/script-toolbar.xpm");
    m_ToolBar->addSeparator();
    for (const Button& b : {Button{ID_RUN_STATEMENT, "Run statement (Ctrl+Enter)"},
                            Button{ID_RUN_SELECTION, "Run selection (Ctrl+Shift+Enter)"}}) {
        QAction* action =
            m_ToolBar->addAction(RunIcon(b.id == ID_RUN_SELECTION), QString(b.tip).section(" (", 0, 0));
        action->setToolTip(b.tip);
        action->setData(b.id);
        const unsigned id = b.id;
        connect(action, &QAction::triggered, this, [this, id] { emit RunRequested(id); });
    }
    layout->addWidget(m_ToolBar);

    // Editor.
    m_Editor = new ColorEditWnd(this);
    const QFont font = CSettingsDlg::EditorFont(m_Settings);
    const CString face = font.family().toStdString();
    m_Editor->Create(QRect(2, 2, 400, 300), IDC_EDITOR, CSettingsDlg::TabSize(m_Settings),
                     CSettingsDlg::FontSize(m_Settings) * 10, face.c_str());
    m_Editor->SetCharXSpacing(1);
    m_Editor->SetShowAllChars(m_Settings.getInt("ShowAllChars"));
    m_Editor->SetColorizer(m_Colorizer);
    m_Editor->SetHighlightColor(0);
    m_Editor->SetReadOnly(false);
    m_Editor->ClearUndoHistory();
    layout->addWidget(m_Editor, 1);
    // Whoever focuses the page (the main window at start-up, a closed dialog) means the editor.
    setFocusProxy(m_Editor);

    CMacroTable::Install(*m_Editor, m_Settings);

    m_Editor->SetCursorPos(
        QPoint(std::max(0, m_Settings.getInt("CursorX")), std::max(0, m_Settings.getInt("CursorY"))));

    m_FileBox->Load("FileHistory");
    m_HistoryBox->Load("SqlHistory");

    m_Editor->AddMenuItem("Undo\tCtrl+Z", ColorEditWnd::ID_EDIT_UNDO, 0);
    m_Editor->AddMenuItem("Redo\tCtrl+Y", ColorEditWnd::ID_EDIT_REDO, 0);
    m_Editor->AddMenuItem("", 0, ColorEditWnd::MF_SEPARATOR);
    m_Editor->AddMenuItem("Cut\tCtrl+X", ColorEditWnd::ID_EDIT_CUT, 0);
    m_Editor->AddMenuItem("Copy\tCtrl+C", ColorEditWnd::ID_EDIT_COPY, 0);
    m_Editor->AddMenuItem("Paste\tCtrl+V", ColorEditWnd::ID_EDIT_PASTE, 0);
    m_Editor->AddMenuItem("", 0, ColorEditWnd::MF_SEPARATOR);
    m_Editor->AddMenuItem("Select &All\tCtrl+A", ColorEditWnd::ID_EDIT_SELECT_ALL, 0);
    m_Editor->AddMenuItem("Search and Replace...\tCtrl+F", ColorEditWnd::ID_EDIT_REPLACE, 0);

    connect(m_Editor, &ColorEditWnd::Notify, this, &CScriptMode::OnEditorNotify);
    connect(m_Editor, &ColorEditWnd::MenuCommand, this, [this](unsigned id) { OnCommand(id); });
    connect(m_FileBox, QOverload<int>::of(&QComboBox::activated), this, &CScriptMode::OnFileSelected);
    connect(m_HistoryBox, QOverload<int>::of(&QComboBox::activated), this, &CScriptMode::OnHistorySelected);
    for (CHistCBox* box : {m_FileBox, m_HistoryBox}) {
        auto* filter = new EnterFilter(this, [this] { StoreCaret(); });
        box->installEventFilter(filter);
        if (box->lineEdit())
            box->lineEdit()->installEventFilter(filter);
    }

    EmitCaret();
    return true;
}

void CScriptMode::Activate() {
    CSmDialog::Activate();
    ApplyCompletionSetting();
    if (m_Catalog)
        m_Catalog->SetActive(true);
    m_Editor->setFocus();
    EmitCaret();
}

void CScriptMode::Deactivate() {
    m_Editor->CloseCompletion();
    if (m_Catalog)
        m_Catalog->SetActive(false);
    CSmDialog::Deactivate();
}

void CScriptMode::SetCatalog(CCatalogCache* catalog) {
    m_Catalog = catalog;
    m_Editor->SetCompletionCatalog(catalog);
    if (catalog) {
        catalog->OnRead = [this] { m_Editor->RefreshCompletion(); };
        catalog->SetActive(isVisible());
    }
}

void CScriptMode::ApplyCompletionSetting() {
    m_Editor->SetCompleteOnDot(m_Settings.getInt("CompleteOnDot") != 0);
}

void CScriptMode::SetModified(bool modified) {
    m_Modified = modified;
    emit ModifiedChanged(modified);
}

CString CScriptMode::ScriptText() const {
    CString text;
    m_Editor->UnloadText(text);
    return text;
}

CString CScriptMode::CaretStatement(bool noParse) {
    const CString text = ScriptText();
    const QPoint caret = m_Editor->GetCursorPos();
    size_t offset = 0;
    for (int line = 0; line < caret.y() && line < m_Editor->GetLineCount(); ++line)
        offset += m_Editor->GetLine(line).size() + 2;
    offset += CUtf8::ByteOffset(m_Editor->GetLine(caret.y()), caret.x());
    const CCaretStatement::Range range = CCaretStatement::Find(text, offset, noParse);
    if (range.Empty()) {
        m_Editor->MarkLines(-1, -1);
        return CString();
    }
    auto lineOf = [&](size_t at) { return int(std::count(text.begin(), text.begin() + long(at), '\n')); };
    m_Editor->MarkLines(lineOf(range.begin), lineOf(range.end - 1));
    return text.substr(range.begin, range.end - range.begin);
}

CString CScriptMode::SelectionText() {
    const CEditModel& model = m_Editor->Model();
    if (!model.HasSelection())
        return CString();
    int sx, sy, ex, ey;
    model.GetSelection(sx, sy, ex, ey);
    // A selection that ends at the start of a line does not take that line.
    m_Editor->MarkLines(sy, ex == 0 && ey > sy ? ey - 1 : ey);
    return model.GetSelectedText();
}

bool CScriptMode::QuerySave() {
    if (!m_Modified || ScriptText().empty())
        return true;
    const int answer =
        ShowMessage("Script not saved, save it?", kAttention, MB_YESNOCANCEL | MB_ICONQUESTION, this);
    if (answer == IDCANCEL) {
        m_Editor->setFocus();
        return false;
    }
    if (answer == IDYES && SaveScript() != 0 && SaveScriptAs() != 0) {
        // The user wanted the script kept: a cancelled or failed Save As stops the caller.
        m_Editor->setFocus();
        return false;
    }
    return true;
}

int CScriptMode::SaveScript() {
    CString path = m_Settings.getStr("SqlFile");
    if (path.empty())
        return 1;
    if (WriteScriptFile(&path) != 0)
        return 1;
    SetModified(false);
    m_FileBox->SetActiveOrAdd(path);
    return 0;
}

int CScriptMode::SaveScriptAs() {
    const CString current = m_Settings.getStr("SqlFile");
    const CString folder = LastFolder();
    CString start = folder;
    if (!current.empty())
        start = folder.empty() ? current : folder + "/" + FileNameOf(current);
    std::optional<CString> chosen = StdDialogs::SaveFile(this, "Save SQL script", start, kScriptFilter);
    if (!chosen || chosen->empty())
        return 1;
    CString path = *chosen;
    // The default extension for a name typed without one. The dialog asked about overwriting the
    // name as typed, so a file of the completed name is asked about here.
    if (FileNameOf(path).find('.') == CString::npos) {
        path += ".sql";
        if (CScriptFile::Exists(path) &&
            ShowMessage(path + " already exists.\nDo you want to replace it?", kAttention,
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, this) != IDYES)
            return 1;
    }
    RememberFolder(path);
    m_Settings.setStr("SqlFile", path);
    emit FileChanged();
    return SaveScript() == 0 ? 0 : 1;
}

int CScriptMode::WriteScriptFile(CString* path) {
    return path ? WriteScriptFile(*path) : -1;
}

int CScriptMode::WriteScriptFile(const CString& path) {
    // The auto-save copy and the files in the program's folder hold whole scripts, passwords in
    // them included: only their owner may read them.
    const bool ownerOnly = path == m_Settings.getStr("AUTOname") || InProgramDirectory(path);
    if (CScriptFile::Write(path, ScriptText(), ownerOnly) != 0) {
        ShowMessage("Can't write file!\nTry to use anotner name or path!", kError, MB_OK | MB_ICONERROR,
                    this);
        return -1;
    }
    return 0;
}

int CScriptMode::LoadScriptFile() {
    const CString path = m_Settings.getStr("SqlFile");
    CString text;
    if (CScriptFile::Read(path, &text) != 0) {
        const CString autoName = m_Settings.getStr("AUTOname");
        if (autoName.empty() || path.find(autoName) == CString::npos)
            ShowMessage("Can't open SQL file!", path, MB_OK | MB_ICONERROR, this);
        m_Settings.setStr("LastFile", "");
        return -1;
    }
    m_Editor->LoadText(text.c_str());
    SetModified(false);
    if (path != m_Settings.getStr("TmpFile"))
        m_FileBox->SetActiveOrAdd(path);
    emit FileChanged();
    return 0;
}

int CScriptMode::RestoreAutoSave() {
    CString text;
    if (CScriptFile::Read(m_Settings.getStr("AUTOname"), &text) != 0)
        return -1;
    m_Editor->LoadText(text.c_str());
    m_Settings.setStr("SqlFile", "");
    m_FileBox->SetActiveOrAdd("");
    SetModified(true);
    emit FileChanged();
    return 0;
}

int CScriptMode::WriteAutoSave() {
    return WriteScriptFile(m_Settings.getStr("AUTOname"));
}

void CScriptMode::NewScript() {
    if (!IsCreated() || !QuerySave())
        return;
    m_Settings.setStr("SqlFile", "");
    emit FileChanged();
    m_FileBox->SetActiveOrAdd("");
    m_Editor->LoadText("");
    m_Editor->setFocus();
}

void CScriptMode::OpenScript() {
    if (QuerySave()) {
        std::optional<CString> chosen =
            StdDialogs::OpenFile(this, "Open SQL script", LastFolder(), kScriptFilter);
        if (chosen && !chosen->empty()) {
            RememberFolder(*chosen);
            const CString previous = m_Settings.getStr("SqlFile");
            m_Settings.setStr("SqlFile", *chosen);
            // A file that could not be read leaves the script under its old name.
            if (LoadScriptFile() != 0)
                m_Settings.setStr("SqlFile", previous);
        }
    }
    m_Editor->setFocus();
}

void CScriptMode::PrintScript() {
    const CString title = m_FileBox->GetCurString();
    m_Editor->Print(title.c_str(), CSettingsDlg::FontSize(m_Settings));
}

void CScriptMode::EditMacros() {
    CMacrosDlg dialog(m_Settings, this);
    if (dialog.DoModal() == QDialog::Accepted)
        InstallMacros();
    m_Editor->setFocus();
}

void CScriptMode::InstallMacros() {
    CMacroTable::Install(*m_Editor, m_Settings);
}

bool CScriptMode::OnCommand(unsigned id) {
    switch (id) {
    case ID_NEW_SCRIPT:
        NewScript();
        return true;
    case ID_FILE_OPEN:
        OpenScript();
        return true;
    case ID_FILE_SAVE:
        // An unnamed script asks for its name, as the menu's Save does.
        if (SaveScript() != 0 && m_Settings.getStr("SqlFile").empty())
            SaveScriptAs();
        return true;
    case ID_FILE_PRINT:
        PrintScript();
        return true;
    case ID_MACROS:
        EditMacros();
        return true;
    case ColorEditWnd::CMD_CARET_MOVED:
    case ColorEditWnd::CMD_USER_CHANGE:
        OnEditorNotify(id, 0);
        return true;
    default:
        return m_Editor->DoCommand(id);
    }
}

void CScriptMode::OnEditorNotify(unsigned command, unsigned) {
    if (command == ColorEditWnd::CMD_CARET_MOVED)
        EmitCaret();
    else if (command == ColorEditWnd::CMD_USER_CHANGE)
        SetModified(true);
}

void CScriptMode::EmitCaret() {
    const QPoint caret = m_Editor->GetCursorPos();
    emit CaretMoved(caret.x(), caret.y());
}

void CScriptMode::InsertSql(const CString& text, int how) {
    switch (how) {
    case 0:
        m_Editor->SetAnchorPos(m_Editor->GetCursorPos());
        m_Editor->ReplaceSelText(text.c_str());
        break;
    case 1:
        m_Editor->LoadText(text.c_str());
        break;
    case 2:
        m_Editor->LoadText((ScriptText() + text).c_str());
        break;
    default:
        return;
    }
    SetModified(true);
}

void CScriptMode::StartAutoSave(int minutes) {
    if (minutes < 1 || minutes > CSettingsDlg::kAsMinHigh)
        minutes = 5;
    m_AutoSaveTimer.start(minutes * 60 * 1000);
}

void CScriptMode::StopAutoSave() {
    m_AutoSaveTimer.stop();
}

void CScriptMode::OnAutoSaveTimer() {
    if (m_Modified)
        WriteAutoSave();
    if (m_Settings.getInt("AutoSave") != 0)
        StartAutoSave(CSettingsDlg::AutoSaveMinutes(m_Settings));
}

void CScriptMode::AddToSqlHistory(const CString& statement) {
    m_HistoryBox->SetActiveOrAdd(CParse::Encoded(statement.c_str()));
}

void CScriptMode::SaveHistories() {
    m_FileBox->Save("FileHistory");
    m_HistoryBox->Save("SqlHistory");
}

void CScriptMode::OnFileSelected(int index) {
    if (index < 0 || index >= m_FileBox->count())
        return;
    const CString path = m_FileBox->FullText(index);
    const CString current = m_Settings.getStr("SqlFile");
    if (path != current) {
        if (ShowMessage("Load '" + path + "' ?", kAttention, MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
            ShowFileInBox(current);
        } else if (!QuerySave()) {
            ShowFileInBox(current);
            return;
        } else {
            m_Settings.setStr("SqlFile", path);
            // A file that could not be read leaves the script under its old name.
            if (LoadScriptFile() != 0) {
                m_Settings.setStr("SqlFile", current);
                ShowFileInBox(current);
            }
        }
    }
    m_Editor->setFocus();
}

void CScriptMode::ShowFileInBox(const CString& path) {
    for (int i = 0; i < m_FileBox->count(); ++i) {
        if (m_FileBox->FullText(i) == path) {
            m_FileBox->setCurrentIndex(i);
            return;
        }
    }
}

void CScriptMode::OnHistorySelected(int index) {
    if (index < 0 || index >= m_HistoryBox->count())
        return;
    const CString statement = CParse::Decoded(m_HistoryBox->FullText(index).c_str());
    m_Editor->LoadText(statement.c_str());
    SetModified(true);
    m_Editor->setFocus();
}

void CScriptMode::StoreCaret() {
    const QPoint caret = m_Editor->GetCursorPos();
    m_Settings.setInt("CursorX", caret.x());
    m_Settings.setInt("CursorY", caret.y());
    m_Settings.SaveData();
}
