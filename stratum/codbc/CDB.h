// Abstract database connection: one session with one data source, one current statement and the
// catalog queries. The order of the virtual operations is part of the exported interface.
#pragma once

#include "CommonTypes.h"
#include "codbc/CatalogRecords.h"
#include "services/CLog.h"

// Statement kinds set by CheckStmt.
enum {
    STMT_ROWS = 0,
    STMT_INSERT = 1,
    STMT_UPDATE = 2,
    STMT_DELETE = 3,
    STMT_CREATE = 4,
    STMT_DROP = 5,
    STMT_ALTER = 6,
    STMT_GRANT = 7,
    STMT_REVOKE = 8,
};

// DBMS families recognised at connect.
enum {
    DBMS_OTHER = 0,
    DBMS_ORACLE = 1,
    DBMS_MSSQL = 2,
    DBMS_XBASE = 3,
    DBMS_ACCESS = 4,
    DBMS_EXCEL = 5,
};

class CDB {
public:
    CDB() = default;
    CDB(const CDB&) = delete;
    CDB& operator=(const CDB&) = delete;

    // slot 0
    virtual ~CDB() = default;
    virtual int BindCol(int col, char* buffer, int size, long* indicator) = 0;
    virtual int Cancel() { return -1; }
    virtual int Connect(CString dataSource, CString user, CString password) = 0;
    virtual int ColName(int col, CString* name) = 0;
    virtual int ColType(int col, long* value) = 0;
    virtual int ColLength(int col, long* value) = 0;
    virtual int DescribeCol(int col, CString* name, short* sqlType, unsigned long* columnSize,
                            short* decimalDigits, short* nullable, CString* typeName) = 0;
    virtual void Disconnect() = 0;
    virtual int DrvList(CArray<DRV_DESC>* list) = 0;
    // slot 10
    virtual int DSList(CArray<DSN_DESC>* list) = 0;
    virtual int DatabList(CArray<DATAB_DESC>* list) { return -1; }
    virtual int Exec(CString statement) = 0;
    virtual int Fetch() = 0;
    virtual int FieldsList(CString table, CArray<FLD_DESC>* list, CString owner) = 0;
    virtual int EndTran(int completion) = 0;
    virtual int FKList(CString table, CArray<FK_DESC>* list, CString owner) = 0;
    virtual int GetTableRights(CString table, CArray<RIGHT_DESC>* list, CString owner) { return -1; }
    virtual int GetColumnRights(CString table, CString column, CArray<RIGHT_DESC>* list, CString owner) {
        return -1;
    }
    virtual int ExtractDate(const char* data, short* day, short* month, short* year) = 0;
    // slot 20
    virtual int ExtractTimestamp(const char* data, short* day, short* month, short* year);
    virtual int GetData(int col, CString& value, long* indicator) = 0;
    virtual int GetDataAsText(int col, CString& value, long* indicator) = 0;
    virtual int GetInfo(short infoType, int* value) = 0;
    virtual int GetInfo(short infoType, short* value) = 0;
    virtual int GetInfo(short infoType, CString* value) = 0;
    virtual int GetTypeName(int sqlType, CString* name) = 0;
    virtual int GetMaxCharSize() = 0;
    // Renders a raw value buffer of the given SQL type as text; conversion > 0 ANSI to OEM, < 0 back.
    virtual void GetView(const char* data, CString& text, int sqlType, int conversion,
                         const char* datePattern);
    virtual int IndexList(CString table, CArray<IDX_DESC>* list, CString owner) = 0;
    // slot 30
    virtual int NumResultCols(int* count) = 0;
    virtual int NRecords(int* count) = 0;
    virtual int ManageDSN(void* parentWindow) = 0;
    virtual int PKList(CString table, CArray<PK_DESC>* list, CString owner) = 0;
    virtual int Prepare(CString statement) = 0;
    virtual int SetConnectOption(int option, int value) { return -1; }
    virtual int SetStmtOption(int attribute, int value) { return -1; }
    virtual int SPList(CArray<SP_DESC>* list, CString owner) { return -1; }
    virtual int SPColsList(CArray<SPCOL_DESC>* list, CString procedure, CString owner) { return -1; }
    virtual int StmtRealloc() { return -1; }
    // slot 40
    virtual int TablesList(CArray<TABLE_DESC>* list, CString owner, OB_TYPE kind) = 0;
    virtual int TrigList(CString table, CArray<TRG_DESC>* list, CString owner) { return -1; }
    virtual int TypesList(CArray<TYPE_DESC>* list) { return -1; }
    virtual int UserList(CArray<USER_DESC>* list) { return -1; }
    virtual int MoreResults() { return -1; }
    // Takes over another session's connection; returns this session, or null when not supported.
    virtual CDB* operator=(CDB* other) { return nullptr; }
    virtual int ObjectText(OB_TYPE kind, CString& name, CString& qualifier, CStringArray* lines) {
        return -1;
    }
    // The columns of a table as the catalog lists them, read beside the main statement and its result.
    virtual int ColumnsList(CString table, CArray<FLD_DESC>* list, CString owner) { return -1; }

    // Sets stmtType from the first letters of the statement text.
    void CheckStmt(const CString& text);
    void SetOwner(const char* name);
    char GetSep() const { return quoteOpen; }
    void SetBlobAsText(int on) { blobAsText = on; }
    // Renders a date by a pattern of D (day), M (month), Y (year) and n (month name) fields.
    void PrepareDate(CString& text, const char* pattern, int day, int month, int year);
    // Copies the current result set as tab-separated lines to the clipboard.
    void RecordsetToClipBoard();
    static int isAvailable() { return 0; }
    // 1 when the name can stand in SQL without identifier quotes.
    static int isEngName(const CString& name);
    // Splits an owner-qualified object name into owner and name (quoted when `quote` is set and the
    // part is not plain); returns the owner argument for a catalog call, or null for none.
    const char* PrepareOwner(CString* owner, CString* name, CString defaultOwner, CString objectName,
                             int quote);
    // DBMS family of a driver's DBMS name.
    static int DbmsKindOf(const CString& dbmsName);
    // True for the DBMS names of MySQL and MariaDB servers.
    static bool IsMySqlName(const CString& dbmsName);
    // True while a statement runs, or its first rows are computed, on the session's worker thread;
    // the caller is dispatching events meanwhile and only Cancel may touch the statement.
    bool IsExecuting() const { return m_Executing; }

    static CLog log;

    char lastError[2048] = {};
    int stmtType = 0;
    int connected = 0;
    int ownerSupported = 1;
    int dbmsKind = 0;
    int dbmsVersion = 1;
    char owner[256] = {};
    void* hLibrary = nullptr;
    int blobAsText = 0;
    int binaryLimit = 100;
    char quoteOpen = 0;
    char quoteClose = 0;

protected:
    // Entry point of the loaded driver-manager library, null when it is missing.
    void* LinkProc(const char* name);

    bool m_Executing = false;
};
