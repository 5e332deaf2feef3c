// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/gui_support.h"

#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_text.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include <gtest/gtest.h>
#include <string>

namespace meridal::test {
namespace {

using platform::qt::shownTextLimit;

// A catalogue may hold a label of megabytes: the controls draw a few hundred characters of it,
// and the program reads back every byte it put in.
TEST(LongTexts, controlsDrawThemCutShortAndGiveThemBackWhole)
{
    guiApplication();
    const std::string longLabel = std::string(2'000'000, 'x') + "\xB0"; // ends in the degree sign
    const QString drawn = QString(static_cast<qsizetype>(shownTextLimit), QChar('x')) + QChar(0x2026);
    const int deferring = 0;

    QListWidget listWidget;
    platform::qt::QtListBox list(listWidget, deferring, false);
    list.addEntry(longLabel);
    list.addEntry("m");
    QComboBox combo;
    platform::qt::QtComboList comboList(combo, false);
    comboList.addEntry(longLabel);
    QLabel label;
    platform::qt::QtTextField caption(label);
    caption.setText(longLabel);

    EXPECT_EQ(listWidget.item(0)->text(), drawn);
    EXPECT_EQ(listWidget.item(1)->text(), "m");
    EXPECT_EQ(combo.itemText(0), drawn);
    EXPECT_EQ(label.text(), drawn);
    EXPECT_EQ(list.entryText(0), longLabel);
    EXPECT_EQ(comboList.entryText(0), longLabel);
    EXPECT_EQ(caption.text(), longLabel);
    EXPECT_EQ(list.selectPrefix(longLabel), 0);
}

} // namespace
} // namespace meridal::test
