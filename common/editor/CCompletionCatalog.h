// What the editor's completion may ask of a database catalog: the names it knows now, without waiting.
// A name that is not known yet is asked for and arrives later, announced by the catalog's owner.
#pragma once

#include "CommonTypes.h"

class CCompletionCatalog {
public:
    struct Table {
        CString name;
        bool view = false;
    };
    struct Column {
        CString name;
        CString typeName;
    };

    virtual ~CCompletionCatalog() = default;

    // The tables and views read so far; empty before the first read or without a connection.
    virtual const CArray<Table>& Tables() = 0;
    // The columns of a table ("owner.table" allowed), or null while they are not read; a null answer
    // asks for them.
    virtual const CArray<Column>* Columns(const CString& table) = 0;
    // The name as it has to stand in SQL: wrapped in the data source's quote characters when it needs them.
    virtual CString Quoted(const CString& name) const = 0;
};
