// SPDX-License-Identifier: GPL-3.0-or-later
// Times key presses while the banner reveals itself: from the moment a digit key is queued
// for the input field, as the window system queues it, until the field's text has changed.
// One press every 37 ms for as long as the reveal runs (152 columns of 10 ms).
//
//   meridal-reveal-key-latency
//
// Runs in a scratch folder of its own, next to the resource module it is built beside.
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <vector>

int main(int argc, char** argv)
{
    using Clock = std::chrono::steady_clock;
    QApplication application(argc, argv);
    const QTemporaryDir scratch;
    std::filesystem::current_path(scratch.path().toStdString());

    const auto module = meridal::ResourceModule::load("TessaryRes.dll");
    if (!module) {
        std::fprintf(stderr, "the resource module is missing\n");
        return 2;
    }
    meridal::platform::qt::QtDialogHost host(*module, meridal::res::dialogConverter);
    meridal::CConverterDlg dialog(*module, host);
    if (!host.open(dialog))
        return 2;
    auto* input = qobject_cast<QLineEdit*>(host.control(meridal::res::idInput));
    input->setFocus();

    // The banner's picture at each press, to tell that it was still being revealed.
    const auto* banner = qobject_cast<QLabel*>(host.control(meridal::res::idBanner));
    std::set<qint64> bannerFrames;
    std::vector<double> delays;
    Clock::time_point pressed;
    bool waiting = false;
    QObject::connect(input, &QLineEdit::textChanged, [&] {
        if (!waiting)
            return;
        waiting = false;
        delays.push_back(std::chrono::duration<double, std::milli>(Clock::now() - pressed).count());
    });
    QTimer presses;
    presses.setInterval(37);
    QObject::connect(&presses, &QTimer::timeout, [&] {
        if (waiting)
            return;
        waiting = true;
        bannerFrames.insert(banner->pixmap().cacheKey());
        pressed = Clock::now();
        QCoreApplication::postEvent(input, new QKeyEvent(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5"));
        QCoreApplication::postEvent(input, new QKeyEvent(QEvent::KeyRelease, Qt::Key_5, Qt::NoModifier, "5"));
    });
    // The first paint starts the reveal; it runs for about 1.5 s.
    QTimer::singleShot(50, &presses, qOverload<>(&QTimer::start));
    QTimer::singleShot(1550, &application, &QApplication::quit);
    application.exec();

    if (delays.empty()) {
        std::fprintf(stderr, "no key press reached the input field\n");
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    std::printf(
        "key presses: %zu over %zu banner frames, delay median %.2f ms, max %.2f ms (goal at most 20 ms)\n",
        delays.size(), bannerFrames.size(), delays[delays.size() / 2], delays.back());
    return 0;
}
