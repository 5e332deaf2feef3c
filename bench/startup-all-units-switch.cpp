// SPDX-License-Identifier: GPL-3.0-or-later
// Times the user's switch to the all-units view of a catalogue with 10,000 units: from the
// choice in the dimension list until both unit lists are filled and the window has redrawn.
//
//   meridal-all-units-switch [RUNS]
//
// Runs in a scratch folder of its own, next to the resource module it is built beside.
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int dimensionCount = 100;
constexpr int unitsPerDimension = 100;

void writeCatalogue(const std::filesystem::path& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "<root>\n\t<config dim=\"Dimension 000\" su=\"u000_000\" eu=\"u000_001\" sv=1/>\n";
    char label[32];
    for (int d = 0; d < dimensionCount; ++d) {
        std::snprintf(label, sizeof label, "Dimension %03d", d);
        out << "\t<dimension label=\"" << label << "\" baseunit=\"b\">\n";
        for (int u = 0; u < unitsPerDimension; ++u) {
            std::snprintf(label, sizeof label, "u%03d_%03d", d, u);
            out << "\t\t<unit label=\"" << label << "\" cf=" << (u + 1) << " offset=0/>\n";
        }
        out << "\t</dimension>\n";
    }
    out << "</root>";
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    QTemporaryDir folder;
    std::filesystem::current_path(folder.path().toStdString());
    writeCatalogue("Meridal.xml");

    auto resources = meridal::ResourceModule::load("TessaryRes.dll");
    if (!resources) {
        std::fprintf(stderr, "TessaryRes.dll not found next to the program\n");
        return 1;
    }
    meridal::platform::qt::QtDialogHost host(*resources, meridal::res::dialogConverter);
    meridal::CConverterDlg dialog(*resources, host);
    if (!host.open(dialog))
        return 1;
    QApplication::processEvents();

    auto* combo = qobject_cast<QComboBox*>(host.control(meridal::res::idDimensionList));
    auto* startList = qobject_cast<QListWidget*>(host.control(meridal::res::idStartUnitList));
    if (!combo || !startList || combo->count() != dimensionCount + 1) {
        std::fprintf(stderr, "unexpected window: %d dimensions\n", combo ? combo->count() : -1);
        return 1;
    }

    auto choose = [combo](int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index); // as the user's choice arrives
    };

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        choose(1 + run % dimensionCount);
        host.window()->repaint();
        QApplication::processEvents();

        const auto start = std::chrono::steady_clock::now();
        choose(0);
        host.window()->repaint();
        QApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    if (startList->count() != dimensionCount * unitsPerDimension) {
        std::fprintf(stderr, "the all-units view shows %d units\n", startList->count());
        return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("all-units switch, %d units, %d runs: median %.1f ms, min %.1f ms, max %.1f ms\n",
                dimensionCount * unitsPerDimension, runs, times[times.size() / 2], times.front(),
                times.back());
    host.endDialog(0);
    return 0;
}
