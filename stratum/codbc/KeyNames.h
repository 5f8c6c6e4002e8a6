// The names under which the schema shows keys: the catalog's own, or for a key that has none (SQLite
// names none) one made from its tables, so that every key can be told apart, shown and selected.
#pragma once

#include "codbc/CatalogRecords.h"

#include <vector>

// The name of a table's primary key: its own, else "pk_" and the table (without owner).
CString PrimaryKeyName(const PK_DESC& key, const CString& table);

// One row of a foreign key list as part of its key.
struct ForeignKeyRow {
    size_t first = 0; // the key's first row
    CString name;     // the key's name as shown
};

// The keys of a list: a key's rows follow each other with rising key sequence between the same two
// tables. A key without a name is called "fk_<referring table>_<referenced table>", with "_2", "_3"
// for further keys between the same tables; a key listed twice (a table referring to itself) keeps
// one name.
std::vector<ForeignKeyRow> ForeignKeyRows(const CArray<FK_DESC>& keys);
