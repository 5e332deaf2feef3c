#include "app/converter_app.h"

#include "platform/controls.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QDialog>
#include <QGuiApplication>

#include <utility>

namespace meridal {

CConverterApp::CConverterApp(ModuleLoader loader, platform::MessageBoxes& messages)
    : m_loader(std::move(loader)), m_messages(messages)
{
}

std::unique_ptr<Resources> CConverterApp::loadResourceModule()
{
    return ResourceModule::load("TessaryRes.dll");
}

bool CConverterApp::initInstance()
{
    // The resource module stays loaded until the process ends; every resource comes from it.
    const std::unique_ptr<Resources> resources = m_loader ? m_loader() : nullptr;
    if (!resources) {
        m_messages.show("Could not find TessaryRes.dll", "Meridal Error", platform::MessageIcon::Error,
                        platform::MessageButtons::Ok);
        return false;
    }

    platform::qt::QtDialogHost host(*resources, res::dialogConverter);
    if (host.window())
        QGuiApplication::setWindowIcon(host.window()->windowIcon()); // icon 169, named by the layout
    CConverterDlg dialog(*resources, host);
    host.exec(dialog);
    return false;
}

} // namespace meridal
