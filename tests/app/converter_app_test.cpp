#include "tests/gui/gui_support.h"

#include "app/converter_app.h"
#include "platform/window_system.h"
#include "resources/resource_module.h"

#include <QApplication>

#include <filesystem>
#include <gtest/gtest.h>

namespace meridal {
namespace {

// Start-up's own message recorded; no window is ever built.
class RecordingWindowSystem final : public platform::WindowSystem {
  public:
    platform::MessageBoxes& messageBoxes() override { return recorded; }
    int runWindow(const Resources&, unsigned, const ControllerFactory&) override
    {
        ++windowsRun;
        return 0;
    }
    test::RecordedMessages recorded;
    int windowsRun = 0;
};

TEST(ConverterAppTest, withoutTheResourceModuleShowsOneMessageAndLeavesNothingBehind)
{
    test::guiApplication();
    test::TemporaryWorkingFolder folder;
    RecordingWindowSystem windows;
    const auto& recorded = windows.recorded;
    int loads = 0;
    CConverterApp app(
        [&loads]() -> std::unique_ptr<Resources> {
            ++loads;
            return ResourceModule::load("NoSuchModule.dll");
        },
        windows);

    EXPECT_FALSE(app.initInstance());
    EXPECT_EQ(loads, 1);
    ASSERT_EQ(recorded.messages.size(), 1u);
    const auto& shown = recorded.messages[0];
    EXPECT_EQ(shown.text, "Could not find TessaryRes.dll");
    EXPECT_EQ(shown.caption, "Meridal Error");
    EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
    EXPECT_EQ(shown.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(windows.windowsRun, 0);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(ConverterAppTest, findsTheResourceModuleInTheProgramsOwnFolderNotTheWorkingOne)
{
    test::TemporaryWorkingFolder folder;
    EXPECT_NE(CConverterApp::loadResourceModule(), nullptr);
}

} // namespace
} // namespace meridal
