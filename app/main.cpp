#include "app/converter_app.h"
#include "platform/qt/qt_services.h"
#include "resources/resource_module.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Meridal"));
    QApplication::setDesktopFileName(QStringLiteral("org.meridal.Meridal"));

    meridal::platform::qt::QtMessageBoxes ownerless;
    meridal::CConverterApp converter(&meridal::CConverterApp::loadResourceModule, ownerless);
    converter.initInstance();
    return 0;
}
