// Shows one internal failure to the user: file, line and message.
#pragma once

#include "CommonTypes.h"

class CAssert {
public:
    // Modal "ASSERT" dialog with "File", "Line" and the message; returns the dialog's result.
    static int DoModal(const CString& message, const CString& file, int line);
};
