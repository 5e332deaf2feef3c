#include "app/converter_app.h"
#include "platform/qt/qt_window_system.h"
#include "resources/resource_module.h"

int main(int argc, char* argv[])
{
    const auto windows = meridal::platform::qt::createWindowSystem(argc, argv);
    meridal::CConverterApp converter(&meridal::CConverterApp::loadResourceModule, *windows);
    converter.initInstance();
    return 0;
}
