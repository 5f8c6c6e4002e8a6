#include "editor/SearchAndReplaceView.h"

#include "editor/ColorEditWnd.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/ControlId.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
const char* const FindSection = "Find";
const char* const ReplaceSection = "Replace";
// The dialog's placement is kept under this name.
const char* const PlacementName = "Find";
} // namespace

SearchAndReplaceView::SearchAndReplaceView(ColorEditWnd* editor)
    : CSmDialog(IDD_SEARCH, editor), m_Editor(editor) {
    m_Settings.Section(FindSection);
    m_Settings.Add("MatchCase", S_INT, 0, "0");
    m_Settings.Add("Whole", S_INT, 0, "0");

    setWindowTitle("Search and Replace");
    auto* grid = new QGridLayout(this);
    m_FindBox = new CHistCBox(this);
    m_ReplaceBox = new CHistCBox(this);
    auto* findLabel = new QLabel("Find &what", this);
    findLabel->setBuddy(m_FindBox);
    auto* replaceLabel = new QLabel("Rep&lace with", this);
    replaceLabel->setBuddy(m_ReplaceBox);
    m_Whole = new QCheckBox("Match &whole word", this);
    m_MatchCase = new QCheckBox("Match &case", this);
    m_RegExp = new QCheckBox("Regular expression", this);
    auto* next = new QPushButton("&Find next", this);
    auto* replace = new QPushButton("&Replace", this);
    auto* replaceAll = new QPushButton("Replace &all", this);
    auto* close = new QPushButton("Close", this);
    next->setDefault(true);
    SetControlId(m_FindBox, IDC_FIND);
    SetControlId(m_ReplaceBox, IDC_REPLACE);
    SetControlId(m_Whole, IDC_WHOLE);
    SetControlId(m_MatchCase, IDC_MATCHCASE);
    SetControlId(m_RegExp, IDC_REGEXP);
    SetControlId(next, IDC_NEXT);
    SetControlId(replace, IDC_REPLACE_ONE);
    SetControlId(replaceAll, IDC_REPLACE_ALL);
    SetControlId(close, IDC_CLOSE);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_FindBox, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(m_ReplaceBox, 1, 1);
    grid->addWidget(replace, 1, 2);
    grid->addWidget(m_Whole, 2, 1);
    grid->addWidget(replaceAll, 2, 2);
    grid->addWidget(m_MatchCase, 3, 1);
    grid->addWidget(close, 3, 2);
    grid->addWidget(m_RegExp, 4, 1);
    grid->setColumnStretch(1, 1);
    connect(next, &QPushButton::clicked, this, &SearchAndReplaceView::OnNext);
    connect(replace, &QPushButton::clicked, this, &SearchAndReplaceView::OnReplaceOne);
    connect(replaceAll, &QPushButton::clicked, this, &SearchAndReplaceView::OnReplaceAll);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

SearchAndReplaceView::~SearchAndReplaceView() = default;

bool SearchAndReplaceView::OnInitDialog() {
    // Searches are literal: the regular-expression choice stays out of sight.
    m_RegExp->hide();
    Load();
    return true;
}

void SearchAndReplaceView::showEvent(QShowEvent* event) {
    CSmDialog::showEvent(event);
    m_RegExp->hide();
    if (!m_Loaded)
        Load();
}

void SearchAndReplaceView::Load() {
    m_FindBox->clear();
    m_ReplaceBox->clear();
    m_FindBox->Load(FindSection);
    m_ReplaceBox->Load(ReplaceSection);
    m_Settings.LoadData();
    m_MatchCase->setChecked(m_Settings.getInt("MatchCase") != 0);
    m_Whole->setChecked(m_Settings.getInt("Whole") != 0);
    CSmDialog::Load(PlacementName);
    m_Loaded = true;
}

void SearchAndReplaceView::Store() {
    m_Settings.setInt("MatchCase", m_MatchCase->isChecked() ? 1 : 0);
    m_Settings.setInt("Whole", m_Whole->isChecked() ? 1 : 0);
    CSysReg::Batch batch;
    m_FindBox->Save(FindSection);
    m_ReplaceBox->Save(ReplaceSection);
    m_Settings.SaveData();
    CSmDialog::Save(PlacementName);
}

void SearchAndReplaceView::done(int result) {
    if (m_Loaded)
        Store();
    m_Loaded = false;
    CSmDialog::done(result);
}

void SearchAndReplaceView::SaveHistory() {
    m_FindBox->SetActiveOrAdd(m_FindBox->GetCurString(FindSection));
    m_ReplaceBox->SetActiveOrAdd(m_ReplaceBox->GetCurString(ReplaceSection));
}

void SearchAndReplaceView::OnNext() {
    SaveHistory();
    m_Editor->Search(SAR_FIND, m_FindBox->GetCurString(FindSection),
                     m_ReplaceBox->GetCurString(ReplaceSection), m_MatchCase->isChecked() ? 1 : 0,
                     m_Whole->isChecked() ? 1 : 0);
}

void SearchAndReplaceView::OnReplaceOne() {
    SaveHistory();
    m_Editor->Search(SAR_REPLACE, m_FindBox->GetCurString(FindSection),
                     m_ReplaceBox->GetCurString(ReplaceSection), 0, 0);
}

void SearchAndReplaceView::OnReplaceAll() {
    SaveHistory();
    m_Editor->Search(SAR_REPLACE_ALL, m_FindBox->GetCurString(FindSection),
                     m_ReplaceBox->GetCurString(ReplaceSection), m_MatchCase->isChecked() ? 1 : 0,
                     m_Whole->isChecked() ? 1 : 0);
}
