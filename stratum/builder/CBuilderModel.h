// The SQL builder without windows: the lists of all eleven pages, the moves between them, their
// checks and the statement text. The page widgets show these lists and hand back the user's choices.
#pragma once

#include "CommonTypes.h"

#include <set>

class CDB;

enum SQL_MODE {
    SQL_SELECT = 0,
    SQL_INSERT = 1,
    SQL_UPDATE = 2,
    SQL_DELETE = 3,
    SQL_DROP_TABLE = 4,
    SQL_DROP_VIEW = 5,
    SQL_DROP_INDEX = 6,
    SQL_DROP_PROCEDURE = 7,
    SQL_CREATE_TABLE = 8
};

enum BUILDER_PAGE {
    PG_TYPE = 0,
    PG_FROM = 1,
    PG_TABLE = 2,
    PG_COLUMNS = 3,
    PG_SELECT_LIST = 4,
    PG_ORDER_GROUP = 5,
    PG_CONDITIONS = 6,
    PG_VALUES = 7,
    PG_INDEX = 8,
    PG_PROCEDURE = 9,
    PG_CREATE_TABLE = 10,
    PG_COUNT = 11
};

struct BuilderTable {
    CString table;
    CString alias;
};

struct BuilderItem {
    CString item;
    CString distinct; // "Y" or empty
    CString as;
};

struct BuilderCondition {
    CString operand1;
    CString operation;
    CString operand2;
    CString link; // "", "AND" or "OR"
};

struct BuilderValue {
    CString field;
    CString value;
};

struct BuilderColumn {
    CString name;
    CString type;
    CString defaultValue;
    CString null; // "NULL" or empty
};

using Selection = std::set<int>;

class CBuilderModel {
public:
    explicit CBuilderModel(CDB* session = nullptr);

    void SetSession(CDB* session) { m_Session = session; }
    CDB* Session() const { return m_Session; }

    // Navigation of the wizard.
    int CurrentPage() const { return m_Current; }
    void Activate();
    int CanNext();
    int CanBack();
    // Returns 1 when the wizard moved to another page.
    int Next();
    int Back();
    void Refresh();
    CString GetSQL();
    CString FieldWithAlias(const CString& item) const;

    // Per page operations.
    void ActivatePage(int page);
    int ValidatePage(int page);
    int NextPage(int page);
    int BackPage(int page);
    CString GetPageSQL(int page);
    void ResetPage(int page);

    SQL_MODE Mode() const { return m_Mode; }
    static const char* Keyword(SQL_MODE mode);
    static const char* const LineStart;

    // Shared lists.
    CArray<BuilderTable> tableList;
    CStringArray fieldList;

    // Page 0: the checked statement kind.
    int typeChoice = SQL_SELECT;
    int ShowsWarning() const;

    // Page 1.
    CStringArray fromTables;
    CArray<BuilderTable> fromList;
    int FromAdd(const Selection& selectedTables);
    void FromAddAll();
    int FromRemove(const Selection& selectedEntries);
    void FromClear() { fromList.clear(); }
    int FromAlias(const Selection& selectedEntries, const CString& alias);

    // Page 2.
    CStringArray singleTables;
    int singleSel = -1;

    // Page 3.
    CStringArray columnFields;
    Selection columnSel;
    int columnCurrent = -1;

    // Page 4.
    CStringArray selectFields; // sorted, "*" first
    static const CStringArray& Functions();
    CArray<BuilderItem> items;
    int ItemsAddFields(const Selection& selectedFields);
    int ItemsAddFunction(int function, const Selection& selectedFields);
    int ItemsAddValue(const CString& value);
    int ItemsRemove(const Selection& selectedItems);
    void ItemsRemoveAll() { items.clear(); }
    int ItemsDistinct(const Selection& selectedItems);
    int ItemsAs(const Selection& selectedItems, const CString& as);

    // Page 5.
    CStringArray orderFields; // sorted
    CStringArray orderBy;     // sorted
    CStringArray groupBy;     // sorted
    void OrderAdd(const Selection& selectedFields);
    void GroupAdd(const Selection& selectedFields);
    int OrderRemove(int current);
    int GroupRemove(int current);

    // Page 6: list 0 is WHERE, list 1 is HAVING.
    CArray<BuilderCondition> conditions[2];
    CString seenTables;
    int HavingEnabled() const { return m_Mode == SQL_SELECT; }
    void ConditionAdd(int list, const BuilderCondition& condition);
    // The row "Edit" works on: the highest selected one, or -1 after the message.
    int ConditionEditRow(int list, const Selection& selectedRows);
    int ConditionDelete(int list, const Selection& selectedRows);
    void ConditionDeleteAll(int list) { conditions[list].clear(); }
    // Operand list of the condition dialog: the fields of every table of the table list.
    CStringArray ConditionFields();
    static const CStringArray& Operations();

    // Page 7.
    CArray<BuilderValue> values;
    int SetValue(int row, const CString& value);

    // Page 8.
    CStringArray indexes;
    int indexSel = -1;

    // Page 9.
    CStringArray procedures;
    int procedureSel = -1;

    // Page 10.
    CString newTable;
    CArray<BuilderColumn> columns;
    CStringArray dataTypes;
    int ColumnAdd(const CString& name, const CString& type, const CString& defaultValue, int null);
    int ColumnDelete(const Selection& selectedRows);

    // Statement fragments.
    CString TableSQL();
    CString SelectListSQL();
    CString FromSQL();
    CString ConditionsSQL(int list) const;
    CString SortSQL(const char* keyword, const CStringArray& list) const;
    CString FieldListSQL();
    CString ValuesSQL() const;
    CString SetSQL() const;
    CString IndexSQL() const;
    CString ProcedureSQL() const;
    CString CreateTableSQL() const;

private:
    void Error(const CString& text) const;
    CString QuotedTable(const CString& table) const;
    // Fields of a table, qualified "table.field" when `qualify` is set; empty on catalog failure.
    CStringArray TableFields(const CString& table, int qualify);
    CStringArray AllTableFields();
    CString Owner() const;

    CDB* m_Session = nullptr;
    int m_Current = PG_TYPE;
    SQL_MODE m_Mode = SQL_SELECT;
};
