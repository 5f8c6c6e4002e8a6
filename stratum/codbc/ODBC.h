// The database session over the unixODBC driver manager, which is loaded by name when the first
// session is created, so the program runs (and says so) on a machine without it.
#pragma once

#include "codbc/CDB.h"

#include <functional>
#include <memory>

class CExecWorker;

class ODBC : public CDB {
public:
    // Throws the integer 1 when the driver manager or one of its entry points is missing, 2 when
    // the environment cannot be allocated.
    ODBC();
    ~ODBC() override;

    int BindCol(int col, char* buffer, int size, long* indicator) override;
    int Cancel() override;
    // 0 connected; 1 connected without a statement; 2 no connection handle; 4 already connected or refused.
    int Connect(CString dataSource, CString user, CString password) override;
    int ColName(int col, CString* name) override;
    int ColType(int col, long* value) override;
    int ColLength(int col, long* value) override;
    int DescribeCol(int col, CString* name, short* sqlType, unsigned long* columnSize, short* decimalDigits,
                    short* nullable, CString* typeName) override;
    void Disconnect() override;
    int DrvList(CArray<DRV_DESC>* list) override;
    int DSList(CArray<DSN_DESC>* list) override;
    int DatabList(CArray<DATAB_DESC>* list) override;
    // Runs the statement (or the prepared one when the text is empty) on a worker thread while the
    // user interface keeps processing events.
    int Exec(CString statement) override;
    // 0 a row, 100 no more rows.
    int Fetch() override;
    int FieldsList(CString table, CArray<FLD_DESC>* list, CString owner) override;
    int EndTran(int completion) override;
    int FKList(CString table, CArray<FK_DESC>* list, CString owner) override;
    int GetTableRights(CString table, CArray<RIGHT_DESC>* list, CString owner) override;
    int GetColumnRights(CString table, CString column, CArray<RIGHT_DESC>* list, CString owner) override;
    int ExtractDate(const char* data, short* day, short* month, short* year) override;
    int GetData(int col, CString& value, long* indicator) override;
    int GetDataAsText(int col, CString& value, long* indicator) override;
    // GetDataAsText with a first piece of `firstPiece` bytes, for a value whose length is known.
    int ReadText(int col, CString& value, long* indicator, long firstPiece);
    int GetInfo(short infoType, int* value) override;
    int GetInfo(short infoType, short* value) override;
    int GetInfo(short infoType, CString* value) override;
    int GetTypeName(int sqlType, CString* name) override;
    int GetMaxCharSize() override;
    int IndexList(CString table, CArray<IDX_DESC>* list, CString owner) override;
    int NumResultCols(int* count) override;
    int NRecords(int* count) override;
    int ManageDSN(void* parentWindow) override;
    int PKList(CString table, CArray<PK_DESC>* list, CString owner) override;
    int Prepare(CString statement) override;
    int SetConnectOption(int option, int value) override;
    int SetStmtOption(int attribute, int value) override;
    int SPList(CArray<SP_DESC>* list, CString owner) override;
    int SPColsList(CArray<SPCOL_DESC>* list, CString procedure, CString owner) override;
    int StmtRealloc() override;
    int TablesList(CArray<TABLE_DESC>* list, CString owner, OB_TYPE kind) override;
    int TrigList(CString table, CArray<TRG_DESC>* list, CString owner) override;
    int TypesList(CArray<TYPE_DESC>* list) override;
    int UserList(CArray<USER_DESC>* list) override;
    int MoreResults() override;
    // Shares the other session's connection with a statement of its own.
    CDB* operator=(CDB* other) override;
    int ObjectText(OB_TYPE kind, CString& name, CString& qualifier, CStringArray* lines) override;
    int ColumnsList(CString table, CArray<FLD_DESC>* list, CString owner) override;

    // The column's label (SQL_DESC_LABEL), without logging a driver that has none; 0 on success.
    int ColLabel(int col, CString* label);
    int ColConciseType(int col, long* value);
    int ColDisplaySize(int col, long* value);
    int ColScale(int col, long* value);
    int ColPrecision(int col, long* value);
    int ColOctLength(int col, long* value);
    // Index statistics of a table on the main statement, left there for the caller to fetch.
    int Statistics(CString owner, CString table);
    // 1 when the driver supports the ODBC function id.
    int isFunction(int functionId);

    // Rowset reading of the main statement. Binds a column (from 0) as character data into an array
    // of `size`-byte cells with one length cell each.
    int BindText(int col, char* buffer, long size, long* indicators);
    // A pointer-valued statement attribute (row count or row status array).
    int SetStmtPointer(int attribute, void* pointer);
    // Releases the bindings, the rowset size and the pointers handed to the main statement.
    void Unbind();
    // Makes row `row` (from 0) of the current rowset the one that GetData reads; -1 when the driver
    // manager lacks SQLSetPos.
    int SetPosition(int row);
    // After a call on the main statement that succeeded with a warning: whether the driver's first
    // diagnostic reports a failure rather than a warning (an SQLSTATE outside class 01); its message
    // is then kept in lastError and logged.
    bool WarningIsFailure();
    // 1 when positioning within a rowset can be attempted.
    static int CanPosition();
    // 1 when the driver manager library can be loaded.
    static int isAvailable();
    // What ManageDSN opens: the data-source administration for a parent window, installed by the
    // program's views; returns the previous one. Without one ManageDSN does nothing and returns -1.
    using DSNManager = std::function<int(void* parentWindow)>;
    static DSNManager SetDSNManager(DSNManager manager);

    // A program without a window has no events to dispatch while a statement runs: it runs them on
    // its own thread, which spares a hand-over to the worker for every statement.
    void SetRunInline(bool runInline) { m_RunInline = runInline; }

    static void* henv;
    static int inited;

    struct TypeName {
        int sqlType;
        char name[64];
    };

    void* hdbc = nullptr;
    void* hInstaller = nullptr;
    short lastRc = 0;
    void* hTmpStmt = nullptr;
    void* hstmt = nullptr;
    long indicator = 0;
    TypeName typeNames[22] = {};
    CString stmtText;

protected:
    // The statement of the catalog lists, apart from the main statement and its result set.
    int AllocTmpStmt(const char* location, int line);
    int FreeTmpStmt();
    // Reads a catalog column (1-based) of the temporary statement whole; NULL reads as "" or 0.
    int GetDataTmp(int column, CString& value);
    int GetDataTmp(int column, short* value);
    int GetDataTmp(int column, int* value);

    // A name in generated DDL: between blanks when plain, else between the quote characters.
    CString QuotedName(const CString& name) const;
    // The text the server keeps for a view, trigger or routine, or a note that it keeps none.
    int ServerText(OB_TYPE kind, const CString& name, CStringArray* lines);

    // Corrects the columns list[first..] of a table by the catalog's column list: nullability, and
    // type and size where the description has none.
    // SQLColumns on the temporary statement; a failure is reported only when `report` is set.
    int ReadCatalogColumns(const CString& table, const CString& owner, CArray<FLD_DESC>* list, bool report);
    void ApplyCatalogColumns(const CString& table, const CString& owner, CArray<FLD_DESC>* list,
                             size_t first);

    int LoadAndLink();
    // Judges a driver return code: 0 for success, else 1 after keeping and logging the driver's message.
    int ExtErr(short code, const char* location, int line, void* connection, void* statement);
    void FillTypeNamesArr();
    void FillTypeNamesFromAllTypes();

private:
    int ColAttribute(int col, int field, long* value);
    // Whether the driver's first pending diagnostic on the main statement says the data was truncated.
    bool TruncationReported();
    void RunStatement();
    CString ColText(int col, unsigned short attribute, size_t capacity);
    // A numeric information item, read in the size of `Number` (the driver's 16- or 32-bit integer).
    template <class Number> int GetInfoNumber(short infoType, Number* value);
    // After a catalog call on the temporary statement (its return code in lastRc, judged with the
    // caller's line): every row read into a record by `read`; the statement is freed; lastRc returned.
    template <class Record, class Read> int ReadTmpRows(CArray<Record>* list, int line, Read read);
    // Runs `work` on a worker thread while events are dispatched every 10 ms (or at once on this
    // thread when set to run inline); false when it could not be run or dispatching failed. Sets
    // m_Executing meanwhile.
    bool RunWaiting(const std::function<void()>& work, const char* where);

    // The session's worker thread, started with the first execution. A copied session starts its own.
    struct WorkerSlot {
        WorkerSlot();
        WorkerSlot(const WorkerSlot&);
        WorkerSlot& operator=(const WorkerSlot&);
        ~WorkerSlot();
        std::unique_ptr<CExecWorker> worker;
    } m_Worker;

    bool m_RunInline = false;

    // MySQL and MariaDB have databases where other systems have owners: their catalog calls are
    // limited to the database in use, as the owner limits them elsewhere.
    bool m_DatabasesAsCatalogs = false;
    // The catalog argument of catalog calls: the database in use there, else "" for none.
    CString CatalogInUse();

    // The statement whose first fetch is still to come: servers compute a result there, so it waits
    // on the worker like the execution.
    void* m_FirstFetch = nullptr;
};
