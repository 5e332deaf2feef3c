#include "app/converter_app.h"
#include "app/program.h"
#include "platform/qt/qt_window_system.h"
#include "resources/resource_module.h"

// The four-part version stamped into the program (MERIDAL_VERSION and the build number).
extern "C" const char meridalVersion[];

int main(int argc, char* argv[])
{
    meridal::Program program(&meridal::platform::qt::createWindowSystem,
                             &meridal::CConverterApp::loadResourceModule, meridalVersion);
    return program.run(argc, argv);
}
