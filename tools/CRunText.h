// Turns a script file's bytes into the text the editor hands to a run: every line break
// (CR LF, lone CR, lone LF) written as CR LF, tabs expanded, and a final line break.
#pragma once

#include "CommonTypes.h"

class CRunText {
public:
    // Columns are counted in characters (UTF-8 code points; a byte that is not valid UTF-8 is one).
    static CString Prepare(const CString& raw, int tabSize = 4);
};
