// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/win32_window_system.h"

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_services.h"

#include <commctrl.h>

namespace meridal::platform::win32 {

namespace {

class Win32WindowSystem final : public WindowSystem {
  public:
    Win32WindowSystem()
    {
        // The common controls (the tooltips among them) in the version the program's
        // manifest asks for.
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    MessageBoxes& messageBoxes() override { return m_ownerless; }

    int runWindow(const Resources& resources, unsigned layoutId,
                  const ControllerFactory& makeController) override
    {
        return win32::runWindow(resources, layoutId, makeController);
    }

  private:
    Win32MessageBoxes m_ownerless;
};

} // namespace

int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController, Desktop& desktop)
{
    Win32DialogHost host(resources, layoutId, desktop);
    if (!host.window())
        return -1;
    // Made after the host and so destroyed before it.
    const std::unique_ptr<DialogController> controller = makeController(host);
    return host.exec(*controller);
}

int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController)
{
    // Made before the host and so destroyed after it: its owner and its poster are the
    // host's, and once the window has ended a posted report is dropped.
    Win32Desktop desktop;
    Win32DialogHost host(resources, layoutId, desktop);
    if (!host.window())
        return -1;
    desktop.setOwner(host.window(), [&host](std::function<void()> task) { host.post(std::move(task)); });
    const std::unique_ptr<DialogController> controller = makeController(host);
    return host.exec(*controller);
}

std::unique_ptr<WindowSystem> createWindowSystem()
{
    return std::make_unique<Win32WindowSystem>();
}

} // namespace meridal::platform::win32
