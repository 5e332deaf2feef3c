// SPDX-License-Identifier: GPL-3.0-or-later
// Opens its one argument through the desktop and ends at once, taking its application
// object with it: what the program does when its window closes while an opener runs.
#include "platform/qt/qt_desktop.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    QCoreApplication application(argc, argv);
    meridal::platform::qt::QtDesktop desktop;
    desktop.openTarget(argv[1], [] { std::puts("failed"); });
    return 0;
}
