#include "views/CDBList.h"

#include "codbc/ODBC.h"
#include "services/Helpers.h"
#include "toolkit/CListCtrl.h"
#include "toolkit/CWaitCursor.h"
#include "toolkit/MessageBox.h"
#include "views/CDBCBox.h"
#include "views/CDBFill.h"

#include <memory>

namespace {
// A temporary session of a fill, destroyed when the fill returns; null when none can be created.
std::unique_ptr<ODBC> NewSession() {
    try {
        return std::make_unique<ODBC>();
    } catch (...) {
        return nullptr;
    }
}
} // namespace

CDBList::CDBList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

CStringArray CDBList::ItemTexts() const {
    CStringArray texts;
    for (int i = 0; i < count(); ++i)
        texts.push_back(item(i)->text().toStdString());
    return texts;
}

void CDBList::Replace(const CStringArray& texts) {
    clear();
    for (const CString& text : texts)
        addItem(QString::fromStdString(text));
}

int CDBList::FillTables(CDB* session, CString owner, OB_TYPE kind) {
    if (!session)
        return -4;
    setUpdatesEnabled(false);
    clear();
    CArray<TABLE_DESC> tables;
    int rc = session->TablesList(&tables, session->ownerSupported ? owner : CString(), kind);
    if (rc != 0 && rc != 1) {
        ShowMessage(session->lastError, "Can't fill Tables list!", MB_OK | MB_ICONERROR, this);
    } else {
        for (const TABLE_DESC& table : tables) {
            const int before = count();
            addItem(QString::fromStdString(CDBFill::ListTableText(table, owner, session->ownerSupported)));
            PumpMessage();
            if (count() == before) {
                rc = 1;
                break;
            }
        }
    }
    setUpdatesEnabled(true);
    if (count() > 0)
        setCurrentRow(0);
    return rc;
}

int CDBList::FillTables(DS_TYPE kind, CString dataSource, CString user, CString password, CString owner,
                        OB_TYPE type) {
    if (kind < DS_USER || kind > DS_FILE)
        return -8;
    CWaitCursor wait;
    std::unique_ptr<ODBC> session = NewSession();
    if (!session)
        return -2;
    int rc = session->Connect(dataSource, user, password);
    if (rc != 0) {
        ShowMessage(session->lastError, "ERROR: Can't connect Data Source!", MB_OK | MB_ICONERROR, this);
        return rc;
    }
    rc = FillTables(session.get(), owner, type);
    session->Disconnect();
    return rc;
}

int CDBList::FillFields(CDB* session, CString table, CString owner, int qualify) {
    if (!session || !session->connected || table.empty())
        return 1;
    setUpdatesEnabled(false);
    CArray<FLD_DESC> fields;
    const int rc =
        session->FieldsList(CDBFill::QualifiedTable(table, owner, session->ownerSupported), &fields, owner);
    if (rc != 0) {
        ShowMessage(session->lastError, "Can't fill fileds list!", MB_OK | MB_ICONERROR, this);
    } else {
        for (const FLD_DESC& field : fields)
            addItem(QString::fromStdString(CDBFill::FieldText(field, table, qualify)));
    }
    setUpdatesEnabled(true);
    if (count() > 0)
        setCurrentRow(0);
    return rc;
}

int CDBList::FillFields(DS_TYPE kind, CString dataSource, CString table, CString user, CString password,
                        CString owner, int qualify) {
    (void)kind;
    CWaitCursor wait;
    std::unique_ptr<ODBC> session = NewSession();
    if (!session)
        return -2;
    int rc = session->Connect(dataSource, user, password);
    if (rc != 0) {
        ShowMessage("Can't connect Data Source,\n please check user name and password!", "Error",
                    MB_OK | MB_ICONERROR, this);
        return rc;
    }
    rc = FillFields(session.get(), table, owner, qualify);
    session->Disconnect();
    return rc;
}

// Empties the list, runs the catalog call and shows the records' names, or the driver's message under
// `failure` when the call failed; the first name is selected. Returns the call's result.
template <class Record, class Call>
int CDBList::ShowNames(CDB* session, const char* failure, const CArray<Record>& records, Call call) {
    setUpdatesEnabled(false);
    clear();
    const int rc = call();
    if (rc != 0 && rc != 1) {
        ShowMessage(session->lastError, failure, MB_OK | MB_ICONERROR, this);
    } else {
        for (const Record& record : records)
            addItem(QString::fromStdString(record.name));
    }
    setUpdatesEnabled(true);
    if (count() > 0)
        setCurrentRow(0);
    return rc;
}

int CDBList::FillIndexes(CDB* session, CString table, CString owner) {
    if (!session || !session->connected || table.empty())
        return 1;
    CArray<IDX_DESC> indexes;
    return ShowNames(session, "Can't fill indexes list!", indexes, [&] {
        return session->IndexList(CDBFill::QualifiedTable(table, owner, session->ownerSupported), &indexes,
                                  owner);
    });
}

int CDBList::FillProcedures(CDB* session, CString owner) {
    if (!session || !session->connected)
        return 1;
    CArray<SP_DESC> procedures;
    return ShowNames(session, "Can't fill procedures list!", procedures,
                     [&] { return session->SPList(&procedures, owner); });
}

CString CDBList::GetSelFieldList(int* count, int lineBreaks) {
    CStringArray selected;
    for (int i = 0; i < this->count(); ++i) {
        if (item(i)->isSelected())
            selected.push_back(item(i)->text().toStdString());
    }
    m_SelText = CDBFill::JoinSelected(selected, count, lineBreaks);
    return m_SelText;
}

CDBList* CDBList::operator=(const CDBList& other) {
    if (&other != this)
        Replace(other.ItemTexts());
    return this;
}

CDBList* CDBList::operator=(const CDBCBox& other) {
    Replace(other.ItemTexts());
    return this;
}

CDBList* CDBList::operator=(const CListCtrl& other) {
    CStringArray texts;
    for (int i = 0; i < other.GetItemCount(); ++i)
        texts.push_back(other.GetItemText(i, 0));
    Replace(texts);
    return this;
}
