// Reads the main statement's result set a rowset at a time into bound, column-wise arrays, and gives
// every value the text that ODBC::GetDataAsText would read for it: one driver call per rowset instead
// of one per cell. Values longer than their bound cell are read again in pieces.
#pragma once

#include "CommonTypes.h"

#include <string_view>
#include <vector>

class ODBC;

class CRowsetReader {
public:
    // Most rows fetched at once, and the most bytes the bound arrays of one rowset may take.
    static constexpr int kMaxRows = 256;
    static constexpr long kMaxRowsetBytes = 4L << 20;
    // Bound cell of a column without a small bound on its text; it matches the piece of GetDataAsText.
    static constexpr long kLongCell = 1024;

    explicit CRowsetReader(ODBC& session);
    // Releases the bindings, so the statement never writes into freed arrays.
    ~CRowsetReader();
    CRowsetReader(const CRowsetReader&) = delete;
    CRowsetReader& operator=(const CRowsetReader&) = delete;

    // Binds every column of the current result set by its SQL type and column size. False when the
    // driver can't serve bound reading; nothing stays bound then and the caller reads cell by cell.
    bool Bind(const std::vector<short>& sqlTypes, const std::vector<unsigned long>& sizes,
              int rowLimit = kMaxRows);
    // Fetches the next rowset: its number of rows, 0 at the end of the rows, -1 when the fetch failed
    // (the driver's message is the session's lastError). After the end or a failure the driver is not
    // asked again.
    int Fetch();
    // A value of the current rowset as GetDataAsText reads it: 0 on success with indicator -1 for a
    // NULL; non-zero when the read failed. The text stays valid until the next Fetch or the next read
    // of the same column, so the texts of a whole row can be collected.
    int GetText(int row, int col, std::string_view& text, long& indicator);

    // Rows asked for per fetch (the driver may deliver fewer).
    int RowsetSize() const { return m_Rows; }
    // Bytes of the bound cell of a value of the SQL type and column size.
    static long CellSize(short sqlType, unsigned long size);

private:
    void Release();

    ODBC& m_DB;
    void* m_Stmt = nullptr;
    bool m_Bound = false;
    int m_Rows = 1;
    std::vector<long> m_CellSize;
    std::vector<std::vector<char>> m_Data;
    std::vector<std::vector<long>> m_Lengths;
    std::vector<unsigned short> m_Status;
    unsigned long m_Fetched = 0;
    int m_Delivered = 0;
    bool m_Ended = false;        // the last fetch reached the end of the rows
    bool m_Failed = false;       // a fetch failed, or a row of the last rowset could not be read
    std::vector<CString> m_Long; // values read again, one per column
};
