#include "grid/CExportFile.h"

#include "services/FileSync.h"

#include <atomic>
#include <chrono>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <random>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr size_t kBufferSize = 1 << 20;
constexpr size_t kStreamBlock = 1 << 16;

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Registered temporary files. A slot is free (0), being filled (1) or holds a path (2); a signal
// handler reads only slots that hold a path.
struct TempSlot {
    std::atomic<int> state{0};
    char path[PATH_MAX];
};
TempSlot g_TempSlots[16];

extern "C" void RemoveTemporariesAndDie(int signal) {
    CExportFile::RemoveTemporaryFiles();
    // The handler was reset on entry: the signal, delivered again on return, ends the program.
    ::raise(signal);
}
} // namespace

bool CExportFile::RegisterTemporary(const CString& path) {
    if (path.size() >= PATH_MAX)
        return false;
    for (TempSlot& slot : g_TempSlots) {
        int expected = 0;
        if (!slot.state.compare_exchange_strong(expected, 1))
            continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(2);
        return true;
    }
    return false;
}

void CExportFile::UnregisterTemporary(const CString& path) {
    for (TempSlot& slot : g_TempSlots)
        if (slot.state.load() == 2 && path == slot.path) {
            slot.state.store(0);
            return;
        }
}

int CExportFile::CreateTemporary(const CString& prefix, const char* suffix, CString& path) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = prefix;
        for (int i = 0; i < 6; ++i)
            path += kLetters[random() % (sizeof kLetters - 1)];
        path += suffix;
        if (!RegisterTemporary(path))
            break;
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            return fd;
        const int error = errno;
        UnregisterTemporary(path);
        if (error != EEXIST) {
            errno = error;
            break;
        }
    }
    path.clear();
    return -1;
}

void CExportFile::RemoveTemporaryFiles() {
    for (TempSlot& slot : g_TempSlots)
        if (slot.state.load() == 2)
            ::unlink(slot.path);
}

void CExportFile::RemoveTemporaryFilesOnSignals(bool ignorePipe) {
    if (ignorePipe)
        ::signal(SIGPIPE, SIG_IGN);
    // A fault (a driver can crash inside a fetch when its connection breaks) removes them too.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT, SIGSEGV, SIGBUS, SIGABRT}) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue; // ignored on purpose by whoever started us (nohup, a shell's trap)
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndDie;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

CExportFile::~CExportFile() {
    Abort();
}

bool CExportFile::OpenDescriptor(int fd) {
    Abort();
    m_bFailed = false;
    m_Buffer.clear();
    m_Buffer.reserve(kBufferSize);
    m_bInPlace = true;
    m_bOwnFd = false;
    m_Target.clear();
    m_Fd = fd;
    m_LastFlush = {};
    return fd >= 0;
}

bool CExportFile::Open(const CString& path) {
    Abort();
    m_bFailed = false;
    m_bOwnFd = true;
    m_Buffer.clear();
    m_Buffer.reserve(kBufferSize);
    CString target = path;
    // A link is followed, so that the file it names is replaced and the link stays.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        m_bInPlace = true;
        m_Target = target;
        m_Fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        return m_Fd >= 0;
    }
    m_bInPlace = false;
    m_Target = target;
    m_Mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    const size_t slash = target.rfind('/');
    const CString dir = slash == CString::npos ? CString(".") : target.substr(0, slash ? slash : 1);
    const CString name = slash == CString::npos ? target : target.substr(slash + 1);
    m_Fd = CreateTemporary(dir + (dir.back() == '/' ? "" : "/") + "." + name + ".", "", m_Temp);
    if (m_Fd < 0)
        return false;
    if (exists && ::fchown(m_Fd, st.st_uid, st.st_gid) != 0) {
        // Another owner can't be kept by an ordinary user; the file becomes the user's own.
    }
    return true;
}

bool CExportFile::Flush() {
    size_t done = 0;
    while (done < m_Buffer.size()) {
        const ssize_t n = ::write(m_Fd, m_Buffer.data() + done, m_Buffer.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_bFailed = true;
            break;
        }
        done += size_t(n);
    }
    m_Buffer.clear();
    return !m_bFailed;
}

bool CExportFile::Write(std::string_view text) {
    if (m_Fd < 0 || m_bFailed)
        return false;
    // Standard output is a stream: a reader gets the rows within a tenth of a second, in blocks small
    // enough to arrive steadily.
    if (!m_bOwnFd) {
        m_Buffer.append(text);
        const auto now = std::chrono::steady_clock::now();
        if (m_Buffer.size() < kStreamBlock && now - m_LastFlush < std::chrono::milliseconds(100))
            return true;
        m_LastFlush = now;
        return Flush();
    }
    if (m_Buffer.size() + text.size() > kBufferSize && !Flush())
        return false;
    if (text.size() >= kBufferSize) {
        m_Buffer.assign(text);
        return Flush();
    }
    m_Buffer.append(text);
    return true;
}

bool CExportFile::WriteFileContent(const CString& path) {
    const int source = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    char block[1 << 16];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(source, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (!Write(std::string_view(block, size_t(got)))) {
            ok = false;
            break;
        }
    }
    ::close(source);
    return ok;
}

bool CExportFile::Commit() {
    if (m_Fd < 0)
        return false;
    bool ok = Flush() && !m_bFailed;
    if (m_bInPlace) {
        if (m_bOwnFd)
            ok = ::close(m_Fd) == 0 && ok;
        m_Fd = -1;
        return ok;
    }
    ok = ok && ::fchmod(m_Fd, m_Mode) == 0;
    ok = ok && FileSync::Sync(m_Fd);
    ok = (::close(m_Fd) == 0) && ok;
    m_Fd = -1;
    ok = ok && FileSync::Rename(m_Temp, m_Target);
    if (ok) {
        UnregisterTemporary(m_Temp);
        m_Temp.clear();
        // The new file is complete either way; a folder that can't be synced is not a failed export.
        FileSync::SyncFolder(m_Target);
    } else {
        DropTemporary();
    }
    return ok;
}

void CExportFile::DropTemporary() {
    if (m_Temp.empty())
        return;
    ::unlink(m_Temp.c_str());
    UnregisterTemporary(m_Temp);
    m_Temp.clear();
}

void CExportFile::Abort() {
    if (m_Fd >= 0) {
        if (m_bOwnFd)
            ::close(m_Fd);
        m_Fd = -1;
    }
    DropTemporary();
    m_Buffer.clear();
}
