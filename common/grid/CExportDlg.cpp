#include "grid/CExportDlg.h"

#include "grid/CExcelBook.h"
#include "services/HtmlHelp.h"
#include "toolkit/MessageBox.h"
#include "toolkit/CDataExchange.h"
#include "toolkit/ControlId.h"
#include "toolkit/StdDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
template <typename W> W* Tag(W* w, int id) {
    SetControlId(w, id);
    return w;
}

QWidget* Find(const QWidget* dlg, int id) {
    return FindControl(dlg, id);
}

bool Checked(const QWidget* dlg, int id) {
    auto* b = qobject_cast<QAbstractButton*>(Find(dlg, id));
    return b && b->isChecked();
}

void Enable(const QWidget* dlg, int id, bool on) {
    if (QWidget* w = Find(dlg, id))
        w->setEnabled(on);
}

// "desc|pattern|desc|pattern||" as a file dialog filter; "*.*" means every file.
QString QtFilter(const CString& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        const QString pattern = parts[i + 1] == "*.*" ? QString("*") : parts[i + 1];
        out << parts[i] + " (" + pattern + ")";
    }
    return out.join(";;");
}
} // namespace

CExportDlg::CExportDlg(CExport& exporter, QWidget* parent)
    : CSmDialog(IDD_EXPORT, parent), m_Export(exporter) {
    setWindowTitle("Export");
    // The export object's current choices are the defaults; a preset object keeps them.
    const CExport::Options& o = m_Export.GetOptions();
    m_Options.Section(CExport::kSection);
    auto addInt = [&](const char* name, int value) { m_Options.Add(name, S_INT, 0, std::to_string(value)); };
    addInt("toText", o.toText);
    addInt("toSQL", o.toSQL);
    addInt("toHTML", o.toHTML);
    addInt("toExcel", o.toExcel);
    addInt("toXML", o.toXML);
    addInt("WithDelim", o.WithDelim);
    addInt("AllData", o.AllData);
    addInt("SelOnly", o.SelOnly);
    addInt("WithColNames", o.WithColNames);
    m_Options.Add("FileName", S_STRING, 0, o.FileName);
    m_Options.Add("Separator", S_STRING, 0, o.Separator);
    addInt("Terminate", o.Terminate);
}

bool CExportDlg::OnInitDialog() {
    auto* layout = new QVBoxLayout(this);

    auto* target = new QGroupBox(" Target format ", this);
    auto* targetLayout = new QVBoxLayout(target);
    const std::pair<int, const char*> targets[] = {{IDC_EXP_TEXT, "to &text file"},
                                                   {IDC_EXP_SQL, "set of &SQL statements"},
                                                   {IDC_EXP_HTML, "HTML"},
                                                   {IDC_EXP_XML, "XML"},
                                                   {IDC_EXP_EXCEL, "Microsoft Excel"}};
    for (const auto& [id, text] : targets) {
        auto* radio = Tag(new QRadioButton(text, target), id);
        targetLayout->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, &CExportDlg::OnSql);
    }
    layout->addWidget(target);

    auto* block = new QGroupBox(" Export for ", this);
    auto* blockLayout = new QVBoxLayout(block);
    blockLayout->addWidget(Tag(new QRadioButton("All data", block), IDC_EXP_ALLDATA));
    blockLayout->addWidget(Tag(new QRadioButton("Selected items only", block), IDC_EXP_SELONLY));
    layout->addWidget(block);

    auto* options = new QGroupBox(" Export options ", this);
    auto* grid = new QGridLayout(options);
    auto* delim = Tag(new QRadioButton("&With delimiter", options), IDC_EXP_WITHDELIM);
    auto* fixed = Tag(new QRadioButton("Fixed column widt&h", options), IDC_EXP_FIXED);
    connect(delim, &QRadioButton::clicked, this, &CExportDlg::OnWithDelim);
    connect(fixed, &QRadioButton::clicked, this, &CExportDlg::OnWithDelim);
    m_pSeparator = Tag(new QComboBox(options), IDC_EXP_SEPARATOR);
    m_pSeparator->setEditable(true);
    m_pSeparator->addItems({",", "<tab>"}); // sorted
    grid->addWidget(delim, 0, 0);
    grid->addWidget(m_pSeparator, 0, 1);
    grid->addWidget(fixed, 1, 0);
    grid->addWidget(Tag(new QCheckBox("&First row contains column's name", options), IDC_EXP_COLNAMES), 2, 0,
                    1, 2);
    grid->addWidget(Tag(new QCheckBox("E&nd each SQL statement with \";\"", options), IDC_EXP_TERMINATE), 3,
                    0, 1, 2);
    auto* fileLabel = new QLabel("Fi&le", options);
    auto* file = Tag(new QLineEdit(options), IDC_EXP_FILE);
    // Room for a whole path: the field takes the dialog's width.
    file->setMinimumWidth(file->fontMetrics().averageCharWidth() * 80);
    file->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    fileLabel->setBuddy(file);
    auto* browse = Tag(new QPushButton("&Browse...", options), IDC_EXP_BROWSE);
    connect(browse, &QPushButton::clicked, this, &CExportDlg::OnBrowse);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(file, 1);
    fileRow->addWidget(browse);
    grid->addLayout(fileRow, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(options);

    auto* buttons = new QHBoxLayout;
    auto* help = Tag(new QLabel("<a href=\"help\">Help</a>", this), IDC_EXP_HELP);
    connect(help, &QLabel::linkActivated, this, [this] { ShowHtmlHelp(this, "editor.htm"); });
    auto* go = Tag(new QPushButton("Go!", this), IDC_EXP_GO);
    go->setDefault(true);
    auto* cancel = Tag(new QPushButton("Cancel", this), IDC_EXP_CANCEL);
    connect(go, &QPushButton::clicked, this, &CExportDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(go);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    if (!m_Export.IsPreset())
        m_Options.LoadData();
    Load(CString(CExport::kSection));
    DoDataExchange(false);
    OnSql();
    OnWithDelim();
    // The separator always starts as a tab.
    m_pSeparator->setCurrentIndex(m_pSeparator->findText("<tab>"));
    return true;
}

void CExportDlg::DoDataExchange(bool saveAndValidate) {
    CDataExchange dx{this, saveAndValidate};
    m_Options.sDDX_Check(&dx, IDC_EXP_TEXT, "toText");
    m_Options.sDDX_Check(&dx, IDC_EXP_SQL, "toSQL");
    m_Options.sDDX_Check(&dx, IDC_EXP_HTML, "toHTML");
    m_Options.sDDX_Check(&dx, IDC_EXP_XML, "toXML");
    m_Options.sDDX_Check(&dx, IDC_EXP_EXCEL, "toExcel");
    m_Options.sDDX_Check(&dx, IDC_EXP_ALLDATA, "AllData");
    m_Options.sDDX_Check(&dx, IDC_EXP_SELONLY, "SelOnly");
    m_Options.sDDX_Check(&dx, IDC_EXP_WITHDELIM, "WithDelim");
    m_Options.sDDX_Check(&dx, IDC_EXP_COLNAMES, "WithColNames");
    m_Options.sDDX_Text(&dx, IDC_EXP_FILE, "FileName");
    m_Options.sDDX_Text(&dx, IDC_EXP_SEPARATOR, "Separator");
    m_Options.sDDX_Check(&dx, IDC_EXP_TERMINATE, "Terminate");
    if (!saveAndValidate) {
        if (auto* fixed = qobject_cast<QAbstractButton*>(Find(this, IDC_EXP_FIXED)))
            fixed->setChecked(!m_Options.getInt("WithDelim"));
        return;
    }
    CExport::Options& o = m_Export.GetOptions();
    o.toText = m_Options.getInt("toText");
    o.toSQL = m_Options.getInt("toSQL");
    o.toHTML = m_Options.getInt("toHTML");
    o.toXML = m_Options.getInt("toXML");
    o.toExcel = m_Options.getInt("toExcel");
    o.AllData = m_Options.getInt("AllData");
    o.SelOnly = m_Options.getInt("SelOnly");
    o.WithDelim = m_Options.getInt("WithDelim");
    o.WithColNames = m_Options.getInt("WithColNames");
    o.FileName = m_Options.getStr("FileName");
    o.Separator = m_Options.getStr("Separator");
    o.Terminate = m_Options.getInt("Terminate");
    m_Export.SetSeparatorFromOptions();
}

void CExportDlg::OnSql() {
    const bool sql = Checked(this, IDC_EXP_SQL), xml = Checked(this, IDC_EXP_XML);
    const bool text = Checked(this, IDC_EXP_TEXT);
    Enable(this, IDC_EXP_COLNAMES, !sql && !xml);
    Enable(this, IDC_EXP_WITHDELIM, text);
    Enable(this, IDC_EXP_FIXED, text);
    Enable(this, IDC_EXP_SEPARATOR, text && Checked(this, IDC_EXP_WITHDELIM));
    Enable(this, IDC_EXP_TERMINATE, sql);
    // The workbook is written to the file too, then opened with the desktop's application for it.
    Enable(this, IDC_EXP_FILE, true);
    Enable(this, IDC_EXP_BROWSE, true);
}

void CExportDlg::OnWithDelim() {
    Enable(this, IDC_EXP_SEPARATOR, Checked(this, IDC_EXP_WITHDELIM) && Checked(this, IDC_EXP_TEXT));
}

CString CExportDlg::FilterText() const {
    switch (m_Export.GetMode()) {
    case EXP_TEXT:
        return "Text files (*.txt)|*.txt|All Files(*.*)|*.*||";
    case EXP_SQL:
        return "SQL scripts (*.sql)|*.sql|All Files(*.*)|*.*||";
    case EXP_XML:
        return "XML documents (*.xml)|*.xml|All Files(*.*)|*.*||";
    case EXP_EXCEL:
        return "Excel workbooks (*.xlsx)|*.xlsx|All Files(*.*)|*.*||";
    default:
        return "HTML docunts (*.htm)|*.htm|All Files(*.*)|*.*||";
    }
}

void CExportDlg::OnBrowse() {
    DoDataExchange(true);
    const auto path =
        StdDialogs::SaveFile(this, "", m_Export.GetOptions().FileName, QtFilter(FilterText()).toStdString());
    if (!path)
        return;
    if (auto* file = qobject_cast<QLineEdit*>(Find(this, IDC_EXP_FILE)))
        file->setText(QString::fromStdString(*path));
}

void CExportDlg::StoreAndClose() {
    m_Options.SaveData();
    Save(CString(CExport::kSection));
    accept();
}

void CExportDlg::OnOK() {
    DoDataExchange(true);
    const EXP_RESULT result = m_Export.Run();
    CExport::ShowResult(result, this);
    if (result == EXP_NO_FILE_NAME || result == EXP_NO_EXCEL)
        return;
    if (result == EXP_DONE && m_Export.GetMode() == EXP_EXCEL) {
        const CString& path = m_Export.GetOptions().FileName;
        if (!CExcelBook::Open(path))
            ShowMessage("No application to open the workbook was found.\nIt was written to " + path + ".",
                        "Export", MB_OK | MB_ICONINFORMATION, this);
    }
    StoreAndClose();
}
