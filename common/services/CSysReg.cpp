#include "services/CSysReg.h"

#include "services/CIniFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <sys/stat.h>

namespace {
const char kKey[] = "QuartzMeadowLanternHarborCobaltVelvetSummitFox";
const int kKeyLength = sizeof kKey - 1; // 46
const int kPairs = 50;                  // pairs after the length pair, at least

// One cached copy of every profile file, reloaded when the file on disk changes.
struct CachedFile {
    CIniFile ini;
    bool loaded = false;
    struct stat stamp {};
};

struct Store {
    std::recursive_mutex lock;
    CString profile;
    std::map<CString, CachedFile> files;
    int batchDepth = 0;
    std::set<CString> dirty;
};

Store& TheStore() {
    static Store store;
    return store;
}

bool SameStamp(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The cached file, brought up to date unless it holds changes not yet written.
CachedFile& Fresh(Store& store, const CString& path) {
    CachedFile& file = store.files[path];
    if (store.dirty.count(path))
        return file;
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0)
        now = {};
    if (!file.loaded || !SameStamp(now, file.stamp)) {
        file.ini = CIniFile(path);
        file.ini.Load();
        file.stamp = now;
        file.loaded = true;
    }
    return file;
}

int Flush(Store& store, const CString& path) {
    CachedFile& file = store.files[path];
    int rc = file.ini.Write();
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0)
        now = {};
    file.stamp = now;
    if (rc != 0)
        file.loaded = false; // what the file holds is read again next time
    return rc;
}

CString ConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return CString(home && home[0] ? home : ".") + "/.config";
}

int HexPair(const CString& s, size_t pair) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    if (pair * 2 + 1 >= s.size())
        return -2; // not present
    int hi = digit(s[pair * 2]), lo = digit(s[pair * 2 + 1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}
} // namespace

void CSysReg::SetProfileName(const CString& name, int mode) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    store.profile = name;
    m_Mode = mode;
}

CString CSysReg::GetProfileName() {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    return store.profile;
}

CString CSysReg::ProfileFile(const CString& name, int mode) {
    if (mode == FILE_MODE) {
        if (!name.empty() && name[0] == '/')
            return name;
        return ConfigFolder() + "/" + (name.empty() ? "profile.ini" : name);
    }
    // Path parts of the key, without the leading "Software" and without "." or "..".
    CStringArray parts;
    CString part;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '\\' || name[i] == '/') {
            if (!part.empty() && part != "." && part != "..")
                parts.push_back(part);
            part.clear();
        } else {
            part += name[i];
        }
    }
    if (!parts.empty() && strcasecmp(parts[0].c_str(), "Software") == 0)
        parts.erase(parts.begin());
    if (parts.empty())
        parts.push_back("Settings");
    CString path = ConfigFolder();
    for (const auto& p : parts)
        path += "/" + p;
    return path + ".ini";
}

CString CSysReg::File() const {
    return ProfileFile(GetProfileName(), m_Mode);
}

int CSysReg::Save(const char* section, const char* name, const char* value, size_t length) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    const CString path = File();
    CachedFile& file = Fresh(store, path);
    file.ini.SetValue(section ? section : "", name ? name : "",
                      CString(value ? value : "", value ? length : 0));
    if (store.batchDepth > 0) {
        store.dirty.insert(path);
        return 0;
    }
    return Flush(store, path);
}

int CSysReg::Save(const char* section, const char* name, const char* value) {
    return Save(section, name, value, value ? std::strlen(value) : 0);
}

int CSysReg::Save(const char* section, const char* name, int value) {
    return Save(section, name, std::to_string(value));
}

int CSysReg::Read(const char* section, const char* name, CString* out, const CString& defaultValue) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    CachedFile& file = Fresh(store, File());
    auto value = file.ini.Value(section ? section : "", name ? name : "");
    if (out)
        *out = value ? *value : defaultValue;
    return value ? 0 : ENOENT;
}

int CSysReg::Read(const char* section, const char* name, int* out, int defaultValue) {
    CString text;
    int rc = Read(section, name, &text, std::to_string(defaultValue));
    if (out)
        *out = LeadingInt(text);
    return rc;
}

int CSysReg::Read(const char* section, const char* name, char* out, size_t size, const char* defaultValue) {
    CString text;
    int rc = Read(section, name, &text, "");
    if (rc == 0 && text.size() >= size)
        rc = ERANGE;
    if (rc != 0)
        text = defaultValue ? defaultValue : "";
    if (out && size > 0) {
        size_t n = std::min(text.size(), size - 1);
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    return rc;
}

CString CSysReg::Encode(const CString& text) {
    const int n = static_cast<int>(std::min<size_t>(text.size(), kKeyLength));
    CString out;
    char pair[3];
    auto put = [&](unsigned value) {
        std::snprintf(pair, sizeof pair, "%02X", value & 0xFF);
        out += pair;
    };
    put(static_cast<unsigned>(n + 99));
    for (int i = 0; i < n; ++i)
        put(static_cast<unsigned char>(kKey[i]) ^ static_cast<unsigned char>(text[i]));
    for (int i = 0; i < kPairs - n; ++i) {
        unsigned char t = n > 0 ? static_cast<unsigned char>(text[i % n]) : 0;
        put(static_cast<unsigned char>(kKey[i % kKeyLength]) ^ t);
    }
    return out;
}

std::optional<CString> CSysReg::Decode(const CString& stored) {
    int b = HexPair(stored, 0);
    if (b < 0)
        return std::nullopt;
    const int n = b - 99;
    CString out;
    for (int i = 0; i < n; ++i) {
        int v = HexPair(stored, static_cast<size_t>(i) + 1);
        if (v == -2)
            break; // a cut value gives what it holds
        if (v < 0)
            return std::nullopt;
        out += static_cast<char>(v ^ static_cast<unsigned char>(kKey[i % kKeyLength]));
    }
    return out;
}

int CSysReg::SaveEncoded(const char* section, const char* name, const CString& value) {
    return Save(section, name, Encode(value));
}

int CSysReg::ReadDecoded(const char* section, const char* name, CString* out, const CString& defaultValue) {
    CString stored;
    int rc = Read(section, name, &stored, defaultValue);
    if (rc != 0) {
        if (out)
            *out = defaultValue;
        return rc;
    }
    auto decoded = Decode(stored);
    if (!decoded) {
        if (out)
            *out = defaultValue;
        return EINVAL;
    }
    if (out)
        *out = *decoded;
    return 0;
}

int CSysReg::LeadingInt(const CString& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // out of range is held at the limit
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(value);
}

CSysReg::Batch::Batch() {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    ++store.batchDepth;
}

CSysReg::Batch::~Batch() {
    Close();
}

int CSysReg::Batch::Close() {
    if (!m_Open)
        return 0;
    m_Open = false;
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    if (--store.batchDepth > 0)
        return 0;
    int first = 0;
    std::set<CString> dirty;
    dirty.swap(store.dirty);
    for (const auto& path : dirty) {
        int rc = Flush(store, path);
        if (rc != 0 && first == 0)
            first = rc;
    }
    return first;
}
