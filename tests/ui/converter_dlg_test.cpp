// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/ui/converter_window_fixture.h"

#include "ui/list_selection.h"

#include <gtest/gtest.h>
#include <vector>

namespace meridal::test {
namespace {

using platform::Notification;
using Labels = std::vector<std::string>;

constexpr const char* allUnits = "S242";

TEST_F(ConverterWindowTest, restoresRememberedSelectionByPrefixIgnoringCase)
{
    struct Case {
        const char *dim, *su, *eu;
        const char *dimension, *start, *end; // expected; "" = the list's first entry
    };
    // The lists are sorted: ft, in, m, mm. A label equal to an entry selects that entry even
    // where another begins with it; otherwise the first entry that begins with it, ignoring case.
    const Case cases[] = {
        {"Length", "mm", "m", "Length", "mm", "m"},
        {"length", "IN", "F", "Length", "in", "ft"},
        {"Length", "yard", "in", "Length", "", "in"},
        {"Volume", "in", "ft", allUnits, "in", ""}, // gone: the all-units entry stays
        // In the all-units view the end list follows the start unit, and the remembered end
        // unit is dropped: K and F are both after C in Temperature's sorted list.
        {allUnits, "C", "K", allUnits, "C", ""},
        {allUnits, "C", "F", allUnits, "C", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dim) + " " + c.su + " " + c.eu);
        writeFile(catalogueText(config(c.dim, c.su, c.eu, "1")));
        ASSERT_TRUE(open());
        EXPECT_EQ(dimensions().selectedText(), c.dimension);
        EXPECT_EQ(startUnits().selectedText(), *c.start ? c.start : startUnits().entryText(0));
        EXPECT_EQ(endUnits().selectedText(), *c.end ? c.end : endUnits().entryText(0));
        EXPECT_EQ(input().text(), "1");
        EXPECT_EQ(startCaption().text(), startUnits().selectedText());
        EXPECT_EQ(endCaption().text(), endUnits().selectedText());
    }
}

TEST_F(ConverterWindowTest, withoutConfigStartsOnFirstEntriesWithDefaultInput)
{
    m_resources.setString(215, "1");
    writeFile(catalogueText(""));
    ASSERT_TRUE(open());

    // The all-units entry first, then the dimensions sorted; every unit in the start list.
    EXPECT_EQ(dimensions().entries(), (Labels{allUnits, "Length", "Temperature"}));
    EXPECT_EQ(dimensions().selectedIndex(), 0);
    EXPECT_EQ(startUnits().selectedIndex(), 0);
    EXPECT_EQ(startUnits().entries(), (Labels{"C", "F", "ft", "in", "K", "m", "mm"}));
    // The end list follows the first start unit's own dimension.
    EXPECT_EQ(endUnits().entries(), (Labels{"C", "F", "K"}));
    EXPECT_EQ(endUnits().selectedIndex(), 0);
    EXPECT_EQ(input().text(), "1");
    EXPECT_FALSE(output().text().empty());
}

TEST_F(ConverterWindowTest, selectionsRefillTheListsRereadTheFactorsAndConvert)
{
    writeFile(catalogueText(config("Temperature", "C", "K", "100")));
    ASSERT_TRUE(open());
    EXPECT_EQ(output().text(), "373.150000");

    ASSERT_TRUE(endUnits().userSelect("F"));
    EXPECT_EQ(endCaption().text(), "F");
    EXPECT_EQ(output().text(), "212.000000");
    ASSERT_TRUE(startUnits().userSelect("K"));
    EXPECT_EQ(startCaption().text(), "K");
    EXPECT_EQ(output().text(), "-279.670000");

    ASSERT_TRUE(dimensions().userSelect("Length"));
    EXPECT_EQ(startUnits().entries(), (Labels{"ft", "in", "m", "mm"}));
    EXPECT_EQ(endUnits().entries(), startUnits().entries());
    EXPECT_EQ(startUnits().selectedIndex(), 0);
    EXPECT_EQ(endUnits().selectedIndex(), 0);

    // The all-units view: the end list holds the units of the start unit's own dimension.
    dimensions().userSelect(0);
    ASSERT_TRUE(startUnits().userSelect("C"));
    EXPECT_EQ(endUnits().entries(), (Labels{"C", "F", "K"}));
    EXPECT_EQ(endUnits().selectedIndex(), 0);
    ASSERT_TRUE(endUnits().userSelect("K"));
    EXPECT_EQ(output().text(), "373.150000");
    ASSERT_TRUE(startUnits().userSelect("ft"));
    EXPECT_EQ(endUnits().entries(), (Labels{"ft", "in", "m", "mm"}));
    ASSERT_TRUE(endUnits().userSelect("in"));
    EXPECT_EQ(output().text(), "1200.000000");
}

TEST_F(ConverterWindowTest, tipsCycleStayWhileAValueFieldHasFocusAndStartAgainInANewWindow)
{
    writeFile(catalogueText(""));
    ASSERT_TRUE(open());
    EXPECT_EQ(tip().text(), "S701");
    for (const char* expected : {"S702", "S703", "S704", "S705", "S706", "S701", "S702"}) {
        host().notify(1044, Notification::Clicked);
        EXPECT_EQ(tip().text(), expected);
    }

    for (int field : {1013, 1015}) {
        SCOPED_TRACE(field);
        const std::string before = tip().text();
        host().notify(field, Notification::FocusGained);
        host().notify(1044, Notification::Clicked);
        EXPECT_EQ(tip().text(), before);
        host().notify(field, Notification::FocusLost);
        host().notify(1044, Notification::Clicked);
        EXPECT_NE(tip().text(), before);
    }

    ASSERT_TRUE(open());
    EXPECT_EQ(tip().text(), "S701");
}

TEST_F(ConverterWindowTest, emptyCatalogueGivesEmptyListsLeavesOutputAloneAndSavesEmptySelection)
{
    writeFile("<root>\n</root>");
    ASSERT_TRUE(open());

    EXPECT_EQ(dimensions().entries(), Labels{allUnits});
    EXPECT_TRUE(startUnits().entries().empty());
    EXPECT_TRUE(endUnits().entries().empty());
    dimensions().userSelect(0);
    input().setText("5");
    window().onCommand(57634);
    EXPECT_EQ(output().text(), "");
    EXPECT_EQ(host().fakeClipboard.text(), "");

    window().onClose();
    EXPECT_EQ(readFile(), "<root>\r\n\t<config dim=\"S242\" su=\"\" eu=\"\" sv=5/>\r\n</root>");
}

TEST_F(ConverterWindowTest, dimensionWithoutUnitsShowsEmptyListsAndKeepsLastResult)
{
    writeFile("<root>\n"
              "\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
              "\t<dimension label=\"Empty\" baseunit=\"x\">\n\t</dimension>\n"
              "\t<dimension label=\"Length\" baseunit=\"m\">\n"
              "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
              "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
              "\t</dimension>\n</root>");
    ASSERT_TRUE(open());
    ASSERT_EQ(output().text(), "1.000000");

    ASSERT_TRUE(dimensions().userSelect("Empty"));
    EXPECT_TRUE(startUnits().entries().empty());
    EXPECT_TRUE(endUnits().entries().empty());
    input().userType("3");
    startUnits().userSelect(0);
    endUnits().userSelect(0);
    EXPECT_EQ(output().text(), "1.000000");
}

TEST_F(ConverterWindowTest, sharedUnitLabelLooksEndUnitUpInTheDimensionTheEndListShows)
{
    // "x" is in both dimensions; the one read last, B, owns it. Choosing A shows A's units
    // as start units and B's units as end units.
    writeFile("<root>\n"
              "\t<dimension label=\"A\" baseunit=\"x\">\n"
              "\t\t<unit label=\"x\" cf=1 offset=0/>\n\t</dimension>\n"
              "\t<dimension label=\"B\" baseunit=\"x\">\n"
              "\t\t<unit label=\"x\" cf=10 offset=0/>\n"
              "\t\t<unit label=\"z\" cf=100 offset=0/>\n\t</dimension>\n"
              "</root>");
    ASSERT_TRUE(open());
    ASSERT_TRUE(dimensions().userSelect("A"));
    ASSERT_EQ(endUnits().entries(), unitsOf("B"));

    input().setText("5");
    ASSERT_TRUE(endUnits().userSelect("z"));
    EXPECT_EQ(output().text(), "0.050000");
}

// "mW" and "MW" are a factor of 10^9 apart: a remembered label selects the entry equal to it,
// whichever of the two the file lists first.
TEST_F(ConverterWindowTest, rememberedLabelSelectsTheExactEntryBeforeAPrefixMatch)
{
    for (const bool milliFirst : {true, false}) {
        const std::string milli = "\t\t<unit label=\"mW\" cf=0.001 offset=0/>\n";
        const std::string mega = "\t\t<unit label=\"MW\" cf=1000000 offset=0/>\n";
        for (const char* remembered : {"mW", "MW"}) {
            SCOPED_TRACE(std::string(remembered) + (milliFirst ? " milli first" : " mega first"));
            writeFile(
                "<root>\n\t" + config("power", remembered, "W", "2") +
                "\n\t<dimension label=\"Power\" baseunit=\"W\">\n\t\t<unit label=\"W\" cf=1 offset=0/>\n" +
                (milliFirst ? milli + mega : mega + milli) + "\t</dimension>\n</root>");
            ASSERT_TRUE(open());
            EXPECT_EQ(dimensions().selectedText(), "Power"); // no exact entry: by prefix
            EXPECT_EQ(startUnits().selectedText(), remembered);
            EXPECT_EQ(startCaption().text(), remembered);
            EXPECT_EQ(output().text(), remembered == std::string("mW") ? "0.002000" : "2000000.000000");
        }
    }
}

TEST(SelectLabel, exactEntryFirstThenPrefixIgnoringCaseInEitherListOrder)
{
    struct Case {
        Labels entries;
        const char* label;
        int expected;
    };
    const Case cases[] = {
        {{"MW", "mW"}, "mW", 1}, {{"mW", "MW"}, "MW", 1}, {{"MW", "mW"}, "mw", 0}, {{"mm", "m"}, "m", 1},
        {{"mm", "m"}, "M", 0},   {{"a", "b"}, "", 0},     {{"a", "b"}, "c", -1},
    };
    for (const Case& c : cases) {
        FakeList list(
            [](platform::Notification, int) { ADD_FAILURE() << "the program's selection notified"; });
        for (const std::string& entry : c.entries)
            list.addEntry(entry);
        list.selectIndex(1);
        EXPECT_EQ(selectLabel(list, c.label), c.expected) << c.label;
        EXPECT_EQ(list.selectedIndex(), c.expected < 0 ? 1 : c.expected) << c.label;
    }
}

} // namespace
} // namespace meridal::test
