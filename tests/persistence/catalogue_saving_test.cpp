// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/persistence/file_helpers.h"
#include "tests/support/catalogue_snapshot.h"
#include "tests/support/fake_resources.h"

#include "catalogue/markup_element.h"
#include "persistence/atomic_file.h"
#include "persistence/catalogue_file.h"
#include "persistence/catalogue_writer.h"

#include <gtest/gtest.h>

namespace meridal {
namespace {

using test::FakeResources;
using namespace std::string_literals;

const FakeResources& strings()
{
    return FakeResources::numbered();
}

ElementPtr makeDimension(const std::string& label, const std::string& baseUnit)
{
    return std::make_unique<MarkupElement>(
        MarkupElement{"dimension", {{"label", label}, {"baseunit", baseUnit}}, false, true});
}

ElementPtr makeUnit(const std::string& label, const std::string& cf, const std::string& offset)
{
    return std::make_unique<MarkupElement>(
        MarkupElement{"unit", {{"label", label}, {"cf", cf}, {"offset", offset}}, true, true});
}

TEST(CatalogueWriter, catalogueIsWrittenByteForByte)
{
    UnitCatalogue catalogue;
    catalogue.registerDimension(makeDimension("Empty", "x"));
    catalogue.registerDimension(makeDimension("Length", "m"));
    catalogue.registerUnit("Length", makeUnit("m", "1", "0"));
    catalogue.registerUnit("Length", makeUnit("in", "0.0254", "0"));
    catalogue.registerUnit("Length", makeUnit("in", "2", "0"));        // same label twice: both written
    catalogue.registerDimension(makeDimension("100% \"pure\"", "%s")); // written as it stands
    catalogue.registerUnit("100% \"pure\"", makeUnit("kg", "1", "0"));
    catalogue.registerUnit("Ghost", makeUnit("g", "1", "0")); // a list without a dimension: not written
    catalogue.setConfig(makeConfig("Length", "in", "m", "12"));

    // In table order (buckets: Length 6, 100% "pure" 7, Empty 9), not in the order registered.
    EXPECT_EQ(catalogueBytes(catalogue), "<root>\r\n"
                                         "\t<config dim=\"Length\" su=\"in\" eu=\"m\" sv=12/>\r\n"
                                         "\t<dimension label=\"Length\" baseunit=\"m\">\r\n"
                                         "\t\t<unit label=\"m\" cf=1 offset=0/>\r\n"
                                         "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\r\n"
                                         "\t\t<unit label=\"in\" cf=2 offset=0/>\r\n"
                                         "\t</dimension>\r\n"
                                         "\t<dimension label=\"100% \"pure\"\" baseunit=\"%s\">\r\n"
                                         "\t\t<unit label=\"kg\" cf=1 offset=0/>\r\n"
                                         "\t</dimension>\r\n"
                                         "\t<dimension label=\"Empty\" baseunit=\"x\">\r\n"
                                         "\t</dimension>\r\n"
                                         "</root>");

    // Without a remembered selection an empty one is written, its empty start value bare.
    EXPECT_EQ(catalogueBytes(UnitCatalogue()),
              "<root>\r\n\t<config dim=\"\" su=\"\" eu=\"\" sv=/>\r\n</root>");
}

std::string unitLine(const char* cf, const char* offset)
{
    CatalogueWriter writer;
    writer.writeUnit(*makeUnit("u", cf, offset), false);
    return writer.text();
}

std::string configLine(const char* sv)
{
    CatalogueWriter writer;
    writer.writeConfig(*makeConfig("", "", "", sv), false);
    return writer.text();
}

TEST(CatalogueWriter, numbersAreQuotedOnlyWhenTheBareTextWouldNotReadBack)
{
    EXPECT_EQ(unitLine("1e3", "-0.5"), "<unit label=\"u\" cf=1e3 offset=-0.5/>");
    EXPECT_EQ(unitLine("", ""), "<unit label=\"u\" cf=\"\" offset=/>");
    EXPECT_EQ(unitLine("1 2", "a/b"), "<unit label=\"u\" cf=\"1 2\" offset=\"a/b\"/>");
    EXPECT_EQ(unitLine("<x>", "="), "<unit label=\"u\" cf=\"<x>\" offset=\"=\"/>");
    EXPECT_EQ(unitLine("1\t", "a\nb"), "<unit label=\"u\" cf=\"1\t\" offset=\"a\nb\"/>");
    EXPECT_EQ(configLine("1 2"), "<config dim=\"\" su=\"\" eu=\"\" sv=\"1 2\"/>");
    // Neither form carries a double quote or leading whitespace: written bare as before.
    EXPECT_EQ(unitLine("\"1", " 2"), "<unit label=\"u\" cf=\"1 offset= 2/>");
    EXPECT_EQ(configLine("a\"b"), "<config dim=\"\" su=\"\" eu=\"\" sv=a\"b/>");
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

class FileWriting : public ::testing::Test {
  protected:
    test::TempDir m_dir;
    std::string m_path = m_dir.file(catalogueFileName);
    std::string m_error;
};

TEST_F(FileWriting, savedCatalogueReplacesTheContent)
{
    test::writeBytes(m_path, "old content that is longer");
    UnitCatalogue catalogue;
    catalogue.setConfig(makeConfig("a", "b", "c", "1"));
    ASSERT_TRUE(writeCatalogue(m_path, catalogue, m_error)) << m_error;
    EXPECT_EQ(test::readBytes(m_path), "<root>\r\n\t<config dim=\"a\" su=\"b\" eu=\"c\" sv=1/>\r\n</root>");
    EXPECT_EQ(m_dir.entryCount(), 1u); // no temporary file left behind
}

TEST_F(FileWriting, failureToReplaceLeavesTheTargetAndNoTemporaryFile)
{
    std::filesystem::create_directory(m_path); // a folder in place of the file
    test::writeBytes(m_dir.file("Meridal.xml/inside"), "kept");
    EXPECT_FALSE(writeFileAtomically(m_path, "new", m_error));
    EXPECT_FALSE(m_error.empty());
    EXPECT_EQ(test::readBytes(m_dir.file("Meridal.xml/inside")), "kept");
    EXPECT_EQ(m_dir.entryCount(), 1u);

    EXPECT_FALSE(writeFileAtomically(m_dir.file("no/such/folder/Meridal.xml"), "new", m_error));
    EXPECT_NE(m_error.find("Meridal.xml"), std::string::npos) << m_error;
}

TEST_F(FileWriting, defaultCatalogueIsWrittenInTextModeUpToItsNul)
{
    auto written = [this](std::string resource) {
        FakeResources resources;
        resources.set(res::typeHtml, res::htmlDefaultCatalogue, std::move(resource));
        std::filesystem::remove(m_path);
        EXPECT_TRUE(writeDefaultCatalogue(m_path, resources));
        // Made only where there is none: a file made meanwhile is never replaced.
        EXPECT_FALSE(writeDefaultCatalogue(m_path, resources));
        return test::readBytes(m_path);
    };
    // LF becomes CR LF, so CR LF becomes CR CR LF (which loads as whitespace); "%" stays.
    EXPECT_EQ(written("<root>\r\n</root>\n"), "<root>\r\r\n</root>\r\n");
    EXPECT_EQ(written("<root>\n<!-- 100% -->\0ignored"s), "<root>\r\n<!-- 100% -->");

    std::filesystem::remove(m_path);
    EXPECT_FALSE(writeDefaultCatalogue(m_path, FakeResources())); // none in the module
    EXPECT_EQ(fileState(m_path), FileState::Missing);
}

} // namespace
} // namespace meridal
