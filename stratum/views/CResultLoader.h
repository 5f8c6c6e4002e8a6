// Reads the outcome of a connection's last statement into a window-free result table: the column
// descriptions and every row as text, or a one-cell summary for a statement that returns no rows.
// The rows can go to another row sink instead, such as an export that writes them at once. The
// result grid wraps it; the headless runner uses it directly.
#pragma once

#include "CommonTypes.h"

#include <chrono>
#include <functional>
#include <string_view>
#include <vector>

class CDB;
class CResultTable;
class CRowSink;
class QWidget;

class CResultLoader {
public:
    // Pending events are processed at most this often while rows are read.
    static constexpr std::chrono::milliseconds kDefaultPumpInterval{20};
    // Text of a value whose read failed.
    static constexpr const char* kFailedRead = "       ";

    explicit CResultLoader(CResultTable& table);

    // A non-zero flag stops the reading of further rows; null means never.
    void AssignNeedAbort(int* flag) { m_pNeedAbort = flag; }
    // What processes pending events during a load (PumpMessage unless replaced; empty for none).
    void SetPump(std::function<void()> pump) { m_Pump = std::move(pump); }
    void SetPumpInterval(std::chrono::milliseconds interval) { m_PumpInterval = interval; }
    // Runs after the table is complete and before the statement is released (sizing, repainting).
    void SetOnLoaded(std::function<void()> onLoaded) { m_OnLoaded = std::move(onLoaded); }
    // Whether rows are read a rowset at a time where the driver allows it (on by default); off
    // reads every value with its own GetDataAsText.
    void SetRowsetReading(bool on) { m_RowsetReading = on; }
    // Where the rows go: the table unless replaced (not owned; null gives them to the table again).
    // The table receives the headings and column descriptions in any case.
    void SetRowSink(CRowSink* sink) { m_pSink = sink; }
    // Rows handed over so far in the current or last load.
    int RowsRead() const { return m_nRows; }
    // Whether the last load ended on a failed fetch or value read: the rows read before it stay, but
    // the result is not the whole one. ReadError is the driver's message then.
    bool Incomplete() const { return m_Incomplete; }
    const CString& ReadError() const { return m_ReadError; }
    // Window over which messages are shown.
    void SetMessageParent(QWidget* parent) { m_pParent = parent; }

    // Clears the table and loads the current statement's outcome. Conversion: 1 ANSI to OEM,
    // -1 OEM to ANSI, 0 none.
    void AssignDatabase(CDB* connection, int conversion);
    // Column descriptions and all rows of the current result set.
    void FillingList(int conversion);
    // One-cell summary: the statement's kind as heading, the affected rows as value.
    void AssignNonSelect(CDB* connection);
    // A heading tip with the type of each described result column.
    void AddToolTips();
    // Heading of the summary of a statement kind; empty for a kind without one.
    static CString NonSelectHeading(int stmtType);

    CDB* GetConnection() const { return m_pDB; }

private:
    CRowSink& Sink();
    // A load without rows still begins and ends the sink's rows.
    void NoRows();
    void Finish();
    // Row loops: one GetDataAsText per value, or bound rowsets. Both end at the abort flag or when
    // the sink refuses a row.
    void ReadCells(unsigned columns, int conversion);
    bool ReadRowsets(unsigned columns, const std::vector<short>& sqlTypes,
                     const std::vector<unsigned long>& sizes, int conversion);
    // The text of a value as the row shows it; a converted text is kept until the column's next value.
    std::string_view ShownText(unsigned col, int result, std::string_view value, long indicator,
                               int conversion);
    std::string_view Converted(unsigned col, std::string_view text, int conversion);
    // Hands the collected texts of row r to the sink; false ends the reading.
    bool PassRow(int r, unsigned columns);
    // The row cut short by the abort flag: numbered, its cells empty.
    void PassAbortedRow(int r);
    void PumpBetweenRows();
    // Notes the first failure of the load with the session's message.
    void ReadFailed();

    CResultTable& m_Table;
    CRowSink* m_pSink = nullptr;
    CDB* m_pDB = nullptr;
    int* m_pNeedAbort = nullptr;
    std::function<void()> m_Pump;
    std::chrono::milliseconds m_PumpInterval = kDefaultPumpInterval;
    std::function<void()> m_OnLoaded;
    QWidget* m_pParent = nullptr;
    bool m_RowsetReading = true;
    bool m_ViewNull = true;
    int m_nRows = 0;
    bool m_Incomplete = false;
    CString m_ReadError;
    std::vector<std::string_view> m_Row;
    std::vector<CString> m_Converted;
    std::chrono::steady_clock::time_point m_LastPump;
};
