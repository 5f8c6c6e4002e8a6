// The tables a statement names after FROM, JOIN, UPDATE and INTO, each with the alias it is given there,
// so that an editor can trace "c." back to "customers c".
#pragma once

#include "CommonTypes.h"

#include <string_view>

class CTableRefs {
public:
    struct Ref {
        CString owner; // the qualifying part of an owner-qualified name, unquoted; empty without one
        CString name;  // unquoted; empty for a subquery or a function in the FROM list
        CString alias; // unquoted; empty when none is given
    };

    // Every table reference of the statement text, in the order they stand, subqueries included.
    static CArray<Ref> Find(std::string_view statement);
    // Whether a bare word ends a table reference instead of naming its alias (WHERE, JOIN, ON, ...).
    static bool IsClauseWord(std::string_view word);
    // Whether two names are the same when ASCII case is ignored.
    static bool SameName(std::string_view a, std::string_view b);
};
