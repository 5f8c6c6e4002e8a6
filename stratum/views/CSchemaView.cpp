#include "views/CSchemaView.h"

#include "codbc/CDB.h"
#include "editor/ColorEditWnd.h"
#include "services/Helpers.h"
#include "views/DBobjTree.h"

#include <QAction>
#include <QMenu>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

CSchemaView::CSchemaView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_ToolBar = new QToolBar(this);
    m_ToolBar->setIconSize(QSize(17, 15));
    auto add = [this](const char* text, int id) {
        QAction* action = m_ToolBar->addAction(QString::fromLatin1(text));
        action->setToolTip(QString::fromLatin1(text));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };
    add("Refresh information", ID_REFRESH);
    m_ToolBar->addSeparator();
    add("Copy object name", ID_COPY_NAME);
    add("Copy object's text", ID_COPY_TEXT);
    layout->addWidget(m_ToolBar);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    m_Tree = new DBobjTree(splitter);
    m_Editor = new ColorEditWnd(splitter);
    splitter->addWidget(m_Tree);
    splitter->addWidget(m_Editor);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);

    // The tree's context menu offers the toolbar's commands.
    m_Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_Tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QTreeWidgetItem* item = m_Tree->itemAt(pos))
            m_Tree->setCurrentItem(item);
        QMenu menu(this);
        for (QAction* action : m_ToolBar->actions())
            menu.addAction(action);
        menu.exec(m_Tree->viewport()->mapToGlobal(pos));
    });
}

void CSchemaView::Create(CDB* session, CColorizer* colorizer, const char* fontFace, int fontSize,
                         int tabSize) {
    m_Session = session;
    m_Editor->Create(m_Editor->geometry(), 0, tabSize, fontSize, fontFace);
    m_Editor->SetCharXSpacing(0);
    if (colorizer)
        m_Editor->SetColorizer(colorizer);
    m_Editor->SetHighlightColor(0);
    m_Editor->SetReadOnly(true);
    m_Editor->ClearUndoHistory();
    m_Tree->Initialize(session, m_Editor);
}

void CSchemaView::SetConnection(std::function<bool()> ensureConnected, std::function<int()> generation) {
    m_EnsureConnected = std::move(ensureConnected);
    m_CurrentGeneration = std::move(generation);
}

bool CSchemaView::Activate() {
    if (m_EnsureConnected && !m_EnsureConnected())
        return false;
    const int generation = m_CurrentGeneration ? m_CurrentGeneration() : 0;
    if (m_Tree->topLevelItemCount() == 0 || generation != m_Generation)
        OnCommand(ID_REFRESH);
    return true;
}

void CSchemaView::Deactivate(int isPermanent) {
    if (!isPermanent && m_Session)
        m_Session->Disconnect();
}

bool CSchemaView::OnCommand(int id) {
    switch (id) {
    case ID_REFRESH:
        m_Tree->Refresh();
        m_Editor->LoadText("");
        m_Generation = m_CurrentGeneration ? m_CurrentGeneration() : 0;
        return true;
    case ID_COPY_NAME:
        CopyToClipBoard(m_Tree->ObjectName());
        return true;
    case ID_COPY_TEXT: {
        CString text;
        m_Editor->UnloadText(text);
        CopyToClipBoard(text);
        return true;
    }
    default:
        return false;
    }
}
