// Conversion of 8-bit text between the ANSI character set (the locale's UTF-8) and the OEM one (IBM437).
#pragma once

#include "CommonTypes.h"

// Characters without an OEM form become their closest transliteration or "?"; bytes that are not
// valid UTF-8 become "?".
CString AnsiToOem(const CString& text);
CString OemToAnsi(const CString& text);
