// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/persistence/file_helpers.h"
#include "tests/support/catalogue_snapshot.h"
#include "tests/support/fake_resources.h"

#include "persistence/catalogue_file.h"
#include "persistence/markup_reader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal {
namespace {

using test::FakeResources;

const FakeResources& strings()
{
    return FakeResources::numbered();
}

// The first element of `text` in one line: its name as read, "<" when it opens, "/>" when it
// closes, and each attribute as name[value]; or the message of the error it raises.
std::string readFirst(const std::string& text, const Resources& resources = strings())
{
    MarkupReader reader = MarkupReader::fromText(text, resources);
    try {
        const auto element = reader.readElement();
        std::string line = element->name + (element->opens ? " <" : "") + (element->closes ? " />" : "");
        for (const auto& a : element->attributes)
            line += " " + a.name + "[" + a.value + "]";
        return line;
    } catch (const MarkupError& e) {
        return e.message();
    }
}

struct Case {
    const char* text;
    const char* read;
};

void expectRead(const std::vector<Case>& cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(readFirst(c.text), c.read) << c.text;
}

TEST(MarkupReader, acceptsEveryTagShapeWithWhitespaceAnywhere)
{
    expectRead({
        {"<root>", "root <"},
        {"<  /  ROOT  >", "ROOT />"},
        {"< / dimension\n>", "dimension />"},
        {"<Dimension label=\"Length\" baseunit=\"m\">", "Dimension < label[Length] baseunit[m]"},
        {"<unit label=\"in\" cf=0.0254 offset=0/>", "unit < /> label[in] cf[0.0254] offset[0]"},
        {"<\n unit\n\tlabel\r\n=\n\"in\"\r\n cf = \"0.0254\"offset=0 / \n>",
         "unit < /> label[in] cf[0.0254] offset[0]"},
        // An "=" directly followed by "/" gives the empty value, and the tag is complete.
        {"<CONFIG dim=a su=b eu=c sv=/>", "CONFIG < /> dim[a] su[b] eu[c] sv[]"},
        // Any attribute names are taken; the loader looks at them.
        {"<unit x=1 y=2 z=3/>", "unit < /> x[1] y[2] z[3]"},
        // Quoted: leading whitespace dropped, trailing kept, delimiters kept.
        {"<unit label=\"  a b  \" cf=\"<1>=/2\" offset=0/>", "unit < /> label[a b  ] cf[<1>=/2] offset[0]"},
        // A missing unquoted value takes the next word; the next attribute has no name.
        {"<unit label=a cf= offset=1/>", "unit < /> label[a] cf[offset] [1]"},
        // CR LF inside a quoted value reads as LF; a lone CR stays.
        {"<unit label=\"a\r\nb\" cf=\"c\rd\" offset=0/>", "unit < /> label[a\nb] cf[c\rd] offset[0]"},
    });
}

TEST(MarkupReader, rejectsMalformedTagsWithTheirStrings)
{
    expectRead({
        {"", "S234"},
        {" \r\n\t ", "S234"},
        {"hello<root>", "S234"},
        {"\xEF\xBB\xBF<root>", "S234"}, // a byte-order mark
        {"<?xml version=\"1.0\"?>", "S241"},
        {"<!-- note -->", "S241"},
        {"<roots>", "S241"},
        {"<root/>", "S236"},
        {"<root a=1>", "S236"},
        {"<dimension label=\"a\" baseunit=\"b\"/>", "S236"},
        {"<dimension label=\"a\">", "S237"},
        {"<dimension label=\"a\" baseunit=\"b\" c=\"d\">", "S236"},
        {"</unit>", "S238"},
        {"<unit label=a cf=1/>", "S238"},
        {"<unit label=a cf=1 offset=0 x=1/>", "S239"},
        {"<unit label=a cf=1 offset=0>", "S239"},
        {"<unit label=a cf=1 offset=0/ x>", "S236"},
        {"<config dim=a su=b eu=c/>", "S240"},
        {"<config dim=a su=b eu=c sv=1>", "S239"},
    });
}

TEST(MarkupReader, inputEndingInsideATagRaisesTheErrorOfTheNextNeededCharacter)
{
    expectRead({
        {"<", "S241"},
        {"<root", "S236"},
        {"<dimension label=\"ab", "S237"},
        {"<unit label", "S238"},
        {"<unit label=\"abc", "S238"},
        {"<unit label=a cf=1 offset=0", "S239"},
        {"<unit label=a cf=1 offset=0/", "S236"},
        {"<config dim=\"x", "S240"},
        {"<config dim=a su=b eu=c sv=", "S239"},
    });
}

TEST(MarkupReader, lookaheadAtTheEndDoesNotEndTheInputButAFailedReadDoes)
{
    MarkupReader reader = MarkupReader::fromText("<root>\r\n  \t", strings());
    ASSERT_TRUE(reader.readElement());
    EXPECT_FALSE(reader.isAtEnd()); // the whitespace behind ">" is consumed, the end only looked at
    EXPECT_THROW(reader.readElement(), MarkupError);
    EXPECT_TRUE(reader.isAtEnd());
    EXPECT_FALSE(MarkupReader::fromText("", strings()).isAtEnd());
}

TEST(MarkupReader, messageIsEmptyWhenTheStringTableLacksIt)
{
    EXPECT_EQ(readFirst("<bogus>", FakeResources()), "");
}

TEST(MarkupReader, fileThatCannotBeReadLeavesTheReaderAtItsEnd)
{
    test::TempDir dir;
    EXPECT_TRUE(MarkupReader(dir.file("absent.xml"), strings()).isAtEnd());

    test::writeBytes(dir.file("Meridal.xml"), "<unit label=\"a\r\nb\" cf=1 offset=0/>");
    MarkupReader reader(dir.file("Meridal.xml"), strings());
    EXPECT_EQ(attributeValue(*reader.readElement(), "label"), "a\nb");
}

// A file in the layout that the program writes is loaded in the saving tests (saved files load back).

TEST(CatalogueLoader, acceptsWhatTheFormatAllowsBeyondTheWrittenLayout)
{
    const char* const texts[] = {
        "<dimension label=L baseunit=m><unit label=m cf=1 offset=0/></dimension></root>", // no root start
        "<config dim=L su=m eu=m sv=1/><root></root>", // elements before the root start tag
        "<root></root> anything <<< at all",           // text after the root end tag
        "<root>\r\r\n\t<dimension label=L baseunit=m>\r\r\n</dimension>\r\r\n</root>", // CR CR LF
    };
    for (const char* text : texts) {
        UnitCatalogue catalogue;
        LoadResult result = readCatalogueText(text, catalogue, strings());
        EXPECT_TRUE(result.ok) << text << ": " << result.error;
    }

    UnitCatalogue catalogue; // the root tags alone: empty, without a remembered selection
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

TEST(CatalogueLoader, laterElementsWinAndUnitsGoToTheLastDimensionRead)
{
    UnitCatalogue catalogue;
    LoadResult result = readCatalogueText(
        "<root><config dim=a su=b eu=c sv=1/>"
        "<dimension label=L baseunit=m><unit label=m cf=1 offset=0/><unit label=m cf=2 offset=0/></dimension>"
        "<unit label=cm cf=0.01 offset=0/>" // after the end tag: still L's
        "<dimension label=T baseunit=s><unit label=x cf=5 offset=0/></dimension>"
        "<dimension label=L baseunit=cm><unit label=x cf=3 offset=0/></dimension>"
        "<Config SV=3 EU=\"z\" dim=\"x\" Su=\"y\"/></ROOT>",
        catalogue, strings());
    ASSERT_TRUE(result.ok) << result.error;
    const test::CatalogueSnapshot loaded = test::snapshotOf(catalogue);
    // The later dimension element, the units of both in file order: label, cf, offset each.
    EXPECT_EQ(loaded.dimensions.at("L"), (std::vector<std::string>{"L", "cm", "m", "1", "0", "m", "2", "0",
                                                                   "cm", "0.01", "0", "x", "3", "0"}));
    EXPECT_EQ(attributeValue(*catalogue.unit("L", "m"), "cf"), "2");
    EXPECT_EQ(*catalogue.ownerOf("cm"), "L");
    EXPECT_EQ(*catalogue.ownerOf("x"), "L");
    // The second config element, its attributes found by name in any order and case.
    EXPECT_EQ(loaded.config, (std::vector<std::string>{"x", "y", "z", "3"}));
}

class CatalogueFile : public ::testing::Test {
  protected:
    test::TempDir m_dir;
    std::string m_path = m_dir.file(catalogueFileName);
};

TEST_F(CatalogueFile, onlyAFileThatExistsButCannotBeReadIsUnreadable)
{
    UnitCatalogue catalogue;
    LoadResult missing = readCatalogue(m_path, catalogue, strings());
    EXPECT_TRUE(missing.ok);
    EXPECT_FALSE(missing.unreadable);

    std::filesystem::create_directory(m_path); // a folder in place of the file
    LoadResult folder = readCatalogue(m_path, catalogue, strings());
    EXPECT_TRUE(folder.ok);
    EXPECT_TRUE(folder.unreadable);
    EXPECT_TRUE(catalogue.dimensions().empty());
}

TEST_F(CatalogueFile, stateIsMissingReadOnlyOrWritable)
{
    EXPECT_EQ(fileState(m_path), FileState::Missing);
    test::writeBytes(m_path, "<root></root>");
    EXPECT_EQ(fileState(m_path), FileState::Writable);
    test::makeReadOnly(m_path);
    EXPECT_EQ(fileState(m_path), FileState::ReadOnly);
}

} // namespace
} // namespace meridal
