#include "platform/win32/win32_window_system.h"

#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_services.h"

#include <commctrl.h>

namespace meridal::platform::win32 {

namespace {

class Win32WindowSystem final : public WindowSystem {
  public:
    explicit Win32WindowSystem(Desktop& desktop) : m_desktop(desktop)
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
        return win32::runWindow(resources, layoutId, makeController, m_desktop);
    }

  private:
    Desktop& m_desktop;
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

std::unique_ptr<WindowSystem> createWindowSystem(Desktop& desktop)
{
    return std::make_unique<Win32WindowSystem>(desktop);
}

} // namespace meridal::platform::win32
