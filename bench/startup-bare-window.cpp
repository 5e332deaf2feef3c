// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the start-up benchmark: the smallest Qt Widgets program that shows a
// window of about Meridal's size, with a label in it.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("A bare Qt window"));
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(640, 600);
    window.show();
    return application.exec();
}
