// SPDX-License-Identifier: GPL-3.0-or-later
// The platform contract on the Qt host, offscreen.
#include "tests/contract/platform_contract.h"
#include "tests/gui/gui_support.h"
#include "tests/support/fake_resources.h"

#include "platform/qt/qt_dialog_host.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window_system.h"
#include "resources/resource_ids.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <stdexcept>
#include <string>

namespace meridal::contract {
namespace {

constexpr unsigned contractLayout = 400;

// The contract window, its controls in the tab order the contract gives.
const char* const layoutXml = R"(<ui version="4.0"><widget class="QDialog" name="ContractWindow">
 <layout class="QVBoxLayout" name="layout">
  <item><widget class="QComboBox" name="dropDown"><property name="controlId" stdset="0"><number>10</number></property></widget></item>
  <item><widget class="QListWidget" name="listBox"><property name="controlId" stdset="0"><number>11</number></property>
    <property name="minimumSize"><size><width>120</width><height>140</height></size></property></widget></item>
  <item><widget class="QLineEdit" name="edit"><property name="controlId" stdset="0"><number>12</number></property></widget></item>
  <item><widget class="QLabel" name="picture"><property name="controlId" stdset="0"><number>13</number></property>
    <property name="notify" stdset="0"><bool>true</bool></property>
    <property name="minimumSize"><size><width>32</width><height>32</height></size></property></widget></item>
  <item><widget class="QPushButton" name="button"><property name="controlId" stdset="0"><number>14</number></property>
    <property name="text"><string>Button</string></property></widget></item>
 </layout>
</widget></ui>)";

class QtHostMaker {
  public:
    QtHostMaker() { test::guiApplication(); }

    platform::DialogHost& open(platform::DialogController& controller)
    {
        m_host = std::make_unique<platform::qt::QtDialogHost>(m_resources, contractLayout);
        if (!m_host->window())
            throw std::runtime_error("the contract window cannot be built");
        if (m_messages)
            m_host->setMessageBoxes(*m_messages);
        if (m_host->open(controller)) {
            m_host->window()->activateWindow();
            if (!QTest::qWaitForWindowActive(m_host->window()))
                throw std::runtime_error("the contract window does not become active");
        }
        return *m_host;
    }
    void close() { m_host.reset(); }
    int runWindow(const platform::WindowSystem::ControllerFactory& makeController)
    {
        return platform::qt::runWindow(m_resources, contractLayout, makeController);
    }
    void recordMessages(platform::MessageBoxes& boxes) { m_messages = &boxes; }

    void clickEntry(int listId, int index) { click(listId, index, {}); }
    void controlClickEntry(int listId, int index) { click(listId, index, Qt::ControlModifier); }
    void clickBelowEntries(int listId)
    {
        auto& list = widget<QListWidget>(listId);
        const QRect last = list.visualItemRect(list.item(list.count() - 1));
        const QPoint below(last.left() + 4, last.bottom() + last.height());
        if (list.itemAt(below))
            throw std::runtime_error("the list box has no room below its entries");
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, below);
    }
    void type(int editId, const std::string& text)
    {
        QTest::keyClicks(&widget<QLineEdit>(editId), platform::qt::toQString(text));
    }
    void typeAtFocus(const std::string& text)
    {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClicks(focused ? focused : m_host->window(), platform::qt::toQString(text));
    }
    void pressButton(int buttonId) { QTest::mouseClick(&widget<QPushButton>(buttonId), Qt::LeftButton); }
    void exposePicture(int pictureId) { widget<QLabel>(pictureId).update(); }
    void pump()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

  private:
    template <typename W> W& widget(int id)
    {
        auto* found = qobject_cast<W*>(m_host->control(id));
        if (!found)
            throw std::runtime_error("control " + std::to_string(id) + " is missing or of another kind");
        return *found;
    }

    void click(int listId, int index, Qt::KeyboardModifiers modifiers)
    {
        if (auto* dropDown = qobject_cast<QComboBox*>(m_host->control(listId))) {
            // Opens the list and clicks the entry in it.
            dropDown->showPopup();
            QAbstractItemView* view = dropDown->view();
            const QRect entry = view->visualRect(view->model()->index(index, 0));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, entry.center());
            return;
        }
        auto& list = widget<QListWidget>(listId);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers,
                          list.visualItemRect(list.item(index)).center());
    }

    test::FakeResources m_resources = test::FakeResources().set(res::typeDialog, contractLayout, layoutXml);
    platform::MessageBoxes* m_messages = nullptr;
    std::unique_ptr<platform::qt::QtDialogHost> m_host;
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, PlatformContract, QtHostMaker);

} // namespace meridal::contract
