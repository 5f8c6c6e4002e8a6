// The program's strings keyed by identifier; a control or toolbar command whose identifier has a
// string shows it as its tip.
#pragma once

#include "CommonTypes.h"

class CStringTable {
public:
    // Characters of a string shown as a tip.
    static constexpr int kTipLimit = 79;

    static void Set(int id, const CString& text);
    static void Remove(int id);
    // False (and `out` untouched) when the identifier has no string.
    static bool Load(int id, CString* out);
    // The string cut to the tip limit; empty when there is none.
    static CString TipText(int id);
};
