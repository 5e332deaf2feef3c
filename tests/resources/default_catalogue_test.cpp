#include "tests/resources/loaded_module.h"

#include "catalogue/conversion.h"
#include "catalogue/decimal.h"
#include "catalogue/markup_element.h"
#include "catalogue/unit_catalogue.h"
#include "catalogue/windows1252.h"
#include "persistence/catalogue_file.h"
#include "resources/resource_ids.h"

#include <cctype>
#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace meridal {
namespace {

using test::loadedModule;

// The default catalogue as the program loads it on a first start.
class DefaultCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_catalogue = new UnitCatalogue;
        s_result = readCatalogueText(std::string(defaultCatalogueText(loadedModule())), *s_catalogue,
                                     loadedModule());
    }
    static void TearDownTestSuite()
    {
        delete s_catalogue;
        s_catalogue = nullptr;
    }

    static const UnitCatalogue& catalogue() { return *s_catalogue; }

    static UnitCatalogue* s_catalogue;
    static LoadResult s_result;
};
UnitCatalogue* DefaultCatalogue::s_catalogue = nullptr;
LoadResult DefaultCatalogue::s_result;

// Labels are written here in UTF-8 and held by the catalogue in Windows-1252.
std::string label(const char* utf8)
{
    auto converted = utf8ToWindows1252(utf8);
    if (!converted)
        throw std::invalid_argument(utf8);
    return *converted;
}

TEST_F(DefaultCatalogue, IsPlainWindows1252TextWithLfLineEnds)
{
    const std::string_view text = defaultCatalogueText(loadedModule());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(0, 7), "<root>\n");
    EXPECT_EQ(text.find('\r'), std::string_view::npos);
    EXPECT_EQ(text.find("\xEF\xBB\xBF"), std::string_view::npos) << "a byte-order mark";
    // The degree sign is the single byte 0xB0, as in every catalogue file.
    EXPECT_NE(text.find("label=\"\xB0"
                        "C\""),
              std::string_view::npos);
    EXPECT_EQ(text.find("\xC2\xB0"), std::string_view::npos);
}

TEST_F(DefaultCatalogue, LoadsWithTheProgramsLoader)
{
    ASSERT_TRUE(s_result.ok) << s_result.error;
    EXPECT_GE(catalogue().dimensions().size(), 15u);
    EXPECT_GE(catalogue().unitCount(), 150u);
}

TEST_F(DefaultCatalogue, UnitLabelsAreUniqueAndSafeInFilesAndLogEntries)
{
    std::set<std::string> labels;
    std::size_t units = 0;
    catalogue().unitLists().forEach([&](const std::string& dimension, const UnitList& list) {
        for (const auto& unit : list) {
            const std::string text = attributeValue(*unit, "label");
            SCOPED_TRACE(windows1252ToUtf8(dimension) + " / " + windows1252ToUtf8(text));
            ++units;
            EXPECT_TRUE(labels.insert(text).second) << "label used twice";
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(text.find_first_of("\"=\n\t"), std::string::npos);
            EXPECT_NE(text.front(), ' ');
            EXPECT_NE(text.back(), ' ');
            // Every owner lookup leads back to this dimension.
            const std::string* owner = catalogue().ownerOf(text);
            ASSERT_NE(owner, nullptr);
            EXPECT_EQ(*owner, dimension);
        }
    });
    EXPECT_EQ(units, labels.size());
}

// "-"? digits ("." digits)?: what the file format calls a plain decimal number.
bool isPlainDecimal(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return point == std::string_view::npos ? digits(text)
                                           : digits(text.substr(0, point)) && digits(text.substr(point + 1));
}

TEST_F(DefaultCatalogue, NumbersArePlainDecimalsAndFactorsPositive)
{
    catalogue().unitLists().forEach([&](const std::string&, const UnitList& list) {
        for (const auto& unit : list) {
            SCOPED_TRACE(windows1252ToUtf8(attributeValue(*unit, "label")));
            EXPECT_TRUE(isPlainDecimal(attributeValue(*unit, "cf")));
            EXPECT_TRUE(isPlainDecimal(attributeValue(*unit, "offset")));
            EXPECT_GT(parseDecimal(attributeValue(*unit, "cf")), 0.0);
        }
    });
}

TEST_F(DefaultCatalogue, EveryDimensionHasItsBaseUnitWithFactorOneAndOffsetZero)
{
    const std::string allUnits = loadedModule().string(res::strAllUnits);
    catalogue().dimensions().forEach([&](const std::string& dimension, const ElementPtr& element) {
        SCOPED_TRACE(windows1252ToUtf8(dimension));
        EXPECT_NE(dimension, allUnits) << "a dimension named like the all-units entry";
        const std::string base = attributeValue(*element, "baseunit");
        const MarkupElement* unit = catalogue().unit(dimension, base);
        ASSERT_NE(unit, nullptr) << "no base unit " << windows1252ToUtf8(base);
        EXPECT_EQ(parseDecimal(attributeValue(*unit, "cf")), 1.0);
        EXPECT_EQ(parseDecimal(attributeValue(*unit, "offset")), 0.0);
    });
}

TEST_F(DefaultCatalogue, RememberedSelectionNamesUnitsOfItsDimension)
{
    const MarkupElement* config = catalogue().config();
    ASSERT_NE(config, nullptr);
    const std::string dimension = attributeValue(*config, "dim");
    EXPECT_NE(catalogue().dimension(dimension), nullptr);
    EXPECT_NE(catalogue().unit(dimension, attributeValue(*config, "su")), nullptr);
    EXPECT_NE(catalogue().unit(dimension, attributeValue(*config, "eu")), nullptr);
    EXPECT_TRUE(isPlainDecimal(attributeValue(*config, "sv")));
}

TEST_F(DefaultCatalogue, EveryUnitConvertsToItselfUnchanged)
{
    catalogue().unitLists().forEach([&](const std::string&, const UnitList& list) {
        for (const auto& unit : list) {
            SCOPED_TRACE(windows1252ToUtf8(attributeValue(*unit, "label")));
            Conversion conversion;
            conversion.setStartUnit(*unit);
            conversion.setEndUnit(*unit);
            EXPECT_EQ(conversion.convert("1"), "1.000000");
            EXPECT_EQ(conversion.convert("-40"), "-40.000000");
        }
    });
}

struct Case {
    const char* value;
    const char* from;
    const char* to;
    const char* expected;
};

// Exact definitions show up as exact results; derived factors to the last printed digit.
const Case conversions[] = {
    {"12", "in", "ft", "1.000000"},
    {"1", "mi", "km", "1.609344"},
    {"1", "nmi", "m", "1852.000000"},
    {"32", "°F", "°C", "0.000000"},
    {"212", "°F", "°C", "100.000000"},
    {"-40", "°C", "°F", "-40.000000"},
    {"0", "°C", "K", "273.150000"},
    {"0", "K", "°F", "-459.670000"},
    {"491.67", "°R", "°F", "32.000000"},
    {"80", "°Ré", "°C", "100.000000"},
    {"1", "gal (US)", "L", "3.785412"},
    {"1", "gal (imp)", "pt (imp)", "8.000000"},
    {"1", "gal (US)", "fl oz (US)", "128.000000"},
    {"1", "ft³", "L", "28.316847"},
    {"1", "ac", "m²", "4046.856422"},
    {"1", "mi²", "ac", "640.000000"},
    {"1", "lb", "g", "453.592370"},
    {"16", "oz", "lb", "1.000000"},
    {"1", "st", "lb", "14.000000"},
    {"1", "slug", "lb", "32.174049"},
    {"1", "h", "s", "3600.000000"},
    {"1", "yr", "d", "365.250000"},
    {"1", "mi/h", "km/h", "1.609344"},
    {"1", "kn", "km/h", "1.852000"},
    {"1", "g0", "ft/s²", "32.174049"},
    {"1", "atm", "Pa", "101325.000000"},
    {"760", "Torr", "atm", "1.000000"},
    {"1", "psi", "Pa", "6894.757293"},
    {"1", "bar", "psi", "14.503774"},
    {"1", "cal", "J", "4.186800"},
    {"1", "kWh", "MJ", "3.600000"},
    {"1", "BTU", "J", "1055.055853"},
    {"1", "hp", "W", "745.699872"},
    {"1", "kgf", "N", "9.806650"},
    {"1", "lbf", "N", "4.448222"},
    {"1", "rev", "°", "360.000000"},
    {"180", "°", "rad", "3.141593"},
    {"1", "°", "arcsec", "3600.000000"},
    {"60", "rpm", "Hz", "1.000000"},
    {"1", "KiB", "B", "1024.000000"},
    {"1", "GiB", "MiB", "1024.000000"},
    {"1", "B", "bit", "8.000000"},
    {"1", "g/cm³", "lb/ft³", "62.427961"},
    {"1", "gal/min (US)", "L/min", "3.785412"},
    {"1", "lbf·ft", "N·m", "1.355818"},
    {"1", "pc", "ly", "3.261564"},
};

class DefaultCatalogueConversion : public DefaultCatalogue, public ::testing::WithParamInterface<Case> {};

TEST_P(DefaultCatalogueConversion, GivesTheExactResult)
{
    const Case& c = GetParam();
    ASSERT_TRUE(s_result.ok) << s_result.error;
    const std::string from = label(c.from), to = label(c.to);
    const std::string* fromDimension = catalogue().ownerOf(from);
    const std::string* toDimension = catalogue().ownerOf(to);
    ASSERT_NE(fromDimension, nullptr) << c.from;
    ASSERT_NE(toDimension, nullptr) << c.to;
    ASSERT_EQ(*fromDimension, *toDimension);

    Conversion conversion;
    conversion.setStartUnit(*catalogue().unit(*fromDimension, from));
    conversion.setEndUnit(*catalogue().unit(*toDimension, to));
    EXPECT_EQ(conversion.convert(c.value), c.expected);
}

// Test names such as "12_in_to_ft", with the characters a test name cannot hold left out.
std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    auto add = [&name](const char* text) {
        for (const char* p = text; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)))
                name += *p;
    };
    add(info.param.value);
    name += "_";
    add(info.param.from);
    name += "_to_";
    add(info.param.to);
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Exact, DefaultCatalogueConversion, ::testing::ValuesIn(conversions), caseName);

} // namespace
} // namespace meridal
