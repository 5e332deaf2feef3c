// SPDX-License-Identifier: GPL-3.0-or-later
// Loading "TessaryRes.dll" on Windows, by its full path from the program's own folder: a DLL
// of resources only, mapped as an image of resources and never run.
#include "catalogue/win32/program_file.h"
#include "catalogue/win32/wide_text.h"
#include "catalogue/windows1252.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <windows.h>

namespace meridal {

namespace {

// The system's resource type for one of the program's type numbers: the same number, but for
// a cursor, which Windows keeps as a group (RT_GROUP_CURSOR) naming its images (RT_CURSOR)
// as it does an icon; the program's icon number is that of the group already.
LPCWSTR systemType(unsigned type)
{
    return MAKEINTRESOURCEW(type == res::typeCursor ? 12 : type);
}

} // namespace

struct ResourceModule::System {
    HMODULE module = nullptr;
    // The strings read so far, as Windows-1252: their views stay valid as long as the module.
    mutable std::mutex mutex;
    mutable std::map<unsigned, std::string> strings;
};

ResourceModule::ResourceModule(std::unique_ptr<System> system) : m_system(std::move(system)) {}

ResourceModule::~ResourceModule() = default;

std::unique_ptr<ResourceModule> ResourceModule::load(const char* libraryName)
{
    // Never by bare name: the system's search order would look in the current folder, where
    // the user's files live. A name with a folder part is loaded as given (UTF-8).
    const std::string name = libraryName;
    std::wstring path = toWide(name);
    if (name.find_first_of("\\/") == std::string::npos) {
        const std::wstring folder = folderOf(runningProgramFile());
        if (folder.empty())
            return nullptr;
        path = folder + path;
    }
    // Mapped for its resources only: no code of it runs and nothing it might import is
    // loaded. Never freed: the module is the program's resource source until the process ends.
    HMODULE module =
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return nullptr;
    // A library that is no resource module (a system DLL, say) lacks the default catalogue.
    if (!FindResourceW(module, MAKEINTRESOURCEW(res::htmlDefaultCatalogue), systemType(res::typeHtml))) {
        FreeLibrary(module);
        return nullptr;
    }
    auto system = std::make_unique<System>();
    system->module = module;
    return std::unique_ptr<ResourceModule>(new ResourceModule(std::move(system)));
}

std::optional<std::string_view> ResourceModule::find(unsigned type, unsigned id) const
{
    if (type == res::typeString) {
        const std::lock_guard<std::mutex> lock(m_system->mutex);
        auto cached = m_system->strings.find(id);
        if (cached == m_system->strings.end()) {
            // With a length of 0 the string is handed over where it lies in the module, with
            // its length: not cut at a NUL, and not through the process's ANSI code page,
            // which is not Windows-1252 under every locale. Empty and missing are the same in
            // a string table.
            const wchar_t* text = nullptr;
            const int length = LoadStringW(m_system->module, id, reinterpret_cast<LPWSTR>(&text), 0);
            if (length <= 0 || !text)
                return std::nullopt;
            const std::u16string_view wide(reinterpret_cast<const char16_t*>(text),
                                           static_cast<std::size_t>(length));
            cached = m_system->strings.emplace(id, utf16ToWindows1252(wide)).first;
        }
        return std::string_view(cached->second);
    }
    HRSRC found = FindResourceW(m_system->module, MAKEINTRESOURCEW(id), systemType(type));
    HGLOBAL loaded = found ? LoadResource(m_system->module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return std::nullopt;
    return std::string_view(static_cast<const char*>(data), SizeofResource(m_system->module, found));
}

} // namespace meridal
