// Generates SQL scripts of a given size with a realistic mix of statements: selects with joins
// and subqueries, inserts, updates, deletes, comments and quoted strings, in editor form (CR LF).
#pragma once

#include "CommonTypes.h"

class ScriptGenerator {
public:
    // The same size and seed give the same script.
    static CString Generate(size_t bytes, unsigned seed = 1);
};
