// The catalog names the editor's completion offers, read through the session one request at a time
// while the event loop has nothing else to do, and kept until the connection generation changes.
// It never connects: without a connection it offers nothing and reads nothing.
#pragma once

#include "CommonTypes.h"
#include "editor/CCompletionCatalog.h"

#include <QTimer>

#include <deque>
#include <functional>
#include <map>

class CDB;

class CCatalogCache final : public CCompletionCatalog {
public:
    // `generation` tells which connection the names belong to (the Connect page's counter).
    CCatalogCache(CDB* session, std::function<int()> generation);
    ~CCatalogCache() override;
    CCatalogCache(const CCatalogCache&) = delete;
    CCatalogCache& operator=(const CCatalogCache&) = delete;

    const CArray<Table>& Tables() override;
    const CArray<Column>* Columns(const CString& table) override;
    CString Quoted(const CString& name) const override;

    // While active, waiting reads are done one per turn of the event loop.
    void SetActive(bool active);
    bool IsActive() const { return m_Active; }
    // Whether a read waits and the session can take it now (connected, no statement executing).
    bool HasWork();
    // Does one waiting read: the table list first, then one table's columns. False when nothing was read.
    bool Step();
    // Called after a read that brought names.
    std::function<void()> OnRead;
    // While it answers true (a run owns the session) nothing is read.
    std::function<bool()> IsBusy;

private:
    // Forgets what was read for an earlier connection generation.
    void Sync();
    void Schedule();
    bool Connected() const;
    // The session's owner for catalog calls, empty when the data source has none.
    CString Owner() const;

    CDB* m_Session;
    std::function<int()> m_Generation;
    int m_Seen = 0;
    bool m_Synced = false;
    bool m_TablesRead = false;
    CArray<Table> m_Tables;
    std::map<CString, CArray<Column>> m_Columns;
    std::deque<CString> m_Pending;
    // How the data source stores unquoted names: SQL_IC_UPPER (1), SQL_IC_LOWER (2) or other.
    short m_IdentifierCase = 0;
    bool m_Active = false;
    QTimer m_Timer;
};
