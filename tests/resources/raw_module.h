#pragma once

#include "resources/tessary_res.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace meridal::test {

// A library of the system's that every process has, by its full path.
#ifdef _WIN32
inline constexpr const char* systemLibrary = "C:\\windows\\system32\\kernel32.dll";
#else
inline constexpr const char* systemLibrary = "/lib/x86_64-linux-gnu/libc.so.6";
#endif

// The module's exported lookup, found with the system's own loader rather than the
// program's, from the test program's folder.
class RawModule {
  public:
    RawModule()
    {
#ifdef _WIN32
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        const auto path = std::filesystem::path(self).parent_path() / "TessaryRes.dll";
        m_handle = LoadLibraryW(path.c_str());
        if (m_handle)
            m_lookup = reinterpret_cast<TessaryFindResourceFn>(
                reinterpret_cast<void*>(GetProcAddress(m_handle, TESSARY_FIND_RESOURCE_SYMBOL)));
#else
        const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "TessaryRes.dll";
        m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle)
            m_lookup = reinterpret_cast<TessaryFindResourceFn>(dlsym(m_handle, TESSARY_FIND_RESOURCE_SYMBOL));
#endif
    }
    ~RawModule()
    {
#ifdef _WIN32
        if (m_handle)
            FreeLibrary(m_handle);
#else
        if (m_handle)
            dlclose(m_handle);
#endif
    }
    RawModule(const RawModule&) = delete;
    RawModule& operator=(const RawModule&) = delete;

    TessaryFindResourceFn lookup() const
    {
        return m_lookup;
    }

  private:
#ifdef _WIN32
    HMODULE m_handle = nullptr;
#else
    void* m_handle = nullptr;
#endif
    TessaryFindResourceFn m_lookup = nullptr;
};

} // namespace meridal::test
