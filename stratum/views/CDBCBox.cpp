#include "views/CDBCBox.h"

#include "codbc/ODBC.h"
#include "services/Helpers.h"
#include "toolkit/CWaitCursor.h"
#include "toolkit/MessageBox.h"
#include "views/CDBFill.h"
#include "views/CDBList.h"

#include <sql.h>
#include <sqlext.h>

#include <memory>

CDBCBox::CDBCBox(QWidget* parent) : CHistCBox(parent) {}

CDBCBox::~CDBCBox() {
    delete m_TmpSession;
}

bool CDBCBox::HasWindow() const {
    return testAttribute(Qt::WA_WState_Created);
}

CStringArray CDBCBox::ItemTexts() const {
    CStringArray texts;
    for (int i = 0; i < count(); ++i)
        texts.push_back(FullText(i));
    return texts;
}

int CDBCBox::ItemSqlType(int index) const {
    return itemData(index, kSqlTypeRole).toInt();
}

void CDBCBox::AddItems(const CStringArray& texts) {
    for (const CString& text : texts)
        addItem(QString::fromStdString(text));
}

int CDBCBox::FillDSN(DS_TYPE kind, CString current) {
    (void)kind; // every kind lists the same data sources
    CWaitCursor wait;
    try {
        m_TmpSession = new ODBC;
    } catch (...) {
        m_TmpSession = nullptr;
        return -2;
    }
    setUpdatesEnabled(false);
    clear();
    CArray<DSN_DESC> sources;
    m_TmpSession->DSList(&sources);
    CStringArray names;
    for (const DSN_DESC& source : sources)
        names.push_back(source.name);
    AddItems(names);
    delete m_TmpSession;
    m_TmpSession = nullptr;
    setUpdatesEnabled(true);
    int selected = current.empty() ? -1 : CDBFill::FindPrefix(names, current);
    if (selected < 0 && count() > 0)
        selected = 0;
    setCurrentIndex(selected);
    return 0;
}

int CDBCBox::FillDatabases(CDB* session, CString current) {
    if (!session)
        return -4;
    if (!session->connected) {
        setEnabled(false);
        return 0;
    }
    setUpdatesEnabled(false);
    clear();
    CString inUse;
    session->GetInfo(SQL_DATABASE_NAME, &inUse);
    if (session->dbmsKind == DBMS_MSSQL) {
        CArray<DATAB_DESC> databases;
        session->DatabList(&databases);
        CStringArray names;
        for (const DATAB_DESC& database : databases)
            names.push_back(database.name);
        AddItems(names);
        int selected = CDBFill::FindPrefix(names, current.empty() ? inUse : current);
        if (selected < 0)
            selected = CDBFill::FindPrefix(names, inUse);
        setCurrentIndex(selected);
        setEnabled(true);
    } else {
        AddItems({inUse});
        setCurrentIndex(0);
        setEnabled(false);
    }
    setUpdatesEnabled(true);
    return 0;
}

int CDBCBox::FillTables(CDB* session, CString owner) {
    if (!session || !session->connected)
        return -4;
    setUpdatesEnabled(false);
    clear();
    CArray<TABLE_DESC> tables;
    const int rc = session->TablesList(&tables, session->ownerSupported ? owner : CString(), OB_TABLE);
    if (rc == 0 || rc == 1) {
        for (const TABLE_DESC& table : tables) {
            const int before = count();
            addItem(QString::fromStdString(CDBFill::ComboTableText(table, owner, session->ownerSupported)));
            PumpMessage();
            if (count() == before)
                break;
        }
    }
    setUpdatesEnabled(true);
    setCurrentIndex(count() > 0 ? 0 : -1);
    return 0;
}

int CDBCBox::FillTables(DS_TYPE kind, CString dataSource, CString user, CString password, CString owner) {
    if (kind < DS_USER || kind > DS_FILE)
        return -8;
    CWaitCursor wait;
    try {
        m_TmpSession = new ODBC;
    } catch (...) {
        m_TmpSession = nullptr;
        return -2;
    }
    int rc = m_TmpSession->Connect(dataSource, user, password);
    if (rc != 0) {
        ShowMessage(m_TmpSession->lastError, "ERROR: Can't connect Data Source!", MB_OK | MB_ICONERROR, this);
    } else {
        rc = FillTables(m_TmpSession, owner);
        m_TmpSession->Disconnect();
    }
    delete m_TmpSession;
    m_TmpSession = nullptr;
    return rc;
}

int CDBCBox::FillFields(CDB* session, CString table, CString owner, int qualify) {
    if (!session || !session->connected)
        return -4;
    setUpdatesEnabled(false);
    CArray<FLD_DESC> fields;
    if (session->FieldsList(table, &fields, owner) != 0) {
        ShowMessage(session->lastError, "Can't fill filed list!", MB_OK | MB_ICONERROR, this);
    } else {
        for (const FLD_DESC& field : fields) {
            addItem(QString::fromStdString(CDBFill::FieldText(field, table, qualify)));
            setItemData(count() - 1, field.sqlType, kSqlTypeRole);
        }
    }
    setUpdatesEnabled(true);
    setCurrentIndex(count() > 0 ? 0 : -1);
    return 0;
}

int CDBCBox::FillDataTypes(CDB* session) {
    if (!session || !session->connected)
        return -4;
    setUpdatesEnabled(false);
    clear();
    CArray<TYPE_DESC> types;
    const int rc = session->TypesList(&types);
    if (rc == 0 || rc == 1) {
        for (const TYPE_DESC& type : types) {
            const int before = count();
            addItem(QString::fromStdString(type.name));
            PumpMessage();
            if (count() == before)
                break;
        }
    }
    setUpdatesEnabled(true);
    setCurrentIndex(count() > 0 ? 0 : -1);
    return 0;
}

CString CDBCBox::GetCurItem(const char* section) {
    if (HasWindow() || !section)
        m_CurItem = currentIndex() >= 0 ? FullText(currentIndex()) : CString();
    else
        m_CurItem = StoredCurString(section);
    return m_CurItem;
}

CDBCBox* CDBCBox::operator=(const CDBCBox& other) {
    if (&other == this)
        return this;
    const CStringArray texts = other.ItemTexts();
    clear();
    AddItems(texts);
    return this;
}

CDBCBox* CDBCBox::operator=(const CDBList& other) {
    const CStringArray texts = other.ItemTexts();
    clear();
    AddItems(texts);
    return this;
}
