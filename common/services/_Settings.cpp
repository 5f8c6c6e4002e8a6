#include "services/_Settings.h"

#include "services/CAssert.h"
#include "services/CLog.h"

#include <algorithm>
#include <cctype>

namespace {
const size_t kMaxSection = 127;

CString Format(const char* pattern, const char* name) {
    CString text = pattern;
    size_t at = text.find("%s");
    if (at != CString::npos)
        text.replace(at, 2, name ? name : "");
    return text;
}
} // namespace

_Settings::_Settings() : m_Section("Settings") {}

void _Settings::Section(const char* section) {
    if (!section)
        return;
    m_Section = CString(section).substr(0, kMaxSection);
}

void _Settings::SetProfileName(const char* name) {
    m_Reg.SetProfileName(name ? name : "", CSysReg::STORE_MODE);
}

void _Settings::Failure(const CString& message, int line) {
    CLog log;
    log.Bug(message.c_str(), "", "_Settings", line);
    CAssert::DoModal(message, "_Settings", line);
}

int _Settings::CheckDupes(const char* name) {
    for (const auto& e : m_Entries) {
        if (e.name == name) {
            Failure(Format("_Settings::Add(%s) duplicate", name), __LINE__);
            return 1;
        }
    }
    return 0;
}

void _Settings::Add(const char* name, S_TYPE type, int flags, const CString& defaultValue) {
    if (!name || CheckDupes(name))
        return;
    Entry e;
    e.name = name;
    e.type = type;
    e.flags = flags;
    e.defaultValue = defaultValue;
    e.strValue = defaultValue;
    if (type == S_INT)
        e.intValue = CSysReg::LeadingInt(defaultValue);
    m_Entries.push_back(std::move(e));
}

void _Settings::AddArray(const char* name, CStringArray* array) {
    if (!name || CheckDupes(name))
        return;
    Entry e;
    e.name = name;
    e.type = S_ARRAY;
    e.array = array;
    m_Entries.push_back(std::move(e));
}

int _Settings::IndexFor(const char* name) {
    if (name) {
        for (size_t i = 0; i < m_Entries.size(); ++i)
            if (m_Entries[i].name == name)
                return static_cast<int>(i);
    }
    Failure(Format("_Settings::IndexFor(%s)", name), __LINE__);
    return -1;
}

int _Settings::CheckType(int index, S_TYPE type, const char* name) {
    if (m_Entries[index].type == type)
        return 1;
    Failure(Format("_Settings:: incorrect setInt(%s)", name), __LINE__);
    return 0;
}

CString _Settings::getStr(const char* name) {
    int i = IndexFor(name);
    if (i < 0)
        return "";
    if (m_Entries[i].type != S_STRING)
        Failure(Format("_Settings:: incorrect getStr(%s)", name), __LINE__);
    return m_Entries[i].strValue;
}

int _Settings::getInt(const char* name) {
    int i = IndexFor(name);
    if (i < 0)
        return 0;
    if (m_Entries[i].type != S_INT)
        Failure(Format("_Settings:: incorrect getInt(%s)", name), __LINE__);
    return m_Entries[i].intValue;
}

void _Settings::setStr(const char* name, const CString& value) {
    int i = IndexFor(name);
    if (i < 0 || m_Entries[i].strValue == value)
        return;
    CheckType(i, S_STRING, name);
    m_Entries[i].strValue = value;
    m_Entries[i].changed = 1;
    m_NotSaved = 1;
}

void _Settings::setInt(const char* name, int value) {
    int i = IndexFor(name);
    if (i < 0 || m_Entries[i].intValue == value)
        return;
    CheckType(i, S_INT, name);
    m_Entries[i].intValue = value;
    m_Entries[i].changed = 1;
    m_NotSaved = 1;
}

void _Settings::setArr(const char* name, CStringArray*) {
    int i = IndexFor(name);
    if (i < 0)
        return;
    CheckType(i, S_ARRAY, name);
    m_Entries[i].changed = 1;
    m_NotSaved = 1;
}

void _Settings::LoadData() {
    const char* section = m_Section.c_str();
    for (auto& e : m_Entries) {
        if (e.type == S_ARRAY) {
            if (!e.array)
                continue;
            int count = 0;
            m_Reg.Read(section, (e.name + ".0").c_str(), &count, 0);
            for (int k = 1; k <= count; ++k) {
                CString value;
                m_Reg.Read(section, (e.name + "." + std::to_string(k)).c_str(), &value, CString());
                std::transform(value.begin(), value.end(), value.begin(),
                               [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
                if (std::find(e.array->begin(), e.array->end(), value) == e.array->end())
                    e.array->push_back(value);
            }
            continue;
        }
        CString value;
        if (e.flags & S_ENCODED)
            m_Reg.ReadDecoded(section, e.name.c_str(), &value, e.defaultValue);
        else
            m_Reg.Read(section, e.name.c_str(), &value, e.defaultValue);
        e.strValue = value;
        if (e.type == S_INT)
            e.intValue = CSysReg::LeadingInt(value);
    }
    m_NotSaved = 0;
}

void _Settings::SaveData() {
    if (!m_NotSaved)
        return;
    const char* section = m_Section.c_str();
    CSysReg::Batch batch;
    for (auto& e : m_Entries) {
        if (!e.changed || (e.flags & S_NOSAVE))
            continue;
        if (e.type == S_ARRAY) {
            if (e.array) {
                m_Reg.Save(section, (e.name + ".0").c_str(), static_cast<int>(e.array->size()));
                for (size_t i = 0; i < e.array->size(); ++i)
                    m_Reg.Save(section, (e.name + "." + std::to_string(i + 1)).c_str(), (*e.array)[i]);
            }
        } else {
            CString text = e.type == S_INT ? std::to_string(e.intValue) : e.strValue;
            if (e.flags & S_ENCODED)
                m_Reg.SaveEncoded(section, e.name.c_str(), text);
            else
                m_Reg.Save(section, e.name.c_str(), text);
        }
        e.changed = 0;
    }
    batch.Close();
    m_NotSaved = 0;
}
