// Item texts of the catalog-filled lists, built from catalog records without any window.
#pragma once

#include "CommonTypes.h"
#include "codbc/CatalogRecords.h"

class CDB;

namespace CDBFill {
// Combo box of tables: "owner.name" when an owner was asked for and owners are supported, else the name.
CString ComboTableText(const TABLE_DESC& table, const CString& owner, int ownerSupported);
// List of objects: "owner.name" when no owner was asked for, owners are supported and the record has
// one, else the name.
CString ListTableText(const TABLE_DESC& table, const CString& owner, int ownerSupported);
// A column: "table.column" when `qualify` is non-zero, else the column.
CString FieldText(const FLD_DESC& field, const CString& table, int qualify);
// The table as the column and index lists pass it to the session: "owner.table" when an owner is
// given and owners are supported.
CString QualifiedTable(const CString& table, const CString& owner, int ownerSupported);
// Texts joined by ", " (each separator followed by CR LF when `lineBreaks` is set), stopping after "*";
// `count` is raised by one per text taken.
CString JoinSelected(const CStringArray& texts, int* count, int lineBreaks);
// The index of the first text that begins with `prefix`, compared without regard to case; -1 if none.
int FindPrefix(const CStringArray& texts, const CString& prefix);
} // namespace CDBFill
