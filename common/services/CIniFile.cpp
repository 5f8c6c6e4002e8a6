#include "services/CIniFile.h"

#include "services/FileSync.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool SameName(const CString& a, const CString& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Keys must not contain the separator nor look like a heading or a comment.
const char* const kKeyExtra = "=[;#";
const char* const kSectionExtra = "[]";

// Creates the missing folders of `dir`, each readable by its owner only.
int MakeFolders(const std::filesystem::path& dir) {
    if (dir.empty())
        return 0;
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec))
        return 0;
    if (int rc = MakeFolders(dir.parent_path()))
        return rc;
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}
// The file that `path` stands for: the end of its chain of symbolic links, or `path` itself.
CString LinkTarget(const CString& path) {
    CString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        CString target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size())
            return current;
        target.resize(static_cast<size_t>(n));
        if (target[0] != '/') {
            const size_t slash = current.rfind('/');
            target = (slash == CString::npos ? CString() : current.substr(0, slash + 1)) + target;
        }
        current = target;
    }
    return current;
}

// "<name>." followed by the six characters mkstemp puts in place of "XXXXXX".
bool IsWriteCopyOf(const CString& entry, const CString& name) {
    if (entry.size() != name.size() + 7 || entry.compare(0, name.size(), name) != 0 ||
        entry[name.size()] != '.')
        return false;
    for (size_t i = name.size() + 1; i < entry.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(entry[i])))
            return false;
    return true;
}

bool Older(const struct stat& a, const struct stat& b) {
    return a.st_mtim.tv_sec < b.st_mtim.tv_sec ||
           (a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec < b.st_mtim.tv_nsec);
}
} // namespace

CString CIniFile::Escape(const CString& text, const char* extra) {
    CString out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            if (std::strchr(extra, c)) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out;
}

CString CIniFile::Unescape(const CString& text) {
    CString out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        char next = text[i + 1];
        switch (next) {
        case '\\':
            out += '\\';
            ++i;
            break;
        case 'n':
            out += '\n';
            ++i;
            break;
        case 'r':
            out += '\r';
            ++i;
            break;
        case '0':
            out += '\0';
            ++i;
            break;
        case 'x':
            if (i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
                out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
                i += 3;
                break;
            }
            out += c;
            break;
        default:
            // An escape this file never writes (a hand edit) stays as it is.
            out += c;
        }
    }
    return out;
}

CIniFile::Section* CIniFile::FindSection(const CString& name) {
    for (auto& s : m_Sections)
        if (SameName(s.name, name))
            return &s;
    return nullptr;
}

const CIniFile::Section* CIniFile::FindSection(const CString& name) const {
    return const_cast<CIniFile*>(this)->FindSection(name);
}

std::optional<CString> CIniFile::Value(const CString& section, const CString& key) const {
    const Section* s = FindSection(section);
    if (!s)
        return std::nullopt;
    for (const auto& line : s->lines)
        if (!line.raw && SameName(line.key, key))
            return line.value;
    return std::nullopt;
}

void CIniFile::SetValue(const CString& section, const CString& key, const CString& value) {
    if (m_Sections.empty())
        m_Sections.push_back({});
    Section* s = FindSection(section);
    if (!s) {
        m_Sections.push_back({section, {}});
        s = &m_Sections.back();
    }
    for (auto& line : s->lines) {
        if (!line.raw && SameName(line.key, key)) {
            line.value = value;
            return;
        }
    }
    s->lines.push_back({key, value, false});
}

CString CIniFile::Serialise() const {
    CString out;
    bool first = true;
    for (const auto& s : m_Sections) {
        if (!first || !s.name.empty()) {
            if (!out.empty())
                out += '\n';
            out += '[' + Escape(s.name, kSectionExtra) + "]\n";
        }
        first = false;
        for (const auto& line : s.lines) {
            if (line.raw)
                out += line.value + '\n';
            else
                out += Escape(line.key, kKeyExtra) + '=' + Escape(line.value) + '\n';
        }
    }
    return out;
}

void CIniFile::Parse(const CString& text) {
    m_Sections.clear();
    m_Sections.push_back({});
    size_t current = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == CString::npos)
            end = text.size();
        CString line = text.substr(pos, end - pos);
        pos = end + 1;
        // Values never hold a raw carriage return, so one at the end comes from an editor.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            CString name = Unescape(line.substr(1, line.size() - 2));
            current = m_Sections.size();
            for (size_t i = 0; i < m_Sections.size(); ++i) {
                if (SameName(m_Sections[i].name, name)) {
                    current = i;
                    break;
                }
            }
            if (current == m_Sections.size())
                m_Sections.push_back({name, {}});
            continue;
        }
        size_t eq = line.find('=');
        if (eq == CString::npos || line.front() == ';' || line.front() == '#') {
            m_Sections[current].lines.push_back({"", line, true});
            continue;
        }
        CString key = Unescape(line.substr(0, eq));
        CString value = Unescape(line.substr(eq + 1));
        auto& lines = m_Sections[current].lines;
        bool replaced = false;
        for (auto& l : lines) {
            if (!l.raw && SameName(l.key, key)) {
                l.value = value; // the last of repeated keys wins
                replaced = true;
                break;
            }
        }
        if (!replaced)
            lines.push_back({key, value, false});
    }
}

int CIniFile::Load() {
    m_Sections.clear();
    FILE* f = std::fopen(m_Path.c_str(), "rb");
    if (!f) {
        int rc = errno;
        Parse("");
        return rc == ENOENT ? 0 : rc;
    }
    CString text;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    int rc = std::ferror(f) ? EIO : 0;
    std::fclose(f);
    Parse(text);
    return rc;
}

int CIniFile::Write() const {
    if (m_Path.empty())
        return ENOENT;
    // A linked store (as dotfile managers keep it) stays a link: its target is replaced.
    const CString path = LinkTarget(m_Path);
    std::filesystem::path target(path);
    if (int rc = MakeFolders(target.parent_path()))
        return rc;
    CString tmpl = path + ".XXXXXX";
    int fd = ::mkstemp(tmpl.data()); // created with mode 0600
    if (fd < 0)
        return errno;
    struct stat old {};
    if (path != m_Path && ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(fd, old.st_mode & 07777) != 0) {
        const int rc = errno;
        ::close(fd);
        ::unlink(tmpl.c_str());
        return rc;
    }
    const CString text = Serialise();
    size_t done = 0;
    int rc = 0;
    while (done < text.size()) {
        ssize_t w = ::write(fd, text.data() + done, text.size() - done);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            rc = errno;
            break;
        }
        done += static_cast<size_t>(w);
    }
    if (rc == 0 && !FileSync::Sync(fd))
        rc = errno;
    if (::close(fd) != 0 && rc == 0)
        rc = errno;
    if (rc == 0 && !FileSync::Rename(tmpl, path))
        rc = errno;
    if (rc != 0)
        ::unlink(tmpl.c_str());
    else
        FileSync::SyncFolder(path);
    return rc;
}

int CIniFile::RemoveLeftovers() const {
    if (m_Path.empty())
        return 0;
    const CString path = LinkTarget(m_Path);
    struct stat store {};
    if (::stat(path.c_str(), &store) != 0)
        return 0;
    // Beside the target, where writes go, and beside the link, where earlier versions wrote.
    CStringArray places{path};
    if (path != m_Path)
        places.push_back(m_Path);
    int removed = 0;
    for (const CString& place : places) {
        const std::filesystem::path file(place);
        const CString name = file.filename().string();
        const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const CString entry = it->path().filename().string();
            struct stat st {};
            if (!IsWriteCopyOf(entry, name) || ::lstat(it->path().c_str(), &st) != 0 ||
                !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || !Older(st, store))
                continue;
            if (::unlink(it->path().c_str()) == 0)
                ++removed;
        }
    }
    return removed;
}
