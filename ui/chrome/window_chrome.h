// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/geometry.h"
#include "ui/window_feature.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace meridal {

class BannerReveal;
class ConverterWindow;

namespace platform {
class ListControl;
}

// The converter window's chrome: popup menus over the lists, tooltips over the lists, the
// 100 ms hover poll of the banner, the banner's reveal, the cursor, the log buttons'
// bitmaps, the notation switch and the close path.
//
// The reveal is composed on a worker thread of its own, into an image of its own; only the
// window's thread shows it, frame by frame, through DialogHost::post. The worker is told to
// stop and joined when the window closes and when the chrome goes.
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
    // The close message: saves, stops the timer and the reveal, and ends the window.
    void onClose();

    bool onNotify(const platform::NotifyMessage& message) override;
    bool onCommand(int commandId) override;
    bool onContextMenu(int controlId, platform::Point screen) override;
    std::optional<std::optional<std::string>> onTooltipText(int controlId) override;
    bool onTimer(int timerId) override;
    void onPaint() override;
    bool onSetCursor() override;

    // The hover poll's timer and its period.
    static constexpr int hoverTimerId = 1;
    static constexpr int hoverPeriodMs = 100;
    // The reveal's pace.
    static constexpr int revealColumnMs = 10;

  private:
    using Route = Routes<WindowChrome>;

    void onExit(int commandId);
    void toggleNotation(int commandId);

    // Composes the banner (picture 172 when highlighted, else 157) and shows it in one block.
    void drawBanner(bool highlighted);
    bool isCursorOverBanner();
    std::string listItemUnderCursor(platform::ListControl& list, int listId);

    // The reveal: started by the first paint, run by the worker, shown by the window's thread.
    void startReveal();
    void revealBanner(BannerReveal reveal, platform::DialogHost& host);
    void showRevealFrame(platform::Image frame, bool last);
    bool revealFinished() const;
    void stopReveal();

    ConverterWindow& m_window;

    // The popup menus the module holds (0: none), shown over the lists.
    unsigned m_dimensionMenu = 0;
    unsigned m_unitMenu = 0;
    unsigned m_logMenu = 0;

    std::string m_tooltipText;
    int m_timerId = 0; // 0 until the timer runs

    bool m_revealStarted = false;
    // Set by the worker when its last frame is composed.
    std::atomic<bool> m_revealDone{false};
    // The window's thread has shown the last frame.
    bool m_revealShown = false;
    // The frame of the reveal shown last, shown again by a repaint during the reveal.
    platform::Image m_revealFrame;
    bool m_bannerHot = false;

    std::thread m_revealWorker;
    std::mutex m_stopMutex;
    std::condition_variable m_stopSignal;
    bool m_stopRequested = false;
    // A frame posted to the window's thread shows only while this lives.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace meridal
