#include "codbc/CDSNAdmin.h"

#include <dlfcn.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
using WriteDSN = int (*)(const char*, const char*);
using RemoveDSN = int (*)(const char*);
using WriteString = int (*)(const char*, const char*, const char*, const char*);
using GetString = int (*)(const char*, const char*, const char*, char*, int, const char*);
using SetMode = int (*)(unsigned short);
using InstallerError = short (*)(unsigned short, unsigned int*, char*, unsigned short, unsigned short*);

enum { kBoth = 0, kUser = 1, kSystem = 2 };

template <typename F> F Entry(void* library, const char* name) {
    return library ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

CString Trim(const CString& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == CString::npos)
        return CString();
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool Contains(const CString& text, const char* part) {
    CString lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return lower.find(part) != CString::npos;
}

// Sets the installer's configuration mode for the lifetime of the object.
class ModeScope {
public:
    ModeScope(void* library, int mode) : m_Set(Entry<SetMode>(library, "SQLSetConfigMode")) {
        if (m_Set)
            m_Set(static_cast<unsigned short>(mode));
    }
    ~ModeScope() {
        if (m_Set)
            m_Set(kBoth);
    }

private:
    SetMode m_Set;
};
} // namespace

CDSNAdmin::CDSNAdmin() {
    m_Library = dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!m_Library || !Entry<WriteDSN>(m_Library, "SQLWriteDSNToIni") ||
        !Entry<RemoveDSN>(m_Library, "SQLRemoveDSNFromIni") ||
        !Entry<WriteString>(m_Library, "SQLWritePrivateProfileString") ||
        !Entry<GetString>(m_Library, "SQLGetPrivateProfileString")) {
        if (m_Library)
            dlclose(m_Library);
        m_Library = nullptr;
        m_LastError = "The ODBC installer library (libodbcinst.so.2) is not available.";
    }
}

CDSNAdmin::~CDSNAdmin() {
    if (m_Library)
        dlclose(m_Library);
}

bool CDSNAdmin::Fail(const CString& what) {
    m_LastError = what;
    if (auto error = Entry<InstallerError>(m_Library, "SQLInstallerError")) {
        unsigned int code = 0;
        char message[512] = {};
        unsigned short length = 0;
        if (error(1, &code, message, sizeof message, &length) == 0 && message[0])
            m_LastError += CString(": ") + message;
    }
    return false;
}

CStringArray CDSNAdmin::Keys(const CString& section, const char* file, int mode) {
    CStringArray keys;
    auto get = Entry<GetString>(m_Library, "SQLGetPrivateProfileString");
    if (!get)
        return keys;
    ModeScope scope(m_Library, mode);
    std::vector<char> buffer(65536, 0);
    const int n = get(section.empty() ? nullptr : section.c_str(), nullptr, "", buffer.data(),
                      static_cast<int>(buffer.size() - 2), file);
    // The names follow each other, each ending in a zero byte.
    for (size_t at = 0; n > 0 && at < static_cast<size_t>(n) && buffer[at];) {
        const CString key = buffer.data() + at;
        at += key.size() + 1;
        if (!key.empty() && std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    }
    return keys;
}

CString CDSNAdmin::Value(const CString& section, const CString& key, const char* file, int mode) {
    auto get = Entry<GetString>(m_Library, "SQLGetPrivateProfileString");
    if (!get)
        return CString();
    ModeScope scope(m_Library, mode);
    std::vector<char> buffer(4096, 0);
    get(section.c_str(), key.c_str(), "", buffer.data(), static_cast<int>(buffer.size() - 1), file);
    return buffer.data();
}

CStringArray CDSNAdmin::UserSources() {
    CStringArray sources = Keys("", "odbc.ini", kUser);
    sources.erase(std::remove_if(sources.begin(), sources.end(),
                                 [](const CString& s) { return strcasecmp(s.c_str(), "ODBC") == 0; }),
                  sources.end());
    return sources;
}

CStringArray CDSNAdmin::SystemSources() {
    CStringArray sources = Keys("", "odbc.ini", kSystem);
    sources.erase(std::remove_if(sources.begin(), sources.end(),
                                 [](const CString& s) { return strcasecmp(s.c_str(), "ODBC") == 0; }),
                  sources.end());
    return sources;
}

CStringArray CDSNAdmin::Drivers() {
    CStringArray drivers = Keys("", "odbcinst.ini", kBoth);
    drivers.erase(std::remove_if(drivers.begin(), drivers.end(),
                                 [](const CString& s) { return strcasecmp(s.c_str(), "ODBC") == 0; }),
                  drivers.end());
    return drivers;
}

CString CDSNAdmin::DriverOf(const CString& source) {
    return Value(source, "Driver", "odbc.ini", kUser);
}

CDSNAdmin::Attributes CDSNAdmin::AttributesOf(const CString& source) {
    Attributes attributes;
    if (source.empty())
        return attributes;
    for (const CString& key : Keys(source, "odbc.ini", kUser)) {
        if (strcasecmp(key.c_str(), "Driver") != 0)
            attributes.emplace_back(key, Value(source, key, "odbc.ini", kUser));
    }
    return attributes;
}

CDSNAdmin::Attributes CDSNAdmin::DefaultAttributes(const CString& driver) {
    const CString library = Value(driver, "Driver", "odbcinst.ini", kBoth);
    if (Contains(driver, "sqlite") || Contains(library, "sqlite"))
        return {{"Database", ""}, {"StepAPI", "1"}};
    if (Contains(driver, "postgres") || Contains(library, "psqlodbc"))
        return {{"Servername", "localhost"},
                {"Port", "5432"},
                {"Database", ""},
                {"UseDeclareFetch", "1"},
                {"Fetch", "10000"}};
    // MariaDB Connector/ODBC: where the server listens and which database is used.
    if (Contains(driver, "mariadb") || Contains(library, "maodbc"))
        return {{"Server", "localhost"}, {"Port", "3306"}, {"Database", ""}};
    return {};
}

bool CDSNAdmin::ValidName(const CString& source) {
    if (Trim(source).empty() || Trim(source) != source)
        return false;
    return source.find_first_of("[]{}(),;?*=!@\\\n") == CString::npos;
}

bool CDSNAdmin::WriteAttributes(const CString& source, const Attributes& attributes) {
    auto write = Entry<WriteString>(m_Library, "SQLWritePrivateProfileString");
    ModeScope scope(m_Library, kUser);
    for (const Attribute& attribute : attributes) {
        if (strcasecmp(attribute.first.c_str(), "Driver") == 0)
            continue;
        if (!write(source.c_str(), attribute.first.c_str(), attribute.second.c_str(), "odbc.ini"))
            return Fail("Can't write " + attribute.first + " of " + source);
    }
    return true;
}

bool CDSNAdmin::Add(const CString& source, const CString& driver, const Attributes& attributes) {
    if (!Available())
        return false;
    if (!ValidName(source))
        return Fail("Invalid data source name \"" + source + "\"");
    for (const CString& existing : UserSources()) {
        if (strcasecmp(existing.c_str(), source.c_str()) == 0)
            return Fail("The data source \"" + source + "\" already exists");
    }
    {
        ModeScope scope(m_Library, kUser);
        if (!Entry<WriteDSN>(m_Library, "SQLWriteDSNToIni")(source.c_str(), driver.c_str()))
            return Fail("Can't add the data source \"" + source + "\"");
    }
    return WriteAttributes(source, attributes);
}

bool CDSNAdmin::Edit(const CString& source, const CString& driver, const Attributes& attributes) {
    if (!Available())
        return false;
    const CStringArray sources = UserSources();
    if (std::find(sources.begin(), sources.end(), source) == sources.end())
        return Fail("No user data source \"" + source + "\"");
    auto write = Entry<WriteString>(m_Library, "SQLWritePrivateProfileString");
    {
        ModeScope scope(m_Library, kUser);
        if (!driver.empty() && !write(source.c_str(), "Driver", driver.c_str(), "odbc.ini"))
            return Fail("Can't write the driver of " + source);
    }
    // Attributes no longer given are deleted.
    for (const Attribute& old : AttributesOf(source)) {
        const bool kept = std::any_of(attributes.begin(), attributes.end(), [&](const Attribute& a) {
            return strcasecmp(a.first.c_str(), old.first.c_str()) == 0;
        });
        if (!kept) {
            ModeScope scope(m_Library, kUser);
            write(source.c_str(), old.first.c_str(), nullptr, "odbc.ini");
        }
    }
    return WriteAttributes(source, attributes);
}

bool CDSNAdmin::Remove(const CString& source) {
    if (!Available())
        return false;
    const CStringArray sources = UserSources();
    if (source.empty() || std::find(sources.begin(), sources.end(), source) == sources.end())
        return Fail("No user data source \"" + source + "\"");
    ModeScope scope(m_Library, kUser);
    if (!Entry<RemoveDSN>(m_Library, "SQLRemoveDSNFromIni")(source.c_str()))
        return Fail("Can't remove the data source \"" + source + "\"");
    return true;
}

CDSNAdmin::Attributes CDSNAdmin::ParseLines(const CString& text) {
    Attributes attributes;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == CString::npos)
            end = text.size();
        const CString line = text.substr(start, end - start);
        const size_t equals = line.find('=');
        if (equals != CString::npos) {
            const CString key = Trim(line.substr(0, equals));
            if (!key.empty())
                attributes.emplace_back(key, Trim(line.substr(equals + 1)));
        }
        start = end + 1;
    }
    return attributes;
}

CString CDSNAdmin::FormatLines(const Attributes& attributes) {
    CString text;
    for (const Attribute& attribute : attributes)
        text += attribute.first + " = " + attribute.second + "\n";
    return text;
}
