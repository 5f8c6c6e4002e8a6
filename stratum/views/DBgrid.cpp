#include "views/DBgrid.h"

#include "codbc/CDB.h"
#include "services/Helpers.h"

DBgrid::DBgrid(QWidget* parent) : coreDBgrid(parent), m_Loader(Table()) {
    m_Loader.SetMessageParent(this);
    m_Loader.SetPump([this] {
        ScheduleLayout();
        PumpMessage();
    });
    m_Loader.SetOnLoaded([this] { OnLoaded(); });
}

DBgrid::~DBgrid() = default;

void DBgrid::AssignDatabase(CDB* connection, int conversion) {
    // The grid's own state (read-only, a fresh export object) is set first; the loader then
    // replaces the table's content.
    Clear();
    Initialize();
    // Column names of an SQL export are quoted as this driver quotes them (SQL_IDENTIFIER_QUOTE_CHAR).
    CString quote;
    if (connection && connection->GetInfo(short(29), &quote) == 0 && !quote.empty())
        Table().SetIdentifierQuote(quote);
    m_Loader.AssignDatabase(connection, conversion);
    Refresh();
}

void DBgrid::FillingList(int conversion) {
    m_Loader.FillingList(conversion);
}

void DBgrid::AssignNonSelect(CDB* connection) {
    m_Loader.AssignNonSelect(connection);
}

void DBgrid::OnLoaded() {
    AutoSize();
    Refresh();
}
