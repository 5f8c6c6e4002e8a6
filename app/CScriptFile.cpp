#include "CScriptFile.h"

#include "services/FileSync.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes all of `size` bytes, retrying short writes; false on any failure.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

CString CScriptFile::BackupName(const CString& path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == CString::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot != CString::npos && dot >= nameStart)
        return path.substr(0, dot) + ".bak";
    return path + ".bak";
}

bool CScriptFile::Exists(const CString& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int CScriptFile::Write(const CString& path, const CString& text, bool ownerOnly) {
    if (path.empty())
        return -1;
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return -1;

    CString tempName = path + ".XXXXXX";
    const int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return -1;
    bool ok = WriteAll(fd, text.data(), text.size());
    const mode_t mode = ownerOnly ? 0600 : existed ? (old.st_mode & 07777) : NewFileMode();
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = ok && FileSync::Sync(fd);
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(tempName.c_str());
        return -1;
    }

    if (existed) {
        const CString backup = BackupName(path);
        if (backup != path) {
            ::unlink(backup.c_str());
            // The old copy becomes the backup: it must not stay readable by others.
            if (ownerOnly && (old.st_mode & 077))
                ::chmod(path.c_str(), old.st_mode & 07700);
            if (!FileSync::Rename(path, backup)) {
                ::unlink(tempName.c_str());
                return -1;
            }
            if (!FileSync::Rename(tempName, path)) {
                ::rename(backup.c_str(), path.c_str());
                ::unlink(tempName.c_str());
                return -1;
            }
            FileSync::SyncFolder(path);
            return 0;
        }
    }
    if (!FileSync::Rename(tempName, path)) {
        ::unlink(tempName.c_str());
        return -1;
    }
    FileSync::SyncFolder(path);
    return 0;
}

int CScriptFile::Read(const CString& path, CString* out) {
    if (!out || !Exists(path))
        return -1;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return -1;
    CString text;
    char block[kBlockSize];
    for (;;) {
        const size_t n = std::fread(block, 1, sizeof block, file);
        text.append(block, n);
        if (n < sizeof block)
            break;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return -1;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    if (text.find('\0') != CString::npos) {
        CString shown;
        shown.reserve(text.size() + 16);
        for (char c : text) {
            if (c == '\0')
                shown += kNulSymbol;
            else
                shown += c;
        }
        text = std::move(shown);
    }
    *out = std::move(text);
    return 0;
}
