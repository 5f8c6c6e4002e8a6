#include "codbc/CRowsetReader.h"

#include "codbc/ODBC.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdio>

namespace {
long Clamp(unsigned long value, long low, long high) {
    return value < static_cast<unsigned long>(low)    ? low
           : value > static_cast<unsigned long>(high) ? high
                                                      : static_cast<long>(value);
}
} // namespace

CRowsetReader::CRowsetReader(ODBC& session) : m_DB(session) {}

CRowsetReader::~CRowsetReader() {
    Release();
}

void CRowsetReader::Release() {
    // A statement released meanwhile took its bindings with it.
    if (m_Bound && m_DB.hstmt == m_Stmt)
        m_DB.Unbind();
    m_Bound = false;
}

long CRowsetReader::CellSize(short sqlType, unsigned long size) {
    switch (sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
        return 8;
    case SQL_INTEGER:
    case SQL_DATE:
    case SQL_TYPE_DATE:
    case SQL_TIME:
    case SQL_TYPE_TIME:
        return 16;
    case SQL_BIGINT:
        return 24;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_TIMESTAMP:
    case SQL_TYPE_TIMESTAMP:
    case SQL_GUID:
        return 40;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        return Clamp(size + 3, 40, kLongCell);
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
        // Up to four bytes a character; a longer value is read again in pieces.
        return size == 0 ? kLongCell : Clamp(size > (1ul << 20) ? (1ul << 22) : size * 4 + 1, 16, kLongCell);
    default:
        return kLongCell;
    }
}

bool CRowsetReader::Bind(const std::vector<short>& sqlTypes, const std::vector<unsigned long>& sizes,
                         int rowLimit) {
    Release();
    const size_t columns = sqlTypes.size();
    if (columns == 0 || sizes.size() != columns || !m_DB.hstmt)
        return false;
    // A value longer than its cell is read again with SQLGetData on a bound column, within a
    // rowset after positioning on its row: without that, bound reading could cut values.
    int extensions = 0;
    if (m_DB.GetInfo(SQL_GETDATA_EXTENSIONS, &extensions) != 0 || !(extensions & SQL_GD_BOUND))
        return false;
    // MariaDB's driver gives wrong texts when a value of a rowset is read again after positioning, and
    // ends the rows early: it gets one row per fetch.
    CString dbmsName;
    const bool mySql = m_DB.GetInfo(SQL_DBMS_NAME, &dbmsName) == 0 && CDB::IsMySqlName(dbmsName);
    const bool blocks = (extensions & SQL_GD_BLOCK) && ODBC::CanPosition() && !mySql;

    m_CellSize.resize(columns);
    long rowBytes = 0;
    for (size_t c = 0; c < columns; ++c) {
        m_CellSize[c] = CellSize(sqlTypes[c], sizes[c]);
        rowBytes += m_CellSize[c] + static_cast<long>(sizeof(long));
    }
    m_Rows = blocks ? std::clamp(static_cast<int>(kMaxRowsetBytes / rowBytes), 1, std::max(rowLimit, 1)) : 1;

    m_Stmt = m_DB.hstmt;
    m_Bound = true;
    if (m_Rows > 1 && m_DB.SetStmtOption(SQL_ATTR_ROW_ARRAY_SIZE, m_Rows) != 0)
        m_Rows = 1;
    // The driver reports how many rows a fetch delivered; one that never writes the count
    // delivers one row per fetch.
    if (m_DB.SetStmtPointer(SQL_ATTR_ROWS_FETCHED_PTR, &m_Fetched) != 0 && m_Rows > 1) {
        Release();
        return false;
    }
    m_Status.assign(static_cast<size_t>(m_Rows), SQL_ROW_SUCCESS);
    if (m_DB.SetStmtPointer(SQL_ATTR_ROW_STATUS_PTR, m_Status.data()) != 0)
        m_Status.clear();

    m_Data.assign(columns, {});
    m_Lengths.assign(columns, {});
    m_Long.assign(columns, {});
    for (size_t c = 0; c < columns; ++c) {
        m_Data[c].assign(static_cast<size_t>(m_CellSize[c]) * static_cast<size_t>(m_Rows), 0);
        m_Lengths[c].assign(static_cast<size_t>(m_Rows), 0);
        if (m_DB.BindText(static_cast<int>(c), m_Data[c].data(), m_CellSize[c], m_Lengths[c].data()) != 0) {
            Release();
            return false;
        }
    }
    return true;
}

int CRowsetReader::Fetch() {
    m_Delivered = 0;
    if (m_Failed)
        return -1;
    if (m_Ended || !m_Bound || m_DB.hstmt != m_Stmt)
        return 0;
    // A driver that never writes the count delivers one row per fetch.
    m_Fetched = m_Rows == 1 ? 1 : 0;
    std::fill(m_Status.begin(), m_Status.end(), static_cast<unsigned short>(SQL_ROW_SUCCESS));
    const int rc = m_DB.Fetch();
    if (rc == 100) {
        m_Ended = true;
        return 0;
    }
    if (rc != 0) {
        m_Failed = true;
        return -1;
    }
    m_Delivered = static_cast<int>(std::min<unsigned long>(m_Fetched, static_cast<unsigned long>(m_Rows)));
    // A short rowset with a warning may be the rows before a broken connection: a driver must not be
    // asked again on a statement whose connection is dead.
    if (m_Delivered < m_Rows && m_DB.lastRc == SQL_SUCCESS_WITH_INFO && m_DB.WarningIsFailure())
        m_Failed = true;
    // The rows before one the driver could not read are delivered; the load stops at that row.
    for (int i = 0; i < m_Delivered && static_cast<size_t>(i) < m_Status.size(); ++i) {
        if (m_Status[static_cast<size_t>(i)] == SQL_ROW_ERROR) {
            if (!m_Failed)
                std::snprintf(m_DB.lastError, sizeof m_DB.lastError,
                              "The driver could not read row %d of a rowset.", i + 1);
            m_Delivered = i;
            m_Failed = true;
            break;
        }
    }
    if (m_Delivered == 0) {
        // A success that delivers nothing is no end of the rows (that is SQL_NO_DATA) and never counts
        // as a row of stale cells: the read failed.
        if (!m_Failed)
            std::snprintf(m_DB.lastError, sizeof m_DB.lastError, "%s",
                          "The driver reported a fetched rowset without rows.");
        m_Failed = true;
        return -1;
    }
    return m_Delivered;
}

int CRowsetReader::GetText(int row, int col, std::string_view& text, long& indicator) {
    text = {};
    indicator = 0;
    if (row < 0 || row >= m_Delivered || col < 0 || static_cast<size_t>(col) >= m_Data.size())
        return -1;
    if (!m_Status.empty()) {
        const unsigned short status = m_Status[static_cast<size_t>(row)];
        if (status == SQL_ROW_ERROR || status == SQL_ROW_NOROW)
            return 1;
    }
    const long length = m_Lengths[static_cast<size_t>(col)][static_cast<size_t>(row)];
    if (length == SQL_NULL_DATA) {
        indicator = SQL_NULL_DATA;
        return 0;
    }
    const long cell = m_CellSize[static_cast<size_t>(col)];
    if (length >= 0 && length < cell) {
        indicator = length;
        text = std::string_view(m_Data[static_cast<size_t>(col)].data() + static_cast<size_t>(row) * cell,
                                static_cast<size_t>(length));
        return 0;
    }
    // Cut or of unknown length: read the whole value again.
    if (m_Rows > 1 && m_DB.SetPosition(row) != 0)
        return 1;
    CString& whole = m_Long[static_cast<size_t>(col)];
    // A cut value whose length the driver told is read again in one piece.
    const int rc = m_DB.ReadText(col, whole, &indicator, length >= cell ? length + 1 : kLongCell);
    text = whole;
    return rc;
}
