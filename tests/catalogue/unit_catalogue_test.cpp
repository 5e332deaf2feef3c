// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/markup_element.h"
#include "catalogue/unit_catalogue.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal {
namespace {

using Labels = std::vector<std::string>;

ElementPtr dimension(const std::string& label, const std::string& base = "")
{
    return std::make_unique<MarkupElement>(
        MarkupElement{"dimension", {{"label", label}, {"baseunit", base}}, false, true});
}

ElementPtr unit(const std::string& label, const std::string& cf = "1", const std::string& offset = "0")
{
    return std::make_unique<MarkupElement>(
        MarkupElement{"unit", {{"label", label}, {"cf", cf}, {"offset", offset}}, true, true});
}

Labels listLabels(const UnitCatalogue& catalogue, const std::string& dimensionLabel)
{
    Labels labels;
    if (const UnitList* list = catalogue.unitList(dimensionLabel))
        for (const auto& element : *list)
            labels.push_back(attributeValue(*element, "label") + "=" + attributeValue(*element, "cf"));
    return labels;
}

TEST(UnitCatalogue, DimensionsAndUnitsComeInTableOrder)
{
    UnitCatalogue catalogue;
    for (const char* label : {"Length", "Mass", "Time", "Area", "Temperature"})
        catalogue.registerDimension(dimension(label, "a"));
    catalogue.registerDimension(dimension("Area", "b")); // replaced in place
    EXPECT_EQ(catalogue.dimensionLabels(), (Labels{"Mass", "Length", "Temperature", "Area", "Time"}));
    EXPECT_EQ(attributeValue(*catalogue.dimension("Area"), "baseunit"), "b");

    catalogue.registerUnit("Length", unit("m"));
    catalogue.registerUnit("Length", unit("km", "1000"));
    catalogue.registerUnit("Ghost", unit("g")); // no dimension element, still in the all-units view
    catalogue.registerUnit("Mass", unit("kg"));
    EXPECT_EQ(catalogue.unitLabels("Length"), (Labels{"km", "m"})); // buckets 2 and 7
    EXPECT_EQ(listLabels(catalogue, "Length"), (Labels{"m=1", "km=1000"}));
    EXPECT_EQ(catalogue.allUnitLabels(), (Labels{"kg", "km", "m", "g"}));
    EXPECT_EQ(catalogue.unitCount(), 4u);
}

TEST(UnitCatalogue, SameLabelTwiceInOneDimension)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Length"));
    catalogue.registerUnit("Length", unit("FT", "1"));
    catalogue.registerUnit("Length", unit("ft", "0.3"));
    catalogue.registerUnit("Length", unit("ft", "0.3048"));
    EXPECT_EQ(catalogue.unitLabels("Length"), (Labels{"ft", "FT"})); // labels keep their case
    EXPECT_EQ(attributeValue(*catalogue.unit("Length", "ft"), "cf"), "0.3048");
    EXPECT_EQ(listLabels(catalogue, "Length"), (Labels{"FT=1", "ft=0.3", "ft=0.3048"}));

    // Removing takes the element the table holds, with its label exactly; the earlier one
    // stays in the list.
    catalogue.removeUnit("Length", "ft");
    catalogue.removeUnit("Length", "nope"); // absent: nothing happens
    catalogue.removeUnit("Nowhere", "FT");
    EXPECT_EQ(listLabels(catalogue, "Length"), (Labels{"FT=1", "ft=0.3"}));
    EXPECT_EQ(catalogue.unit("Length", "ft"), nullptr);
    EXPECT_EQ(catalogue.ownerOf("ft"), nullptr);
    EXPECT_NE(catalogue.ownerOf("FT"), nullptr);
}

TEST(UnitCatalogue, SameLabelInTwoDimensionsIsOwnedByTheLastOne)
{
    UnitCatalogue catalogue;
    catalogue.registerUnit("Length", unit("x"));
    catalogue.registerUnit("Mass", unit("x"));
    EXPECT_EQ(*catalogue.ownerOf("x"), "Mass");

    // The owner entry of a label goes with the dimension it names.
    catalogue.removeDimension("Mass");
    EXPECT_EQ(catalogue.ownerOf("x"), nullptr);
    EXPECT_NE(catalogue.unit("Length", "x"), nullptr);
}

TEST(UnitCatalogue, RemovingADimensionTakesEverythingOfIt)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Length"));
    catalogue.registerUnit("Length", unit("m"));
    catalogue.registerUnit("Length", unit("m", "2"));
    catalogue.registerDimension(dimension("Mass"));
    catalogue.registerUnit("Mass", unit("kg"));

    catalogue.removeDimension("Length");
    EXPECT_EQ(catalogue.dimensionLabels(), (Labels{"Mass"}));
    EXPECT_EQ(catalogue.unitList("Length"), nullptr);
    EXPECT_EQ(catalogue.ownerOf("m"), nullptr);
    EXPECT_EQ(catalogue.allUnitLabels(), (Labels{"kg"}));
    EXPECT_EQ(catalogue.unitCount(), 1u);
}

TEST(UnitCatalogue, BrokenInvariantsGiveEmptyAnswers)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Empty"));
    EXPECT_TRUE(catalogue.unitLabels("Empty").empty());
    EXPECT_EQ(catalogue.unit("Empty", "m"), nullptr);
    EXPECT_TRUE(catalogue.unitLabels("Nothing").empty());
    EXPECT_EQ(catalogue.config(), nullptr);
    catalogue.removeDimension("Nothing");
    catalogue.removeDimension("Empty");
    EXPECT_TRUE(catalogue.dimensionLabels().empty());
}

TEST(UnitCatalogue, RelabellingADimensionMovesItsTablesAndOwners)
{
    UnitCatalogue catalogue;
    for (const char* label : {"Length", "Mass", "Time", "Area", "Temperature"})
        catalogue.registerDimension(dimension(label, "m"));
    catalogue.registerUnit("Length", unit("m"));
    catalogue.registerUnit("Length", unit("in", "0.0254"));
    catalogue.registerUnit("Mass", unit("in", "9")); // a label Mass also carries: Mass owns it
    catalogue.registerUnit("Length", unit("ft", "0.3048"));

    // The same label: stored anew, the most recent of its bucket (11, with Temperature).
    ASSERT_TRUE(catalogue.relabelDimension("Area", "Area"));
    EXPECT_EQ(catalogue.dimensionLabels(), (Labels{"Mass", "Length", "Area", "Temperature", "Time"}));

    ASSERT_TRUE(catalogue.relabelDimension("Length", "Distance"));
    EXPECT_EQ(catalogue.dimension("Length"), nullptr);
    ASSERT_NE(catalogue.dimension("Distance"), nullptr);
    EXPECT_EQ(attributeValue(*catalogue.dimension("Distance"), "label"), "Distance");
    EXPECT_EQ(listLabels(catalogue, "Distance"), (Labels{"m=1", "in=0.0254", "ft=0.3048"}));
    EXPECT_EQ(catalogue.unitLabels("Distance").size(), 3u);
    EXPECT_EQ(catalogue.unitTable("Length"), nullptr);
    EXPECT_EQ(catalogue.unitList("Length"), nullptr);
    EXPECT_EQ(*catalogue.ownerOf("ft"), "Distance");
    EXPECT_EQ(*catalogue.ownerOf("in"), "Mass");
    EXPECT_FALSE(catalogue.relabelDimension("Length", "Other"));
}

TEST(UnitCatalogue, ChangingAUnitKeepsItsPlaceInTheList)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("D", "Area"));
    catalogue.registerUnit("D", unit("Temperature", "1"));
    catalogue.registerUnit("D", unit("Area", "2"));
    catalogue.registerUnit("D", unit("x", "3"));
    const MarkupElement* record = catalogue.unit("D", "Temperature");

    // Label kept, factor changed: stored anew, first of its bucket; the record is the same.
    ASSERT_TRUE(catalogue.changeUnit("D", "Temperature", "Temperature", "5", "1"));
    EXPECT_EQ(catalogue.unit("D", "Temperature"), record);
    EXPECT_EQ(catalogue.unitLabels("D"), (Labels{"x", "Temperature", "Area"})); // x: bucket 1
    EXPECT_EQ(listLabels(catalogue, "D"), (Labels{"Temperature=5", "Area=2", "x=3"}));

    // A new label: the old one is gone from the table and the owners, the place kept.
    ASSERT_TRUE(catalogue.changeUnit("D", "Temperature", "T", "6", "0"));
    EXPECT_EQ(catalogue.unit("D", "T"), record);
    EXPECT_EQ(catalogue.unit("D", "Temperature"), nullptr);
    EXPECT_EQ(catalogue.ownerOf("Temperature"), nullptr);
    EXPECT_EQ(*catalogue.ownerOf("T"), "D");
    EXPECT_EQ(listLabels(catalogue, "D"), (Labels{"T=6", "Area=2", "x=3"}));
    EXPECT_EQ(record->attributes.size(), 3u);
    EXPECT_FALSE(catalogue.changeUnit("D", "Temperature", "y", "1", "0"));
}

TEST(FindAttribute, IgnoresCaseAndTakesTheFirstMatch)
{
    const MarkupElement unit{
        "unit", {{"label", "in"}, {"CF", "0.0254"}, {"cf", "99"}, {"\xC9t\xC9", "summer"}}, true, true};
    EXPECT_EQ(attributeValue(unit, "cf"), "0.0254");
    EXPECT_EQ(attributeValue(unit, "\xE9t\xE9"), "summer"); // Windows-1252 letters fold too
    EXPECT_EQ(findAttribute(unit, "c"), nullptr);
    EXPECT_EQ(attributeValue(unit, "offset"), "");
}

} // namespace
} // namespace meridal
