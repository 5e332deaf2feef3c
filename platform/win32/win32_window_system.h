#pragma once

#include "platform/window_system.h"

#include <memory>

namespace meridal::platform {
class Desktop;
}

namespace meridal::platform::win32 {

// Windows on the system's own dialogs and common controls, made once, in the program's entry
// point. `desktop` is what the windows start programs and open targets with, and what tells
// them of the program's file; it lives as long as the window system.
std::unique_ptr<WindowSystem> createWindowSystem(Desktop& desktop);

// WindowSystem::runWindow on Win32.
int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController, Desktop& desktop);

} // namespace meridal::platform::win32
