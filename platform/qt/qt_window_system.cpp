// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_window_system.h"

#include "platform/qt/qt_dialog_host.h"
#include "platform/qt/qt_services.h"

#include <QApplication>
#include <QDialog>

#include <utility>

namespace meridal::platform::qt {

namespace {

class QtWindowSystem final : public WindowSystem {
  public:
    QtWindowSystem(int& argc, char** argv, ProfileWriter writeProfile)
        : m_application(argc, argv), m_writeProfile(std::move(writeProfile))
    {
        QApplication::setApplicationName(QStringLiteral("Meridal"));
        QApplication::setDesktopFileName(QStringLiteral("org.meridal.Meridal"));
    }

    MessageBoxes& messageBoxes() override { return m_ownerless; }

    int runWindow(const Resources& resources, unsigned layoutId,
                  const ControllerFactory& makeController) override
    {
        return qt::runWindow(resources, layoutId, makeController, m_writeProfile);
    }

  private:
    QApplication m_application;
    QtMessageBoxes m_ownerless;
    ProfileWriter m_writeProfile;
};

} // namespace

int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController, const ProfileWriter& writeProfile)
{
    QtDialogHost host(resources, layoutId);
    if (!host.window())
        return -1;
    host.desktop().setProfileWriter(writeProfile);
    // The window's icon (named by its layout) stands for the whole program.
    QGuiApplication::setWindowIcon(host.window()->windowIcon());
    // Made after the host and so destroyed before it.
    const std::unique_ptr<DialogController> controller = makeController(host);
    return host.exec(*controller);
}

std::unique_ptr<WindowSystem> createWindowSystem(int& argc, char** argv, ProfileWriter writeProfile)
{
    return std::make_unique<QtWindowSystem>(argc, argv, std::move(writeProfile));
}

} // namespace meridal::platform::qt
