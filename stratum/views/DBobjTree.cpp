#include "views/DBobjTree.h"

#include "codbc/CDB.h"
#include "codbc/KeyNames.h"
#include "editor/ColorEditWnd.h"
#include "services/CAssert.h"
#include "services/CLog.h"
#include "toolkit/CWaitCursor.h"
#include "toolkit/ControlId.h"
#include "toolkit/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cstdio>

namespace {
constexpr int kPlaceholder = -1;

CString Format(const char* pattern, const CString& a, const CString& b) {
    char buffer[2048];
    std::snprintf(buffer, sizeof buffer, pattern, a.c_str(), b.c_str());
    return buffer;
}
} // namespace

DBobjTree::DBobjTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(kImageSize, kImageSize));
    connect(this, &QTreeWidget::itemExpanded, this, &DBobjTree::OnExpand);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnChanged(current); });
}

void DBobjTree::Initialize(CDB* connection, ColorEditWnd* editor) {
    m_Connection = connection;
    m_TextEditor = editor;
    m_TextDialog = nullptr;
    SetImages();
}

void DBobjTree::Initialize(CDB* connection, QWidget* dialog, int controlId) {
    m_Connection = connection;
    m_TextEditor = nullptr;
    m_TextDialog = dialog;
    m_TextControlId = controlId;
    SetImages();
}

void DBobjTree::SetImages() {
    m_Images.clear();
    const QPixmap strip(":/stratum/objects.xpm");
    if (strip.isNull() || strip.width() < kImageSize * kImageCount) {
        ShowMessage("Error creation Image List!", "IDB_OBJECTS", MB_OK | MB_ICONERROR, this);
        return;
    }
    for (int i = 0; i < kImageCount; ++i)
        m_Images.push_back(QIcon(strip.copy(i * kImageSize, 0, kImageSize, kImageSize)));
}

int DBobjTree::NodeIndex(const QTreeWidgetItem* item) {
    if (!item)
        return -1;
    bool ok = false;
    const int index = item->data(0, Qt::UserRole).toInt(&ok);
    return ok ? index : -1;
}

void DBobjTree::Refresh() {
    // Records go first: clearing the tree announces a selection change that must find no node.
    m_Nodes.clear();
    m_Selected = -1;
    clear();
    m_Shown.clear();
    Insert("TABLES", 0, nullptr, 1, OB_TABLE, 1);
    Insert("SYSTEM TABLES", 11, nullptr, 1, OB_SYSTEM_TABLE, 1);
    Insert("VIEWS", 12, nullptr, 1, OB_VIEW, 1);
    Insert("SYNONYMS", 15, nullptr, 1, OB_SYNONYM, 1);
    Insert("USERS", 9, nullptr, 1, OB_USER, 1);
    Insert("PROCEDURES", 17, nullptr, 1, OB_PROCEDURE, 1);
    Insert("DataBases", 14, nullptr, 1, OB_DATABASE, 1);
}

CString DBobjTree::ObjectName() const {
    if (m_Selected < 0 || m_Selected >= static_cast<int>(m_Nodes.size()))
        return "";
    return m_Nodes[m_Selected].name;
}

QTreeWidgetItem* DBobjTree::Insert(const CString& text, int image, QTreeWidgetItem* parent, int collection,
                                   int kind, int expandable, const CString& name, const CString& qualifier) {
    auto* item = new QTreeWidgetItem(QStringList(QString::fromUtf8(text.c_str())));
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    NODE node;
    node.text = text;
    node.name = name.empty() ? text : name;
    node.qualifier = qualifier;
    node.kind = kind;
    node.collection = collection;
    node.filled = expandable ? 0 : 1;
    node.parent = parent;
    node.item = item;
    m_Nodes.push_back(std::move(node));
    if (image >= 0 && image < m_Images.size())
        item->setIcon(0, m_Images[image]);
    item->setData(0, Qt::UserRole, static_cast<int>(m_Nodes.size() - 1));
    if (expandable)
        Insert("", 0, item, 0, kPlaceholder, 0);
    return item;
}

void DBobjTree::KillBlank(int index) {
    QTreeWidgetItem* item = m_Nodes[index].item;
    for (NODE& node : m_Nodes) {
        if (node.parent == item && node.item) {
            delete node.item;
            node.item = nullptr;
            return;
        }
    }
}

void DBobjTree::OnExpand(QTreeWidgetItem* item) {
    const int index = NodeIndex(item);
    if (index < 0 || index >= static_cast<int>(m_Nodes.size()) || m_Nodes[index].filled)
        return;
    KillBlank(index);
    FillSubTree(index);
}

void DBobjTree::PrepareTabName(CString& out, const TABLE_DESC& table) {
    out = table.owner.empty() ? table.name : table.owner + "." + table.name;
}

void DBobjTree::PrepareField(CString& out, const FLD_DESC& column) {
    CString typeName;
    m_Connection->GetTypeName(column.sqlType, &typeName);
    char buffer[1024];
    const CString digits = column.decimalDigits ? "," + std::to_string(column.decimalDigits) : "";
    std::snprintf(buffer, sizeof buffer, "%s %s(%d%s) %s", column.name.c_str(), typeName.c_str(),
                  column.columnSize, digits.c_str(), column.nullable ? "NULL" : "");
    out = buffer;
}

void DBobjTree::ObjectRights(const CArray<RIGHT_DESC>& list, QTreeWidgetItem* parent) {
    for (const RIGHT_DESC& r : list) {
        char buffer[1024];
        std::snprintf(buffer, sizeof buffer, "%s: %s (granted by '%s')", r.grantee.c_str(),
                      r.privilege.c_str(), r.grantor.c_str());
        Insert(buffer, 10, parent, 0, OB_PRIVILEGE, 0, r.grantee, r.privilege);
    }
}

void DBobjTree::FillSubTree(int index) {
    if (!m_Connection || !m_Connection->connected) {
        ShowMessage("Not connected", "", MB_OK, this);
        // Keep the node expandable so that the user can try again once connected.
        QTreeWidgetItem* item = m_Nodes[index].item;
        Insert("", 0, item, 0, kPlaceholder, 0);
        item->setExpanded(false);
        return;
    }
    m_Nodes[index].filled = 1;
    CWaitCursor wait;
    // Copies: inserting children grows the node list.
    const NODE node = m_Nodes[index];
    QTreeWidgetItem* item = node.item;
    const CString owner = m_Connection->owner;
    const int kind = node.kind;

    if (node.collection &&
        (kind == OB_TABLE || kind == OB_VIEW || kind == OB_SYSTEM_TABLE || kind == OB_SYNONYM)) {
        CArray<TABLE_DESC> tables;
        if (m_Connection->TablesList(&tables, owner, static_cast<OB_TYPE>(kind)) != 0)
            return;
        const int image = kind == OB_VIEW ? 13 : kind == OB_SYNONYM ? 16 : 1;
        for (const TABLE_DESC& t : tables) {
            CString text;
            PrepareTabName(text, t);
            Insert(text, image, item, 0, kind, kind != OB_SYNONYM);
        }
        return;
    }
    if (!node.collection &&
        (kind == OB_TABLE || kind == OB_VIEW || kind == OB_SYSTEM_TABLE || kind == OB_SYNONYM)) {
        CArray<FLD_DESC> columns;
        if (m_Connection->FieldsList(node.name, &columns, "") != 0)
            return;
        for (const FLD_DESC& f : columns) {
            CString text;
            PrepareField(text, f);
            Insert(text, 2, item, 0, OB_COLUMN, 1, f.name, node.name);
        }
        Insert("INDEXES", 5, item, 1, OB_INDEX, 1, "", node.text);
        Insert("PRIMARY KEY", 7, item, 1, OB_PRIMARY_KEY, 1, "", node.text);
        Insert("FOREIGN KEYS", 8, item, 1, OB_FOREIGN_KEY, 1, "", node.text);
        Insert("TRIGGERS", 4, item, 1, OB_TRIGGER, 1, "", node.text);
        Insert("RIGHTS", 9, item, 1, OB_PRIVILEGE, 1, "", node.text);
        return;
    }
    switch (kind) {
    case OB_INDEX: {
        CArray<IDX_DESC> rows;
        if (m_Connection->IndexList(node.qualifier, &rows, owner) != 0)
            return;
        CString previous;
        QTreeWidgetItem* current = nullptr;
        for (const IDX_DESC& x : rows) {
            if (!current || x.name != previous) {
                CString text = x.name;
                if (x.type == 1)
                    text += "  CLUSTERED";
                if (x.nonUnique == 0)
                    text += "  UNIQUE";
                if (!x.order.empty())
                    text += x.order[0] == 'A' ? "  ASC" : "  DESC";
                current = Insert(text, 6, item, 0, OB_INDEX, 0, x.name, node.qualifier);
                previous = x.name;
            }
            Insert(x.column, 2, current, 0, OB_COLUMN, 0);
        }
        return;
    }
    case OB_PRIMARY_KEY: {
        CArray<PK_DESC> keys;
        if (m_Connection->PKList(node.qualifier, &keys, owner) != 0)
            return;
        for (const PK_DESC& k : keys) {
            const CString name = PrimaryKeyName(k, node.qualifier);
            Insert(name, 7, item, 0, OB_PRIMARY_KEY, 0, name, node.qualifier);
        }
        return;
    }
    case OB_FOREIGN_KEY: {
        CArray<FK_DESC> keys;
        if (m_Connection->FKList(node.qualifier, &keys, owner) != 0)
            return;
        const std::vector<ForeignKeyRow> rows = ForeignKeyRows(keys);
        for (size_t i = 0; i < keys.size(); ++i) {
            const FK_DESC& k = keys[i];
            QTreeWidgetItem* key = Insert(rows[i].name, 3, item, 0, OB_FOREIGN_KEY, 0, "", node.qualifier);
            Insert(Format("Foreign: %s.%s", k.fkTable, k.fkColumn), 2, key, 0, OB_COLUMN, 0);
            Insert(Format("Primary: %s.%s", k.pkTable, k.pkColumn), 2, key, 0, OB_COLUMN, 0);
        }
        return;
    }
    case OB_TRIGGER: {
        CArray<TRG_DESC> triggers;
        if (m_Connection->TrigList(node.qualifier, &triggers, owner) != 0)
            return;
        for (const TRG_DESC& t : triggers)
            Insert(t.name, 4, item, 0, OB_TRIGGER, 0);
        return;
    }
    case OB_PRIVILEGE: {
        CArray<RIGHT_DESC> rights;
        if (m_Connection->GetTableRights(node.qualifier, &rights, owner) != 0)
            return;
        ObjectRights(rights, item);
        return;
    }
    case OB_COLUMN: {
        CArray<RIGHT_DESC> rights;
        if (m_Connection->GetColumnRights(node.qualifier, node.name, &rights, owner) != 0)
            return;
        ObjectRights(rights, item);
        return;
    }
    case OB_USER: {
        CArray<USER_DESC> users;
        if (m_Connection->UserList(&users) != 0)
            return;
        for (const USER_DESC& u : users)
            Insert(u.name, 10, item, 0, OB_USER, 0);
        return;
    }
    case OB_DATABASE: {
        CArray<DATAB_DESC> databases;
        if (m_Connection->DatabList(&databases) != 0)
            return;
        for (const DATAB_DESC& d : databases) {
            char buffer[1024];
            std::snprintf(buffer, sizeof buffer, "%s (%s, created: %s)", d.name.c_str(), d.size.c_str(),
                          d.created.c_str());
            Insert(buffer, 19, item, 0, OB_DATABASE, 0, d.name);
        }
        return;
    }
    case OB_PROCEDURE: {
        if (node.collection) {
            CArray<SP_DESC> procedures;
            if (m_Connection->SPList(&procedures, owner) != 0)
                return;
            for (const SP_DESC& p : procedures)
                Insert(p.name, 18, item, 0, OB_PROCEDURE, 1);
            return;
        }
        CArray<SPCOL_DESC> columns;
        if (m_Connection->SPColsList(&columns, node.text, owner) != 0)
            return;
        for (const SPCOL_DESC& c : columns) {
            CString text = c.name + " " + c.typeName;
            if (c.size > 0)
                text += "(" + std::to_string(c.size) + ")";
            if (c.columnType == 1)
                text += "  [INPUT]";
            else if (c.columnType == 4)
                text += "  [OUTPUT]";
            else if (c.columnType == 2)
                text += "  [INPUT and OUTPUT]";
            Insert(text, 1, item, 0, OB_PROCEDURE_COLUMN, 0);
        }
        return;
    }
    default: {
        char message[128];
        std::snprintf(message, sizeof message, "DBobjTree:: FillSubTree, bad pbject type=%d", kind);
        CLog log;
        log.Bug(message, "", "DBobjTree", __LINE__);
        CAssert::DoModal(message, "DBobjTree", __LINE__);
        return;
    }
    }
}

void DBobjTree::OnChanged(QTreeWidgetItem* item) {
    const int index = NodeIndex(item);
    if (index < 0 || index >= static_cast<int>(m_Nodes.size()))
        return;
    NODE node = m_Nodes[index];
    CString text;
    if (node.collection) {
        text = "COLLECTION of " + node.text;
    } else if (m_Connection) {
        CStringArray lines;
        m_Connection->ObjectText(static_cast<OB_TYPE>(node.kind), node.name, node.qualifier, &lines);
        for (const CString& line : lines)
            text += line;
    }
    ShowText(text);
    m_Selected = index;
}

void DBobjTree::ShowText(const CString& text) {
    m_Shown = text;
    if (m_TextDialog) {
        QWidget* control = FindControl(m_TextDialog, m_TextControlId);
        const QString value = QString::fromUtf8(text.c_str());
        if (auto* edit = qobject_cast<QPlainTextEdit*>(control))
            edit->setPlainText(value);
        else if (auto* rich = qobject_cast<QTextEdit*>(control))
            rich->setPlainText(value);
        else if (auto* line = qobject_cast<QLineEdit*>(control))
            line->setText(value);
        else if (auto* label = qobject_cast<QLabel*>(control))
            label->setText(value);
    }
    if (m_TextEditor)
        m_TextEditor->LoadText(text.c_str());
}
