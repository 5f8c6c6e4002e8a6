// Reads one entry of a zip archive (enough for the workbooks the export writes).
#pragma once

#include "CommonTypes.h"

// The entry's uncompressed content; empty when missing or unreadable.
CString ZipEntry(const CString& archive, const CString& name);
