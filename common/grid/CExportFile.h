// The target file of an export. Output goes to a new file beside the target that replaces it only
// when complete, keeping the old file's permissions; a target that is not a regular file (a pipe,
// a terminal, /dev/stdout) is written in place.
#pragma once

#include "CommonTypes.h"

#include <string_view>

class CExportFile {
public:
    CExportFile() = default;
    ~CExportFile();
    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    bool Open(const CString& path);
    bool Write(std::string_view text);
    // Writes what is buffered and puts the file in place; false when any write failed.
    bool Commit();
    // Drops a partly written file; the target stays as it was.
    void Abort();
    bool IsOpen() const { return m_Fd >= 0; }
    bool InPlace() const { return m_bInPlace; }

private:
    bool Flush();

    int m_Fd = -1;
    bool m_bInPlace = false;
    bool m_bFailed = false;
    unsigned m_Mode = 0;
    CString m_Target;
    CString m_Temp;
    CString m_Buffer;
};
