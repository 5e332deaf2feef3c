// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/window_system.h"

#include <memory>

namespace meridal::platform {
class Desktop;
}

namespace meridal::platform::win32 {

// Windows on the system's own dialogs and common controls, made once, in the program's entry
// point. Each window starts programs and opens targets with the shell, owned by it, and
// learns of the program's file from the system (Win32Desktop).
std::unique_ptr<WindowSystem> createWindowSystem();

// WindowSystem::runWindow on Win32, with the system's desktop.
int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController);
// The same with another desktop (tests).
int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController, Desktop& desktop);

} // namespace meridal::platform::win32
