// A list box with several selectable items that fills itself from the database catalog: tables of
// a kind, columns, indexes and procedures.
#pragma once

#include "CommonTypes.h"
#include "codbc/CatalogRecords.h"

#include <QListWidget>

class CDB;
class CDBCBox;
class CListCtrl;

class CDBList : public QListWidget {
    Q_OBJECT
public:
    explicit CDBList(QWidget* parent = nullptr);

    int FillTables(CDB* session, CString owner, OB_TYPE kind);
    int FillTables(DS_TYPE kind, CString dataSource, CString user, CString password, CString owner,
                   OB_TYPE type);
    int FillFields(CDB* session, CString table, CString owner, int qualify);
    int FillFields(DS_TYPE kind, CString dataSource, CString table, CString user, CString password,
                   CString owner, int qualify);
    int FillIndexes(CDB* session, CString table, CString owner);
    int FillProcedures(CDB* session, CString owner);

    // The selected items joined by ", " (with CR LF after each separator when `lineBreaks` is set),
    // stopping after "*"; `count`, when given, is raised once per item taken.
    CString GetSelFieldList(int* count = nullptr, int lineBreaks = 0);
    CString GetSelTablesList() { return GetSelFieldList(nullptr, 0); }
    CStringArray ItemTexts() const;

    CDBList* operator=(const CDBList& other);
    CDBList* operator=(const CDBCBox& other);
    CDBList* operator=(const CListCtrl& other);

    bool HasWindow() const { return true; }

private:
    template <class Record, class Call>
    int ShowNames(CDB* session, const char* failure, const CArray<Record>& records, Call call);
    void Replace(const CStringArray& texts);

    CString m_SelText;
};
