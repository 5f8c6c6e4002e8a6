// An INI file of sections and named text values that keeps every value byte for byte and is
// replaced atomically on writing (a new file, then a rename), readable by its owner only. A path
// that is a symbolic link is written through: the file it points at is replaced, keeping its mode.
#pragma once

#include "CommonTypes.h"

#include <optional>

class CIniFile {
public:
    CIniFile() = default;
    explicit CIniFile(CString path) : m_Path(std::move(path)) {}

    const CString& Path() const { return m_Path; }

    // Reads the file; a missing file gives an empty store. Returns 0 or the errno of the failure.
    int Load();
    // Writes the whole store to a new file beside the old one and renames it over the old one;
    // missing folders are created. Returns 0 or the errno of the failure (the old file stays).
    int Write() const;
    // Removes the "<file>.XXXXXX" copies that writes stopped by a kill left beside the file and
    // that are older than it. Returns how many were removed.
    int RemoveLeftovers() const;

    // Section and key names are compared without regard to ASCII case; "" is the part before
    // the first section heading.
    std::optional<CString> Value(const CString& section, const CString& key) const;
    void SetValue(const CString& section, const CString& key, const CString& value);

    // The file's text form, and its reverse. Lines that are neither headings nor values are kept.
    CString Serialise() const;
    void Parse(const CString& text);

    // Escapes '\\', line breaks and NUL as "\\\\", "\\n", "\\r", "\\0", and the bytes of `extra` as "\\xHH".
    static CString Escape(const CString& text, const char* extra = "");
    static CString Unescape(const CString& text);

private:
    struct Line {
        CString key;   // unescaped; empty for a kept line that is not a value
        CString value; // unescaped value, or the kept line's raw text
        bool raw = false;
    };
    struct Section {
        CString name;
        CArray<Line> lines;
    };

    Section* FindSection(const CString& name);
    const Section* FindSection(const CString& name) const;

    CString m_Path;
    CArray<Section> m_Sections; // the first is always the unnamed part
};
