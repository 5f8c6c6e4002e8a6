#include "builder/CBuilderModel.h"

#include "codbc/CDB.h"
#include "toolkit/MessageBox.h"
#include "views/CDBFill.h"

#include <algorithm>
#include <cctype>

const char* const CBuilderModel::LineStart = "\r\n    ";

namespace {
void InsertSorted(CStringArray& list, const CString& text) {
    list.insert(std::upper_bound(list.begin(), list.end(), text), text);
}

// Removes the rows of `list` whose indices are in `rows`.
template <typename T> void RemoveRows(CArray<T>& list, const Selection& rows) {
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it >= 0 && *it < static_cast<int>(list.size()))
            list.erase(list.begin() + *it);
    }
}

// Writes an item of a list: "," before every item but the first, then the line start.
void AppendItem(CString& text, bool first, const CString& item) {
    if (!first)
        text += ",";
    text += CBuilderModel::LineStart;
    text += item;
}

bool BeginsWith(const CString& text, const CString& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}
} // namespace

CBuilderModel::CBuilderModel(CDB* session) : m_Session(session) {}

const char* CBuilderModel::Keyword(SQL_MODE mode) {
    static const char* const keywords[] = {"SELECT ",      "INSERT INTO ",    "UPDATE ",
                                           "DELETE FROM ", "DROP TABLE ",     "DROP VIEW ",
                                           "DROP INDEX ",  "DROP PROCEDURE ", "CREATE TABLE "};
    return mode >= SQL_SELECT && mode <= SQL_CREATE_TABLE ? keywords[mode] : "";
}

const CStringArray& CBuilderModel::Functions() {
    static const CStringArray functions{"AVG", "COUNT", "MAX", "MIN", "SUM"};
    return functions;
}

const CStringArray& CBuilderModel::Operations() {
    static const CStringArray operations{"=", "<>",     ">=",   "<=",   ">",
                                         "<", " LIKE ", " IN ", " IS ", " NOT IN "};
    return operations;
}

void CBuilderModel::Error(const CString& text) const {
    ShowMessage(text, "Error!", MB_OK | MB_ICONERROR);
}

CString CBuilderModel::Owner() const {
    return m_Session ? CString(m_Session->owner) : CString();
}

// ---- navigation -------------------------------------------------------------------------------

void CBuilderModel::Activate() {
    ActivatePage(m_Current);
}

int CBuilderModel::CanNext() {
    return NextPage(m_Current) != -1 ? 1 : 0;
}

int CBuilderModel::CanBack() {
    return BackPage(m_Current) != -1 ? 1 : 0;
}

int CBuilderModel::Next() {
    if (!ValidatePage(m_Current))
        return 0;
    GetPageSQL(m_Current);
    const int next = NextPage(m_Current);
    if (next < 0 || next >= PG_COUNT)
        return 0;
    m_Current = next;
    Activate();
    return 1;
}

int CBuilderModel::Back() {
    const int back = BackPage(m_Current);
    if (back < 0 || back >= PG_COUNT)
        return 0;
    m_Current = back;
    Activate();
    return 1;
}

void CBuilderModel::Refresh() {
    m_Current = PG_TYPE;
    tableList.clear();
    fieldList.clear();
    for (int page = 0; page < PG_COUNT; ++page)
        ResetPage(page);
}

CString CBuilderModel::FieldWithAlias(const CString& item) const {
    // A field is replaced where it starts the item and where it is an argument of a function item
    // ("COUNT(T.A)", "MAX(T.A, T.B)"), so that an aliased table is never named by its own name; text
    // inside quotes is never touched.
    CString result;
    size_t pos = 0;
    while (pos < item.size()) {
        const bool candidate =
            pos == 0 || item[pos - 1] == '(' || (pos >= 2 && item.compare(pos - 2, 2, ", ") == 0);
        const BuilderTable* match = nullptr;
        if (candidate) {
            for (const BuilderTable& entry : tableList) {
                if (!entry.alias.empty() &&
                    item.compare(pos, entry.table.size() + 1, entry.table + ".") == 0) {
                    match = &entry;
                    break;
                }
            }
        }
        if (match) {
            result += match->alias + ".";
            pos += match->table.size() + 1;
        } else if (item[pos] == '\'' || item[pos] == '"') {
            // A literal or quoted name is copied as it stands; a doubled quote inside it closes and
            // reopens it, which leaves it whole.
            const size_t close = item.find(item[pos], pos + 1);
            const size_t end = close == CString::npos ? item.size() : close + 1;
            result.append(item, pos, end - pos);
            pos = end;
        } else {
            result += item[pos++];
        }
    }
    return result;
}

CString CBuilderModel::GetSQL() {
    CString sql = Keyword(m_Mode);
    switch (m_Mode) {
    case SQL_SELECT:
        sql += SelectListSQL();
        sql += FromSQL();
        sql += ConditionsSQL(0);
        sql += SortSQL("GROUP BY", groupBy);
        sql += ConditionsSQL(1);
        sql += SortSQL("ORDER BY", orderBy);
        break;
    case SQL_INSERT:
        sql += TableSQL();
        sql += FieldListSQL();
        sql += ValuesSQL();
        break;
    case SQL_UPDATE:
        sql += TableSQL();
        sql += SetSQL();
        sql += ConditionsSQL(0);
        sql += ConditionsSQL(1);
        break;
    case SQL_DELETE:
        sql += TableSQL();
        sql += ConditionsSQL(0);
        sql += ConditionsSQL(1);
        break;
    case SQL_DROP_TABLE:
    case SQL_DROP_VIEW:
        sql += TableSQL();
        break;
    case SQL_DROP_INDEX:
        sql += IndexSQL();
        break;
    case SQL_DROP_PROCEDURE:
        sql += ProcedureSQL();
        break;
    case SQL_CREATE_TABLE:
        sql += CreateTableSQL();
        break;
    }
    return sql;
}

// ---- pages --------------------------------------------------------------------------------------

int CBuilderModel::ShowsWarning() const {
    return !m_Session || !m_Session->connected;
}

CStringArray CBuilderModel::TableFields(const CString& table, int qualify) {
    CStringArray texts;
    if (!m_Session || !m_Session->connected || table.empty())
        return texts;
    CArray<FLD_DESC> fields;
    const CString owner = Owner();
    if (m_Session->FieldsList(CDBFill::QualifiedTable(table, owner, m_Session->ownerSupported), &fields,
                              owner) != 0) {
        Error(CString(m_Session->lastError));
        return texts;
    }
    for (const FLD_DESC& field : fields)
        texts.push_back(CDBFill::FieldText(field, table, qualify));
    return texts;
}

CStringArray CBuilderModel::AllTableFields() {
    CStringArray texts;
    const int qualify = tableList.size() > 1 ? 1 : 0;
    for (const BuilderTable& entry : tableList) {
        const CStringArray fields = TableFields(entry.table, qualify);
        texts.insert(texts.end(), fields.begin(), fields.end());
    }
    return texts;
}

CStringArray CBuilderModel::ConditionFields() {
    return AllTableFields();
}

void CBuilderModel::ActivatePage(int page) {
    auto tables = [this](OB_TYPE kind) {
        CStringArray texts;
        if (!m_Session || !m_Session->connected)
            return texts;
        CArray<TABLE_DESC> list;
        const CString owner = Owner();
        const int rc = m_Session->TablesList(&list, m_Session->ownerSupported ? owner : CString(), kind);
        if (rc != 0 && rc != 1) {
            ShowMessage(m_Session->lastError, "Can't fill Tables list!", MB_OK | MB_ICONERROR);
            return texts;
        }
        for (const TABLE_DESC& table : list)
            texts.push_back(CDBFill::ListTableText(table, owner, m_Session->ownerSupported));
        return texts;
    };
    switch (page) {
    case PG_FROM:
        fromTables = tables(OB_TABLE);
        break;
    case PG_TABLE: {
        singleTables = tables(m_Mode == SQL_DROP_VIEW ? OB_VIEW : OB_TABLE);
        singleSel = -1;
        if (!tableList.empty()) {
            for (size_t i = 0; i < singleTables.size(); ++i) {
                if (BeginsWith(singleTables[i], tableList[0].table)) {
                    singleSel = static_cast<int>(i);
                    break;
                }
            }
        }
        break;
    }
    case PG_COLUMNS:
        if (!tableList.empty()) {
            columnFields = TableFields(tableList[0].table, 0);
            columnSel.clear();
            columnCurrent = columnFields.empty() ? -1 : 0;
            for (size_t i = 0; i < columnFields.size(); ++i) {
                if (std::find(fieldList.begin(), fieldList.end(), columnFields[i]) != fieldList.end())
                    columnSel.insert(static_cast<int>(i));
            }
        }
        break;
    case PG_SELECT_LIST: {
        selectFields.clear();
        for (const CString& field : AllTableFields())
            InsertSorted(selectFields, field);
        selectFields.insert(selectFields.begin(), "*");
        break;
    }
    case PG_ORDER_GROUP:
        orderFields.clear();
        for (const CString& field : AllTableFields())
            InsertSorted(orderFields, field);
        break;
    case PG_CONDITIONS: {
        CString text;
        for (const BuilderTable& entry : tableList)
            text += entry.table + " ";
        if (text != seenTables) {
            seenTables = text;
            conditions[0].clear();
            conditions[1].clear();
        }
        break;
    }
    case PG_VALUES:
        values.clear();
        for (const CString& field : fieldList)
            values.push_back({field, ""});
        break;
    case PG_INDEX: {
        indexes.clear();
        indexSel = -1;
        if (!m_Session || !m_Session->connected || tableList.empty())
            break;
        CArray<IDX_DESC> list;
        const CString owner = Owner();
        const CString table = CDBFill::QualifiedTable(tableList[0].table, owner, m_Session->ownerSupported);
        const int rc = m_Session->IndexList(table, &list, owner);
        if (rc != 0 && rc != 1) {
            ShowMessage(m_Session->lastError, "Can't fill indexes list!", MB_OK | MB_ICONERROR);
            break;
        }
        for (const IDX_DESC& index : list) {
            if (!index.name.empty() && std::find(indexes.begin(), indexes.end(), index.name) == indexes.end())
                indexes.push_back(index.name);
        }
        break;
    }
    case PG_PROCEDURE: {
        procedures.clear();
        procedureSel = -1;
        if (!m_Session || !m_Session->connected)
            break;
        CArray<SP_DESC> list;
        const int rc = m_Session->SPList(&list, Owner());
        if (rc != 0 && rc != 1) {
            ShowMessage(m_Session->lastError, "Can't fill procedures list!", MB_OK | MB_ICONERROR);
            break;
        }
        for (const SP_DESC& procedure : list)
            procedures.push_back(procedure.name);
        break;
    }
    case PG_CREATE_TABLE: {
        dataTypes.clear();
        if (!m_Session || !m_Session->connected)
            break;
        CArray<TYPE_DESC> list;
        const int rc = m_Session->TypesList(&list);
        if (rc == 0 || rc == 1) {
            for (const TYPE_DESC& type : list)
                dataTypes.push_back(type.name);
        }
        break;
    }
    default:
        break;
    }
}

int CBuilderModel::ValidatePage(int page) {
    switch (page) {
    case PG_TYPE:
        return m_Session && m_Session->connected ? 1 : 0;
    case PG_FROM:
        if (fromList.empty()) {
            Error("At least one table must be selected!");
            return 0;
        }
        return 1;
    case PG_TABLE:
        if (singleSel < 0 || singleSel >= static_cast<int>(singleTables.size())) {
            Error("One table must be selected!");
            return 0;
        }
        return m_Mode == SQL_DROP_TABLE || m_Mode == SQL_DROP_VIEW ? 0 : 1;
    case PG_COLUMNS:
        return columnCurrent >= 0 && columnCurrent < static_cast<int>(columnFields.size()) ? 1 : 0;
    case PG_SELECT_LIST:
        return items.empty() ? 0 : 1;
    case PG_ORDER_GROUP:
        return 0;
    case PG_CONDITIONS:
        return m_Mode == SQL_SELECT ? 1 : 0;
    case PG_VALUES:
        return m_Mode == SQL_UPDATE ? 1 : 0;
    case PG_INDEX:
        if (indexSel < 0 || indexSel >= static_cast<int>(indexes.size()))
            Error("One index must be selected!");
        return 0;
    case PG_PROCEDURE:
        if (procedureSel < 0 || procedureSel >= static_cast<int>(procedures.size()))
            Error("One stored procedure must be selected!");
        return 0;
    case PG_CREATE_TABLE:
        if (newTable.empty() || std::isdigit(static_cast<unsigned char>(newTable[0])))
            Error("Enter correct table name first!");
        else if (columns.empty())
            Error("At least one field must be specified!");
        return 0;
    default:
        return 0;
    }
}

int CBuilderModel::NextPage(int page) {
    switch (page) {
    case PG_TYPE:
        m_Mode = static_cast<SQL_MODE>(std::clamp(typeChoice, 0, static_cast<int>(SQL_CREATE_TABLE)));
        switch (m_Mode) {
        case SQL_SELECT:
            return PG_FROM;
        case SQL_DROP_PROCEDURE:
            return PG_PROCEDURE;
        case SQL_CREATE_TABLE:
            return PG_CREATE_TABLE;
        default:
            return PG_TABLE;
        }
    case PG_FROM:
        return PG_SELECT_LIST;
    case PG_TABLE:
        switch (m_Mode) {
        case SQL_DELETE:
            return PG_CONDITIONS;
        case SQL_DROP_TABLE:
        case SQL_DROP_VIEW:
            return -1;
        case SQL_DROP_INDEX:
            return PG_INDEX;
        default:
            return PG_COLUMNS;
        }
    case PG_COLUMNS:
        return PG_VALUES;
    case PG_SELECT_LIST:
        return PG_CONDITIONS;
    case PG_CONDITIONS:
        return m_Mode == SQL_SELECT ? PG_ORDER_GROUP : -1;
    case PG_VALUES:
        return m_Mode == SQL_UPDATE ? PG_CONDITIONS : -1;
    default:
        return -1;
    }
}

int CBuilderModel::BackPage(int page) {
    switch (page) {
    case PG_TYPE:
        return -1;
    case PG_FROM:
    case PG_TABLE:
    case PG_PROCEDURE:
    case PG_CREATE_TABLE:
        return PG_TYPE;
    case PG_COLUMNS:
    case PG_INDEX:
        return PG_TABLE;
    case PG_SELECT_LIST:
        return PG_FROM;
    case PG_ORDER_GROUP:
        return PG_CONDITIONS;
    case PG_CONDITIONS:
        return m_Mode == SQL_SELECT ? PG_SELECT_LIST : m_Mode == SQL_DELETE ? PG_TABLE : PG_VALUES;
    case PG_VALUES:
        return PG_COLUMNS;
    default:
        return -1;
    }
}

CString CBuilderModel::GetPageSQL(int page) {
    switch (page) {
    case PG_TYPE:
        return Keyword(m_Mode);
    case PG_FROM:
        return FromSQL();
    case PG_TABLE:
        return TableSQL();
    case PG_COLUMNS:
        return FieldListSQL();
    case PG_SELECT_LIST:
        return SelectListSQL();
    case PG_ORDER_GROUP:
        return SortSQL("GROUP BY", groupBy) + SortSQL("ORDER BY", orderBy);
    case PG_CONDITIONS:
        return ConditionsSQL(0) + ConditionsSQL(1);
    case PG_VALUES:
        return m_Mode == SQL_UPDATE ? SetSQL() : ValuesSQL();
    case PG_INDEX:
        return IndexSQL();
    case PG_PROCEDURE:
        return ProcedureSQL();
    case PG_CREATE_TABLE:
        return CreateTableSQL();
    default:
        return "";
    }
}

void CBuilderModel::ResetPage(int page) {
    switch (page) {
    case PG_FROM:
        fromTables.clear();
        fromList.clear();
        break;
    case PG_TABLE:
        singleTables.clear();
        singleSel = -1;
        break;
    case PG_COLUMNS:
        columnFields.clear();
        columnSel.clear();
        columnCurrent = -1;
        break;
    case PG_SELECT_LIST:
        selectFields.clear();
        items.clear();
        break;
    case PG_ORDER_GROUP:
        orderFields.clear();
        orderBy.clear();
        groupBy.clear();
        break;
    case PG_CONDITIONS:
        conditions[0].clear();
        conditions[1].clear();
        break;
    case PG_VALUES:
        values.clear();
        break;
    case PG_INDEX:
        indexes.clear();
        indexSel = -1;
        break;
    case PG_PROCEDURE:
        procedures.clear();
        procedureSel = -1;
        break;
    case PG_CREATE_TABLE:
        columns.clear();
        dataTypes.clear();
        break;
    default:
        break;
    }
}

// ---- page buttons ---------------------------------------------------------------------------

int CBuilderModel::FromAdd(const Selection& selectedTables) {
    int added = 0;
    for (int row : selectedTables) {
        if (row >= 0 && row < static_cast<int>(fromTables.size())) {
            fromList.push_back({fromTables[row], ""});
            ++added;
        }
    }
    if (!added) {
        Error("Select table(s) to add first!");
        return 0;
    }
    return 1;
}

void CBuilderModel::FromAddAll() {
    for (const CString& table : fromTables)
        fromList.push_back({table, ""});
}

int CBuilderModel::FromRemove(const Selection& selectedEntries) {
    if (selectedEntries.empty()) {
        Error("Select table name first!");
        return 0;
    }
    RemoveRows(fromList, selectedEntries);
    return 1;
}

int CBuilderModel::FromAlias(const Selection& selectedEntries, const CString& alias) {
    if (selectedEntries.empty() || *selectedEntries.begin() >= static_cast<int>(fromList.size())) {
        Error("Select table name first!");
        return 0;
    }
    BuilderTable& entry = fromList[*selectedEntries.begin()];
    if (!alias.empty()) {
        entry.alias = alias;
        return 1;
    }
    if (entry.alias.empty()) {
        Error("Enter alias text first!");
        return 0;
    }
    if (ShowMessage("Delete alias for this table?", "Warning!", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        entry.alias.clear();
        return 1;
    }
    return 0;
}

int CBuilderModel::ItemsAddFields(const Selection& selectedFields) {
    int added = 0;
    for (int row : selectedFields) {
        if (row >= 0 && row < static_cast<int>(selectFields.size())) {
            items.push_back({selectFields[row], "", ""});
            ++added;
        }
    }
    if (!added) {
        Error("Select field(s) to add first!");
        return 0;
    }
    return 1;
}

int CBuilderModel::ItemsAddFunction(int function, const Selection& selectedFields) {
    if (function < 0 || function >= static_cast<int>(Functions().size())) {
        Error("Select function first!");
        return 0;
    }
    CString arguments;
    for (int row : selectedFields) {
        if (row < 0 || row >= static_cast<int>(selectFields.size()))
            continue;
        if (!arguments.empty())
            arguments += ", ";
        arguments += selectFields[row];
    }
    if (arguments.empty()) {
        Error("Select function argument(s) from fields list!");
        return 0;
    }
    items.push_back({Functions()[function] + "(" + arguments + ")", "", ""});
    return 1;
}

int CBuilderModel::ItemsAddValue(const CString& value) {
    if (value.empty()) {
        Error("Enter value to add first!");
        return 0;
    }
    items.push_back({value, "", ""});
    return 1;
}

int CBuilderModel::ItemsRemove(const Selection& selectedItems) {
    if (selectedItems.empty()) {
        Error("Select field(s) to delete from list first!");
        return 0;
    }
    RemoveRows(items, selectedItems);
    return 1;
}

int CBuilderModel::ItemsDistinct(const Selection& selectedItems) {
    if (selectedItems.empty()) {
        Error("Select field(s) to set/remove 'distinct' cause first!");
        return 0;
    }
    for (int row : selectedItems) {
        if (row >= 0 && row < static_cast<int>(items.size()))
            items[row].distinct = items[row].distinct.empty() ? "Y" : "";
    }
    return 1;
}

int CBuilderModel::ItemsAs(const Selection& selectedItems, const CString& as) {
    if (selectedItems.empty()) {
        Error("Select field first!");
        return 0;
    }
    for (int row : selectedItems) {
        if (row >= 0 && row < static_cast<int>(items.size()))
            items[row].as = as;
    }
    return 1;
}

void CBuilderModel::OrderAdd(const Selection& selectedFields) {
    for (int row : selectedFields) {
        if (row >= 0 && row < static_cast<int>(orderFields.size()))
            InsertSorted(orderBy, orderFields[row]);
    }
}

void CBuilderModel::GroupAdd(const Selection& selectedFields) {
    for (int row : selectedFields) {
        if (row >= 0 && row < static_cast<int>(orderFields.size()))
            InsertSorted(groupBy, orderFields[row]);
    }
}

int CBuilderModel::OrderRemove(int current) {
    if (current < 0 || current >= static_cast<int>(orderBy.size())) {
        Error("Select order item first!");
        return 0;
    }
    orderBy.erase(orderBy.begin() + current);
    return 1;
}

int CBuilderModel::GroupRemove(int current) {
    if (current < 0 || current >= static_cast<int>(groupBy.size())) {
        Error("Select 'group by' item first!");
        return 0;
    }
    groupBy.erase(groupBy.begin() + current);
    return 1;
}

void CBuilderModel::ConditionAdd(int list, const BuilderCondition& condition) {
    conditions[list ? 1 : 0].push_back(condition);
}

int CBuilderModel::ConditionEditRow(int list, const Selection& selectedRows) {
    const auto& rows = conditions[list ? 1 : 0];
    for (auto it = selectedRows.rbegin(); it != selectedRows.rend(); ++it) {
        if (*it >= 0 && *it < static_cast<int>(rows.size()))
            return *it;
    }
    Error("Select condition to edit first!");
    return -1;
}

int CBuilderModel::ConditionDelete(int list, const Selection& selectedRows) {
    if (selectedRows.empty()) {
        Error("Select condition(s) to delete from list first!");
        return 0;
    }
    RemoveRows(conditions[list ? 1 : 0], selectedRows);
    return 1;
}

int CBuilderModel::SetValue(int row, const CString& value) {
    if (row < 0 || row >= static_cast<int>(values.size())) {
        Error("Select field name first!");
        return 0;
    }
    values[row].value = value;
    return 1;
}

int CBuilderModel::ColumnAdd(const CString& name, const CString& type, const CString& defaultValue,
                             int null) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) {
        Error("Bad field name!");
        return 0;
    }
    columns.push_back({name, type, defaultValue, null ? "NULL" : ""});
    return 1;
}

int CBuilderModel::ColumnDelete(const Selection& selectedRows) {
    if (selectedRows.empty()) {
        Error("Select field(s) to delete from list first!");
        return 0;
    }
    RemoveRows(columns, selectedRows);
    return 1;
}

// ---- fragments ------------------------------------------------------------------------------

CString CBuilderModel::QuotedTable(const CString& table) const {
    CString owner, name;
    if (m_Session) {
        m_Session->PrepareOwner(&owner, &name, "", table, 1);
    } else {
        const size_t dot = table.rfind('.');
        if (dot != CString::npos && dot > 0) {
            owner = table.substr(0, dot);
            name = table.substr(dot + 1);
        } else {
            name = table;
        }
    }
    return owner.empty() ? name : owner + "." + name;
}

CString CBuilderModel::TableSQL() {
    if (singleSel < 0 || singleSel >= static_cast<int>(singleTables.size()))
        return "";
    const CString& table = singleTables[singleSel];
    tableList.assign(1, {table, ""});
    return QuotedTable(table) + " ";
}

CString CBuilderModel::SelectListSQL() {
    CString text;
    fieldList.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        const CString field = FieldWithAlias(items[i].item);
        CString line = items[i].distinct.empty() ? "" : "DISTINCT ";
        line += field;
        if (!items[i].as.empty())
            line += " AS \"" + items[i].as + "\"";
        AppendItem(text, i == 0, line);
        fieldList.push_back(field);
    }
    return text + "\r\n";
}

CString CBuilderModel::FromSQL() {
    CString text = "FROM";
    tableList.clear();
    for (size_t i = 0; i < fromList.size(); ++i) {
        CString line = QuotedTable(fromList[i].table);
        if (!fromList[i].alias.empty())
            line += " " + fromList[i].alias;
        AppendItem(text, i == 0, line);
        tableList.push_back(fromList[i]);
    }
    return text + "\r\n";
}

CString CBuilderModel::ConditionsSQL(int list) const {
    const auto& rows = conditions[list ? 1 : 0];
    if (rows.empty())
        return "";
    CString text = list ? "HAVING" : "WHERE";
    for (const BuilderCondition& c : rows) {
        text += LineStart;
        text += FieldWithAlias(c.operand1) + c.operation + FieldWithAlias(c.operand2) + " " + c.link;
    }
    return text + "\r\n";
}

CString CBuilderModel::SortSQL(const char* keyword, const CStringArray& list) const {
    CString text;
    if (!list.empty()) {
        text = keyword;
        for (size_t i = 0; i < list.size(); ++i)
            AppendItem(text, i == 0, FieldWithAlias(list[i]));
    }
    return text + "\r\n";
}

CString CBuilderModel::FieldListSQL() {
    CString text = "(";
    fieldList.clear();
    bool first = true;
    for (int row : columnSel) {
        if (row < 0 || row >= static_cast<int>(columnFields.size()))
            continue;
        AppendItem(text, first, columnFields[row]);
        fieldList.push_back(columnFields[row]);
        first = false;
    }
    return text + "\r\n)\r\n";
}

CString CBuilderModel::ValuesSQL() const {
    CString text = "VALUES\r\n(";
    for (size_t i = 0; i < values.size(); ++i)
        AppendItem(text, i == 0, values[i].value);
    return text + "\r\n)" + "\r\n";
}

CString CBuilderModel::SetSQL() const {
    CString text = "SET";
    for (size_t i = 0; i < values.size(); ++i)
        AppendItem(text, i == 0, values[i].field + "=" + values[i].value);
    return text + "\r\n";
}

CString CBuilderModel::IndexSQL() const {
    if (indexSel < 0 || indexSel >= static_cast<int>(indexes.size()))
        return "";
    const CString table = tableList.empty() ? CString() : tableList[0].table;
    return table + "." + indexes[indexSel];
}

CString CBuilderModel::ProcedureSQL() const {
    if (procedureSel < 0 || procedureSel >= static_cast<int>(procedures.size()))
        return "";
    return procedures[procedureSel];
}

CString CBuilderModel::CreateTableSQL() const {
    CString lines;
    for (size_t i = 0; i < columns.size(); ++i) {
        const BuilderColumn& c = columns[i];
        if (i)
            lines += ",\r\n";
        lines += "  " + c.name + "\t" + c.type + "\t" +
                 (c.defaultValue.empty() ? CString() : "default " + c.defaultValue) + "\t" +
                 (c.null.empty() ? "NOT NULL" : "NULL");
    }
    return newTable + " (\r\n" + lines + " \r\n)";
}
