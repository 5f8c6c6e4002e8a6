#include "CSettingsDlg.h"

#include "QtText.h"
#include "CKeywordDlg.h"
#include "CMacroTable.h"

#include "services/HtmlHelp.h"
#include "services/ProgramDirectory.h"
#include "toolkit/CDataExchange.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/ControlId.h"
#include "toolkit/MessageBox.h"
#include "toolkit/StdDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const char* const kPlacement = "Settings";

struct Option {
    const char* name;
    S_TYPE type;
    int flags;
    const char* value;
};

// The settings in the order they are registered.
const Option kOptions[] = {
    {"AutoSave", S_INT, 0, "1"},
    {"AS_Min", S_INT, 0, "5"},
    {"Syntax", S_INT, 0, "1"},
    {"CountTime", S_INT, 0, "1"},
    {"OnTray", S_INT, 0, "0"},
    {"BlobAsText", S_INT, 0, "0"},
    {"SavePassword", S_INT, 0, "0"},
    {"NoParse", S_INT, 0, "0"},
    // 0 cuts the script by leading keywords, 1 after semicolons and at GO lines.
    {"Separator", S_INT, 0, "0"},
    {"OemToAnsi", S_INT, 0, "0"},
    {"Remove", S_INT, 0, "0"},
    {"PlaySound", S_INT, 0, "0"},
    {"IsPerm", S_INT, 0, "0"},
    {"NeedRegister", S_INT, 0, "1"},
    {"NullAsNull", S_INT, 0, "1"},
    {"SoundFile", S_STRING, 0, ""},
    {"ProgramPath", S_STRING, 0, ""},
    {"DSN", S_STRING, 0, ""},
    {"ShowAllChars", S_INT, 0, "0"},
    {"TabSize", S_INT, 0, "4"},
    {"FontSize", S_INT, 0, "10"},
    {"FontFace", S_STRING, 0, "Courier New"},
    {"Password", S_STRING, S_ENCODED, ""},
    {"SqlFile", S_STRING, 0, ""},
    {"LastFile", S_STRING, 0, ""},
    {"CursorX", S_INT, 0, "0"},
    {"CursorY", S_INT, 0, "0"},
    {"KeywordColorR", S_INT, 0, "0"},
    {"KeywordColorG", S_INT, 0, "0"},
    {"KeywordColorB", S_INT, 0, "255"},
    {"CommentColorR", S_INT, 0, "0"},
    {"CommentColorG", S_INT, 0, "128"},
    {"CommentColorB", S_INT, 0, "0"},
    {"ConstColorR", S_INT, 0, "255"},
    {"ConstColorG", S_INT, 0, "0"},
    {"ConstColorB", S_INT, 0, "0"},
    {"KeepResults", S_INT, 0, "0"},
    {"KeepResultsLimit", S_INT, 0, "100000"},
    // Typing "." after a name opens the completion list.
    {"CompleteOnDot", S_INT, 0, "1"},
};

// Check boxes and the settings they show.
const struct {
    int id;
    const char* name;
} kChecks[] = {
    {CSettingsDlg::IDC_ONTRAY, "OnTray"},           {CSettingsDlg::IDC_NOPARSE, "NoParse"},
    {CSettingsDlg::IDC_SYNTAX, "Syntax"},           {CSettingsDlg::IDC_AUTOSAVE, "AutoSave"},
    {CSettingsDlg::IDC_COUNTTIME, "CountTime"},     {CSettingsDlg::IDC_BLOBASTEXT, "BlobAsText"},
    {CSettingsDlg::IDC_REMOVE, "Remove"},           {CSettingsDlg::IDC_PLAYSOUND, "PlaySound"},
    {CSettingsDlg::IDC_NULLASNULL, "NullAsNull"},   {CSettingsDlg::IDC_SHOWALLCHARS, "ShowAllChars"},
    {CSettingsDlg::IDC_KEEPRESULTS, "KeepResults"}, {CSettingsDlg::IDC_COMPLETEONDOT, "CompleteOnDot"},
};

const struct {
    int id;
    const char* prefix;
} kColors[] = {
    {CSettingsDlg::IDC_KEYWORDCOLOR, "Keyword"},
    {CSettingsDlg::IDC_COMMENTCOLOR, "Comment"},
    {CSettingsDlg::IDC_CONSTCOLOR, "Const"},
};

template <class W> W* Tag(W* widget, int id) {
    SetControlId(widget, id);
    return widget;
}

QLabel* PlainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* Link(const QString& text, int id, QWidget* parent) {
    auto* label = Tag(new QLabel("<a href=\"#\">" + text + "</a>", parent), id);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    return label;
}

int InRange(int value, int low, int high, int fallback) {
    return value >= low && value <= high ? value : fallback;
}

} // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent) : CSmDialog(IDD, parent), m_Keywords(DefaultKeywords()) {
    setWindowTitle("Settings");
    Register();
}

CStringArray CSettingsDlg::DefaultKeywords() {
    return {"ADD",    "ALL",        "ALTER",  "AND",    "AS",       "BEGIN",  "BETWEEN",   "BY",
            "CHAR",   "CONSTRAINT", "COMMIT", "CREATE", "DATABASE", "DELETE", "DISTINCT",  "DROP",
            "END",    "FOREIGN",    "FROM",   "HAVING", "IN",       "INDEX",  "INTEGER",   "INTO",
            "INSERT", "IS",         "JOIN",   "GO",     "GRANT",    "GROUP",  "KEY",       "LIKE",
            "NOT",    "NULL",       "NUMBER", "ON",     "OR",       "ORDER",  "PROCEDURE", "PRIMARY",
            "REVOKE", "SELECT",     "SET",    "TABLE",  "TRIGGER",  "UNION",  "UNIQUE",    "UPDATE",
            "VALUES", "VARCHAR",    "VIEW",   "WHERE"};
}

void CSettingsDlg::Register() {
    for (const Option& o : kOptions)
        m_Settings.Add(o.name, o.type, o.flags, o.value);
    m_Settings.Add("TmpFile", S_STRING, 0, ProgramDirectory() + "temp.sql");
    m_Settings.Add("AUTOname", S_STRING, 0, ProgramDirectory() + "autosave.tmp");
    CMacroTable::Register(m_Settings);
    m_Settings.AddArray("keywords", &m_Keywords);
}

int CSettingsDlg::TabSize(_Settings& settings) {
    return InRange(settings.getInt("TabSize"), kTabSizeLow, kTabSizeHigh, 4);
}

int CSettingsDlg::FontSize(_Settings& settings) {
    return InRange(settings.getInt("FontSize"), kFontSizeLow, kFontSizeHigh, 10);
}

int CSettingsDlg::AutoSaveMinutes(_Settings& settings) {
    return InRange(settings.getInt("AS_Min"), 1, kAsMinHigh, 5);
}

QFont CSettingsDlg::EditorFont(_Settings& settings) {
    const QString face = ToQ(settings.getStr("FontFace"));
    QFont font =
        QFontDatabase::hasFamily(face) ? QFont(face) : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(FontSize(settings));
    font.setFixedPitch(true);
    return font;
}

unsigned CSettingsDlg::Color(_Settings& settings, const CString& prefix) {
    auto part = [&](const char* c) {
        return static_cast<unsigned>(std::clamp(settings.getInt((prefix + "Color" + c).c_str()), 0, 255));
    };
    return part("R") | (part("G") << 8) | (part("B") << 16);
}

bool CSettingsDlg::OnInitDialog() {
    auto* top = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    top->addLayout(columns);
    auto* left = new QVBoxLayout;
    columns->addLayout(left);

    auto check = [this](int id, const QString& text) { return Tag(new QCheckBox(text, this), id); };
    auto number = [this](int id) {
        auto* edit = Tag(new QLineEdit(this), id);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,4}"), edit));
        edit->setMaximumWidth(60);
        return edit;
    };
    // The arrows beside a number field.
    auto spin = [this](int id) {
        auto* box = Tag(new QWidget(this), id);
        auto* arrows = new QVBoxLayout(box);
        arrows->setContentsMargins(0, 0, 0, 0);
        arrows->setSpacing(0);
        const struct {
            const char* name;
            Qt::ArrowType arrow;
            int step;
        } kinds[] = {{"up", Qt::UpArrow, 1}, {"down", Qt::DownArrow, -1}};
        for (const auto& k : kinds) {
            auto* b = new QToolButton(box);
            b->setObjectName(k.name);
            b->setArrowType(k.arrow);
            b->setAutoRepeat(true);
            b->setFixedSize(16, 11);
            const int step = k.step;
            connect(b, &QToolButton::clicked, this, [this, id, step] { OnSpin(id, step); });
            arrows->addWidget(b);
        }
        return box;
    };

    auto* general = new QGroupBox(" General settings ", this);
    auto* g = new QGridLayout(general);
    g->addWidget(check(IDC_ONTRAY, "Minimi&ze on tray"), 0, 0, 1, 4);
    g->addWidget(check(IDC_NOPARSE, "Disable SQL parsing"), 1, 0, 1, 4);
    g->addWidget(check(IDC_SYNTAX, "&Enable syntax highlighting"), 2, 0, 1, 4);
    g->addWidget(check(IDC_AUTOSAVE, "Autosave &file every"), 3, 0);
    g->addWidget(number(IDC_AS_MIN), 3, 1);
    g->addWidget(spin(IDC_AS_MIN_SPIN), 3, 2);
    g->addWidget(PlainLabel("min", this), 3, 3);
    m_Separator = Tag(new QComboBox(this), IDC_SEPARATOR);
    m_Separator->addItems({"Keywords", "Semicolons and GO lines"});
    auto* separatorLabel = PlainLabel("Statement separator", this);
    separatorLabel->setBuddy(m_Separator);
    g->addWidget(separatorLabel, 4, 0);
    g->addWidget(m_Separator, 4, 1, 1, 3);
    left->addWidget(general);

    auto* dbms = new QGroupBox(" DBMS settings ", this);
    auto* d = new QGridLayout(dbms);
    d->addWidget(check(IDC_COUNTTIME, "Count &time of query execution"), 0, 0, 1, 2);
    d->addWidget(check(IDC_BLOBASTEXT, "&View BLOBs as text"), 1, 0, 1, 2);
    d->addWidget(check(IDC_REMOVE, "Remove ';' terminator before run script"), 2, 0, 1, 2);
    d->addWidget(check(IDC_PLAYSOUND, "Play sound when script finished"), 3, 0, 1, 2);
    d->addWidget(Tag(new QLineEdit(this), IDC_SOUNDFILE), 4, 0);
    auto* browse = Tag(new QPushButton("...", this), IDC_SOUNDBROWSE);
    browse->setMaximumWidth(30);
    connect(browse, &QPushButton::clicked, this, &CSettingsDlg::OnSoundFile);
    d->addWidget(browse, 4, 1);
    d->addWidget(check(IDC_NULLASNULL, "View NULLs as <NULL>"), 5, 0, 1, 2);
    d->addWidget(check(IDC_KEEPRESULTS, "Keep every result"), 6, 0, 1, 2);
    left->addWidget(dbms);

    auto* conversion = new QGroupBox(" Texts convesion ", this);
    auto* c = new QVBoxLayout(conversion);
    m_NoConversion = Tag(new QRadioButton("No conversion", this), IDC_NOCONVERSION);
    m_AnsiToOem = Tag(new QRadioButton("ANSI to OEM conversion", this), IDC_ANSITOOEM);
    m_OemToAnsi = Tag(new QRadioButton("OEM to ANSI conversion", this), IDC_OEMTOANSI);
    c->addWidget(m_NoConversion);
    c->addWidget(m_AnsiToOem);
    c->addWidget(m_OemToAnsi);
    left->addWidget(conversion);
    left->addStretch();

    auto* editor = new QGroupBox(" Varnel (reload required) ", this);
    auto* e = new QGridLayout(editor);
    e->addWidget(PlainLabel("Font size", this), 0, 0);
    e->addWidget(number(IDC_FONTSIZE), 0, 1);
    e->addWidget(spin(IDC_FONTSIZE_SPIN), 0, 2);
    e->addWidget(PlainLabel("points", this), 0, 3);
    e->addWidget(PlainLabel("<Tab> size", this), 1, 0);
    e->addWidget(number(IDC_TABSIZE), 1, 1);
    e->addWidget(spin(IDC_TABSIZE_SPIN), 1, 2);
    e->addWidget(PlainLabel("spaces", this), 1, 3);
    e->addWidget(PlainLabel("Font Face", this), 2, 0);
    m_FontFace = Tag(new CHistCBox(this), IDC_FONTFACE);
    m_FontFace->setEditable(false);
    e->addWidget(m_FontFace, 2, 1, 1, 3);
    e->addWidget(check(IDC_SHOWALLCHARS, "Show all chars"), 3, 0, 1, 4);
    e->addWidget(check(IDC_COMPLETEONDOT, "Complete names after \".\" (Ctrl+Space always)"), 4, 0, 1, 4);
    auto* colours = new QHBoxLayout;
    const QString colourTexts[] = {"Keywords ...", "Comments ...", "Constants ..."};
    for (int i = 0; i < 3; ++i) {
        const int id = kColors[i].id;
        auto* b = Tag(new QPushButton(colourTexts[i], this), id);
        connect(b, &QPushButton::clicked, this, [this, id] { OnColor(id); });
        colours->addWidget(b);
    }
    e->addLayout(colours, 5, 0, 1, 4);
    e->addWidget(PlainLabel("SQL keywords", this), 6, 0, 1, 4);
    m_KeywordList = Tag(new QListWidget(this), IDC_KEYWORDS);
    m_KeywordList->setSortingEnabled(true);
    e->addWidget(m_KeywordList, 7, 0, 1, 4);
    auto* links = new QHBoxLayout;
    auto* add = Link("Add", IDC_ADD, this);
    auto* del = Link("Delete", IDC_DELETE, this);
    connect(add, &QLabel::linkActivated, this, [this] { OnAddKeyword(); });
    connect(del, &QLabel::linkActivated, this, [this] { OnDeleteKeyword(); });
    links->addWidget(add);
    links->addWidget(del);
    links->addStretch();
    e->addLayout(links, 8, 0, 1, 4);
    e->setRowStretch(7, 1);
    columns->addWidget(editor, 1);

    auto* buttons = new QHBoxLayout;
    auto* help = Link("Help", IDC_HELP, this);
    connect(help, &QLabel::linkActivated, this, [this] { OnHelp(); });
    buttons->addWidget(help);
    buttons->addStretch();
    auto* save = Tag(new QPushButton("&Save", this), IDC_SAVE);
    auto* cancel = Tag(new QPushButton("Cancel", this), IDC_CANCEL);
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &CSettingsDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &CSettingsDlg::reject);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    return true;
}

bool CSettingsDlg::Open() {
    if (!Create(x(), y()))
        return false;
    Load(kPlacement);
    FillFonts();
    m_Settings.SaveData();
    const int conversion = m_Settings.getInt("OemToAnsi");
    m_OemToAnsi->setChecked(conversion == -1);
    m_NoConversion->setChecked(conversion == 0);
    m_AnsiToOem->setChecked(conversion == 1);
    if (conversion != -1 && conversion != 0 && conversion != 1) {
        // No button stands for another value; none is checked.
        m_NoConversion->setAutoExclusive(false);
        m_NoConversion->setChecked(false);
        m_NoConversion->setAutoExclusive(true);
    }
    m_Separator->setCurrentIndex(m_Settings.getInt("Separator") == 1 ? 1 : 0);
    UpdateData(false);
    m_KeywordsAtOpen = m_Keywords;
    FillKeywords();
    const QString face = ToQ(m_Settings.getStr("FontFace"));
    int index = m_FontFace->findText(face);
    if (index < 0 && !face.isEmpty()) {
        m_FontFace->insertItem(0, face);
        index = 0;
    }
    m_FontFace->setCurrentIndex(index);
    return true;
}

int CSettingsDlg::DoModal() {
    if (!Open())
        return -1;
    return exec();
}

void CSettingsDlg::FillFonts() {
    m_FontFace->clear();
    QStringList seen;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isFixedPitch(family) && !seen.contains(family)) {
            seen.append(family);
            m_FontFace->addItem(family);
        }
    }
}

void CSettingsDlg::FillKeywords() {
    m_KeywordList->clear();
    for (const CString& word : m_Keywords)
        m_KeywordList->addItem(ToQ(word));
}

void CSettingsDlg::UpdateData(bool save) {
    if (!IsCreated())
        return;
    CDataExchange dx{this, save};
    for (const auto& c : kChecks)
        m_Settings.sDDX_Check(&dx, c.id, c.name);
    m_Settings.sDDX_Int(&dx, IDC_AS_MIN, "AS_Min");
    m_Settings.sDDX_Text(&dx, IDC_SOUNDFILE, "SoundFile");
    m_Settings.sDDX_Int(&dx, IDC_FONTSIZE, "FontSize");
    m_Settings.sDDX_Int(&dx, IDC_TABSIZE, "TabSize");
    if (!save)
        ShowColors();
}

void CSettingsDlg::ShowColors() {
    for (const auto& c : kColors) {
        auto* button = qobject_cast<QPushButton*>(FindControl(this, c.id));
        if (!button)
            continue;
        const unsigned rgb = Color(m_Settings, c.prefix);
        QPixmap swatch(12, 12);
        swatch.fill(QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
        button->setIcon(QIcon(swatch));
    }
}

CString CSettingsDlg::SpinSetting(int spinId, int* low, int* high) const {
    switch (spinId) {
    case IDC_AS_MIN_SPIN:
        *low = kAsMinLow, *high = kAsMinHigh;
        return "AS_Min";
    case IDC_FONTSIZE_SPIN:
        *low = kFontSizeLow, *high = kFontSizeHigh;
        return "FontSize";
    case IDC_TABSIZE_SPIN:
        *low = kTabSizeLow, *high = kTabSizeHigh;
        return "TabSize";
    default:
        return CString();
    }
}

void CSettingsDlg::OnSpin(int spinId, int step) {
    int low = 0, high = 0;
    const CString name = SpinSetting(spinId, &low, &high);
    if (name.empty())
        return;
    UpdateData(true);
    // The arrows stop at the ends of the range; a value of 0 or less is never taken.
    const int value = std::clamp(m_Settings.getInt(name.c_str()) + step, low, high);
    if (value <= 0)
        return;
    m_Settings.setInt(name.c_str(), value);
    UpdateData(false);
}

void CSettingsDlg::OnSoundFile() {
    const auto path = StdDialogs::OpenFile(this, "", m_Settings.getStr("SoundFile"), "WAV files (*.wav)");
    if (!path)
        return;
    m_Settings.setStr("SoundFile", *path);
    UpdateData(false);
}

void CSettingsDlg::OnColor(int buttonId) {
    for (const auto& c : kColors) {
        if (c.id != buttonId)
            continue;
        const CString prefix = CString(c.prefix) + "Color";
        const auto chosen = StdDialogs::ChooseColor(this, Color(m_Settings, c.prefix));
        if (!chosen)
            return;
        m_Settings.setInt((prefix + "R").c_str(), static_cast<int>(*chosen & 0xFF));
        m_Settings.setInt((prefix + "G").c_str(), static_cast<int>((*chosen >> 8) & 0xFF));
        m_Settings.setInt((prefix + "B").c_str(), static_cast<int>((*chosen >> 16) & 0xFF));
        ShowColors();
        return;
    }
}

void CSettingsDlg::OnAddKeyword() {
    if (const auto keyword = CKeywordDlg::Ask(this))
        AddKeyword(*keyword);
}

bool CSettingsDlg::AddKeyword(const CString& keyword) {
    const CString word = FromQ(ToQ(keyword).trimmed());
    if (word.empty())
        return false;
    if (std::find(m_Keywords.begin(), m_Keywords.end(), word) != m_Keywords.end()) {
        ShowMessage(word, "Already in list!", MB_OK | MB_ICONERROR, this);
        return false;
    }
    if (m_KeywordList)
        m_KeywordList->addItem(ToQ(word));
    m_Keywords.push_back(word);
    m_Settings.setArr("keywords", &m_Keywords);
    return true;
}

void CSettingsDlg::OnDeleteKeyword() {
    QListWidgetItem* item = m_KeywordList ? m_KeywordList->currentItem() : nullptr;
    if (!item || !item->isSelected())
        return;
    const CString word = FromQ(item->text());
    if (ShowMessage(word, "Delete keyword?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, this) != IDYES)
        return;
    const auto it = std::find(m_Keywords.begin(), m_Keywords.end(), word);
    if (it != m_Keywords.end())
        m_Keywords.erase(it);
    delete item;
    m_Settings.setArr("keywords", &m_Keywords);
}

void CSettingsDlg::OnHelp() {
    ShowHtmlHelp(this, "settings.htm");
}

void CSettingsDlg::TakeAll() {
    UpdateData(true);
    if (!IsCreated())
        return;
    m_Settings.setStr("FontFace", FromQ(m_FontFace->currentText()));
    int conversion = 0;
    if (m_AnsiToOem->isChecked())
        conversion = 1;
    else if (m_OemToAnsi->isChecked())
        conversion = -1;
    m_Settings.setInt("OemToAnsi", conversion);
    m_Settings.setInt("Separator", m_Separator->currentIndex());
}

void CSettingsDlg::OnSave() {
    TakeAll();
    m_Settings.SaveData();
    Save(kPlacement);
    accept();
}

void CSettingsDlg::reject() {
    UpdateData(true);
    if (m_Settings.NotSaved()) {
        switch (
            ShowMessage("Settings not saved. Save?", "Attention!", MB_YESNOCANCEL | MB_ICONQUESTION, this)) {
        case IDCANCEL:
            return;
        case IDYES:
            OnSave();
            return;
        default:
            // The keyword list goes back to what it was too; the store does not hold removals.
            m_Keywords = m_KeywordsAtOpen;
            FillKeywords();
            m_Settings.LoadData();
            break;
        }
    }
    QDialog::reject();
}
