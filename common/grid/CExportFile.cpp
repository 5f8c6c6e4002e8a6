#include "grid/CExportFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr size_t kBufferSize = 1 << 20;

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
} // namespace

CExportFile::~CExportFile() {
    Abort();
}

bool CExportFile::Open(const CString& path) {
    Abort();
    m_bFailed = false;
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
    m_Temp = dir + (dir.back() == '/' ? "" : "/") + "." + name + ".XXXXXX";
    m_Fd = ::mkostemp(m_Temp.data(), O_CLOEXEC);
    if (m_Fd < 0) {
        m_Temp.clear();
        return false;
    }
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
    if (m_Buffer.size() + text.size() > kBufferSize && !Flush())
        return false;
    if (text.size() >= kBufferSize) {
        m_Buffer.assign(text);
        return Flush();
    }
    m_Buffer.append(text);
    return true;
}

bool CExportFile::Commit() {
    if (m_Fd < 0)
        return false;
    bool ok = Flush() && !m_bFailed;
    if (!m_bInPlace && ok)
        ok = ::fchmod(m_Fd, m_Mode) == 0;
    ok = (::close(m_Fd) == 0) && ok;
    m_Fd = -1;
    if (!m_bInPlace) {
        if (ok)
            ok = ::rename(m_Temp.c_str(), m_Target.c_str()) == 0;
        if (!ok)
            ::unlink(m_Temp.c_str());
        m_Temp.clear();
    }
    return ok;
}

void CExportFile::Abort() {
    if (m_Fd >= 0) {
        ::close(m_Fd);
        m_Fd = -1;
    }
    if (!m_Temp.empty()) {
        ::unlink(m_Temp.c_str());
        m_Temp.clear();
    }
    m_Buffer.clear();
}
