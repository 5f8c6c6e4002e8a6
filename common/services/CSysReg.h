// Reads and writes named text values in sections below the process-wide profile, optionally
// scrambled. The profile is an INI file: in store mode "Software\Ostrak\Varnel" is the file
// "Ostrak/Varnel.ini" under the user's configuration folder; in file mode it is the file's path.
#pragma once

#include "CommonTypes.h"

#include <cstddef>
#include <optional>

class CSysReg {
public:
    enum { FILE_MODE = 0, STORE_MODE = 1 };

    CSysReg() = default;

    // Sets the profile of every CSysReg and this object's mode.
    void SetProfileName(const CString& name, int mode = STORE_MODE);
    static CString GetProfileName();
    // The INI file that a profile name stands for in the given mode.
    static CString ProfileFile(const CString& name, int mode);

    // The section used by the overloads without a section argument.
    void Section(const CString& section) { m_Section = section; }
    const CString& Section() const { return m_Section; }

    // Each returns 0 on success or an errno value.
    int Save(const char* section, const char* name, const char* value);
    int Save(const char* section, const char* name, const CString& value) {
        return Save(section, name, value.c_str(), value.size());
    }
    int Save(const char* section, const char* name, int value);
    int Save(const char* name, int value) { return Save(m_Section.c_str(), name, value); }
    int Save(const char* name, const char* value) { return Save(m_Section.c_str(), name, value); }

    // Each returns 0 when the value was read and non-zero when the default was used.
    // Stored values of any length are read whole.
    int Read(const char* section, const char* name, CString* out, const CString& defaultValue);
    // The text's leading decimal number (optional sign; no digits give 0).
    int Read(const char* section, const char* name, int* out, int defaultValue);
    // Into a buffer of `size` bytes: a value that does not fit counts as missing, and the default
    // is cut to fit.
    int Read(const char* section, const char* name, char* out, size_t size, const char* defaultValue);
    template <size_t N>
    int Read(const char* section, const char* name, char (&out)[N], const char* defaultValue) {
        return Read(section, name, out, N, defaultValue);
    }
    int Read(const char* name, int* out, int defaultValue) {
        return Read(m_Section.c_str(), name, out, defaultValue);
    }
    int Read(const char* name, CString* out, const CString& defaultValue) {
        return Read(m_Section.c_str(), name, out, defaultValue);
    }
    template <size_t N> int Read(const char* name, char (&out)[N], const char* defaultValue) {
        return Read(m_Section.c_str(), name, out, N, defaultValue);
    }

    int SaveEncoded(const char* section, const char* name, const CString& value);
    // A stored value is unscrambled; a missing or malformed one gives the default.
    int ReadDecoded(const char* section, const char* name, CString* out, const CString& defaultValue);

    // The scrambled form: 51 pairs of upper-case hexadecimal digits for texts of up to 46 bytes.
    static CString Encode(const CString& text);
    // Empty when the value's first pair or a needed pair holds a non-hexadecimal digit.
    static std::optional<CString> Decode(const CString& stored);
    // The leading decimal number of a text (blanks, then an optional sign, then digits).
    static int LeadingInt(const CString& text);

    // Writes that happen while a batch is open reach the file once, when the last batch closes,
    // so saving many values rewrites the file once.
    class Batch {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Writes the pending changes now; 0 or the errno of the first failure.
        int Close();

    private:
        bool m_Open = true;
    };

private:
    int Save(const char* section, const char* name, const char* value, size_t length);
    CString File() const;

    int m_Mode = STORE_MODE;
    CString m_Section;
};
