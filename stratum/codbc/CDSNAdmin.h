// The machine's ODBC data sources and drivers through the installer library: lists user and
// system data sources and installed drivers, and adds, edits and removes user data sources.
#pragma once

#include "CommonTypes.h"

#include <utility>

class CDSNAdmin {
public:
    using Attribute = std::pair<CString, CString>;
    using Attributes = CArray<Attribute>;

    // Loads the installer library; Available() tells whether that worked.
    CDSNAdmin();
    ~CDSNAdmin();
    CDSNAdmin(const CDSNAdmin&) = delete;
    CDSNAdmin& operator=(const CDSNAdmin&) = delete;

    bool Available() const { return m_Library != nullptr; }
    // The last failure, as the installer reported it.
    const CString& LastError() const { return m_LastError; }

    CStringArray UserSources();
    CStringArray SystemSources();
    CStringArray Drivers();
    // The driver and the other key = value attributes of a user data source.
    CString DriverOf(const CString& source);
    Attributes AttributesOf(const CString& source);
    // What a new data source of the driver gets unless the user says otherwise.
    Attributes DefaultAttributes(const CString& driver);

    // Adds a user data source (false when the name is taken, empty or invalid, or the write fails).
    bool Add(const CString& source, const CString& driver, const Attributes& attributes);
    // Rewrites a user data source: the driver and exactly the given attributes.
    bool Edit(const CString& source, const CString& driver, const Attributes& attributes);
    bool Remove(const CString& source);

    // "key = value" lines to attributes and back; lines without "=" and empty keys are skipped.
    static Attributes ParseLines(const CString& text);
    static CString FormatLines(const Attributes& attributes);
    // Whether the name can be a data-source name (not empty, no []{}(),;?*=!@\ characters).
    static bool ValidName(const CString& source);

private:
    CStringArray Keys(const CString& section, const char* file, int mode);
    CString Value(const CString& section, const CString& key, const char* file, int mode);
    bool WriteAttributes(const CString& source, const Attributes& attributes);
    bool Fail(const CString& what);

    void* m_Library = nullptr;
    CString m_LastError;
};
