// Appends time-stamped lines to the error log ("Error.Log" in the program directory),
// writes the start-up banner, records internal failures and lets the user view or delete the log.
#pragma once

#include "CommonTypes.h"

#include <ctime>

class CLog {
public:
    CLog();

    void SetErrorFile(const char* path);
    void SetDebugFile(const char* path);
    // Empty until the first write resolves the default.
    const CString& ErrorFile() const { return m_ErrorFile; }
    const CString& DebugFile() const { return m_DebugFile; }

    // Start-up banner: an empty line, then the title with the version and the build/system line.
    void Begin(const CString& title);
    // Internal failure: location "%s [%d]", then " \ %s %s" with detail and message.
    void Bug(const char* message, const char* detail, const char* source, int line);
    void ViewLog(bool errorFile);
    void TruncateLog(bool errorFile);
    // errno's message text into out (empty when errno is 0); returns the code.
    static int FormatLastError(CString* out);

    // Appends one line ("%s > %s\n", or a bare line feed for an empty text).
    void Write(const CString& text, bool errorFile = true);
    CString GetCurTime();

    int m_VersionMajor = 0;
    int m_VersionMinor = 0;
    int m_VersionBuild = 0;
    int m_VersionPrivate = 0;

private:
    const CString& ResolveFile(bool errorFile);

    time_t m_LastTime = 0;
    CString m_LastTimeText;
    CString m_Scratch;
    CString m_ErrorFile;
    CString m_DebugFile;
};
