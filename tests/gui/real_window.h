// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/gui/gui_support.h"

#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QDialog>
#include <QTest>

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

namespace meridal::test {

// A small catalogue that remembers 12 in to ft.
inline const char* const smallCatalogueText = "<root>\n"
                                              "\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
                                              "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                                              "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                              "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                              "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
                                              "\t</dimension>\n"
                                              "</root>";

inline std::string readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The converter window on the real widgets and the built resource module, in a fresh working
// folder of its own; its message boxes are recorded.
class RealWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { guiApplication(); }

    void SetUp() override
    {
        m_module = ResourceModule::load("TessaryRes.dll");
        ASSERT_NE(m_module, nullptr) << "the test runs next to the built resource module";
    }

    // Writes `catalogue` as "Meridal.xml", then builds, initialises and shows the window and
    // (unless told not to) makes it the active one. `resources` stands in for the module
    // where a test needs that.
    void openWindow(const std::string& catalogue = smallCatalogueText, const Resources* resources = nullptr,
                    bool activate = true)
    {
        writeFileBytes("Meridal.xml", catalogue);
        const Resources& used = resources ? *resources : *m_module;
        m_dialog.reset();
        m_host = std::make_unique<platform::qt::QtDialogHost>(used, res::dialogConverter);
        ASSERT_NE(m_host->window(), nullptr);
        m_host->setMessageBoxes(m_messages);
        m_dialog = std::make_unique<CConverterDlg>(used, *m_host);
        ASSERT_TRUE(m_host->open(*m_dialog));
        if (!activate)
            return;
        m_host->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_host->window()));
    }

    // Control `id` as the widget class it is built of.
    template <typename W> W& widget(int id)
    {
        auto* w = qobject_cast<W*>(m_host->control(id));
        if (!w)
            throw std::runtime_error("control " + std::to_string(id) + " is missing or of another kind");
        return *w;
    }

    TemporaryWorkingFolder m_folder;
    std::unique_ptr<Resources> m_module;
    RecordedMessages m_messages;
    std::unique_ptr<platform::qt::QtDialogHost> m_host;
    std::unique_ptr<CConverterDlg> m_dialog;
};

} // namespace meridal::test
