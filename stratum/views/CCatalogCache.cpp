#include "CCatalogCache.h"

#include "codbc/CDB.h"

#include <algorithm>

namespace {
// SQLGetInfo SQL_IDENTIFIER_CASE and its answers.
constexpr short kIdentifierCase = 28;
constexpr short kCaseUpper = 1;
constexpr short kCaseLower = 2;
} // namespace

CCatalogCache::CCatalogCache(CDB* session, std::function<int()> generation)
    : m_Session(session), m_Generation(std::move(generation)) {
    m_Timer.setSingleShot(true);
    m_Timer.setInterval(0);
    QObject::connect(&m_Timer, &QTimer::timeout, [this] {
        if (Step() && OnRead)
            OnRead();
        Schedule();
    });
}

CCatalogCache::~CCatalogCache() = default;

void CCatalogCache::Sync() {
    const int generation = m_Generation ? m_Generation() : 0;
    if (m_Synced && generation == m_Seen)
        return;
    m_Synced = true;
    m_Seen = generation;
    m_TablesRead = false;
    m_Tables.clear();
    m_Columns.clear();
    m_Pending.clear();
    m_IdentifierCase = 0;
}

void CCatalogCache::SetActive(bool active) {
    m_Active = active;
    if (active)
        Schedule();
    else
        m_Timer.stop();
}

void CCatalogCache::Schedule() {
    if (m_Active && HasWork() && !m_Timer.isActive())
        m_Timer.start();
}

bool CCatalogCache::HasWork() {
    Sync();
    if (!Connected() || m_Session->IsExecuting() || (IsBusy && IsBusy()))
        return false;
    return !m_TablesRead || !m_Pending.empty();
}

CString CCatalogCache::Owner() const {
    return m_Session && m_Session->ownerSupported ? CString(m_Session->owner) : CString();
}

bool CCatalogCache::Step() {
    if (!HasWork())
        return false;
    if (!m_TablesRead) {
        m_TablesRead = true;
        short identifierCase = 0;
        if (m_Session->GetInfo(kIdentifierCase, &identifierCase) == 0)
            m_IdentifierCase = identifierCase;
        for (const OB_TYPE kind : {OB_TABLE, OB_VIEW}) {
            CArray<TABLE_DESC> list;
            m_Session->TablesList(&list, Owner(), kind);
            for (auto& t : list)
                m_Tables.push_back({std::move(t.name), kind == OB_VIEW});
        }
        // A name in several schemas is offered once.
        std::sort(m_Tables.begin(), m_Tables.end(),
                  [](const Table& a, const Table& b) { return a.name < b.name; });
        m_Tables.erase(std::unique(m_Tables.begin(), m_Tables.end(),
                                   [](const Table& a, const Table& b) { return a.name == b.name; }),
                       m_Tables.end());
        return true;
    }
    const CString table = m_Pending.front();
    m_Pending.pop_front();
    CArray<FLD_DESC> fields;
    // A table that cannot be read is remembered without columns, so it is not asked for again.
    m_Session->ColumnsList(table, &fields, Owner());
    auto& columns = m_Columns[table];
    for (auto& f : fields)
        columns.push_back({std::move(f.name), std::move(f.typeName)});
    return true;
}

bool CCatalogCache::Connected() const {
    return m_Session && m_Session->connected;
}

const CArray<CCompletionCatalog::Table>& CCatalogCache::Tables() {
    static const CArray<Table> none;
    Sync();
    Schedule();
    // Without a connection only keywords are offered; what was read waits for the same connection.
    return Connected() ? m_Tables : none;
}

const CArray<CCompletionCatalog::Column>* CCatalogCache::Columns(const CString& table) {
    static const CArray<Column> none;
    Sync();
    if (!Connected())
        return &none;
    const auto found = m_Columns.find(table);
    if (found != m_Columns.end())
        return &found->second;
    if (std::find(m_Pending.begin(), m_Pending.end(), table) == m_Pending.end())
        m_Pending.push_back(table);
    Schedule();
    return nullptr;
}

CString CCatalogCache::Quoted(const CString& name) const {
    const char quote = m_Session ? m_Session->quoteOpen : 0;
    if (quote == 0 || quote == ' ')
        return name;
    // A name the server would fold to one case keeps its spelling only in quotes.
    const bool folded =
        (m_IdentifierCase == kCaseLower &&
         std::any_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) ||
        (m_IdentifierCase == kCaseUpper &&
         std::any_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
    if (CDB::isEngName(name) && !folded)
        return name;
    CString doubled;
    for (const char c : name) {
        doubled += c;
        if (c == quote)
            doubled += c;
    }
    return quote + doubled + (m_Session->quoteClose ? m_Session->quoteClose : quote);
}
