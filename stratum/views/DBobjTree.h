// The schema tree: the objects of the connected database, read from the catalog the first time a node
// is expanded, and the SQL text of the selected object shown in an attached editor or dialog control.
#pragma once

#include "CommonTypes.h"
#include "codbc/CatalogRecords.h"

#include <QIcon>
#include <QTreeWidget>

class CDB;
class ColorEditWnd;

class DBobjTree : public QTreeWidget {
    Q_OBJECT
public:
    // One tree item ever inserted since the last Refresh; the item's data value is its index.
    struct NODE {
        CString text;
        CString name;
        CString qualifier;
        int kind = 0; // OB_TYPE, -1 for the placeholder child
        int collection = 0;
        int filled = 0;
        QTreeWidgetItem* parent = nullptr;
        QTreeWidgetItem* item = nullptr;
    };
    static constexpr int kImageSize = 17;
    static constexpr int kImageCount = 20;

    explicit DBobjTree(QWidget* parent = nullptr);

    void Initialize(CDB* connection, ColorEditWnd* editor);
    void Initialize(CDB* connection, QWidget* dialog, int controlId);
    // Drops every item and record and puts back the top-level collections.
    void Refresh();
    // Name of the selected node; empty when none was selected since the last Refresh.
    CString ObjectName() const;
    // The text last shown for the selected node.
    const CString& ObjectTextShown() const { return m_Shown; }

    const CArray<NODE>& Nodes() const { return m_Nodes; }
    int SelectedNode() const { return m_Selected; }
    static int NodeIndex(const QTreeWidgetItem* item);

    void OnExpand(QTreeWidgetItem* item);
    void OnChanged(QTreeWidgetItem* item);

private:
    QTreeWidgetItem* Insert(const CString& text, int image, QTreeWidgetItem* parent, int collection, int kind,
                            int expandable, const CString& name = "", const CString& qualifier = "");
    void KillBlank(int index);
    void FillSubTree(int index);
    void ObjectRights(const CArray<RIGHT_DESC>& list, QTreeWidgetItem* parent);
    void PrepareField(CString& out, const FLD_DESC& column);
    static void PrepareTabName(CString& out, const TABLE_DESC& table);
    void SetImages();
    void ShowText(const CString& text);

    CDB* m_Connection = nullptr;
    QWidget* m_TextDialog = nullptr;
    ColorEditWnd* m_TextEditor = nullptr;
    int m_TextControlId = 0;
    QList<QIcon> m_Images;
    CArray<NODE> m_Nodes;
    int m_Selected = -1;
    CString m_Shown;
};
