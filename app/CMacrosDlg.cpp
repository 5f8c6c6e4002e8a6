#include "CMacrosDlg.h"

#include "CMacroTable.h"

#include "services/HtmlHelp.h"
#include "services/_Settings.h"
#include "toolkit/CDataExchange.h"
#include "toolkit/ControlId.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

const CArray<CMacrosDlg::Row>& CMacrosDlg::Rows() {
    static const CArray<Row> rows = {
        {1152, 1153, 0},  {1156, 1157, 1},  {1154, 1155, 2},  {1158, 1159, 3},  {1180, 1181, 4},
        {1160, 1161, 6},  {1164, 1165, 7},  {1162, 1163, 8},  {1166, 1167, 9},  {1168, 1169, 10},
        {1170, 1171, 11}, {1172, 1173, 12}, {1174, 1175, 13}, {1176, 1177, 14}, {1178, 1179, 5},
    };
    return rows;
}

CMacrosDlg::CMacrosDlg(_Settings& settings, QWidget* parent) : CSmDialog(IDD, parent), m_Settings(settings) {
    setWindowTitle("Macro definitions");
}

bool CMacrosDlg::OnInitDialog() {
    auto* top = new QVBoxLayout(this);
    QGridLayout* grid = nullptr;
    int line = 0;
    for (const Row& row : Rows()) {
        const bool fixed = row.slot < CMacroTable::kPredefined;
        if (row.slot == 0 || row.slot == 6) {
            auto* group = new QGroupBox(fixed ? " Predefined macros " : " User-defined macros ", this);
            grid = new QGridLayout(group);
            grid->addWidget(new QLabel("Hot key", group), 0, 0);
            grid->addWidget(new QLabel("Macro definition", group), 0, 1);
            grid->setColumnStretch(1, 1);
            top->addWidget(group);
            line = 1;
        }
        auto* key = new QLineEdit(this);
        SetControlId(key, row.keyControl);
        key->setReadOnly(true);
        key->setMaximumWidth(70);
        auto* text = new QLineEdit(this);
        SetControlId(text, row.textControl);
        text->setReadOnly(fixed);
        grid->addWidget(key, line, 0);
        grid->addWidget(text, line, 1);
        ++line;
    }
    auto* buttons = new QHBoxLayout;
    auto* help = new QLabel("<a href=\"#\">Help</a>", this);
    SetControlId(help, IDC_HELP);
    help->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(help, &QLabel::linkActivated, this, [this] { OnHelp(); });
    buttons->addWidget(help);
    buttons->addStretch();
    auto* save = new QPushButton("&Save", this);
    SetControlId(save, IDC_SAVE);
    save->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    SetControlId(cancel, IDC_CANCEL);
    connect(save, &QPushButton::clicked, this, &CMacrosDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &CMacrosDlg::reject);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    resize(520, sizeHint().height());
    return true;
}

bool CMacrosDlg::Open() {
    if (!Create(x(), y()))
        return false;
    UpdateData(false);
    return true;
}

int CMacrosDlg::DoModal() {
    if (!Open())
        return -1;
    return exec();
}

void CMacrosDlg::UpdateData(bool save) {
    if (!IsCreated())
        return;
    CDataExchange dx{this, save};
    for (const Row& row : Rows()) {
        m_Settings.sDDX_Text(&dx, row.keyControl, CMacroTable::KeySetting(row.slot).c_str());
        m_Settings.sDDX_Text(&dx, row.textControl, CMacroTable::TextSetting(row.slot).c_str());
    }
}

void CMacrosDlg::OnSave() {
    UpdateData(true);
    m_Settings.SaveData();
    accept();
}

void CMacrosDlg::OnHelp() {
    ShowHtmlHelp(this, "macros.htm");
}
