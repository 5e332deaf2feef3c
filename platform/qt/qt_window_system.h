// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/qt/qt_desktop.h"
#include "platform/window_system.h"

#include <memory>

namespace meridal::platform::qt {

// The Qt application for this process, and windows on Qt Widgets. Made once, in main.
// `writeProfile` is what the windows' desktop sets the user's profile values with.
std::unique_ptr<WindowSystem> createWindowSystem(int& argc, char** argv, ProfileWriter writeProfile = {});

// WindowSystem::runWindow on Qt Widgets, for a process whose QApplication exists already.
int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController, const ProfileWriter& writeProfile = {});

} // namespace meridal::platform::qt
