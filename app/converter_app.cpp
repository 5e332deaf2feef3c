// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/converter_app.h"

#include "platform/controls.h"
#include "platform/window_system.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <utility>

namespace meridal {

CConverterApp::CConverterApp(ModuleLoader loader, platform::WindowSystem& windows)
    : m_loader(std::move(loader)), m_windows(windows)
{
}

std::unique_ptr<Resources> CConverterApp::loadResourceModule()
{
    return ResourceModule::load("TessaryRes.dll");
}

bool CConverterApp::initInstance()
{
    m_startedUp = false;
    // The resource module stays loaded until the process ends; every resource comes from it.
    const std::unique_ptr<Resources> resources = m_loader ? m_loader() : nullptr;
    if (!resources) {
        m_windows.messageBoxes().show("Could not find TessaryRes.dll", "Meridal Error",
                                      platform::MessageIcon::Error, platform::MessageButtons::Ok);
        return false;
    }

    // A window that could not be built, or that ended in its own initialisation (a catalogue
    // that does not load), ends with -1.
    constexpr int notStarted = -1;
    const int result =
        m_windows.runWindow(*resources, res::dialogConverter, [&resources](platform::DialogHost& host) {
            return std::make_unique<CConverterDlg>(*resources, host);
        });
    m_startedUp = result != notStarted;
    return false;
}

} // namespace meridal
