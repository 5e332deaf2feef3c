// Loading "TessaryRes.dll" on Windows, by its full path from the program's own folder.
#include "catalogue/win32/wide_text.h"
#include "resources/resource_module.h"

#include <string>
#include <windows.h>

namespace meridal {

namespace {

// The folder of the running program, with its trailing backslash; empty when unknown.
std::wstring programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        // Cut short: a long path, try again with room for it.
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

} // namespace

std::unique_ptr<ResourceModule> ResourceModule::load(const char* libraryName)
{
    // Never by bare name: the system's search order would look in the current folder, where
    // the user's files live. A name with a folder part is loaded as given (UTF-8).
    const std::string name = libraryName;
    std::wstring path = toWide(name);
    if (name.find_first_of("\\/") == std::string::npos) {
        const std::wstring folder = programFolder();
        if (folder.empty())
            return nullptr;
        path = folder + path;
    }
    // Whatever the module itself imports comes from the module's folder or the system's,
    // never from the current folder. Never freed: the module is the program's resource
    // source until the process ends.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module)
        return nullptr;
    auto lookup = reinterpret_cast<TessaryFindResourceFn>(
        reinterpret_cast<void*>(GetProcAddress(module, TESSARY_FIND_RESOURCE_SYMBOL)));
    if (!lookup)
        return nullptr;
    return std::unique_ptr<ResourceModule>(new ResourceModule(lookup));
}

} // namespace meridal
