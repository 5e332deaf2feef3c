#include "tests/persistence/file_helpers.h"
#include "tests/support/fake_resources.h"

#include "persistence/catalogue_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace meridal {
namespace {

using test::FakeResources;

const FakeResources& strings()
{
    return FakeResources::numbered();
}

std::vector<std::string> listLabels(const UnitCatalogue& catalogue, const std::string& dimension)
{
    std::vector<std::string> labels;
    if (const UnitList* list = catalogue.unitList(dimension))
        for (const auto& unit : *list)
            labels.push_back(attributeValue(*unit, "label") + "=" + attributeValue(*unit, "cf"));
    return labels;
}

const char* const lengthAndMass = "<root>\n"
                                  "\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
                                  "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                                  "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "\t<dimension label=\"Mass\" baseunit=\"kg\">\n"
                                  "\t\t<unit label=\"kg\" cf=1 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "</root>";

TEST(CatalogueLoader, wellFormedFileFillsEveryTable)
{
    UnitCatalogue catalogue;
    LoadResult result = readCatalogueText(lengthAndMass, catalogue, strings());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_FALSE(result.unreadable);
    EXPECT_EQ(catalogue.dimensionLabels(), (std::vector<std::string>{"Mass", "Length"}));
    EXPECT_EQ(listLabels(catalogue, "Length"), (std::vector<std::string>{"m=1", "in=0.0254"}));
    ASSERT_TRUE(catalogue.unit("Length", "in"));
    EXPECT_EQ(*catalogue.ownerOf("kg"), "Mass");
    ASSERT_TRUE(catalogue.config());
    EXPECT_EQ(attributeValue(*catalogue.config(), "sv"), "12");
}

TEST(CatalogueLoader, acceptsWhatTheFormatAllowsBeyondTheWrittenLayout)
{
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"no root start tag",
         "<dimension label=L baseunit=m><unit label=m cf=1 offset=0/></dimension></root>"},
        {"elements before the root start tag", "<config dim=L su=m eu=m sv=1/><root></root>"},
        {"text after the root end tag", "<root></root> anything <<< at all"},
        {"CR LF line ends", "<root>\r\n\t<dimension label=L baseunit=m>\r\n\t</dimension>\r\n</root>\r\n"},
        {"CR CR LF line ends", "<root>\r\r\n</root>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UnitCatalogue catalogue;
        LoadResult result = readCatalogueText(c.text, catalogue, strings());
        EXPECT_TRUE(result.ok) << result.error;
    }
}

TEST(CatalogueLoader, rootTagsAloneGiveAnEmptyCatalogueWithoutSelection)
{
    UnitCatalogue catalogue;
    ASSERT_TRUE(readCatalogueText("<root></root>", catalogue, strings()).ok);
    EXPECT_TRUE(catalogue.dimensions().empty());
    EXPECT_EQ(catalogue.config(), nullptr);
}

TEST(CatalogueLoader, failuresCarryTheirMessageAndLeaveTheCatalogueEmpty)
{
    const struct {
        const char* name;
        const char* text;
        const char* error;
    } cases[] = {
        {"empty file", "", "S234"},
        {"whitespace only", " \r\n\t", "S234"},
        {"no root end tag", "<root><dimension label=L baseunit=m>", "S234"},
        {"reader error", "<root><unit label=a cf=1/></root>", "S238"},
        {"unit without label", "<root><dimension label=L baseunit=m><unit name=a cf=1 offset=0/></root>",
         "S219"},
        {"dimension without label", "<root><dimension name=L baseunit=m></root>", "S249"},
        {"unit before any dimension",
         "<root><unit label=a cf=1 offset=0/><dimension label=L baseunit=m></root>", "S250"},
        {"unit after a dimension end tag only", "<root></dimension><unit label=a cf=1 offset=0/></root>",
         "S250"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UnitCatalogue catalogue;
        LoadResult result = readCatalogueText(c.text, catalogue, strings());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, c.error);
        EXPECT_TRUE(catalogue.dimensions().empty());
        EXPECT_EQ(catalogue.unitCount(), 0u);
    }
}

TEST(CatalogueLoader, unitsAfterADimensionEndBelongToTheDimensionJustClosed)
{
    UnitCatalogue catalogue;
    ASSERT_TRUE(
        readCatalogueText("<root><dimension label=L baseunit=m><unit label=m cf=1 offset=0/></dimension>"
                          "<unit label=cm cf=0.01 offset=0/>"
                          "<dimension label=T baseunit=s></dimension></root>",
                          catalogue, strings())
            .ok);
    EXPECT_EQ(listLabels(catalogue, "L"), (std::vector<std::string>{"m=1", "cm=0.01"}));
    EXPECT_EQ(*catalogue.ownerOf("cm"), "L");
}

TEST(CatalogueLoader, theLaterOfTwoConfigElementsIsTheSelection)
{
    UnitCatalogue catalogue;
    ASSERT_TRUE(readCatalogueText("<root><config dim=a su=b eu=c sv=1/><config dim=x su=y eu=z sv=2/></root>",
                                  catalogue, strings())
                    .ok);
    EXPECT_EQ(attributeValue(*catalogue.config(), "dim"), "x");
}

TEST(CatalogueLoader, duplicateLabelsKeepTheLaterElementAndEveryUnitInFileOrder)
{
    UnitCatalogue catalogue;
    ASSERT_TRUE(readCatalogueText("<root>"
                                  "<dimension label=L baseunit=m><unit label=m cf=1 offset=0/>"
                                  "<unit label=m cf=2 offset=0/></dimension>"
                                  "<dimension label=T baseunit=s><unit label=x cf=5 offset=0/></dimension>"
                                  "<dimension label=L baseunit=cm><unit label=x cf=3 offset=0/></dimension>"
                                  "</root>",
                                  catalogue, strings())
                    .ok);
    EXPECT_EQ(attributeValue(*catalogue.dimension("L"), "baseunit"), "cm");
    EXPECT_EQ(listLabels(catalogue, "L"), (std::vector<std::string>{"m=1", "m=2", "x=3"}));
    EXPECT_EQ(attributeValue(*catalogue.unit("L", "m"), "cf"), "2");
    EXPECT_EQ(*catalogue.ownerOf("x"), "L");
}

TEST(CatalogueLoader, configAttributesAreFoundByNameInAnyOrderAndCase)
{
    UnitCatalogue catalogue;
    ASSERT_TRUE(
        readCatalogueText("<ROOT><Config SV=3 EU=\"b\" dim=\"x\" Su=\"a\"/></Root>", catalogue, strings())
            .ok);
    const MarkupElement& config = *catalogue.config();
    EXPECT_EQ(attributeValue(config, "dim"), "x");
    EXPECT_EQ(attributeValue(config, "su"), "a");
    EXPECT_EQ(attributeValue(config, "eu"), "b");
    EXPECT_EQ(attributeValue(config, "sv"), "3");
}

class CatalogueFile : public ::testing::Test {
  protected:
    test::TempDir m_dir;
    std::string m_path = m_dir.file(catalogueFileName);
};

TEST_F(CatalogueFile, folderInPlaceOfTheFileLoadsEmptyAndIsMarkedUnreadable)
{
    std::filesystem::create_directory(m_path);
    UnitCatalogue catalogue;
    LoadResult result = readCatalogue(m_path, catalogue, strings());
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.unreadable);
    EXPECT_TRUE(catalogue.dimensions().empty());
}

TEST_F(CatalogueFile, missingFileLoadsEmptyWithoutBeingUnreadable)
{
    UnitCatalogue catalogue;
    LoadResult result = readCatalogue(m_path, catalogue, strings());
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.unreadable);
}

TEST_F(CatalogueFile, failedLoadLeavesTheFileUntouched)
{
    const std::string bytes = "<root>\r\n<unit label=\"a\" cf=1 offset=0/>\r\n</root>";
    test::writeBytes(m_path, bytes);
    UnitCatalogue catalogue;
    EXPECT_EQ(readCatalogue(m_path, catalogue, strings()).error, "S250");
    EXPECT_EQ(test::readBytes(m_path), bytes);
}

TEST_F(CatalogueFile, stateFollowsTheWriteBitsOfTheModeWhoeverWeAre)
{
    EXPECT_EQ(fileState(m_path), FileState::Missing);
    test::writeBytes(m_path, "<root></root>");
    const struct {
        mode_t mode;
        FileState state;
    } cases[] = {
        {0644, FileState::Writable}, {0444, FileState::ReadOnly}, {0400, FileState::ReadOnly},
        {0000, FileState::ReadOnly}, {0200, FileState::Writable}, {0464, FileState::Writable},
        {0446, FileState::Writable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_EQ(::chmod(m_path.c_str(), c.mode), 0);
        EXPECT_EQ(fileState(m_path), c.state);
    }
}

} // namespace
} // namespace meridal
