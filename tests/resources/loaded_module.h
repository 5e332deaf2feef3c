#pragma once

#include "resources/resource_module.h"

#include <memory>
#include <stdexcept>

namespace meridal::test {

// The built "TessaryRes.dll", loaded once per test program by bare name: the test programs
// sit next to it and find it through their RUNPATH $ORIGIN, as the program does.
inline const Resources& loadedModule()
{
    static const std::unique_ptr<ResourceModule> module = ResourceModule::load("TessaryRes.dll");
    if (!module)
        throw std::runtime_error("TessaryRes.dll could not be loaded");
    return *module;
}

} // namespace meridal::test
