// Loads the shared libraries (*.so) of the current directory that export the plug-in entry points
// "Install", "Call" and "Exit", keeps the accepted ones and unloads them again.
#pragma once

#include "CommonTypes.h"

#include <cstdint>

// The block handed to each candidate's Install; an accepting plug-in fills value and name.
struct PLUGIN_DESC {
    int32_t size;
    uint32_t value;
    char name[32];
};
static_assert(sizeof(PLUGIN_DESC) == 40, "plug-ins rely on this layout");

using PlugInInstall = int (*)(PLUGIN_DESC*, int*);
// Hosts and plug-ins agree on the real signature of "Call".
using PlugInCall = void (*)();
using PlugInExit = void (*)();

// One accepted plug-in.
struct PLUGIN_REC {
    void* library;
    uint32_t reserved;
    uint32_t value;
    char name[32]; // at most 31 characters, always terminated
    PlugInCall call;
    PlugInExit exit; // may be null
};

class PlugIns {
public:
    PlugIns();
    // Releases the list only: call Free() first to unload the libraries.
    virtual ~PlugIns();
    PlugIns(const PlugIns&) = delete;
    PlugIns& operator=(const PlugIns&) = delete;

    // Empties the list (without unloading) and tries every "*.so" file of the current directory.
    void Load();
    // Calls each plug-in's exit entry, unloads it and empties the list.
    void Free();

    const CArray<PLUGIN_REC>& List() const { return m_List; }

    PLUGIN_DESC m_Desc;
    int m_HostValue = 4;

protected:
    CArray<PLUGIN_REC> m_List;
    PLUGIN_REC m_Rec;
};
