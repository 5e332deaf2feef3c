// SPDX-License-Identifier: GPL-3.0-or-later
// How long the catalogue commands take in the real window with a large catalogue: 100,000
// units, 10,000 of them in the dimension that is edited. Each command runs from the menu bar
// with the real edit dialog (typed into and confirmed with Enter) or the confirmation box
// (answered by a substitute); the lists are up to date when it returns.
//
// Prints, per command, the median and the worst of several runs: the whole command, and the
// part after the user's OK (the catalogue change and the refilled window).
//
// Run it next to the resource module: build/dev/bin/editing_bench (offscreen by default).
#include "platform/controls.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace meridal;

constexpr int dimensionCount = 10;
constexpr int unitsPerDimension = 10000;
constexpr int runs = 15;

// Answers every box with Yes (the deletes are confirmed).
class YesBoxes final : public platform::MessageBoxes {
  public:
    platform::MessageResult show(const std::string&, const std::string&, platform::MessageIcon,
                                 platform::MessageButtons buttons, platform::DefaultButton) override
    {
        return buttons == platform::MessageButtons::YesNo ? platform::MessageResult::Yes
                                                          : platform::MessageResult::Ok;
    }
};

void writeCatalogue()
{
    std::ofstream out("Meridal.xml", std::ios::binary);
    out << "<root>\r\n\t<config dim=\"D0\" su=\"u0_1\" eu=\"u0_2\" sv=1/>\r\n";
    for (int d = 0; d < dimensionCount; ++d) {
        out << "\t<dimension label=\"D" << d << "\" baseunit=\"u" << d << "_0\">\r\n";
        for (int u = 0; u < unitsPerDimension; ++u)
            out << "\t\t<unit label=\"u" << d << '_' << u << "\" cf=" << (u + 1) << " offset=0/>\r\n";
        out << "\t</dimension>\r\n";
    }
    out << "</root>";
}

struct Timing {
    double whole = 0; // ms
    double afterOk = 0;
};

class Bench {
  public:
    Bench(const Resources& resources) : m_host(resources, res::dialogConverter), m_window(resources, m_host)
    {
        m_host.setMessageBoxes(m_boxes);
        if (!m_host.open(m_window)) {
            std::fprintf(stderr, "the window did not open\n");
            std::exit(1);
        }
    }

    // Runs `command`; `type` fills the edit dialog's fields (by control id) when it comes up.
    Timing run(int command, std::vector<std::pair<int, std::string>> type)
    {
        Clock::time_point ok{};
        if (!type.empty()) {
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
                    const int id = field->property("controlId").toInt();
                    for (const auto& [typedId, text] : type) {
                        if (id == typedId)
                            field->setText(QString::fromStdString(text));
                    }
                }
                ok = Clock::now();
                QTest::keyClick(dialog, Qt::Key_Return);
            });
        }
        const Clock::time_point start = Clock::now();
        m_host.menuAction(command)->trigger();
        const Clock::time_point end = Clock::now();
        if (type.empty())
            ok = start;
        using ms = std::chrono::duration<double, std::milli>;
        return {ms(end - start).count(), ms(end - ok).count()};
    }

    void selectStartUnit(const std::string& label)
    {
        auto* list = qobject_cast<QListWidget*>(m_host.control(res::idStartUnitList));
        const auto items = list->findItems(QString::fromStdString(label), Qt::MatchExactly);
        if (!items.isEmpty())
            list->setCurrentItem(items.front());
    }

    std::size_t units() const { return m_window.catalogue().unitCount(); }
    std::string selectedDimension()
    {
        return m_host.list(res::idDimensionList)
            ->entryText(m_host.list(res::idDimensionList)->selectedIndex());
    }

  private:
    YesBoxes m_boxes;
    platform::qt::QtDialogHost m_host;
    CConverterDlg m_window;
};

void report(const char* name, std::vector<Timing> timings)
{
    auto stat = [&timings](double Timing::*field) {
        std::vector<double> values;
        for (const Timing& t : timings)
            values.push_back(t.*field);
        std::sort(values.begin(), values.end());
        return std::pair(values[values.size() / 2], values.back());
    };
    const auto [wholeMedian, wholeMax] = stat(&Timing::whole);
    const auto [okMedian, okMax] = stat(&Timing::afterOk);
    std::printf(
        "%-18s whole command: median %7.2f ms, worst %7.2f ms | after OK: median %7.2f ms, worst %7.2f ms\n",
        name, wholeMedian, wholeMax, okMedian, okMax);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "meridal-editing-bench";
    std::filesystem::create_directories(folder);
    auto resources = ResourceModule::load("TessaryRes.dll");
    if (!resources) {
        std::fprintf(stderr, "run next to TessaryRes.dll\n");
        return 1;
    }
    std::filesystem::current_path(folder);
    writeCatalogue();

    const Clock::time_point opening = Clock::now();
    Bench bench(*resources);
    std::printf("catalogue: %zu units, window opened in %.0f ms\n", bench.units(),
                std::chrono::duration<double, std::milli>(Clock::now() - opening).count());

    std::vector<Timing> add, change, remove, rename;
    for (int i = 0; i < runs; ++i) {
        const std::string n = std::to_string(i);
        add.push_back(
            bench.run(res::cmdAddUnit2, {{res::idEditUnit, "new" + n}, {res::idEditFactor, "2.5"}}));
        bench.selectStartUnit("u0_" + std::to_string(100 + i));
        change.push_back(
            bench.run(res::cmdChangeUnit2, {{res::idEditUnit, "changed" + n}, {res::idEditFactor, "3e2"}}));
        bench.selectStartUnit("u0_" + std::to_string(200 + i));
        remove.push_back(bench.run(res::cmdDeleteUnit2, {}));
        rename.push_back(
            bench.run(res::cmdRelabelDimension2, {{res::idEditDimension, (i % 2 ? "D0" : "Renamed")}}));
    }
    report("add unit", add);
    report("change unit", change);
    report("delete unit", remove);
    report("rename dimension", rename);
    std::printf("afterwards: %zu units, dimension \"%s\" selected\n", bench.units(),
                bench.selectedDimension().c_str());
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);
    return 0;
}
