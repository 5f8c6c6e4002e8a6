#include "editor/SearchAndReplaceView.h"

#include "editor/ColorEditWnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
CString ComboText(const QComboBox* box) {
    const QByteArray text = box->currentText().toUtf8();
    return CString(text.constData(), static_cast<size_t>(text.size()));
}
} // namespace

SearchAndReplaceView::SearchAndReplaceView(ColorEditWnd* editor) : QDialog(editor), m_Editor(editor) {
    setWindowTitle("Search and Replace");
    auto* grid = new QGridLayout(this);
    m_FindBox = new QComboBox(this);
    m_FindBox->setEditable(true);
    m_ReplaceBox = new QComboBox(this);
    m_ReplaceBox->setEditable(true);
    auto* findLabel = new QLabel("Find &what", this);
    findLabel->setBuddy(m_FindBox);
    auto* replaceLabel = new QLabel("Rep&lace with", this);
    replaceLabel->setBuddy(m_ReplaceBox);
    m_Whole = new QCheckBox("Match &whole word", this);
    m_MatchCase = new QCheckBox("Match &case", this);
    m_RegExp = new QCheckBox("Regular expression", this);
    m_RegExp->hide();
    auto* next = new QPushButton("&Find next", this);
    auto* replace = new QPushButton("&Replace", this);
    auto* replaceAll = new QPushButton("Replace &all", this);
    auto* close = new QPushButton("Close", this);
    next->setDefault(true);
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

void SearchAndReplaceView::SaveHistory() {}

void SearchAndReplaceView::OnNext() {
    SaveHistory();
    m_Editor->Search(SAR_FIND, ComboText(m_FindBox), ComboText(m_ReplaceBox), m_MatchCase->isChecked(),
                     m_Whole->isChecked());
}

void SearchAndReplaceView::OnReplaceOne() {
    SaveHistory();
    m_Editor->Search(SAR_REPLACE, ComboText(m_FindBox), ComboText(m_ReplaceBox), 0, 0);
}

void SearchAndReplaceView::OnReplaceAll() {
    SaveHistory();
    m_Editor->Search(SAR_REPLACE_ALL, ComboText(m_FindBox), ComboText(m_ReplaceBox), m_MatchCase->isChecked(),
                     m_Whole->isChecked());
}
