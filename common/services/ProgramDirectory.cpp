#include "services/ProgramDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::filesystem::path Folder() {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".local" / "share";
    else
        base = std::filesystem::temp_directory_path();
    return base / "Ostrak" / "Varnel";
}

// Clears the group and other bits of an entry this user owns; `wanted` says which kind it must be.
void OwnerOnly(const std::filesystem::path& path, mode_t wanted) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || (st.st_mode & S_IFMT) != wanted || st.st_uid != ::geteuid())
        return;
    if (st.st_mode & 077)
        ::chmod(path.c_str(), st.st_mode & 07700);
}
} // namespace

CString ProgramDirectory() {
    const std::filesystem::path dir = Folder();
    std::error_code ignored;
    std::filesystem::create_directories(dir.parent_path(), ignored);
    ::mkdir(dir.c_str(), 0700);
    return dir.string() + "/";
}

bool InProgramDirectory(const CString& path) {
    const CString dir = ProgramDirectory();
    return path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 &&
           path.find('/', dir.size()) == CString::npos;
}

void ProtectProgramDirectory() {
    const std::filesystem::path dir = Folder();
    ProgramDirectory();
    OwnerOnly(dir, S_IFDIR);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        OwnerOnly(it->path(), S_IFREG);
}
