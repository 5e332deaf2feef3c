// SPDX-License-Identifier: GPL-3.0-or-later
// Loading "TessaryRes.dll" on Linux: an ELF shared object, opened by its full path from the
// program's own folder.
#include "resources/resource_module.h"
#include "resources/tessary_res.h"

#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace meridal {

namespace {

// The folder of the running executable, with its trailing "/"; empty when unknown.
std::string programFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

struct ResourceModule::System {
    TessaryFindResourceFn lookup = nullptr;
};

ResourceModule::ResourceModule(std::unique_ptr<System> system) : m_system(std::move(system)) {}

ResourceModule::~ResourceModule() = default;

std::unique_ptr<ResourceModule> ResourceModule::load(const char* libraryName)
{
    // A bare name is looked for in the program's own folder and nowhere else: dlopen with a
    // bare name would also search LD_LIBRARY_PATH and any empty (working-folder) entry of
    // the program's RUNPATH, so that a module lying in the user's folder would be loaded.
    // The full path also works when dlopen is intercepted (AddressSanitizer does so), where
    // $ORIGIN would name the interceptor's library rather than the program.
    std::string path = libraryName;
    if (!std::strchr(libraryName, '/')) {
        const std::string folder = programFolder();
        if (folder.empty())
            return nullptr;
        path = folder + libraryName;
    }
    // Never closed: the module is the program's resource source until the process ends.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    auto system = std::make_unique<System>();
    system->lookup = reinterpret_cast<TessaryFindResourceFn>(dlsym(handle, TESSARY_FIND_RESOURCE_SYMBOL));
    if (!system->lookup)
        return nullptr;
    return std::unique_ptr<ResourceModule>(new ResourceModule(std::move(system)));
}

std::optional<std::string_view> ResourceModule::find(unsigned type, unsigned id) const
{
    std::size_t size = 0;
    const unsigned char* data = m_system->lookup(type, id, &size);
    if (!data)
        return std::nullopt;
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

} // namespace meridal
