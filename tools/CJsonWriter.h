// Writes JSON text for the command-line companion: strings are escaped byte for byte, and a byte
// that is not part of valid UTF-8 is written as \u00XX with its value.
#pragma once

#include "CommonTypes.h"

class CJsonWriter {
public:
    // The JSON string literal (with its quotes) for text.
    static CString Quoted(const CString& text);
    // The array literal of the texts: ["...", "..."].
    static CString Array(const CStringArray& texts);
};
