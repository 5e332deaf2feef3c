#include "ui/chrome/window_chrome.h"

#include "platform/dialog.h"
#include "resources/resource_ids.h"
#include "ui/converter_window.h"

namespace meridal {

WindowChrome::WindowChrome(ConverterWindow& window) : m_window(window) {}

WindowChrome::~WindowChrome() = default;

void WindowChrome::loadMenus() {}          // first submenus of menus 129, 134 and 191
void WindowChrome::setUpButtonBitmaps() {} // bitmaps 186, 183, 184, 185 on buttons 1054, 1051-1053
void WindowChrome::setUpTooltips() {}      // tooltips over the dimension list and both unit lists
void WindowChrome::startTimer() {}         // timer 1, every 100 ms, polls the cursor over the banner

void WindowChrome::onClose()
{
    if (m_window.saveOnClose()) {
        m_window.saveCatalogue();
        m_window.saveLog();
    }
    m_window.host().endDialog(0);
}

bool WindowChrome::onNotify(const platform::NotifyMessage& /*message*/)
{
    return false;
}

bool WindowChrome::onCommand(int commandId)
{
    static const Route::Command routes[] = {
        {res::cmdExit, res::cmdExit, &WindowChrome::onExit},
    };
    return Route::dispatch(*this, routes, commandId);
}

void WindowChrome::onExit(int /*commandId*/)
{
    m_window.host().close();
}

} // namespace meridal
