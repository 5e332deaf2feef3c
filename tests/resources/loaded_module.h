// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "resources/resource_module.h"

#include <memory>
#include <stdexcept>

namespace meridal::test {

// The built "TessaryRes.dll", loaded once per test program by bare name: the test programs
// sit next to it and load it from their own folder, as the program does.
inline const Resources& loadedModule()
{
    static const std::unique_ptr<ResourceModule> module = ResourceModule::load("TessaryRes.dll");
    if (!module)
        throw std::runtime_error("TessaryRes.dll could not be loaded");
    return *module;
}

// A library of the system's that every process has, by its full path.
#ifdef _WIN32
inline constexpr const char* systemLibrary = "C:\\windows\\system32\\kernel32.dll";
#else
inline constexpr const char* systemLibrary = "/lib/x86_64-linux-gnu/libc.so.6";
#endif

} // namespace meridal::test
