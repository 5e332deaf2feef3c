#pragma once

#include "ui/window_feature.h"

namespace meridal {

class ConverterWindow;

// The converter window's chrome: popup menus over the lists, tooltips over the unit lists,
// the 100 ms hover poll of the banner, the banner's reveal, the cursor, the log buttons'
// bitmaps, the notation switch and the close path.
class WindowChrome final : public WindowFeature {
  public:
    explicit WindowChrome(ConverterWindow& window);
    ~WindowChrome() override;

    WindowChrome(const WindowChrome&) = delete;
    WindowChrome& operator=(const WindowChrome&) = delete;

    // Steps of the window's initialisation, each at its place there.
    void loadMenus();
    void setUpButtonBitmaps();
    void setUpTooltips();
    void startTimer();
    // The close message: saves, stops the timer and ends the window.
    void onClose();

    bool onNotify(const platform::NotifyMessage& message) override;
    bool onCommand(int commandId) override;

  private:
    using Route = Routes<WindowChrome>;

    void onExit(int commandId);

    ConverterWindow& m_window;
};

} // namespace meridal
