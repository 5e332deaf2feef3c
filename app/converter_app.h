// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace meridal {

class Resources;

namespace platform {
class WindowSystem;
}

// The application object: loads the resource module and runs the converter window modally.
// The process ends when the window has ended.
class CConverterApp final {
  public:
    // Finds the resource module; nullptr when it cannot be loaded.
    using ModuleLoader = std::function<std::unique_ptr<Resources>()>;

    // `windows` builds the converter window and shows start-up's one message of its own.
    CConverterApp(ModuleLoader loader, platform::WindowSystem& windows);

    // The resource module "TessaryRes.dll", looked up by bare name in the program's folder.
    static std::unique_ptr<Resources> loadResourceModule();

    // Runs the program: the resource module, then the converter window until it ends.
    // Returns false in every case: there is nothing left to run afterwards.
    bool initInstance();

    // Whether the last initInstance started the program: the resource module loaded and the
    // converter window opened (its catalogue loaded) before it ended.
    bool startedUp() const { return m_startedUp; }

  private:
    ModuleLoader m_loader;
    platform::WindowSystem& m_windows;
    bool m_startedUp = false;
};

} // namespace meridal
