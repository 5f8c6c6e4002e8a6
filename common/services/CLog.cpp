#include "services/CLog.h"

#include "services/Desktop.h"
#include "services/ProgramDirectory.h"
#include "toolkit/MessageBox.h"

#include <sys/utsname.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <sstream>

namespace {
// The build stamp in the form "Fri Sep 27 20:56:51 2002".
CString BuildStamp() {
    std::tm tm{};
    std::istringstream in(CString(__DATE__) + " " + __TIME__);
    in >> std::get_time(&tm, "%b %d %Y %H:%M:%S");
    if (in.fail())
        return CString(__DATE__) + " " + __TIME__;
    std::mktime(&tm);
    char text[64];
    std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", &tm);
    return text;
}

CString SystemText() {
    utsname name{};
    if (uname(&name) != 0)
        return "Linux";
    return CString(name.sysname) + " " + name.release + " [" + name.machine + "]";
}

// Opens a log for appending, readable by its owner only: log lines carry row values from driver
// messages. A log that earlier versions left readable by others loses those permissions.
FILE* OpenLog(const CString& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077) && st.st_uid == ::geteuid())
        ::fchmod(fd, st.st_mode & 07700);
    FILE* file = ::fdopen(fd, "a");
    if (!file)
        ::close(fd);
    return file;
}

CString Format(const char* format, auto... args) {
    int n = std::snprintf(nullptr, 0, format, args...);
    CString out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        std::snprintf(out.data(), out.size() + 1, format, args...);
    return out;
}
} // namespace

CLog::CLog() : m_DebugFile("Debug.Log") {}

void CLog::SetErrorFile(const char* path) {
    m_ErrorFile = path ? path : "";
}

void CLog::SetDebugFile(const char* path) {
    m_DebugFile = path ? path : "";
}

const CString& CLog::ResolveFile(bool errorFile) {
    if (m_ErrorFile.empty())
        m_ErrorFile = ProgramDirectory() + "Error.Log";
    return errorFile ? m_ErrorFile : m_DebugFile;
}

CString CLog::GetCurTime() {
    m_LastTime = std::time(nullptr);
    std::tm local{};
    localtime_r(&m_LastTime, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    m_LastTimeText = text;
    return m_LastTimeText;
}

void CLog::Write(const CString& text, bool errorFile) {
    const CString& path = ResolveFile(errorFile);
    FILE* file = OpenLog(path);
    if (!file) {
        ShowMessage(text);
        return;
    }
    if (text.empty()) {
        std::fputs("\n", file);
    } else {
        m_Scratch = GetCurTime() + " > " + text + "\n";
        std::fwrite(m_Scratch.data(), 1, m_Scratch.size(), file);
    }
    std::fclose(file);
}

void CLog::Begin(const CString& title) {
    m_VersionMajor = VARNEL_VERSION_MAJOR;
    m_VersionMinor = VARNEL_VERSION_MINOR;
    m_VersionBuild = VARNEL_VERSION_PATCH;
    m_VersionPrivate = 0;
    Write("", true);
    Write(Format("  << %s %d.%02d.%02d >>", title.c_str(), m_VersionMajor, m_VersionMinor, m_VersionBuild),
          true);
    Write(Format("  << build: %s,OS=%s >>", BuildStamp().c_str(), SystemText().c_str()), true);
}

void CLog::Bug(const char* message, const char* detail, const char* source, int line) {
    Write(Format("%s [%d]", source ? source : "", line), true);
    if (!message && !detail)
        return;
    Write(Format(" \\ %s %s", detail ? detail : "", message ? message : ""), true);
}

int CLog::FormatLastError(CString* out) {
    const int code = errno;
    if (out)
        *out = code ? std::strerror(code) : "";
    return code;
}

void CLog::ViewLog(bool errorFile) {
    const CString path = ResolveFile(errorFile);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        ShowMessage("Log still empty.", "Information!", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The desktop opens the file with its viewer for text files; errno says nothing about why it
    // could not, so the message names the reason itself.
    if (!Desktop().openFile || !Desktop().openFile(path))
        ShowMessage("No application is set up to open text files.", "xdg-open " + path, MB_OK | MB_ICONERROR);
}

void CLog::TruncateLog(bool errorFile) {
    if (ShowMessage("Are you sure?", "Truncate log!", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) != IDYES)
        return;
    const CString path = ResolveFile(errorFile);
    if (std::remove(path.c_str()) != 0)
        ShowMessage("Error: DeleteFile fail!", path, MB_OK | MB_ICONERROR);
}
