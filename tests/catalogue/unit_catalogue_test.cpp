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
        catalogue.registerDimension(dimension(label));
    EXPECT_EQ(catalogue.dimensionLabels(), (Labels{"Mass", "Length", "Temperature", "Area", "Time"}));

    catalogue.registerUnit("Length", unit("m"));
    catalogue.registerUnit("Length", unit("km", "1000"));
    catalogue.registerUnit("Mass", unit("kg"));
    EXPECT_EQ(catalogue.unitLabels("Length"), (Labels{"km", "m"})); // buckets 2 and 7
    EXPECT_EQ(catalogue.allUnitLabels(), (Labels{"kg", "km", "m"}));
    EXPECT_EQ(listLabels(catalogue, "Length"), (Labels{"m=1", "km=1000"}));
    EXPECT_EQ(catalogue.unitCount(), 3u);
}

TEST(UnitCatalogue, AllUnitsFollowTheOrderOfTheUnitTables)
{
    // A unit registered under a dimension label that has no dimension element still shows
    // in the all-units view, in the order of the unit tables.
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Time"));
    catalogue.registerUnit("Time", unit("s"));
    catalogue.registerUnit("Mass", unit("kg"));
    EXPECT_EQ(catalogue.dimensionLabels(), (Labels{"Time"}));
    EXPECT_EQ(catalogue.allUnitLabels(), (Labels{"kg", "s"}));
}

TEST(UnitCatalogue, ReregisteringADimensionReplacesItInPlace)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Area", "m2"));
    catalogue.registerDimension(dimension("Temperature", "K"));
    catalogue.registerDimension(dimension("Area", "ha"));
    EXPECT_EQ(catalogue.dimensionLabels(), (Labels{"Temperature", "Area"}));
    EXPECT_EQ(attributeValue(*catalogue.dimension("Area"), "baseunit"), "ha");
}

TEST(UnitCatalogue, SameLabelTwiceInOneDimension)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Length"));
    catalogue.registerUnit("Length", unit("ft", "0.3"));
    catalogue.registerUnit("Length", unit("ft", "0.3048"));
    EXPECT_EQ(catalogue.unitLabels("Length"), (Labels{"ft"}));
    EXPECT_EQ(attributeValue(*catalogue.unit("Length", "ft"), "cf"), "0.3048");
    EXPECT_EQ(listLabels(catalogue, "Length"), (Labels{"ft=0.3", "ft=0.3048"}));

    // Removing takes the element the table holds; the earlier one stays in the list.
    catalogue.removeUnit("Length", "ft");
    EXPECT_EQ(listLabels(catalogue, "Length"), (Labels{"ft=0.3"}));
    EXPECT_EQ(catalogue.unit("Length", "ft"), nullptr);
    EXPECT_EQ(catalogue.ownerOf("ft"), nullptr);
}

TEST(UnitCatalogue, SameLabelInTwoDimensionsIsOwnedByTheLastOne)
{
    UnitCatalogue catalogue;
    catalogue.registerUnit("Length", unit("x"));
    catalogue.registerUnit("Mass", unit("x"));
    ASSERT_NE(catalogue.ownerOf("x"), nullptr);
    EXPECT_EQ(*catalogue.ownerOf("x"), "Mass");
    EXPECT_NE(catalogue.unit("Length", "x"), nullptr);
}

TEST(UnitCatalogue, RemovingAUnitLeavesOtherCasesAlone)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Length"));
    catalogue.registerUnit("Length", unit("M", "1852"));
    catalogue.registerUnit("Length", unit("m"));
    catalogue.registerUnit("Length", unit("km", "1000"));
    catalogue.removeUnit("Length", "m");
    EXPECT_EQ(listLabels(catalogue, "Length"), (Labels{"M=1852", "km=1000"}));
    EXPECT_EQ(catalogue.unitLabels("Length"), (Labels{"km", "M"}));
    ASSERT_NE(catalogue.ownerOf("M"), nullptr);
    EXPECT_EQ(catalogue.ownerOf("m"), nullptr);

    catalogue.removeUnit("Length", "nope"); // absent: nothing happens
    catalogue.removeUnit("Nowhere", "M");
    EXPECT_EQ(catalogue.unitCount(), 2u);
}

TEST(UnitCatalogue, RemovingADimensionTakesEverythingOfIt)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Length"));
    catalogue.registerUnit("Length", unit("m"));
    catalogue.registerUnit("Length", unit("m", "2"));
    catalogue.registerDimension(dimension("Mass"));
    catalogue.registerUnit("Mass", unit("kg"));

    const std::string label = catalogue.dimensionLabels().back(); // "Length"
    catalogue.removeDimension(label);
    EXPECT_EQ(catalogue.dimensionLabels(), (Labels{"Mass"}));
    EXPECT_EQ(catalogue.dimension("Length"), nullptr);
    EXPECT_EQ(catalogue.unitTable("Length"), nullptr);
    EXPECT_EQ(catalogue.unitList("Length"), nullptr);
    EXPECT_EQ(catalogue.ownerOf("m"), nullptr);
    EXPECT_EQ(catalogue.allUnitLabels(), (Labels{"kg"}));
    EXPECT_EQ(catalogue.unitCount(), 1u);
}

TEST(UnitCatalogue, RemovingADimensionDropsTheOwnerEntriesOfItsLabels)
{
    // The owner entry of a label goes with the dimension, whichever dimension it named.
    UnitCatalogue catalogue;
    catalogue.registerUnit("Mass", unit("x"));
    catalogue.registerUnit("Length", unit("x"));
    catalogue.removeDimension("Mass");
    EXPECT_EQ(catalogue.ownerOf("x"), nullptr);
    EXPECT_NE(catalogue.unit("Length", "x"), nullptr);
}

TEST(UnitCatalogue, BrokenInvariantsGiveEmptyAnswers)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Empty"));
    EXPECT_TRUE(catalogue.unitLabels("Empty").empty());
    EXPECT_EQ(catalogue.unitTable("Empty"), nullptr);
    EXPECT_EQ(catalogue.unit("Empty", "m"), nullptr);
    EXPECT_EQ(catalogue.ownerOf("m"), nullptr);
    EXPECT_TRUE(catalogue.unitLabels("Nothing").empty());
    EXPECT_EQ(catalogue.config(), nullptr);
    catalogue.removeDimension("Nothing");
    catalogue.removeDimension("Empty");
    EXPECT_TRUE(catalogue.dimensionLabels().empty());
}

TEST(UnitCatalogue, ManyUnitsLoadAndStayReachable)
{
    constexpr int count = 100000;
    UnitCatalogue catalogue;
    catalogue.registerDimension(dimension("Big"));
    for (int i = 0; i < count; ++i)
        catalogue.registerUnit("Big", unit("u" + std::to_string(i)));
    EXPECT_EQ(catalogue.unitCount(), std::size_t(count));
    EXPECT_EQ(catalogue.unitLabels("Big").size(), std::size_t(count));
    EXPECT_NE(catalogue.unit("Big", "u99999"), nullptr);
    ASSERT_NE(catalogue.ownerOf("u12345"), nullptr);
    EXPECT_EQ(*catalogue.ownerOf("u12345"), "Big");
    catalogue.removeUnit("Big", "u0");
    EXPECT_EQ(catalogue.unitCount(), std::size_t(count - 1));
}

} // namespace
} // namespace meridal
