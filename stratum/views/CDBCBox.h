// A history combo box that fills itself from the database catalog: data sources, databases,
// tables, columns (with their SQL type as item data) and data types.
#pragma once

#include "CommonTypes.h"
#include "codbc/CatalogRecords.h"
#include "toolkit/CHistCBox.h"

class CDB;
class ODBC;
class CDBList;

class CDBCBox : public CHistCBox {
    Q_OBJECT
public:
    // The item data role that holds a column's SQL type after FillFields.
    static constexpr int kSqlTypeRole = Qt::UserRole + 2;

    explicit CDBCBox(QWidget* parent = nullptr);
    ~CDBCBox() override;

    // Fills return -4 without a window or usable session, -2 when no session can be created,
    // -8 for an invalid data-source kind, the Connect result when a temporary login fails, else 0.
    int FillDSN(DS_TYPE kind, CString current);
    int FillDatabases(CDB* session, CString current);
    int FillTables(CDB* session, CString owner);
    int FillTables(DS_TYPE kind, CString dataSource, CString user, CString password, CString owner);
    int FillFields(CDB* session, CString table, CString owner, int qualify);
    int FillDataTypes(CDB* session);

    // The selected item's text; before the window exists, the current entry stored in `section`.
    CString GetCurItem(const char* section = nullptr);
    CString GetCurDSN() { return GetCurItem(); }
    CString GetCurTable() { return GetCurItem(); }
    // The SQL type attached to an item by FillFields (0 when none).
    int ItemSqlType(int index) const;
    CStringArray ItemTexts() const;

    // Replaces the items by the other control's item texts; null without a window.
    CDBCBox* operator=(const CDBCBox& other);
    CDBCBox* operator=(const CDBList& other);

    // Whether the control's window exists.
    bool HasWindow() const;

private:
    void AddItems(const CStringArray& texts);

    CString m_CurItem;
    ODBC* m_TmpSession = nullptr;
};
