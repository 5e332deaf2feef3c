// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/win32/test_windows.h"

#include <gtest/gtest.h>

namespace meridal::test {

// Without a display the system makes no window: every test of a program that includes this
// skips, saying why.
class DisplayEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override
    {
        if (!systemMakesWindows())
            GTEST_SKIP() << noDisplayReason;
    }
};

inline const auto* const displayEnvironment = ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);

} // namespace meridal::test
