// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/converter_app.h"
#include "app/program.h"
#include "persistence/profile_file.h"
#include "platform/qt/qt_window_system.h"
#include "resources/resource_module.h"

// The four-part version stamped into the program (MERIDAL_VERSION and the build number).
extern "C" const char meridalVersion[];

int main(int argc, char* argv[])
{
    // The calculator's setting is written by the program's own file layer.
    const auto makeWindows = [](int& count, char** arguments) {
        return meridal::platform::qt::createWindowSystem(count, arguments, &meridal::writeProfileValue);
    };
    meridal::Program program(makeWindows, &meridal::CConverterApp::loadResourceModule, meridalVersion);
    return program.run(argc, argv);
}
