#include "views/CResultLoader.h"

#include "codbc/CDB.h"
#include "codbc/CRowsetReader.h"
#include "codbc/Charset.h"
#include "codbc/ODBC.h"
#include "grid/CResultTable.h"
#include "grid/CRowSink.h"
#include "services/Helpers.h"
#include "toolkit/MessageBox.h"

#include <cstdio>

namespace {
constexpr unsigned long kMaxDisplayWidth = 2048;
} // namespace

CResultLoader::CResultLoader(CResultTable& table) : m_Table(table), m_Pump(PumpMessage) {}

CString CResultLoader::NonSelectHeading(int stmtType) {
    switch (stmtType) {
    case STMT_INSERT:
        return "Inserted record(s)";
    case STMT_UPDATE:
        return "Updated record(s)";
    case STMT_DELETE:
        return "Deleted record(s)";
    case STMT_CREATE:
        return "Created object(s)";
    case STMT_DROP:
        return "Droped object(s)";
    case STMT_ALTER:
        return "Altered object(s)";
    default:
        return CString();
    }
}

CRowSink& CResultLoader::Sink() {
    return m_pSink ? *m_pSink : m_Table;
}

void CResultLoader::NoRows() {
    Sink().BeginRows();
    Sink().EndRows();
}

void CResultLoader::AssignDatabase(CDB* connection, int conversion) {
    m_pDB = connection;
    m_nRows = 0;
    m_Incomplete = false;
    m_ReadError.clear();
    m_Table.Clear();
    if (!m_pDB) {
        NoRows();
        return;
    }
    if (m_pDB->stmtType != STMT_ROWS) {
        AssignNonSelect(m_pDB);
        return;
    }
    int columns = 0;
    if (m_pDB->NumResultCols(&columns) != 0) {
        NoRows();
        return;
    }
    m_Table.SetResultColumns(columns > 0 ? static_cast<unsigned>(columns) : 0u);
    FillingList(conversion);
}

void CResultLoader::FillingList(int conversion) {
    const unsigned columns = m_Table.GetResultColumns();
    m_nRows = 0;
    m_Incomplete = false;
    m_ReadError.clear();
    m_Table.Clear();
    m_Table.SetResultColumns(columns);
    m_Table.Initialize();
    m_Table.SetColumnCount(static_cast<int>(columns) + 1);
    if (!m_pDB) {
        NoRows();
        return;
    }

    std::vector<short> sqlTypes(columns, 0);
    std::vector<unsigned long> sizes(columns, 0);
    for (unsigned c = 0; c < columns; ++c) {
        CString name, typeName;
        short sqlType = 0, digits = 0, nullable = 0;
        unsigned long size = 0;
        if (m_pDB->DescribeCol(static_cast<int>(c), &name, &sqlType, &size, &digits, &nullable, &typeName) !=
            0)
            continue;
        // Some drivers cut an expression's name at its last dot ("sum(o.total)" becomes "total)")
        // but keep it whole in the label.
        if (auto* session = dynamic_cast<ODBC*>(m_pDB)) {
            CString label;
            if (session->ColLabel(static_cast<int>(c), &label) == 0 && label.size() > name.size())
                name = label;
        }
        sqlTypes[c] = sqlType;
        sizes[c] = size;
        FLD_DESC field;
        field.sqlType = sqlType;
        field.width = static_cast<int>(size > kMaxDisplayWidth ? kMaxDisplayWidth : size);
        field.columnSize = static_cast<int>(size);
        field.decimalDigits = digits;
        field.nullable = nullable;
        field.name = name;
        field.typeName = typeName;
        m_Table.Fields().push_back(std::move(field));
        m_Table.AddColumn(static_cast<int>(c), name);
    }
    m_pDB->SetBlobAsText(m_Table.GetBlobAsText());

    m_ViewNull = m_Table.GetViewNull() != 0;
    m_LastPump = std::chrono::steady_clock::now();
    m_Row.assign(columns, {});
    m_Converted.assign(conversion != 0 ? columns : 0, {});
    if (Sink().BeginRows()) {
        if (!m_RowsetReading || !ReadRowsets(columns, sqlTypes, sizes, conversion))
            ReadCells(columns, conversion);
    }
    Sink().EndRows();
    m_Row.clear();
    AddToolTips();
    Finish();
}

// Runs for every value read: the common case stays small enough to be inlined.
inline std::string_view CResultLoader::ShownText(unsigned col, int result, std::string_view value,
                                                 long indicator, int conversion) {
    if (result == 0 && indicator == -1)
        return CResultTable::NullView(m_ViewNull);
    if (result != 0) [[unlikely]]
        ReadFailed();
    const std::string_view text = result != 0 ? std::string_view(kFailedRead) : value;
    return conversion == 0 ? text : Converted(col, text, conversion);
}

std::string_view CResultLoader::Converted(unsigned col, std::string_view text, int conversion) {
    CString& converted = m_Converted[col];
    converted = conversion > 0 ? AnsiToOem(CString(text)) : OemToAnsi(CString(text));
    return converted;
}

bool CResultLoader::PassRow(int r, unsigned columns) {
    if (!Sink().AddRow(r, m_Row.data(), columns))
        return false;
    m_nRows = r + 1;
    PumpBetweenRows();
    return true;
}

void CResultLoader::PassAbortedRow(int r) {
    if (Sink().AddRow(r, nullptr, 0))
        m_nRows = r + 1;
}

// Events are processed between rows, at most once per interval: dispatching them for every cell
// would cost more than the read itself.
void CResultLoader::PumpBetweenRows() {
    if (!m_Pump)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_LastPump >= m_PumpInterval) {
        m_Pump();
        m_LastPump = std::chrono::steady_clock::now();
    }
}

void CResultLoader::ReadFailed() {
    if (m_Incomplete)
        return;
    m_Incomplete = true;
    m_ReadError =
        m_pDB && m_pDB->lastError[0] ? CString(m_pDB->lastError) : CString("The driver gave no message.");
}

void CResultLoader::ReadCells(unsigned columns, int conversion) {
    // One value buffer per column: the texts of a row stay valid until the row is passed on.
    std::vector<CString> values(columns);
    long indicator = 0;
    for (int r = 0;; ++r) {
        const int fetched = m_pDB->Fetch();
        if (fetched == 100)
            break;
        if (fetched != 0) {
            // Without result columns there is nothing to lose: a statement without a result set.
            if (columns > 0)
                ReadFailed();
            break;
        }
        if (m_pNeedAbort && *m_pNeedAbort) {
            PassAbortedRow(r);
            break;
        }
        for (unsigned c = 0; c < columns; ++c) {
            const int result = m_pDB->GetDataAsText(static_cast<int>(c), values[c], &indicator);
            m_Row[c] = ShownText(c, result, values[c], indicator, conversion);
        }
        if (!PassRow(r, columns))
            break;
    }
}

bool CResultLoader::ReadRowsets(unsigned columns, const std::vector<short>& sqlTypes,
                                const std::vector<unsigned long>& sizes, int conversion) {
    auto* session = dynamic_cast<ODBC*>(m_pDB);
    if (!session || columns == 0)
        return false;
    CRowsetReader reader(*session);
    if (!reader.Bind(sqlTypes, sizes))
        return false;
    std::string_view value;
    long indicator = 0;
    int r = 0;
    for (;;) {
        const int rows = reader.Fetch();
        if (rows < 0)
            ReadFailed();
        if (rows <= 0)
            break;
        for (int i = 0; i < rows; ++i, ++r) {
            if (m_pNeedAbort && *m_pNeedAbort) {
                PassAbortedRow(r);
                return true;
            }
            for (unsigned c = 0; c < columns; ++c) {
                const int result = reader.GetText(i, static_cast<int>(c), value, indicator);
                m_Row[c] = ShownText(c, result, value, indicator, conversion);
            }
            if (!PassRow(r, columns))
                return true;
        }
    }
    return true;
}

void CResultLoader::AddToolTips() {
    const auto& fields = m_Table.Fields();
    for (size_t i = 0; i < m_Table.GetResultColumns() && i < fields.size(); ++i) {
        const FLD_DESC& field = fields[i];
        if (field.typeName.empty())
            continue;
        CString digits;
        if (field.decimalDigits != 0)
            digits = "." + std::to_string(field.decimalDigits);
        char tip[512];
        std::snprintf(tip, sizeof tip, "%s(%d%s) %s", field.typeName.c_str(), field.columnSize,
                      digits.c_str(), field.nullable != 0 ? "NULL" : "");
        m_Table.SetColTip(static_cast<int>(i), tip);
    }
}

void CResultLoader::AssignNonSelect(CDB* connection) {
    m_pDB = connection;
    m_nRows = 0;
    if (!m_pDB) {
        NoRows();
        return;
    }
    const int kind = m_pDB->stmtType;
    const CString heading = NonSelectHeading(kind);
    if (heading.empty())
        ShowMessage("Error SQL statement type!", "", MB_OK, m_pParent);

    m_Table.Clear();
    m_Table.Initialize();
    m_Table.SetColumnCount(2);
    m_Table.AddColumn(0, heading);
    FLD_DESC field;
    field.sqlType = 4;
    field.width = 8;
    field.name = heading;
    m_Table.Fields().push_back(field);

    int count = 0;
    const bool counted = m_pDB->NRecords(&count) == 0;
    if (counted)
        m_Table.SetResultColumns(1);
    if (Sink().BeginRows() && counted) {
        if (kind == STMT_CREATE || kind == STMT_DROP)
            count = 1;
        char text[32];
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(count));
        const std::string_view value = text;
        if (Sink().AddRow(0, &value, 1))
            m_nRows = 1;
    }
    Sink().EndRows();
    Finish();
}

void CResultLoader::Finish() {
    if (m_OnLoaded)
        m_OnLoaded();
    m_pDB->StmtRealloc();
}
