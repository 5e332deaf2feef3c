// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace meridal {
class Resources;
}

namespace meridal::platform {

class DialogController;
class DialogHost;
class MessageBoxes;

// The toolkit's factory: windows built from the resource module's layouts, and the message
// boxes that belong to no window. The application asks it for both and names no toolkit class.
class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Message boxes with no owner window (start-up's own message).
    virtual MessageBoxes& messageBoxes() = 0;

    using ControllerFactory = std::function<std::unique_ptr<DialogController>(DialogHost&)>;
    // Builds the window of layout `layoutId`, gives it the controller `makeController` makes
    // for its host, and runs it modally. Returns the window's endDialog result, or -1 when
    // the layout cannot be built or the controller's initialisation gave up without one. The
    // controller is destroyed before its host, and both before this returns.
    virtual int runWindow(const Resources& resources, unsigned layoutId,
                          const ControllerFactory& makeController) = 0;
};

} // namespace meridal::platform
