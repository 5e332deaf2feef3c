// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/fake_resources.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/fake_dialog_host.h"

#include "ui/converter_dlg.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>

namespace meridal::test {

// A converter window over substitute controls, in a fresh current directory of its own
// (the window reads and writes "Meridal.xml" there).
class ConverterWindowTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        m_dir = makeTempFolder("meridal-ui");
        std::filesystem::current_path(m_dir);
    }

    void TearDown() override
    {
        m_window.reset();
        std::filesystem::current_path(m_oldDir);
        removeTempFolder(m_dir);
    }

    // Length {m, mm, in, ft} and Temperature {K, C, F}, after the line `config` if given.
    static std::string catalogueText(const std::string& config)
    {
        return "<root>\n" + (config.empty() ? "" : "\t" + config + "\n") +
               "\t<dimension label=\"Length\" baseunit=\"m\">\n"
               "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
               "\t\t<unit label=\"mm\" cf=0.001 offset=0/>\n"
               "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
               "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
               "\t</dimension>\n"
               "\t<dimension label=\"Temperature\" baseunit=\"K\">\n"
               "\t\t<unit label=\"K\" cf=1 offset=0/>\n"
               "\t\t<unit label=\"C\" cf=1 offset=273.15/>\n"
               "\t\t<unit label=\"F\" cf=0.5555555555555556 offset=255.3722222222222/>\n"
               "\t</dimension>\n"
               "</root>";
    }

    static std::string config(const std::string& dim, const std::string& su, const std::string& eu,
                              const std::string& sv)
    {
        return "<config dim=\"" + dim + "\" su=\"" + su + "\" eu=\"" + eu + "\" sv=" + sv + "/>";
    }

    static void writeFile(const std::string& text) { std::ofstream("Meridal.xml", std::ios::binary) << text; }

    static std::string readFile()
    {
        std::ifstream in("Meridal.xml", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Gives up any window, then constructs one on fresh controls (made ready by `prepare`)
    // and runs its initialisation.
    bool open(const std::function<void(FakeDialogHost&)>& prepare = {})
    {
        m_window.reset();
        if (m_opened)
            m_host = std::make_unique<FakeDialogHost>();
        m_opened = true;
        if (prepare)
            prepare(host());
        m_window = std::make_unique<CConverterDlg>(m_resources, host());
        host().attach(*m_window);
        return m_window->onInitDialog();
    }

    CConverterDlg& window() { return *m_window; }
    FakeDialogHost& host() { return *m_host; }
    FakeList& dimensions() { return host().lists.at(1048); }
    FakeList& startUnits() { return host().lists.at(1005); }
    FakeList& endUnits() { return host().lists.at(1006); }
    FakeEdit& input() { return host().edits.at(1013); }
    FakeEdit& output() { return host().edits.at(1015); }
    FakeText& tip() { return host().texts.at(1045); }
    FakeText& startCaption() { return host().texts.at(1019); }
    FakeText& endCaption() { return host().texts.at(1020); }
    const std::vector<ShownMessage>& messages() { return host().messages.shown; }
    std::vector<std::string> unitsOf(const std::string& dimension)
    {
        return window().catalogue().unitLabels(dimension);
    }

    FakeResources m_resources = FakeResources::withNumberedStrings();
    std::unique_ptr<FakeDialogHost> m_host = std::make_unique<FakeDialogHost>();
    std::unique_ptr<CConverterDlg> m_window;
    bool m_opened = false;
    std::filesystem::path m_dir;
    std::filesystem::path m_oldDir = std::filesystem::current_path();
};

} // namespace meridal::test
