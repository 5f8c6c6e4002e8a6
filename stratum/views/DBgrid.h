// The result grid bound to a database connection: shows what the connection's last statement
// produced, its rows as text or a one-cell summary of a statement that returns none.
#pragma once

#include "grid/coreDBgrid.h"
#include "views/CResultLoader.h"

class CDB;

class DBgrid : public coreDBgrid {
    Q_OBJECT
public:
    explicit DBgrid(QWidget* parent = nullptr);
    ~DBgrid() override;

    // The caller's cancel flag; a non-zero value stops the reading of further rows.
    void AssignNeedAbort(int* flag) { m_Loader.AssignNeedAbort(flag); }
    // Replaces the whole content by the outcome of the connection's current statement. Conversion:
    // 1 ANSI to OEM, -1 OEM to ANSI, 0 none.
    void AssignDatabase(CDB* connection, int conversion);
    // The loader, for callers that tune event processing.
    CResultLoader& Loader() { return m_Loader; }

protected:
    void FillingList(int conversion);
    void AssignNonSelect(CDB* connection);
    void AddToolTips() { m_Loader.AddToolTips(); }

private:
    // Fits sizes to the loaded contents and repaints.
    void OnLoaded();

    CResultLoader m_Loader;
};
