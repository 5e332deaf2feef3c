// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/ui/converter_window_fixture.h"

#include "catalogue/windows1252.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>

namespace meridal::test {

inline constexpr int logListId = 1050;
inline constexpr int addButton = 1051;
inline constexpr int deleteButton = 1052;
inline constexpr int clearButton = 1053;
inline constexpr int restoreButton = 1054;
inline constexpr int copyCommand = 0x8005;

inline void writeLog(const std::string& bytes)
{
    std::ofstream("log.txt", std::ios::binary) << bytes;
}

inline std::string readLog()
{
    std::ifstream in("log.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string invalidArgumentText()
{
    return utf8ToWindows1252Lossy(std::strerror(EINVAL));
}

// The window on the small catalogue, remembering 12 in to ft.
class ConversionLogTest : public ConverterWindowTest {
  protected:
    void SetUp() override
    {
        ConverterWindowTest::SetUp();
        m_resources.setString(253, "Unreadable: %s");
        m_resources.setString(254, "S254");
        m_resources.setString(255, "Not saved: %s");
        m_resources.setString(312, "Not created: %s");
    }

    bool openWithLog(const std::optional<std::string>& log, const std::string& config = "")
    {
        writeFile(
            catalogueText(config.empty() ? ConverterWindowTest::config("Length", "in", "ft", "12") : config));
        if (log)
            writeLog(*log);
        return open();
    }

    FakeList& log() { return host().lists.at(logListId); }
    void click(int button) { host().notify(button, platform::Notification::Clicked); }
    void expectInvalidArgumentReport()
    {
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, invalidArgumentText());
        EXPECT_EQ(messages()[0].caption, "S208");
        EXPECT_EQ(messages()[0].icon, platform::MessageIcon::Error);
    }
};

} // namespace meridal::test
