// Turns a script file's bytes into the text the editor hands to a run: every line break
// (CR LF, lone CR, lone LF) written as CR LF, tabs expanded, and a final line break.
#pragma once

#include "CommonTypes.h"

#include <cstddef>

class CRunText {
public:
    // Columns are counted in characters (UTF-8 code points; a byte that is not valid UTF-8 is one).
    static CString Prepare(const CString& raw, int tabSize = 4);
    // The file's text without a leading UTF-8 byte-order mark.
    static CString WithoutByteOrderMark(const CString& raw);
    // Line (from 1) of the first NUL byte, 0 when there is none: such a script can't be handed to a
    // driver, which would end the statement there.
    static size_t NulLine(const CString& raw);
};
