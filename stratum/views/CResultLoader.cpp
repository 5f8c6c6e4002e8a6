#include "views/CResultLoader.h"

#include "codbc/CDB.h"
#include "codbc/Charset.h"
#include "grid/CResultTable.h"
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

void CResultLoader::AssignDatabase(CDB* connection, int conversion) {
    m_pDB = connection;
    m_Table.Clear();
    if (!m_pDB)
        return;
    if (m_pDB->stmtType != STMT_ROWS) {
        AssignNonSelect(m_pDB);
        return;
    }
    int columns = 0;
    if (m_pDB->NumResultCols(&columns) != 0)
        return;
    m_Table.SetResultColumns(columns > 0 ? static_cast<unsigned>(columns) : 0u);
    FillingList(conversion);
}

void CResultLoader::FillingList(int conversion) {
    const unsigned columns = m_Table.GetResultColumns();
    m_Table.Clear();
    m_Table.SetResultColumns(columns);
    m_Table.Initialize();
    m_Table.SetColumnCount(static_cast<int>(columns) + 1);
    if (!m_pDB)
        return;

    for (unsigned c = 0; c < columns; ++c) {
        CString name, typeName;
        short sqlType = 0, digits = 0, nullable = 0;
        unsigned long size = 0;
        if (m_pDB->DescribeCol(static_cast<int>(c), &name, &sqlType, &size, &digits, &nullable, &typeName) !=
            0)
            continue;
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

    // Events are processed between rows, at most once per interval: dispatching them for every cell
    // would cost more than the read itself.
    using Clock = std::chrono::steady_clock;
    auto lastPump = Clock::now();
    const bool viewNull = m_Table.GetViewNull() != 0;
    CString value, converted;
    long indicator = 0;
    for (int r = 0; m_pDB->Fetch() == 0; ++r) {
        const int row = m_Table.NextRow(r);
        if (row < 0)
            break;
        if (m_pNeedAbort && *m_pNeedAbort)
            break;
        for (unsigned c = 0; c < columns; ++c) {
            std::string_view text = kFailedRead;
            if (m_pDB->GetDataAsText(static_cast<int>(c), value, &indicator) == 0) {
                if (indicator == -1)
                    text = viewNull ? CResultTable::kNullText : "";
                else
                    text = value;
            }
            if (conversion != 0) {
                converted = conversion > 0 ? AnsiToOem(CString(text)) : OemToAnsi(CString(text));
                text = converted;
            }
            m_Table.SetCellText(row, static_cast<int>(c) + 1, text);
        }
        if (m_Pump) {
            const auto now = Clock::now();
            if (now - lastPump >= m_PumpInterval) {
                m_Pump();
                lastPump = Clock::now();
            }
        }
    }
    AddToolTips();
    Finish();
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
    if (!m_pDB)
        return;
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
    if (m_pDB->NRecords(&count) == 0) {
        m_Table.SetResultColumns(1);
        if (kind == STMT_CREATE || kind == STMT_DROP)
            count = 1;
        const int row = m_Table.NextRow(0);
        char text[32];
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(count));
        m_Table.SetCellText(row, 1, text);
    }
    Finish();
}

void CResultLoader::Finish() {
    if (m_OnLoaded)
        m_OnLoaded();
    m_pDB->StmtRealloc();
}
