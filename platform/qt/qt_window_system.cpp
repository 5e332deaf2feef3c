#include "platform/qt/qt_window_system.h"

#include "platform/qt/qt_dialog_host.h"
#include "platform/qt/qt_services.h"

#include <QApplication>
#include <QDialog>

namespace meridal::platform::qt {

namespace {

class QtWindowSystem final : public WindowSystem {
  public:
    QtWindowSystem(int& argc, char** argv) : m_application(argc, argv)
    {
        QApplication::setApplicationName(QStringLiteral("Meridal"));
        QApplication::setDesktopFileName(QStringLiteral("org.meridal.Meridal"));
    }

    MessageBoxes& messageBoxes() override { return m_ownerless; }

    int runWindow(const Resources& resources, unsigned layoutId,
                  const ControllerFactory& makeController) override
    {
        return qt::runWindow(resources, layoutId, makeController);
    }

  private:
    QApplication m_application;
    QtMessageBoxes m_ownerless;
};

} // namespace

int runWindow(const Resources& resources, unsigned layoutId,
              const WindowSystem::ControllerFactory& makeController)
{
    QtDialogHost host(resources, layoutId);
    if (!host.window())
        return -1;
    // The window's icon (named by its layout) stands for the whole program.
    QGuiApplication::setWindowIcon(host.window()->windowIcon());
    // Made after the host and so destroyed before it.
    const std::unique_ptr<DialogController> controller = makeController(host);
    return host.exec(*controller);
}

std::unique_ptr<WindowSystem> createWindowSystem(int& argc, char** argv)
{
    return std::make_unique<QtWindowSystem>(argc, argv);
}

} // namespace meridal::platform::qt
