// What the connected data source and its driver report about themselves: a fixed table of
// information items shown as rows of name, version and value, and three one-line summaries.
#pragma once

#include "CommonTypes.h"

class ODBC;
class CRowList;

class DSN_Info {
public:
    static constexpr int kItemCount = 56;

    explicit DSN_Info(ODBC* session) : m_Session(session) {}
    DSN_Info(const DSN_Info&) = default;
    DSN_Info& operator=(const DSN_Info&) = default;
    virtual ~DSN_Info() = default;

    void SetList(CRowList* list) { m_List = list; }
    // -1 for an index outside the table (outputs unchanged); otherwise the session's read result.
    int GetInfo(int index, CString* name, CString* version, CString* value);
    int InsertInfo(int index);
    void InsertAllInfo();
    CString DBMSNameAndVer();
    CString DRIVERNameAndVer();
    CString ODBCVer();

private:
    CString TwoTexts(short first, short second, const char* separator, const char* end);

    ODBC* m_Session = nullptr;
    CRowList* m_List = nullptr;
};
