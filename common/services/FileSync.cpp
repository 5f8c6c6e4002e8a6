#include "services/FileSync.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {
FileSync::Observer& CurrentObserver() {
    static FileSync::Observer observer;
    return observer;
}

void Notify(const char* call, int fd, const CString& from, const CString& to) {
    if (CurrentObserver())
        CurrentObserver()(call, fd, from, to);
}

CString FolderOf(const CString& path) {
    const size_t slash = path.rfind('/');
    if (slash == CString::npos)
        return ".";
    return slash == 0 ? CString("/") : path.substr(0, slash);
}
} // namespace

namespace FileSync {
Observer SetObserver(Observer observer) {
    return std::exchange(CurrentObserver(), std::move(observer));
}

bool Sync(int fd) {
    Notify("fsync", fd, {}, {});
    while (::fsync(fd) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

bool Rename(const CString& from, const CString& to) {
    Notify("rename", -1, from, to);
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool SyncFolder(const CString& path) {
    const CString folder = FolderOf(path);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    Notify("fsync-folder", fd, folder, {});
    bool ok = ::fsync(fd) == 0;
    // Some file systems can't sync a folder; the rename itself has happened.
    if (!ok && (errno == EINVAL || errno == EROFS))
        ok = true;
    ::close(fd);
    return ok;
}
} // namespace FileSync
