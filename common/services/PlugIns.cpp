#include "services/PlugIns.h"

#include <cstring>
#include <dirent.h>
#include <dlfcn.h>

PlugIns::PlugIns() : m_Desc{}, m_Rec{} {
    m_Desc.size = sizeof(PLUGIN_DESC);
}

PlugIns::~PlugIns() = default;

void PlugIns::Load() {
    CArray<PLUGIN_REC>().swap(m_List);
    DIR* dir = ::opendir(".");
    if (!dir)
        return;
    CStringArray files;
    while (dirent* e = ::readdir(dir)) {
        const size_t n = std::strlen(e->d_name);
        if (n > 3 && std::strcmp(e->d_name + n - 3, ".so") == 0)
            files.push_back(e->d_name);
    }
    ::closedir(dir);

    for (const auto& file : files) {
        // A bare name would be searched on the library path, not here.
        const CString path = "./" + file;
        void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library)
            continue;
        auto install = reinterpret_cast<PlugInInstall>(::dlsym(library, "Install"));
        auto call = reinterpret_cast<PlugInCall>(::dlsym(library, "Call"));
        auto exit = reinterpret_cast<PlugInExit>(::dlsym(library, "Exit"));
        if (!install || !call || install(&m_Desc, &m_HostValue) != 0) {
            ::dlclose(library);
            continue;
        }
        m_Rec = PLUGIN_REC{};
        m_Rec.library = library;
        m_Rec.value = m_Desc.value;
        // The plug-in may fill all 32 bytes without a terminator.
        std::memcpy(m_Rec.name, m_Desc.name, ::strnlen(m_Desc.name, sizeof m_Rec.name - 1));
        m_Rec.call = call;
        m_Rec.exit = exit;
        m_List.push_back(m_Rec);
    }
}

void PlugIns::Free() {
    for (auto& rec : m_List) {
        if (!rec.library)
            continue;
        if (rec.exit)
            rec.exit();
        ::dlclose(rec.library);
        rec.library = nullptr;
    }
    CArray<PLUGIN_REC>().swap(m_List);
}
