// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/win32/win32_dialog_host.h"

#include <windows.h>

// What the tests of windows on the system's own controls share: whether the system makes
// windows here at all, and running the messages that wait as the window's loop would.
namespace meridal::test {

inline constexpr const char* noDisplayReason =
    "the system makes no window here: no display (under Wine, set DISPLAY to an X server, as "
    "scripts/test-windows.sh does with Xvfb)";

inline bool systemMakesWindows()
{
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!probe)
        return false;
    DestroyWindow(probe);
    return true;
}

// Runs every message that waits, through `host`'s own translation (its accelerators and
// dialog keys) when there is one.
inline void runWaitingMessages(platform::win32::Win32DialogHost* host)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (host && host->preTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs the waiting messages, then whatever arrives within a short quiet spell (the system
// paints and the host's posted tasks come as messages).
inline void runMessagesUntilQuiet(platform::win32::Win32DialogHost* host)
{
    do
        runWaitingMessages(host);
    while (MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT) != WAIT_TIMEOUT);
}

} // namespace meridal::test
