// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/resources/loaded_module.h"

#include "catalogue/conversion.h"
#include "catalogue/decimal.h"
#include "catalogue/markup_element.h"
#include "catalogue/unit_catalogue.h"
#include "catalogue/windows1252.h"
#include "persistence/catalogue_file.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace meridal {
namespace {

using test::loadedModule;

// The default catalogue as the program loads it on a first start.
struct Defaults {
    UnitCatalogue catalogue;
    LoadResult result =
        readCatalogueText(std::string(defaultCatalogueText(loadedModule())), catalogue, loadedModule());
};
const Defaults& defaults()
{
    static const Defaults loaded;
    return loaded;
}
const UnitCatalogue& catalogue()
{
    return defaults().catalogue;
}

TEST(DefaultCatalogue, LoadsWithTheProgramsLoader)
{
    ASSERT_TRUE(defaults().result.ok) << defaults().result.error;
    EXPECT_GE(catalogue().dimensions().size(), 15u);
    EXPECT_GE(catalogue().unitCount(), 150u);
}

TEST(DefaultCatalogue, UnitLabelsAreUniqueAndFactorsPositive)
{
    std::set<std::string> labels;
    catalogue().unitLists().forEach([&](const std::string& dimension, const UnitList& list) {
        for (const auto& unit : list) {
            const std::string text = attributeValue(*unit, "label");
            SCOPED_TRACE(windows1252ToUtf8(dimension) + " / " + windows1252ToUtf8(text));
            EXPECT_TRUE(labels.insert(text).second) << "label used twice";
            const std::string* owner = catalogue().ownerOf(text);
            ASSERT_NE(owner, nullptr);
            EXPECT_EQ(*owner, dimension);
            EXPECT_GT(parseDecimal(attributeValue(*unit, "cf")), 0.0);
        }
    });
}

TEST(DefaultCatalogue, EveryDimensionHasItsBaseUnitWithFactorOneAndOffsetZero)
{
    const std::string allUnits = loadedModule().string(res::strAllUnits);
    catalogue().dimensions().forEach([&](const std::string& dimension, const ElementPtr& element) {
        SCOPED_TRACE(windows1252ToUtf8(dimension));
        EXPECT_NE(dimension, allUnits) << "a dimension named like the all-units entry";
        const MarkupElement* unit = catalogue().unit(dimension, attributeValue(*element, "baseunit"));
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(parseDecimal(attributeValue(*unit, "cf")), 1.0);
        EXPECT_EQ(parseDecimal(attributeValue(*unit, "offset")), 0.0);
    });
}

TEST(DefaultCatalogue, RememberedSelectionNamesUnitsOfItsDimension)
{
    const MarkupElement* config = catalogue().config();
    ASSERT_NE(config, nullptr);
    const std::string dimension = attributeValue(*config, "dim");
    EXPECT_NE(catalogue().dimension(dimension), nullptr);
    EXPECT_NE(catalogue().unit(dimension, attributeValue(*config, "su")), nullptr);
    EXPECT_NE(catalogue().unit(dimension, attributeValue(*config, "eu")), nullptr);
}

// Exact definitions and the temperature offsets give exact results. Labels are written
// here in UTF-8; the catalogue holds them in Windows-1252, the degree sign as one byte.
TEST(DefaultCatalogue, ConvertsExactly)
{
    struct Case {
        const char *value, *from, *to, *expected;
    };
    const Case cases[] = {
        {"12", "in", "ft", "1.000000"},      {"1", "mi", "km", "1.609344"},
        {"1", "nmi", "m", "1852.000000"},    {"1", "lb", "g", "453.592370"},
        {"1", "gal (US)", "L", "3.785412"},  {"1", "gal (imp)", "pt (imp)", "8.000000"},
        {"1", "h", "s", "3600.000000"},      {"1", "yr", "d", "365.250000"},
        {"1", "atm", "Pa", "101325.000000"}, {"760", "Torr", "atm", "1.000000"},
        {"1", "cal", "J", "4.186800"},       {"1", "kgf", "N", "9.806650"},
        {"1", "rev", "°", "360.000000"},     {"1", "KiB", "B", "1024.000000"},
        {"32", "°F", "°C", "0.000000"},      {"212", "°F", "°C", "100.000000"},
        {"-40", "°C", "°F", "-40.000000"},   {"0", "°C", "K", "273.150000"},
        {"0", "K", "°F", "-459.670000"},     {"491.67", "°R", "°F", "32.000000"},
        {"80", "°Ré", "°C", "100.000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " " + c.from + " to " + c.to);
        const std::string from = utf8ToWindows1252(c.from).value(), to = utf8ToWindows1252(c.to).value();
        const std::string* dimension = catalogue().ownerOf(from);
        ASSERT_NE(dimension, nullptr);
        ASSERT_NE(catalogue().unit(*dimension, to), nullptr);
        Conversion conversion;
        conversion.setStartUnit(*catalogue().unit(*dimension, from));
        conversion.setEndUnit(*catalogue().unit(*dimension, to));
        EXPECT_EQ(conversion.convert(c.value), c.expected);
    }
}

} // namespace
} // namespace meridal
