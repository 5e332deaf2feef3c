// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

namespace meridal::test {

// Without a display the system makes no window: every test of a program that includes this
// skips, saying why.
class DisplayEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override
    {
        HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        if (!probe)
            GTEST_SKIP() << "the system makes no window here: no display (under Wine, set DISPLAY to an X "
                            "server, as scripts/test-windows.sh does with Xvfb)";
        DestroyWindow(probe);
    }
};

inline const auto* const displayEnvironment = ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);

} // namespace meridal::test
