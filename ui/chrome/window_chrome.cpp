// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/chrome/window_chrome.h"

#include "platform/controls.h"
#include "platform/dialog.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/chrome/banner_reveal.h"
#include "ui/converter_window.h"
#include "ui/list_selection.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace meridal {

WindowChrome::WindowChrome(ConverterWindow& window) : m_window(window) {}

WindowChrome::~WindowChrome()
{
    stopReveal();
}

// ---------------------------------------------------------------------------------------
// Set-up, in the window's initialisation

void WindowChrome::loadMenus()
{
    // A menu the module lacks is never shown.
    auto held = [this](unsigned menuId) {
        return m_window.resources().find(res::typeMenu, menuId) ? menuId : 0u;
    };
    m_dimensionMenu = held(res::menuDimension);
    m_unitMenu = held(res::menuUnit);
    m_logMenu = held(res::menuLog);
}

void WindowChrome::setUpButtonBitmaps()
{
    static constexpr std::pair<int, unsigned> buttons[] = {
        {res::idRestoreLogButton, res::bitmapRestoreLog},
        {res::idAddLogButton, res::bitmapAddLog},
        {res::idDeleteLogButton, res::bitmapDeleteLog},
        {res::idClearLogButton, res::bitmapClearLog},
    };
    // A bitmap the module lacks leaves its button as the layout made it.
    for (const auto& [button, bitmap] : buttons)
        m_window.host().setButtonBitmap(button, bitmap);
}

void WindowChrome::setUpTooltips()
{
    for (int id : {res::idDimensionList, res::idStartUnitList, res::idEndUnitList})
        m_window.host().addTooltip(id);
}

void WindowChrome::startTimer()
{
    if (m_window.host().startTimer(hoverTimerId, hoverPeriodMs))
        m_timerId = hoverTimerId;
}

// ---------------------------------------------------------------------------------------
// Closing

void WindowChrome::onClose()
{
    if (m_window.saveOnClose()) {
        m_window.saveCatalogue();
        m_window.saveLog();
    }
    if (m_timerId != 0) {
        m_window.host().stopTimer(m_timerId);
        m_timerId = 0;
    }
    stopReveal();
    m_window.host().endDialog(0);
}

void WindowChrome::onExit(int /*commandId*/)
{
    m_window.host().close();
}

// ---------------------------------------------------------------------------------------
// Routing

bool WindowChrome::onNotify(const platform::NotifyMessage& /*message*/)
{
    return false;
}

bool WindowChrome::onCommand(int commandId)
{
    static const Route::Command routes[] = {
        {res::cmdExit, res::cmdExit, &WindowChrome::onExit},
        {res::cmdToggleNotation, res::cmdToggleNotation, &WindowChrome::toggleNotation},
    };
    return Route::dispatch(*this, routes, commandId);
}

bool WindowChrome::onContextMenu(int controlId, platform::Point screen)
{
    unsigned menu = 0;
    switch (controlId) {
    case res::idDimensionList:
        menu = m_dimensionMenu;
        break;
    case res::idStartUnitList:
        m_window.setContextList(0);
        menu = m_unitMenu;
        break;
    case res::idEndUnitList:
        m_window.setContextList(1);
        menu = m_unitMenu;
        break;
    case res::idLogList:
        menu = m_logMenu;
        break;
    default:
        return false;
    }
    // The chosen item comes back through onCommand, as a menu bar item's would.
    if (menu != 0)
        m_window.host().popupMenu(menu, screen);
    return true;
}

// ---------------------------------------------------------------------------------------
// Tooltips

std::optional<std::optional<std::string>> WindowChrome::onTooltipText(int controlId)
{
    switch (controlId) {
    case res::idStartUnitList:
        m_tooltipText = listItemUnderCursor(m_window.startUnitList(), controlId);
        break;
    case res::idEndUnitList:
        m_tooltipText = listItemUnderCursor(m_window.endUnitList(), controlId);
        break;
    case res::idDimensionList:
        // The selected dimension, which a narrow drop-down may show cut off.
        m_tooltipText = selectedText(m_window.dimensionList());
        break;
    default:
        return std::nullopt;
    }
    // An empty text shows no tip; the platform draws an over-long one cut short.
    return std::optional<std::string>(m_tooltipText);
}

std::string WindowChrome::listItemUnderCursor(platform::ListControl& list, int listId)
{
    platform::DialogHost& host = m_window.host();
    const int entry = list.entryAt(host.toClient(listId, host.cursorPosition()));
    return entry < 0 ? std::string() : list.entryText(entry);
}

// ---------------------------------------------------------------------------------------
// Hover, cursor and the banner

bool WindowChrome::isCursorOverBanner()
{
    platform::DialogHost& host = m_window.host();
    const platform::Point at = host.toClient(res::idBanner, host.cursorPosition());
    const platform::Size size = host.clientSize(res::idBanner);
    // The left column and the top row count as outside, the column and row just beyond the
    // last pixel as inside.
    return at.x > 0 && at.y > 0 && at.x <= size.width && at.y <= size.height;
}

bool WindowChrome::onTimer(int timerId)
{
    // Every timer polls the hover; only the hover timer is the chrome's own.
    const bool over = isCursorOverBanner();
    if (revealFinished()) {
        if (over && !m_bannerHot)
            drawBanner(true);
        else if (!over && m_bannerHot)
            drawBanner(false);
    }
    return timerId == hoverTimerId;
}

bool WindowChrome::onSetCursor()
{
    m_window.host().setCursor(isCursorOverBanner() ? res::cursorBanner : 0u);
    return true;
}

void WindowChrome::drawBanner(bool highlighted)
{
    platform::DialogHost& host = m_window.host();
    const platform::Size size = host.clientSize(res::idBanner);
    const std::optional<platform::Image> picture =
        host.loadBitmap(highlighted ? res::bitmapBannerHot : res::bitmapBanner);
    m_bannerHot = highlighted;
    host.setPicture(res::idBanner, composeBanner(picture ? &*picture : nullptr, size));
}

void WindowChrome::onPaint()
{
    if (!m_revealStarted) {
        m_revealStarted = true;
        // Right after this paint, so that the window's first paint never waits for it.
        m_window.host().post([this, alive = std::weak_ptr<int>(m_alive)] {
            if (alive.lock())
                startReveal();
        });
    } else if (!m_revealShown) {
        // The reveal goes on: the frame reached so far stays.
        if (!m_revealFrame.pixels.empty())
            m_window.host().setPicture(res::idBanner, m_revealFrame);
    } else {
        drawBanner(false);
    }
}

// ---------------------------------------------------------------------------------------
// The reveal

void WindowChrome::startReveal()
{
    platform::DialogHost& host = m_window.host();
    const platform::Size size = host.clientSize(res::idBanner);
    const std::optional<platform::Image> picture = host.loadBitmap(res::bitmapBanner);
    BannerReveal reveal(composeBanner(picture ? &*picture : nullptr, size));
    if (reveal.columns() > 0 && size.height > 0) {
        // The banner starts blank, as the first frame of the reveal.
        m_revealFrame = reveal.frame();
        host.setPicture(res::idBanner, m_revealFrame);
        try {
            m_revealWorker =
                std::thread(&WindowChrome::revealBanner, this, std::move(reveal), std::ref(host));
            return;
        } catch (const std::system_error&) {
            // No thread to spare: the banner shows at once, unanimated.
        }
    }
    m_revealDone = true;
    m_revealShown = true;
    drawBanner(false);
}

void WindowChrome::revealBanner(BannerReveal reveal, platform::DialogHost& host)
{
    // Runs on the worker: it touches its own frame, the stop request and m_revealDone, and
    // hands each frame to the window's thread.
    const std::weak_ptr<int> alive = m_alive;
    try {
        while (!reveal.done()) {
            {
                std::unique_lock lock(m_stopMutex);
                if (m_stopSignal.wait_for(lock, std::chrono::milliseconds(revealColumnMs),
                                          [this] { return m_stopRequested; }))
                    return;
            }
            reveal.drawColumn();
            host.post([this, alive, frame = reveal.frame(), last = reveal.done()]() mutable {
                if (alive.lock())
                    showRevealFrame(std::move(frame), last);
            });
        }
    } catch (...) {
        // Out of memory for a frame: the window's thread draws the banner whole instead.
        try {
            host.post([this, alive] {
                if (alive.lock()) {
                    m_revealShown = true;
                    drawBanner(false);
                }
            });
        } catch (...) {
        }
    }
    m_revealDone = true;
}

void WindowChrome::showRevealFrame(platform::Image frame, bool last)
{
    m_revealFrame = std::move(frame);
    m_window.host().setPicture(res::idBanner, m_revealFrame);
    if (last)
        m_revealShown = true;
}

bool WindowChrome::revealFinished() const
{
    return m_revealShown && m_revealDone.load();
}

void WindowChrome::stopReveal()
{
    {
        std::lock_guard lock(m_stopMutex);
        m_stopRequested = true;
    }
    m_stopSignal.notify_all();
    if (m_revealWorker.joinable())
        m_revealWorker.join();
}

// ---------------------------------------------------------------------------------------
// Notation

void WindowChrome::toggleNotation(int /*commandId*/)
{
    m_window.setScientific(!m_window.scientific());
    m_window.host().setMenuChecked(res::cmdToggleNotation, m_window.scientific());
    m_window.convert();
}

} // namespace meridal
