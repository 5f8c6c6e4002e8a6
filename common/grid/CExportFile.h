// The target file of an export. Output goes to a new file beside the target that replaces it only
// when complete and on the disk, keeping the old file's permissions; a target that is not a regular
// file (a pipe, a terminal, /dev/full) is written in place, and so is an open descriptor such as
// standard output. Temporary files are removed when a catchable signal ends the program.
#pragma once

#include "CommonTypes.h"

#include <chrono>
#include <string_view>

class CExportFile {
public:
    CExportFile() = default;
    ~CExportFile();
    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    bool Open(const CString& path);
    // Writes to a descriptor that stays open and is written as it is (standard output).
    bool OpenDescriptor(int fd);
    bool Write(std::string_view text);
    // Appends the whole content of another file.
    bool WriteFileContent(const CString& path);
    // Writes what is buffered and puts the file in place; false when any write failed.
    bool Commit();
    // Drops a partly written file; the target stays as it was.
    void Abort();
    bool IsOpen() const { return m_Fd >= 0; }
    bool InPlace() const { return m_bInPlace; }

    // Temporary files that a signal must not leave behind: each registered path is removed by
    // RemoveTemporaryFiles, which is safe inside a signal handler. False when no slot is free.
    static bool RegisterTemporary(const CString& path);
    static void UnregisterTemporary(const CString& path);
    static void RemoveTemporaryFiles();
    // Creates a new file named `prefix`, six random characters and `suffix`, registered before it
    // exists, so no signal can leave it behind; its descriptor, or -1 (`path` is then empty).
    static int CreateTemporary(const CString& prefix, const char* suffix, CString& path);
    // Installs handlers for SIGINT, SIGTERM, SIGHUP, SIGQUIT, the faults SIGSEGV, SIGBUS and SIGABRT
    // and, unless `ignorePipe`, SIGPIPE that remove the temporary files and then end the program by
    // the same signal, so the exit status is the usual one. With `ignorePipe` a write to a pipe
    // nobody reads fails instead.
    static void RemoveTemporaryFilesOnSignals(bool ignorePipe = false);

private:
    bool Flush();
    void DropTemporary();

    int m_Fd = -1;
    bool m_bInPlace = false;
    bool m_bOwnFd = true;
    bool m_bFailed = false;
    unsigned m_Mode = 0;
    CString m_Target;
    CString m_Temp;
    CString m_Buffer;
    std::chrono::steady_clock::time_point m_LastFlush;
};
