// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/gui_support.h"

#include "platform/qt/form_builder.h"

#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpacerItem>

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace meridal {
namespace {

using platform::qt::FormBuilder;

// Where Tab goes from `widget`: the next widget in the focus chain that Tab stops at.
QWidget* nextTabStop(QWidget* widget)
{
    do
        widget = widget->nextInFocusChain();
    while (!(widget->focusPolicy() & Qt::TabFocus));
    return widget;
}

class FormBuilderTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    std::unique_ptr<QWidget> build(const std::string& body)
    {
        const std::string form =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\">" + body + "</ui>";
        return std::unique_ptr<QWidget>(builder.build(QByteArrayView(form.data(), qsizetype(form.size()))));
    }

    FormBuilder builder;
};

TEST_F(FormBuilderTest, buildsWidgetsLayoutsPropertiesBuddiesAndTabOrder)
{
    QDialog* made = nullptr;
    builder.createTop = [&made](const QString& className, QWidget* parent) -> QWidget* {
        return className == QLatin1String("QDialog") ? (made = new QDialog(parent)) : nullptr;
    };
    const auto top = build(R"(
 <class>Sample</class>
 <widget class="QDialog" name="Sample">
  <property name="geometry"><rect><x>30</x><y>40</y><width>300</width><height>200</height></rect></property>
  <property name="windowTitle"><string notr="true">Sample &amp; more</string></property>
  <property name="controlId" stdset="0"><number>7</number></property>
  <layout class="QGridLayout" name="grid" rowstretch="0,3" columnstretch="2,0">
   <property name="leftMargin"><number>11</number></property>
   <property name="topMargin"><number>12</number></property>
   <property name="rightMargin"><number>13</number></property>
   <property name="bottomMargin"><number>14</number></property>
   <property name="horizontalSpacing"><number>5</number></property>
   <item row="0" column="0">
    <widget class="QLabel" name="caption">
     <property name="text"><string>&amp;Name:</string></property>
     <property name="buddy"><cstring>nameEdit</cstring></property>
     <property name="alignment"><set>Qt::AlignRight|Qt::AlignVCenter</set></property>
    </widget>
   </item>
   <item row="0" column="1" alignment="Qt::AlignTop">
    <widget class="QLineEdit" name="nameEdit">
     <property name="readOnly"><bool>true</bool></property>
     <property name="sizePolicy"><sizepolicy hsizetype="Expanding" vsizetype="Fixed"><horstretch>2</horstretch><verstretch>0</verstretch></sizepolicy></property>
    </widget>
   </item>
   <item row="1" column="0" colspan="2">
    <layout class="QHBoxLayout" name="row" stretch="1,0">
     <item><widget class="QFrame" name="frame"><property name="frameShape"><enum>QFrame::StyledPanel</enum></property></widget></item>
     <item><spacer name="gap"><property name="orientation"><enum>Qt::Vertical</enum></property>
       <property name="sizeHint" stdset="0"><size><width>4</width><height>9</height></size></property></spacer></item>
    </layout>
   </item>
   <item row="2" column="0"><widget class="QPushButton" name="button"><property name="minimumSize"><size><width>80</width><height>0</height></size></property></widget></item>
   <item row="2" column="1"><widget class="QPushButton" name="other"/></item>
  </layout>
 </widget>
 <tabstops><tabstop>other</tabstop><tabstop>button</tabstop><tabstop>nameEdit</tabstop></tabstops>
 <resources/><connections/>)");
    ASSERT_TRUE(top) << builder.error.toStdString();
    EXPECT_EQ(top.get(), made);
    EXPECT_EQ(top->size(), QSize(300, 200));
    EXPECT_EQ(top->windowTitle(), QStringLiteral("Sample & more"));
    EXPECT_EQ(top->property("controlId").toInt(), 7);

    auto* grid = qobject_cast<QGridLayout*>(top->layout());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->contentsMargins(), QMargins(11, 12, 13, 14));
    EXPECT_EQ(grid->horizontalSpacing(), 5);
    EXPECT_EQ(grid->rowStretch(1), 3);
    EXPECT_EQ(grid->columnStretch(0), 2);

    auto* caption = top->findChild<QLabel*>(QStringLiteral("caption"));
    auto* edit = top->findChild<QLineEdit*>(QStringLiteral("nameEdit"));
    auto* button = top->findChild<QPushButton*>(QStringLiteral("button"));
    ASSERT_TRUE(caption && edit && button);
    EXPECT_EQ(caption->buddy(), edit);
    EXPECT_EQ(caption->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    EXPECT_EQ(edit->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(edit->sizePolicy().horizontalStretch(), 2);
    EXPECT_EQ(grid->itemAtPosition(0, 1)->alignment(), Qt::AlignTop);
    EXPECT_EQ(button->minimumWidth(), 80);
    // The tab stops reverse the order in which the widgets were made.
    auto* other = top->findChild<QPushButton*>(QStringLiteral("other"));
    EXPECT_EQ(nextTabStop(edit), other);
    EXPECT_EQ(nextTabStop(other), button);
    EXPECT_EQ(nextTabStop(button), edit);

    int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
    auto* inner = qobject_cast<QHBoxLayout*>(grid->itemAtPosition(1, 0)->layout());
    ASSERT_TRUE(inner);
    grid->getItemPosition(grid->indexOf(inner), &row, &column, &rowSpan, &columnSpan);
    EXPECT_EQ(columnSpan, 2);
    EXPECT_EQ(inner->stretch(0), 1);
    EXPECT_EQ(top->findChild<QFrame*>(QStringLiteral("frame"))->frameShape(), QFrame::StyledPanel);
    QSpacerItem* gap = inner->itemAt(1)->spacerItem();
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap->sizeHint(), QSize(4, 9));
    EXPECT_EQ(gap->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
}

// A form that would come up different from what it says is not built at all.
TEST_F(FormBuilderTest, refusesWhatItCannotBuildFaithfully)
{
    const struct {
        const char* body;
        const char* reason;
    } cases[] = {
        {R"(<widget class="QDialog" name="d"><widget class="QTableView" name="t"/></widget>)", "QTableView"},
        {R"(<widget class="QDialog" name="d"><layout class="QFormLayout" name="f"/></widget>)",
         "QFormLayout"},
        {R"(<widget class="QLabel" name="l"><property name="nonsense"><number>1</number></property></widget>)",
         "nonsense"},
        {R"(<widget class="QLabel" name="l"><property name="font"><font><bold>true</bold></font></property></widget>)",
         "font"},
        {R"(<widget class="QLabel" name="l"><property name="alignment"><set>Qt::AlignMiddle</set></property></widget>)",
         "Qt::AlignMiddle"},
        {R"(<widget class="QLabel" name="l"><property name="wordWrap"><bool>yes</bool></property></widget>)",
         "yes"},
        {R"(<widget class="QLabel" name="l"><property name="buddy"><cstring>gone</cstring></property></widget>)",
         "gone"},
        {R"(<widget class="QWidget" name="w"/><tabstops><tabstop>lost</tabstop></tabstops>)", "lost"},
        {R"(<widget class="QWidget" name="w"><layout class="QVBoxLayout" name="v"><item><widget class="QLabel" name="l">)",
         "line"},
        {"", "no widget"},
        // What Qt's loader builds and this reader does not: entries of lists, page attributes,
        // actions, stacking order, layout defaults, custom widgets, connections, a second form.
        {R"(<widget class="QComboBox" name="c"><item><property name="text"><string>x</string></property></item></widget>)",
         "<item> in widget \"c\""},
        {R"(<widget class="QListWidget" name="l"><item><property name="text"><string>x</string></property></item></widget>)",
         "<item> in widget \"l\""},
        {R"(<widget class="QWidget" name="w"><attribute name="title"><string>Page</string></attribute></widget>)",
         "<attribute>"},
        {R"(<widget class="QWidget" name="w"><action name="a"/></widget>)", "<action>"},
        {R"(<widget class="QWidget" name="w"><addaction name="a"/></widget>)", "<addaction>"},
        {R"(<widget class="QWidget" name="w"><widget class="QLabel" name="l"/><zorder>l</zorder></widget>)",
         "<zorder>"},
        {R"(<layoutdefault spacing="6" margin="11"/><widget class="QWidget" name="w"/>)", "<layoutdefault>"},
        {R"(<widget class="QWidget" name="w"/><customwidgets><customwidget><class>X</class></customwidget></customwidgets>)",
         "<customwidgets>"},
        {R"(<widget class="QPushButton" name="b"/><connections><connection><sender>b</sender></connection></connections>)",
         "<connection>"},
        {R"(<widget class="QWidget" name="w"/><widget class="QWidget" name="v"/>)", "<widget> in the form"},
        {R"(<widget class="QWidget" name="w"/><tabstops><tabstop>w</tabstop><other/></tabstops>)", "<other>"},
        // Attributes and values it does not build, or would build differently from Qt's loader.
        {R"(<widget class="QWidget" name="w" extra="1"/>)", "extra"},
        {R"(<widget class="QLabel" name="l"><property name="text"><string id="x">t</string></property></widget>)",
         "id"},
        {R"(<widget class="QWidget" name="w"><property name="geometry"><rect><x>1</x><z>2</z></rect></property></widget>)",
         "<z>"},
        {R"(<widget class="QWidget" name="w"><layout class="QVBoxLayout" name="v"><item row="1"><widget class="QLabel" name="l"/></item></layout></widget>)",
         "row"},
        {R"(<widget class="QWidget" name="w"><layout class="QGridLayout" name="g"><item alignment="Qt::AlignCenter"><widget class="QLabel" name="l"/></item></layout></widget>)",
         "alignment"},
        {R"(<widget class="QWidget" name="w"><layout class="QVBoxLayout" name="v"><item alignment="Qt::AlignTop"><spacer name="s"/></item></layout></widget>)",
         "only a widget"},
        {R"(<widget class="QWidget" name="w"><layout class="QVBoxLayout" name="v"><item/></layout></widget>)",
         "empty item"},
        {R"(<widget class="QWidget" name="w"><layout class="QVBoxLayout" name="v" stretch="1,2"><item><widget class="QLabel" name="l"/></item></layout></widget>)",
         "more than the 1 cells"},
        {R"(<widget class="QWidget" name="w"><layout class="QVBoxLayout" name="v" stretch="x"><item><widget class="QLabel" name="l"/></item></layout></widget>)",
         "no list of numbers"},
        {R"(<widget class="QWidget" name="w"><layout class="QVBoxLayout" name="v" rowstretch="1"/></widget>)",
         "no such cells"},
        {R"(<widget class="QWidget" name="w"><widget class="QLabel" name="l"/><property name="enabled"><bool>false</bool></property></widget>)",
         "after the children"},
        {R"(<widget class="QWidget" name="w"><layout class="QVBoxLayout" name="v"><item><widget class="QLabel" name="l"/></item><property name="spacing"><number>1</number></property></layout></widget>)",
         "after its items"},
        {R"(<widget class="QLabel" name="l"><property name="buddy"><cstring>l</cstring></property></widget>)",
         "no widget \"l\" for the buddy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_FALSE(build(c.body));
        EXPECT_TRUE(builder.error.contains(QLatin1String(c.reason))) << builder.error.toStdString();
    }
}

} // namespace
} // namespace meridal
