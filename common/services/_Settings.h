// The program's typed table of named settings with defaults, loaded from and saved to the
// settings store as a whole, with helpers that bind dialog controls to settings (those are
// defined with the widgets, so a program without windows links the store alone).
#pragma once

#include "CommonTypes.h"
#include "services/CSysReg.h"

struct CDataExchange;

enum S_TYPE { S_STRING = 0, S_INT = 1, S_ARRAY = 2 };

// Entry flags.
enum : int {
    S_NOSAVE = 1,  // never stored: SaveData skips the entry
    S_ENCODED = 2, // stored scrambled
};

class _Settings {
public:
    _Settings();
    _Settings(const _Settings&) = delete;
    _Settings& operator=(const _Settings&) = delete;

    // At most 127 characters; a null pointer is ignored.
    void Section(const char* section);
    // Sets the process-wide profile name in store mode.
    void SetProfileName(const char* name);

    void Add(const char* name, S_TYPE type, int flags, const CString& defaultValue);
    // The elements live in the caller's array, whose current content are the defaults.
    void AddArray(const char* name, CStringArray* array);

    void LoadData();
    void SaveData();
    int NotSaved() const { return m_NotSaved; }

    CString getStr(const char* name);
    int getInt(const char* name);
    void setStr(const char* name, const CString& value);
    void setInt(const char* name, int value);
    // Marks the array registered under `name` as changed; its elements are already in place.
    void setArr(const char* name, CStringArray* array);

    // Check box state (0, 1 or 2) <-> integer setting.
    void sDDX_Check(CDataExchange* dx, int control, const char* name);
    // Control text <-> string setting.
    void sDDX_Text(CDataExchange* dx, int control, const char* name);
    // Control text as a leading decimal number <-> integer setting.
    void sDDX_Int(CDataExchange* dx, int control, const char* name);

protected:
    struct Entry {
        CString name;
        S_TYPE type = S_STRING;
        CString strValue;
        int intValue = 0;
        CString defaultValue;
        int changed = 0;
        int flags = 0;
        CStringArray* array = nullptr;
    };

    int IndexFor(const char* name);
    int CheckType(int index, S_TYPE type, const char* name);
    int CheckDupes(const char* name);
    void Failure(const CString& message, int line);

    CArray<Entry> m_Entries;
    int m_NotSaved = 0;
    CString m_Section;
    CSysReg m_Reg;
};
