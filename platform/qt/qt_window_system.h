#pragma once

#include "platform/window_system.h"

#include <memory>

namespace meridal::platform::qt {

// The Qt application for this process, and windows on Qt Widgets. Made once, in main.
std::unique_ptr<WindowSystem> createWindowSystem(int& argc, char** argv);

// WindowSystem::runWindow on Qt Widgets, for a process whose QApplication exists already.
int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController);

} // namespace meridal::platform::qt
