#include "services/ProgramDirectory.h"

#include <cstdlib>
#include <filesystem>

CString ProgramDirectory() {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".local" / "share";
    else
        base = std::filesystem::temp_directory_path();
    std::filesystem::path dir = base / "Ostrak" / "Varnel";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir.string() + "/";
}
