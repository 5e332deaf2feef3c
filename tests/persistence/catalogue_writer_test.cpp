#include "tests/support/catalogue_snapshot.h"
#include "tests/support/fake_resources.h"

#include "catalogue/markup_element.h"
#include "persistence/catalogue_file.h"
#include "persistence/catalogue_writer.h"

#include <gtest/gtest.h>
#include <vector>

namespace meridal {
namespace {

using test::FakeResources;

const FakeResources& strings()
{
    return FakeResources::numbered();
}

ElementPtr makeElement(std::string name, bool closes, std::vector<MarkupAttribute> attributes)
{
    auto element = std::make_unique<MarkupElement>();
    element->name = std::move(name);
    element->opens = true;
    element->closes = closes;
    element->attributes = std::move(attributes);
    return element;
}

ElementPtr makeDimension(std::string label, std::string baseUnit)
{
    return makeElement("dimension", false, {{"label", std::move(label)}, {"baseunit", std::move(baseUnit)}});
}

ElementPtr makeUnit(std::string label, std::string cf, std::string offset)
{
    return makeElement("unit", true,
                       {{"label", std::move(label)}, {"cf", std::move(cf)}, {"offset", std::move(offset)}});
}

TEST(CatalogueWriter, smallCatalogueIsWrittenByteForByte)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(makeDimension("Length", "m"));
    catalogue.registerUnit("Length", makeUnit("m", "1", "0"));
    catalogue.registerUnit("Length", makeUnit("in", "0.0254", "0"));
    catalogue.registerDimension(makeDimension("Mass", "kg"));
    catalogue.registerUnit("Mass", makeUnit("kg", "1", "0"));
    catalogue.registerDimension(makeDimension("Empty", "x"));
    catalogue.setConfig(makeConfig("Length", "in", "m", "12"));

    // Buckets: Mass 3, Length 6, Empty 16.
    EXPECT_EQ(catalogueBytes(catalogue), "<root>\r\n"
                                         "\t<config dim=\"Length\" su=\"in\" eu=\"m\" sv=12/>\r\n"
                                         "\t<dimension label=\"Mass\" baseunit=\"kg\">\r\n"
                                         "\t\t<unit label=\"kg\" cf=1 offset=0/>\r\n"
                                         "\t</dimension>\r\n"
                                         "\t<dimension label=\"Length\" baseunit=\"m\">\r\n"
                                         "\t\t<unit label=\"m\" cf=1 offset=0/>\r\n"
                                         "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\r\n"
                                         "\t</dimension>\r\n"
                                         "\t<dimension label=\"Empty\" baseunit=\"x\">\r\n"
                                         "\t</dimension>\r\n"
                                         "</root>");
}

TEST(CatalogueWriter, emptyCatalogueIsThreeLinesAndEmptyStartValueIsBare)
{
    UnitCatalogue catalogue;
    catalogue.setConfig(makeConfig("", "", "", ""));
    EXPECT_EQ(catalogueBytes(catalogue), "<root>\r\n\t<config dim=\"\" su=\"\" eu=\"\" sv=/>\r\n</root>");
}

TEST(CatalogueWriter, onlyDimensionsAndTheirListsAreWritten)
{
    UnitCatalogue catalogue;
    catalogue.registerUnit("Ghost", makeUnit("g", "1", "0")); // a list without a dimension
    catalogue.registerDimension(makeDimension("D", "b"));
    catalogue.registerUnit("D", makeUnit("b", "1", "0"));
    catalogue.registerUnit("D", makeUnit("b", "2", "0")); // same label twice: both written
    const std::string bytes = catalogueBytes(catalogue);
    EXPECT_EQ(bytes.find("\"g\""), std::string::npos);
    EXPECT_NE(bytes.find("<unit label=\"b\" cf=1 offset=0/>\r\n\t\t<unit label=\"b\" cf=2 offset=0/>"),
              std::string::npos);
}

TEST(CatalogueWriter, labelsAreWrittenAsTheyStand)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(makeDimension("100% \"pure\"", "%s"));
    EXPECT_NE(catalogueBytes(catalogue).find("<dimension label=\"100% \"pure\"\" baseunit=\"%s\">"),
              std::string::npos);
}

TEST(CatalogueWriter, withoutIndentTheLinesHaveNoTabsOrLineEnds)
{
    CatalogueWriter writer;
    writer.beginRoot(false);
    writer.writeConfig(*makeConfig("a", "b", "c", "1"), false);
    writer.beginDimension(*makeDimension("a", "b"), false);
    writer.writeUnit(*makeUnit("b", "1", "0"), false);
    writer.endDimension(false);
    writer.endRoot(false);
    EXPECT_EQ(writer.text(), "<root><config dim=\"a\" su=\"b\" eu=\"c\" sv=1/>"
                             "<dimension label=\"a\" baseunit=\"b\"><unit label=\"b\" cf=1 offset=0/>"
                             "</dimension></root>");
}

TEST(CatalogueWriter, numbersAreQuotedOnlyWhenTheBareTextWouldNotReadBack)
{
    const struct {
        const char* cf;
        const char* offset;
        const char* line;
    } units[] = {
        {"1e3", "-0.5", "<unit label=\"u\" cf=1e3 offset=-0.5/>"},
        {"", "", "<unit label=\"u\" cf=\"\" offset=/>"},
        {"1 2", "a/b", "<unit label=\"u\" cf=\"1 2\" offset=\"a/b\"/>"},
        {"<x>", "=", "<unit label=\"u\" cf=\"<x>\" offset=\"=\"/>"},
        {"1\t", "a\nb", "<unit label=\"u\" cf=\"1\t\" offset=\"a\nb\"/>"},
        // Neither form carries a double quote or leading whitespace: written bare as before.
        {"\"1", " 2", "<unit label=\"u\" cf=\"1 offset= 2/>"},
    };
    for (const auto& u : units) {
        SCOPED_TRACE(u.line);
        CatalogueWriter writer;
        writer.writeUnit(*makeUnit("u", u.cf, u.offset), false);
        EXPECT_EQ(writer.text(), u.line);
    }

    const struct {
        const char* sv;
        const char* line;
    } configs[] = {
        {"12", "<config dim=\"\" su=\"\" eu=\"\" sv=12/>"},
        {"", "<config dim=\"\" su=\"\" eu=\"\" sv=/>"},
        {"1 2", "<config dim=\"\" su=\"\" eu=\"\" sv=\"1 2\"/>"},
        {"a\"b", "<config dim=\"\" su=\"\" eu=\"\" sv=a\"b/>"},
    };
    for (const auto& c : configs) {
        SCOPED_TRACE(c.line);
        CatalogueWriter writer;
        writer.writeConfig(*makeConfig("", "", "", c.sv), false);
        EXPECT_EQ(writer.text(), c.line);
    }
}

TEST(CatalogueWriter, savedFileLoadsBackIntoTheSameCatalogue)
{
    UnitCatalogue catalogue;
    // Length, Mass, Time, Area, Temperature share buckets, so their order changes on reloading.
    for (const char* label : {"Length", "Mass", "Time", "Area", "Temperature"}) {
        catalogue.registerDimension(makeDimension(label, "b"));
        catalogue.registerUnit(label, makeUnit("b", "1", "0"));
    }
    catalogue.registerUnit("Mass", makeUnit("odd", "", "2 3"));
    catalogue.registerUnit("Mass", makeUnit("\xB0 C <>", "a=b", ""));
    catalogue.registerUnit("Temperature", makeUnit("line\nbreak", "1/2", "-273.15"));
    catalogue.setConfig(makeConfig("Mass", "odd", "b", "1 000"));

    const std::string first = catalogueBytes(catalogue);
    UnitCatalogue reloaded;
    LoadResult result = readCatalogueText(first, reloaded, strings());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(test::snapshotOf(reloaded), test::snapshotOf(catalogue));

    // Reloading turns the order within a bucket round; a second round trip turns it back.
    UnitCatalogue again;
    ASSERT_TRUE(readCatalogueText(catalogueBytes(reloaded), again, strings()).ok);
    EXPECT_EQ(catalogueBytes(again), first);
}

} // namespace
} // namespace meridal
