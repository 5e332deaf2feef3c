// SPDX-License-Identifier: GPL-3.0-or-later
// The window's chrome on the real window: context menus from the mouse and the keyboard,
// tooltips over the unit lists, the notation check mark and the banner's reveal.
#include "tests/gui/real_window.h"
#include "tests/support/fake_resources.h"

#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace meridal {
namespace {

using platform::qt::QtDialogHost;

// A popup menu as it was shown: its items and where.
struct Popup {
    bool shown = false;
    QStringList items;
    QPoint at;
};

// Runs `action`, which may open a popup menu, and closes the menu again.
Popup popupDuring(const std::function<void()>& action)
{
    Popup popup;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&popup] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        popup.shown = true;
        popup.at = menu->pos();
        for (const QAction* item : menu->actions())
            popup.items << item->text();
        menu->close();
    });
    poll.start();
    action();
    QTest::qWait(20);
    return popup;
}

class WindowChromeGuiTest : public test::RealWindowTest {
  protected:
    void open(const Resources& resources) { openWindow(m_catalogue, &resources); }

    // The window active again, as after a popup menu closed.
    void activate()
    {
        m_host->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_host->window()));
    }

    // A right click as the window system delivers it, at `local` in `target`.
    void rightClick(QWidget* target, QPoint local)
    {
        QWidget* top = m_host->window();
        QTest::mouseClick(top->windowHandle(), Qt::RightButton, {}, target->mapTo(top, local));
    }

    // The Menu key as the X11 platform delivers it: a keyboard context-menu request to the
    // window, which Qt hands to the focused control.
    void menuKey()
    {
        activate();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
        QApplication::sendEvent(m_host->window()->windowHandle(), &request);
    }

    QPoint itemCentre(int listId, const QString& label)
    {
        auto& list = widget<QListWidget>(listId);
        const auto found = list.findItems(label, Qt::MatchExactly);
        return found.size() == 1 ? list.visualItemRect(found.front()).center() : QPoint(-1, -1);
    }

    // The tooltip that the pointer at `local` (in the list's viewport) brings up.
    QString tooltipAt(int listId, QPoint local)
    {
        QWidget* viewport = widget<QListWidget>(listId).viewport();
        const QPoint global = viewport->mapToGlobal(local);
        QCursor::setPos(global);
        QToolTip::hideText(); // the last tip fades out first
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
        QHelpEvent request(QEvent::ToolTip, local, global);
        QApplication::sendEvent(viewport, &request);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    std::string m_catalogue = test::smallCatalogueText;
};

TEST_F(WindowChromeGuiTest, contextMenusFromTheMouseAndTheKeyboard)
{
    open(*m_module);
    const QStringList unitMenu{"&New unit...", "&Change unit...", "&Delete unit"};

    // A right click on an entry of the end-unit list, then of the start-unit list.
    auto& endList = widget<QListWidget>(res::idEndUnitList);
    const QPoint onFt = itemCentre(res::idEndUnitList, "ft");
    Popup popup = popupDuring([&] { rightClick(endList.viewport(), onFt); });
    EXPECT_TRUE(popup.shown);
    EXPECT_EQ(popup.items, unitMenu);
    EXPECT_EQ(popup.at, endList.viewport()->mapToGlobal(onFt));
    EXPECT_EQ(m_dialog->contextList(), 1);

    auto& startList = widget<QListWidget>(res::idStartUnitList);
    popup = popupDuring([&] { rightClick(startList.viewport(), itemCentre(res::idStartUnitList, "m")); });
    EXPECT_EQ(popup.items, unitMenu);
    EXPECT_EQ(m_dialog->contextList(), 0);

    // The Menu key over the end-unit list, Shift+F10 over the dimension list.
    endList.setFocus(Qt::TabFocusReason);
    popup = popupDuring([&] { menuKey(); });
    EXPECT_EQ(popup.items, unitMenu);
    EXPECT_EQ(m_dialog->contextList(), 1);

    widget<QComboBox>(res::idDimensionList).setFocus(Qt::TabFocusReason);
    activate();
    popup = popupDuring(
        [&] { QTest::keyClick(m_host->window()->windowHandle(), Qt::Key_F10, Qt::ShiftModifier); });
    EXPECT_EQ(popup.items, (QStringList{"&New dimension...", "&Rename dimension...", "&Delete dimension"}));

    // Anywhere else, none of the window's menus.
    popup = popupDuring([&] { rightClick(&widget<QLabel>(res::idTip), QPoint(3, 3)); });
    EXPECT_FALSE(popup.shown);
}

TEST_F(WindowChromeGuiTest, tooltipShowsTheUnitUnderThePointerAndNothingOverEmptySpace)
{
    open(*m_module);
    EXPECT_EQ(tooltipAt(res::idStartUnitList, itemCentre(res::idStartUnitList, "in")), "in");
    EXPECT_EQ(tooltipAt(res::idEndUnitList, itemCentre(res::idEndUnitList, "m")), "m");
    const QWidget* viewport = widget<QListWidget>(res::idStartUnitList).viewport();
    EXPECT_EQ(tooltipAt(res::idStartUnitList, QPoint(5, viewport->height() - 3)), "");

    // The dimension list's tip names the selected dimension, an over-long one cut short.
    const std::string longLabel(5000, 'L');
    m_catalogue = "<root>\n\t<config dim=\"" + longLabel +
                  "\" su=\"m\" eu=\"m\" sv=1/>\n\t<dimension label=\"" + longLabel +
                  "\" baseunit=\"m\">\n\t\t<unit label=\"m\" cf=1 offset=0/>\n\t</dimension>\n</root>";
    open(*m_module);
    auto& dimensions = widget<QComboBox>(res::idDimensionList);
    QHelpEvent request(QEvent::ToolTip, QPoint(5, 5), dimensions.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&dimensions, &request);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString(300, 'L') + QChar(0x2026));
}

TEST_F(WindowChromeGuiTest, notationCommandTogglesTheCheckMarkAndTheResult)
{
    open(*m_module);
    QAction* notation = m_host->menuAction(res::cmdToggleNotation);
    ASSERT_NE(notation, nullptr);
    EXPECT_FALSE(notation->isChecked());
    auto& output = widget<QLineEdit>(res::idOutput);
    EXPECT_EQ(output.text(), "1.000000");
    notation->trigger();
    EXPECT_TRUE(notation->isChecked());
    EXPECT_EQ(output.text(), "1.000000e+000");
    notation->trigger();
    EXPECT_FALSE(notation->isChecked());
    EXPECT_EQ(output.text(), "1.000000");
}

TEST_F(WindowChromeGuiTest, bannerRevealsThePictureAndTheLogButtonsShowTheirBitmaps)
{
    open(*m_module);
    const auto& banner = widget<QLabel>(res::idBanner);
    auto picture = [this](unsigned id) {
        return QImage::fromData(QByteArray::fromStdString(std::string(*m_module->find(res::typeBitmap, id))))
            .convertToFormat(QImage::Format_RGB32);
    };
    auto shows = [&banner](const QImage& image) {
        return banner.pixmap().toImage().convertToFormat(QImage::Format_RGB32) == image;
    };
    ASSERT_EQ(picture(res::bitmapBanner).size(), QSize(152, 68));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shows(picture(res::bitmapBanner)); }, 4000));

    // The pointer on the banner highlights it, and the highlight stays while it does.
    QCursor::setPos(banner.mapToGlobal(QPoint(20, 20)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shows(picture(res::bitmapBannerHot)); }, 1000));
    QTest::qWait(300);
    EXPECT_TRUE(shows(picture(res::bitmapBannerHot)));
    QCursor::setPos(banner.mapToGlobal(QPoint(-20, 20)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shows(picture(res::bitmapBanner)); }, 1000));
    for (int button :
         {res::idAddLogButton, res::idRestoreLogButton, res::idDeleteLogButton, res::idClearLogButton})
        EXPECT_EQ(m_host->control(button)->size(), QSize(24, 24)) << button;
}

TEST_F(WindowChromeGuiTest, aModuleWithoutMenusBitmapsOrCursorStillRuns)
{
    test::FakeResources bare;
    bare.set(res::typeDialog, res::dialogConverter,
             std::string(*m_module->find(res::typeDialog, res::dialogConverter)));
    bare.set(res::typeMenu, res::menuConverterBar,
             std::string(*m_module->find(res::typeMenu, res::menuConverterBar)));
    open(bare);
    for (int list : {res::idDimensionList, res::idStartUnitList, res::idLogList}) {
        QWidget* target = m_host->control(list);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
            target = area->viewport();
        EXPECT_FALSE(popupDuring([&] { rightClick(target, QPoint(5, 5)); }).shown);
    }
    auto& banner = widget<QLabel>(res::idBanner);
    QCursor::setPos(banner.mapToGlobal(QPoint(10, 10)));
    QTest::mouseMove(&banner, QPoint(10, 10));
    QTest::qWait(250); // hover ticks and reveal frames on a white banner
    m_host->menuAction(res::cmdExit)->trigger();
    EXPECT_TRUE(m_host->ended());
}

} // namespace
} // namespace meridal
