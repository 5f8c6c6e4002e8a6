#include "CFileTypeRegistration.h"

#include <QFile>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

// The program's resources live in a static library; this makes sure they are linked and registered.
static void LoadResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {
const char* const kEntryName = "varnel.desktop";

// A directory list variable, keeping only absolute entries as the base directory rules demand.
CStringArray AbsoluteDirectories(const char* value) {
    CStringArray dirs;
    std::stringstream list(value ? value : "");
    CString dir;
    while (std::getline(list, dir, ':'))
        if (!dir.empty() && dir.front() == '/')
            dirs.push_back(dir);
    return dirs;
}

CString UserDataHome() {
    // One folder, not a list; a relative value counts as unset.
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return data;
    const char* home = std::getenv("HOME");
    return home && *home == '/' ? CString(home) + "/.local/share" : CString();
}

CString UserIconPath() {
    const CString home = UserDataHome();
    return home.empty() ? CString() : home + "/icons/hicolor/scalable/apps/varnel.svg";
}

// One argument of an Exec line: quoted when it holds a reserved character, then escaped as a string value.
CString ExecArgument(const CString& path) {
    bool needsQuotes = false;
    for (char c : path)
        if (std::strchr(" \t\"'\\><~|&;$*?#()`", c))
            needsQuotes = true;
    CString quoted;
    for (char c : path) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\'))
            quoted += '\\';
        quoted += c == '%' ? CString("%%") : CString(1, c);
    }
    if (needsQuotes)
        quoted = '"' + quoted + '"';
    CString escaped;
    for (char c : quoted)
        escaped += c == '\\' ? CString("\\\\") : CString(1, c);
    return escaped;
}

// TryExec takes the path as a plain string value.
CString StringValue(const CString& text) {
    CString escaped;
    for (char c : text)
        escaped += c == '\\' ? CString("\\\\") : CString(1, c);
    return escaped;
}

std::optional<CString> ReadFile(const CString& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsOurs(const CString& text) {
    return text.find(CFileTypeRegistration::kMarker) != CString::npos;
}

// Writes beside the target and renames, so a reader never sees half an entry.
bool WriteAtomically(const CString& path, const CString& text) {
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    const CString temporary = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(text.data(), std::streamsize(text.size())) || !out.flush()) {
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

// The program's icon from its resources into the user's icon theme, so the entry shows it.
void WriteIcon() {
    const CString target = UserIconPath();
    std::error_code error;
    if (target.empty() || fs::exists(target, error))
        return;
    LoadResources();
    QFile icon(":/icons/varnel.svg");
    if (!icon.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = icon.readAll();
    WriteAtomically(target, CString(data.constData(), size_t(data.size())));
}
} // namespace

CString CFileTypeRegistration::UserEntryPath() {
    const CString home = UserDataHome();
    return home.empty() ? CString() : home + "/applications/" + kEntryName;
}

CString CFileTypeRegistration::SystemEntryPath() {
    const char* value = std::getenv("XDG_DATA_DIRS");
    CStringArray dirs = AbsoluteDirectories(value && *value ? value : "/usr/local/share/:/usr/share/");
    std::error_code error;
    for (const CString& dir : dirs) {
        const CString entry = dir + (dir.back() == '/' ? "" : "/") + "applications/" + kEntryName;
        if (fs::is_regular_file(entry, error))
            return entry;
    }
    return "";
}

CString CFileTypeRegistration::EntryText(const CString& programPath) {
    if (programPath.empty() || programPath.front() != '/' ||
        programPath.find_first_of("\r\n") != CString::npos)
        return "";
    return CString("[Desktop Entry]\n"
                   "Type=Application\n"
                   "Name=Varnel\n"
                   "GenericName=SQL Workbench\n"
                   "Comment=Write and run SQL scripts against ODBC databases\n") +
           "TryExec=" + StringValue(programPath) + "\n" + "Exec=" + ExecArgument(programPath) + " %f\n" +
           "Icon=varnel\n"
           "Terminal=false\n"
           "Categories=Development;Database;\n"
           "MimeType=application/sql;text/x-sql;\n" +
           kMarker + "\n";
}

CFileTypeRegistration::Result CFileTypeRegistration::Register(const CString& programPath) {
    const CString userEntry = UserEntryPath();
    const std::optional<CString> existing = userEntry.empty() ? std::nullopt : ReadFile(userEntry);
    std::error_code error;
    if (!SystemEntryPath().empty()) {
        // The installed package's entry is the one that counts; an entry left from before would hide it.
        if (existing && IsOurs(*existing)) {
            fs::remove(userEntry, error);
            const CString icon = UserIconPath();
            if (!icon.empty())
                fs::remove(icon, error);
        }
        return Installed;
    }
    const CString text = EntryText(programPath);
    if (userEntry.empty() || text.empty())
        return Failed;
    if (existing && !IsOurs(*existing))
        return UserOwned;
    if (existing && *existing == text)
        return UpToDate;
    if (!WriteAtomically(userEntry, text))
        return Failed;
    WriteIcon();
    return Written;
}
