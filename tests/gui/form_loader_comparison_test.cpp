// SPDX-License-Identifier: GPL-3.0-or-later
// Our form reader against Qt's own form loader: every layout the resource manifest ships, and
// a few forms with the corners where the two could part, come up as the same widget tree.
#include "tests/gui/gui_support.h"

#include "platform/qt/form_builder.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <QBoxLayout>
#include <QBuffer>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QMetaProperty>
#include <QSpacerItem>
#include <QTest>
#include <QUiLoader>

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace meridal {
namespace {

using platform::qt::FormBuilder;

// What a built form is, key by key: every widget's class, name, properties (those of its
// class and the dynamic ones) and children; every layout's properties and items with their
// places and geometry; the buddies and the tab order.
using Description = std::map<std::string, std::string>;

std::string text(const QVariant& value)
{
    QString out;
    QDebug(&out).nospace() << value;
    return out.toStdString();
}

template <typename T> std::string text(const T& value)
{
    QString out;
    QDebug(&out).nospace() << value;
    return out.toStdString();
}

void describeProperties(const QObject& object, const std::string& path, Description& description)
{
    const QMetaObject& meta = *object.metaObject();
    description[path + " class"] = meta.className();
    description[path + " name"] = object.objectName().toStdString();
    for (int i = 0; i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (property.isReadable())
            description[path + " ." + property.name()] = text(property.read(&object));
    }
    for (const QByteArray& name : object.dynamicPropertyNames()) {
        // Qt's loader sets a layout's margins and grid spacings and then leaves them behind as
        // dynamic properties too (QLayout has no such properties); the margins and spacings
        // themselves are compared.
        static const QByteArrayList leftBehind = {"leftMargin",   "topMargin",         "rightMargin",
                                                  "bottomMargin", "horizontalSpacing", "verticalSpacing"};
        if (object.inherits("QLayout") && leftBehind.contains(name))
            continue;
        description[path + " .(dynamic) " + name.toStdString()] = text(object.property(name.constData()));
    }
}

void describeLayout(QLayout& layout, const std::string& path, Description& description)
{
    describeProperties(layout, path, description);
    description[path + " margins"] = text(layout.contentsMargins());
    description[path + " geometry"] = text(layout.geometry());
    auto* grid = qobject_cast<QGridLayout*>(&layout);
    auto* box = qobject_cast<QBoxLayout*>(&layout);
    if (grid) {
        std::ostringstream cells;
        for (int row = 0; row < grid->rowCount(); ++row)
            cells << " row " << row << ": " << grid->rowStretch(row) << '/' << grid->rowMinimumHeight(row);
        for (int column = 0; column < grid->columnCount(); ++column)
            cells << " column " << column << ": " << grid->columnStretch(column) << '/'
                  << grid->columnMinimumWidth(column);
        description[path + " cells"] = cells.str();
        description[path + " spacings"] =
            std::to_string(grid->horizontalSpacing()) + "," + std::to_string(grid->verticalSpacing());
    }
    for (int index = 0; index < layout.count(); ++index) {
        QLayoutItem* item = layout.itemAt(index);
        const std::string at = path + "[" + std::to_string(index) + "]";
        std::ostringstream place;
        if (grid) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
            place << "cell " << row << ',' << column << " span " << rowSpan << ',' << columnSpan;
        } else if (box) {
            place << "stretch " << box->stretch(index);
        }
        place << " alignment " << text(item->alignment()) << " geometry " << text(item->geometry());
        if (QWidget* widget = item->widget()) {
            place << " widget " << widget->objectName().toStdString();
        } else if (QSpacerItem* spacer = item->spacerItem()) {
            place << " spacer " << text(spacer->sizeHint()) << ' ' << text(spacer->sizePolicy());
        } else if (QLayout* inner = item->layout()) {
            place << " layout " << inner->objectName().toStdString();
            describeLayout(*inner, at, description);
        }
        description[at] = place.str();
    }
}

void describeWidget(QWidget& widget, const std::string& path, Description& description)
{
    describeProperties(widget, path, description);
    if (auto* label = qobject_cast<QLabel*>(&widget))
        description[path + " buddy"] = label->buddy() ? label->buddy()->objectName().toStdString() : "none";
    if (QLayout* layout = widget.layout())
        describeLayout(*layout, path + " layout", description);
    std::string children;
    int index = 0;
    for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        children += child->objectName().toStdString() + " ";
        describeWidget(*child, path + "/" + std::to_string(index++) + ":" + child->objectName().toStdString(),
                       description);
    }
    description[path + " children"] = children;
}

// Shows the form's top widget at its default size and describes it once its layouts are
// activated, the passes that showing leaves pending included (Qt's loader polishes some
// widgets while it builds them, our reader leaves that to the first show, so one pass more
// can be pending here: what is compared is the laid-out result).
Description describeShown(QWidget& top)
{
    top.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&top));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    Description description;
    describeWidget(top, top.objectName().toStdString(), description);
    std::string chain;
    for (QWidget* at = top.nextInFocusChain(); at && at != &top; at = at->nextInFocusChain())
        chain += at->objectName().toStdString() + " ";
    description["tab order"] = chain;
    top.hide();
    return description;
}

class FormLoaderComparisonTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    // Builds `form` with both and lists every key on which they differ; `ourError` is our
    // reader's reason when it refused the form.
    std::vector<std::string> differences(const std::string& form, QString& ourError)
    {
        FormBuilder builder;
        const std::unique_ptr<QWidget> ours(
            builder.build(QByteArrayView(form.data(), qsizetype(form.size()))));
        ourError = builder.error;
        QUiLoader loader;
        loader.setTranslationEnabled(false);
        QBuffer buffer;
        buffer.setData(QByteArray(form.data(), qsizetype(form.size())));
        buffer.open(QIODevice::ReadOnly);
        const std::unique_ptr<QWidget> theirs(loader.load(&buffer));
        if (!ours || !theirs)
            return {ours ? "Qt's loader could not build it: " + loader.errorString().toStdString()
                         : "our reader refused it"};

        const Description a = describeShown(*ours);
        const Description b = describeShown(*theirs);
        std::vector<std::string> found;
        auto report = [&found](const std::string& key, const std::string& mine, const std::string& qt) {
            found.push_back(key + ": ours " + mine + ", Qt's " + qt);
        };
        for (const auto& [key, value] : a) {
            const auto other = b.find(key);
            if (other == b.end())
                report(key, value, "(none)");
            else if (other->second != value)
                report(key, value, other->second);
        }
        for (const auto& [key, value] : b) {
            if (!a.count(key))
                report(key, "(none)", value);
        }
        return found;
    }
};

// Every "dialog" line of the manifest, as the resource module holds it.
TEST_F(FormLoaderComparisonTest, everyShippedLayoutComesUpAsQtsLoaderBuildsIt)
{
    const std::unique_ptr<Resources> resources = ResourceModule::load("TessaryRes.dll");
    ASSERT_NE(resources, nullptr) << "the test runs next to the built resource module";
    std::ifstream manifest(MERIDAL_RESOURCE_MANIFEST);
    ASSERT_TRUE(manifest) << "the manifest is read from the source tree";

    std::vector<unsigned> layouts;
    for (std::string line; std::getline(manifest, line);) {
        std::istringstream fields(line);
        std::string type;
        unsigned id = 0;
        if (fields >> type && type == "dialog" && fields >> id)
            layouts.push_back(id);
    }
    ASSERT_FALSE(layouts.empty());
    EXPECT_NE(std::find(layouts.begin(), layouts.end(), res::dialogConverter), layouts.end());

    for (const unsigned id : layouts) {
        SCOPED_TRACE("layout " + std::to_string(id));
        const auto form = resources->find(res::typeDialog, id);
        ASSERT_TRUE(form) << "the module lacks the layout";
        QString error;
        const std::vector<std::string> found = differences(std::string(*form), error);
        EXPECT_TRUE(found.empty()) << error.toStdString() << "\n" << ::testing::PrintToString(found);
    }
}

// Where the format leaves room: margins a layout takes by default (on a form, in a layout,
// in Designer's plain-QWidget stand-in for a layout), partial margins, stretch lists shorter
// than the layout, minimum sizes of grid cells, spans, alignments and spacers.
TEST_F(FormLoaderComparisonTest, layoutCornersComeUpAsQtsLoaderBuildsThem)
{
    const char* const bodies[] = {
        // partial margins on a form's layout keep the style's others; a nested layout has none
        R"(<layout class="QVBoxLayout" name="v" stretch="2">
             <property name="leftMargin"><number>3</number></property>
             <item><widget class="QLabel" name="a"><property name="text"><string>A</string></property></widget></item>
             <item><layout class="QHBoxLayout" name="h"><property name="spacing"><number>2</number></property>
               <item><widget class="QPushButton" name="b"/></item>
               <item><spacer name="s"><property name="orientation"><enum>Qt::Horizontal</enum></property>
                 <property name="sizeType"><enum>QSizePolicy::Fixed</enum></property>
                 <property name="sizeHint" stdset="0"><size><width>30</width><height>5</height></size></property></spacer></item>
             </layout></item>
           </layout>)",
        // Designer's stand-in for a layout, with and without margins of its own
        R"(<widget class="QWidget" name="layoutWidget"><property name="geometry"><rect><x>5</x><y>6</y><width>200</width><height>80</height></rect></property>
             <layout class="QHBoxLayout" name="plain"><property name="topMargin"><number>4</number></property>
               <item><widget class="QLineEdit" name="e"/></item></layout></widget>
           <widget class="QWidget" name="nativeWidget" native="true"><property name="geometry"><rect><x>5</x><y>90</y><width>200</width><height>80</height></rect></property>
             <layout class="QVBoxLayout" name="own"><item><widget class="QCheckBox" name="c"/></item></layout></widget>)",
        // a grid with spans, stretches and minimum sizes named for some cells only
        R"(<layout class="QGridLayout" name="g" rowstretch="1" columnstretch="0,2" rowminimumheight="0,40" columnminimumwidth="70">
             <item row="0" column="0" colspan="2"><widget class="QComboBox" name="combo"><property name="sorted" stdset="0"><bool>true</bool></property></widget></item>
             <item row="1" column="0" alignment="Qt::AlignRight|Qt::AlignBottom"><widget class="QRadioButton" name="r"/></item>
             <item row="1" column="1"><widget class="QListWidget" name="list"><property name="controlId" stdset="0"><number>5</number></property></widget></item>
             <item row="2" column="1"><spacer name="gap"><property name="orientation"><enum>Qt::Vertical</enum></property></spacer></item>
           </layout>)",
    };
    for (const char* body : bodies) {
        SCOPED_TRACE(body);
        const std::string form =
            std::string(R"(<?xml version="1.0" encoding="UTF-8"?><ui version="4.0">)") +
            R"(<widget class="QDialog" name="Form"><property name="geometry">)" +
            R"(<rect><x>0</x><y>0</y><width>320</width><height>240</height></rect></property>)" + body +
            "</widget></ui>";
        QString error;
        const std::vector<std::string> found = differences(form, error);
        EXPECT_TRUE(found.empty()) << error.toStdString() << "\n" << ::testing::PrintToString(found);
    }
}

} // namespace
} // namespace meridal
