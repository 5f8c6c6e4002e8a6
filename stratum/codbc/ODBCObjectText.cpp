#include "codbc/ODBC.h"

#include "codbc/KeyNames.h"
#include "codbc/ODBCEntryPoints.h"

#include <algorithm>
#include <strings.h>
#include <vector>

using namespace codbc;

namespace {
// Line breaks of a server text as CR LF, whatever the server stored.
CString WithCrLf(const CString& text) {
    CString out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

enum class Keeper { None, Postgres, Sqlite, MySql };

// The servers that keep the text of views, routines and triggers apart from Microsoft SQL Server.
Keeper KeeperOf(const CString& dbmsName) {
    if (strncasecmp(dbmsName.c_str(), "PostgreSQL", 10) == 0)
        return Keeper::Postgres;
    if (strncasecmp(dbmsName.c_str(), "SQLite", 6) == 0)
        return Keeper::Sqlite;
    if (CDB::IsMySqlName(dbmsName))
        return Keeper::MySql;
    return Keeper::None;
}
} // namespace

// A name as it stands in generated DDL: plain names between blanks, others between the driver's quote
// characters; each part of an owner-qualified name on its own.
CString ODBC::QuotedName(const CString& name) const {
    const size_t dot = name.rfind('.');
    if (dot != CString::npos && dot > 0 && dot + 1 < name.size()) {
        CString ownerPart = QuotedName(name.substr(0, dot));
        CString namePart = QuotedName(name.substr(dot + 1));
        // "owner.name" keeps the blank before the owner and after the name only.
        while (!ownerPart.empty() && ownerPart.back() == ' ')
            ownerPart.pop_back();
        if (!namePart.empty() && namePart.front() == ' ')
            namePart.erase(0, 1);
        return ownerPart + "." + namePart;
    }
    if (isEngName(name))
        return " " + name + " ";
    // A driver without a quote character: blanks, never a zero byte inside the text.
    const char open = quoteOpen ? quoteOpen : ' ';
    const char close = quoteClose ? quoteClose : ' ';
    return open + name + close;
}

int ODBC::ServerText(OB_TYPE kind, const CString& name, CStringArray* lines) {
    CString dbmsName;
    const Keeper keeper = dbmsKind == DBMS_MSSQL
                              ? Keeper::None
                              : KeeperOf(GetInfo(SQL_DBMS_NAME, &dbmsName) == 0 ? dbmsName : "");
    if (dbmsKind != DBMS_MSSQL && keeper == Keeper::None) {
        lines->push_back("Not supported for current DBMS");
        return 0;
    }
    // A procedure name with a group number (name;1) is asked without it.
    CString object = name;
    const size_t semicolon = object.find(';', 1);
    if (semicolon != CString::npos)
        object.erase(semicolon);

    CString text;
    int column = 1;
    bool split = false; // the server's text is cut into CR LF lines
    if (dbmsKind == DBMS_MSSQL) {
        text = "sp_helptext '" + Literal(object) + "'";
    } else {
        CString ownerPart, namePart;
        const size_t dot = object.rfind('.');
        if (dot != CString::npos && dot > 0) {
            ownerPart = object.substr(0, dot);
            namePart = object.substr(dot + 1);
        } else {
            ownerPart = ownerSupported ? CString(owner) : CString();
            namePart = object;
        }
        split = true;
        if (keeper == Keeper::Postgres) {
            const CString schemaTerm = ownerPart.empty() ? " and pg_catalog.pg_table_is_visible(c.oid)"
                                                         : " and n.nspname='" + Literal(ownerPart) + "'";
            if (kind == OB_VIEW) {
                text = "select 'create view ' || quote_ident(n.nspname) || '.' || quote_ident(c.relname) || "
                       "E' as\\n' || pg_catalog.pg_get_viewdef(c.oid, true) from pg_catalog.pg_class c "
                       "join pg_catalog.pg_namespace n on n.oid=c.relnamespace where c.relkind in ('v','m') "
                       "and c.relname='" +
                       Literal(namePart) + "'" + schemaTerm;
            } else if (kind == OB_TRIGGER) {
                text = "select pg_catalog.pg_get_triggerdef(t.oid, true) from pg_catalog.pg_trigger t "
                       "join pg_catalog.pg_class c on c.oid=t.tgrelid join pg_catalog.pg_namespace n on "
                       "n.oid=c.relnamespace where not t.tgisinternal and t.tgname='" +
                       Literal(namePart) + "'" + schemaTerm;
            } else {
                const CString routineSchema = ownerPart.empty()
                                                  ? " and pg_catalog.pg_function_is_visible(p.oid)"
                                                  : " and n.nspname='" + Literal(ownerPart) + "'";
                text = "select pg_catalog.pg_get_functiondef(p.oid) from pg_catalog.pg_proc p join "
                       "pg_catalog.pg_namespace n on n.oid=p.pronamespace where p.prokind in ('f','p') "
                       "and p.proname='" +
                       Literal(namePart) + "'" + routineSchema + " order by p.oid";
            }
        } else if (keeper == Keeper::Sqlite) {
            text = "select sql from sqlite_master where type in ('view','trigger') and name='" +
                   Literal(namePart) + "'";
        } else {
            const char* what = kind == OB_VIEW ? "VIEW" : kind == OB_TRIGGER ? "TRIGGER" : "PROCEDURE";
            auto backQuoted = [](const CString& part) {
                CString out = "`";
                for (char c : part) {
                    out += c;
                    if (c == '`')
                        out += '`';
                }
                return out + "`";
            };
            text = CString("show create ") + what + " " +
                   (ownerPart.empty() ? "" : backQuoted(ownerPart) + ".") + backQuoted(namePart);
            column = kind == OB_VIEW ? 2 : 3;
        }
    }

    if (AllocTmpStmt(kSource, __LINE__) != 0)
        return -1;
    lastRc = api.SQLExecDirect(hTmpStmt, Text(text), SQL_NTS);
    if (ExtErr(lastRc, kSource, __LINE__, hdbc, hTmpStmt) == 0) {
        for (SQLRETURN rc = api.SQLFetch(hTmpStmt); Ok(rc); rc = api.SQLFetch(hTmpStmt)) {
            CString piece;
            if (GetDataTmp(column, piece) != 0)
                break;
            if (!split) {
                // The server's rows as they are, each at most one buffer long.
                if (piece.size() > 510)
                    piece.resize(510);
                lines->push_back(piece);
                continue;
            }
            piece = WithCrLf(piece);
            if (piece.size() < 2 || piece.compare(piece.size() - 2, 2, "\r\n") != 0)
                piece += "\r\n";
            lines->push_back(piece);
        }
    }
    FreeTmpStmt();
    return 0;
}

int ODBC::ObjectText(OB_TYPE kind, CString& name, CString& qualifier, CStringArray* lines) {
    lines->clear();
    // Without a connection nothing is attempted, as for every other database operation.
    if (!connected)
        return -1;
    switch (kind) {
    case OB_TABLE:
    case OB_SYSTEM_TABLE: {
        lines->push_back("create table " + QuotedName(name) + " (\r\n");
        CArray<FLD_DESC> columns;
        if (FieldsList(name, &columns, owner) == 0) {
            for (size_t i = 0; i < columns.size(); ++i) {
                const FLD_DESC& f = columns[i];
                CString size;
                switch (f.sqlType) {
                case SQL_CHAR:
                case SQL_VARCHAR:
                case SQL_WCHAR:
                case SQL_WVARCHAR:
                case SQL_DECIMAL:
                case SQL_BINARY:
                case SQL_VARBINARY:
                    size = "(" + std::to_string(f.width) + ")";
                    break;
                default:
                    break;
                }
                lines->push_back("   " + QuotedName(f.name) + " " + f.typeName + size + " " +
                                 (f.nullable ? "NULL" : "NOT NULL") + (i + 1 < columns.size() ? "," : "") +
                                 "\r\n");
            }
        }
        lines->push_back(")\r\n");
        return 0;
    }
    case OB_VIEW:
    case OB_TRIGGER:
    case OB_PROCEDURE:
    case OB_OTHER_12:
    case OB_OTHER_23:
    case OB_OTHER_27:
        return ServerText(kind, name, lines);
    case OB_DATABASE:
        lines->push_back("CREATE DATABASE " + name);
        return 0;
    case OB_USER:
        lines->push_back("create user " + name + " \r\n");
        return 0;
    case OB_INDEX: {
        CArray<IDX_DESC> rows;
        CString unique, clustered, columns;
        if (IndexList(qualifier, &rows, owner) == 0) {
            for (const IDX_DESC& x : rows) {
                if (x.name != name)
                    continue;
                unique = x.nonUnique == 0 ? " unique" : "";
                clustered = x.type == SQL_INDEX_CLUSTERED ? " clustered" : "";
                if (!columns.empty())
                    columns += ", ";
                columns += x.column + (!x.order.empty() && x.order[0] == 'A' ? " asc" : " desc");
            }
        }
        lines->push_back("create" + unique + clustered + " index " + QuotedName(name) + "\r\n");
        lines->push_back("   on " + QuotedName(qualifier) + "(" + columns + ")");
        return 0;
    }
    case OB_PRIMARY_KEY: {
        CArray<PK_DESC> keys;
        CString columns;
        const bool listed = PKList(qualifier, &keys, owner) == 0;
        if (listed) {
            for (const PK_DESC& k : keys)
                columns += (columns.empty() ? "" : ", ") + k.column;
        }
        // A key that has no name in the catalog is added without a constraint name.
        const bool named = listed && !keys.empty() ? !keys.front().keyName.empty() : !name.empty();
        lines->push_back("ALTER TABLE " + QuotedName(qualifier) + " ADD" +
                         (named ? " CONSTRAINT " + name : ""));
        lines->push_back("\r\n PRIMARY KEY (" + columns + ")\r\n");
        return 0;
    }
    case OB_FOREIGN_KEY: {
        CArray<FK_DESC> keys;
        CString own, other, otherTable;
        bool named = !name.empty();
        if (FKList(qualifier, &keys, owner) == 0) {
            const size_t dot = qualifier.rfind('.');
            const CString table = dot != CString::npos && dot > 0 ? qualifier.substr(dot + 1) : qualifier;
            // Only the rows of one key: a key listed twice, or keys that share a name, are not merged.
            const std::vector<ForeignKeyRow> rows = ForeignKeyRows(keys);
            const auto match = std::find_if(rows.begin(), rows.end(),
                                            [&](const ForeignKeyRow& r) { return r.name == name; });
            const size_t first = match == rows.end() ? keys.size() : match->first;
            for (size_t i = first; i < keys.size() && rows[i].first == first; ++i) {
                const FK_DESC& k = keys[i];
                named = !k.fkName.empty();
                const bool refersOut = k.pkTable != table;
                otherTable = refersOut ? k.pkTable : k.fkTable;
                own += (own.empty() ? "" : ", ") + (refersOut ? k.fkColumn : k.pkColumn);
                other += (other.empty() ? "" : ", ") + (refersOut ? k.pkColumn : k.fkColumn);
            }
        }
        lines->push_back("ALTER TABLE " + QuotedName(qualifier) + " ADD" +
                         (named ? " CONSTRAINT " + name : "") + "\r\n");
        lines->push_back("   FOREIGN KEY (" + own + ")\r\n");
        lines->push_back("   REFERENCES " + QuotedName(otherTable) + "(" + other + ")\r\n");
        return 0;
    }
    default:
        lines->push_back(name);
        return 0;
    }
}
