#include "app/converter_app.h"
#include "persistence/profile_file.h"
#include "platform/qt/qt_window_system.h"
#include "resources/resource_module.h"

int main(int argc, char* argv[])
{
    // The calculator's setting is written by the program's own file layer.
    const auto windows = meridal::platform::qt::createWindowSystem(argc, argv, &meridal::writeProfileValue);
    meridal::CConverterApp converter(&meridal::CConverterApp::loadResourceModule, *windows);
    converter.initInstance();
    return 0;
}
