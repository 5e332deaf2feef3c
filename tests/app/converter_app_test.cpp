#include "tests/gui/gui_support.h"

#include "app/converter_app.h"
#include "platform/controls.h"
#include "resources/resource_module.h"

#include <QApplication>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal {
namespace {

class RecordedMessages final : public platform::MessageBoxes {
  public:
    struct Message {
        std::string text;
        std::string caption;
        platform::MessageIcon icon;
        platform::MessageButtons buttons;
    };
    platform::MessageResult show(const std::string& text, const std::string& caption,
                                 platform::MessageIcon icon, platform::MessageButtons buttons) override
    {
        messages.push_back({text, caption, icon, buttons});
        return platform::MessageResult::Ok;
    }
    std::vector<Message> messages;
};

TEST(ConverterAppTest, withoutTheResourceModuleShowsOneMessageAndLeavesNothingBehind)
{
    test::guiApplication();
    test::TemporaryWorkingFolder folder;
    RecordedMessages messages;
    int loads = 0;
    CConverterApp app(
        [&loads]() -> std::unique_ptr<Resources> {
            ++loads;
            return ResourceModule::load("NoSuchModule.dll");
        },
        messages);

    EXPECT_FALSE(app.initInstance());

    EXPECT_EQ(loads, 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Could not find TessaryRes.dll");
    EXPECT_EQ(messages.messages[0].caption, "Meridal Error");
    EXPECT_EQ(messages.messages[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(messages.messages[0].buttons, platform::MessageButtons::Ok);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(ConverterAppTest, findsTheResourceModuleInTheProgramsOwnFolder)
{
    // The test program lies next to the built module, as the program does when installed.
    test::TemporaryWorkingFolder folder;
    EXPECT_NE(CConverterApp::loadResourceModule(), nullptr);
}

} // namespace
} // namespace meridal
