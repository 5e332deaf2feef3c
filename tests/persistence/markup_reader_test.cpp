#include "tests/persistence/file_helpers.h"
#include "tests/support/fake_resources.h"

#include "persistence/markup_reader.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace meridal {
namespace {

using test::FakeResources;

const FakeResources& strings()
{
    return FakeResources::numbered();
}

// The first element of `text`, or the message of the error it raises.
struct FirstTag {
    std::unique_ptr<MarkupElement> element;
    std::string error;
};

FirstTag readFirst(const std::string& text)
{
    FirstTag result;
    MarkupReader reader = MarkupReader::fromText(text, strings());
    try {
        result.element = reader.readElement();
    } catch (const MarkupError& e) {
        result.error = e.message();
    }
    return result;
}

using Attributes = std::vector<std::pair<std::string, std::string>>;

Attributes attributesOf(const MarkupElement& element)
{
    Attributes out;
    for (const auto& a : element.attributes)
        out.emplace_back(a.name, a.value);
    return out;
}

struct ShapeCase {
    const char* text;
    const char* name;
    bool opens;
    bool closes;
    Attributes attributes;
};

TEST(MarkupReader, acceptsEveryTagShapeWithWhitespaceAnywhere)
{
    const ShapeCase cases[] = {
        {"<root>", "root", true, false, {}},
        {"</root>", "root", false, true, {}},
        {"<  /  ROOT  >", "ROOT", false, true, {}},
        {"<Dimension label=\"Length\" baseunit=\"m\">",
         "Dimension",
         true,
         false,
         {{"label", "Length"}, {"baseunit", "m"}}},
        {"</dimension>", "dimension", false, true, {}},
        {"< / dimension\n>", "dimension", false, true, {}},
        {"<unit label=\"in\" cf=0.0254 offset=0/>",
         "unit",
         true,
         true,
         {{"label", "in"}, {"cf", "0.0254"}, {"offset", "0"}}},
        {"<\n unit\n\tlabel\r\n=\n\"in\"\r\n cf = \"0.0254\"offset=0 / \n>",
         "unit",
         true,
         true,
         {{"label", "in"}, {"cf", "0.0254"}, {"offset", "0"}}},
        {"<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>",
         "config",
         true,
         true,
         {{"dim", "Length"}, {"su", "in"}, {"eu", "ft"}, {"sv", "12"}}},
        // An "=" directly followed by "/" gives the empty value, and the tag is complete.
        {"<CONFIG dim=a su=b eu=c sv=/>",
         "CONFIG",
         true,
         true,
         {{"dim", "a"}, {"su", "b"}, {"eu", "c"}, {"sv", ""}}},
        // Any attribute names are taken; the loader looks at them.
        {"<unit x=1 y=2 z=3/>", "unit", true, true, {{"x", "1"}, {"y", "2"}, {"z", "3"}}},
        // Quoted: leading whitespace dropped, trailing kept, delimiters kept.
        {"<unit label=\"  a b  \" cf=\"<1>=/2\" offset=0/>",
         "unit",
         true,
         true,
         {{"label", "a b  "}, {"cf", "<1>=/2"}, {"offset", "0"}}},
        // A missing unquoted value takes the next word; the next attribute has no name.
        {"<unit label=a cf= offset=1/>", "unit", true, true, {{"label", "a"}, {"cf", "offset"}, {"", "1"}}},
        // CR LF inside a quoted value reads as LF; a lone CR stays.
        {"<unit label=\"a\r\nb\" cf=\"c\rd\" offset=0/>",
         "unit",
         true,
         true,
         {{"label", "a\nb"}, {"cf", "c\rd"}, {"offset", "0"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        FirstTag got = readFirst(c.text);
        ASSERT_TRUE(got.element) << got.error;
        EXPECT_EQ(got.element->name, c.name);
        EXPECT_EQ(got.element->opens, c.opens);
        EXPECT_EQ(got.element->closes, c.closes);
        EXPECT_EQ(attributesOf(*got.element), c.attributes);
    }
}

struct ErrorCase {
    const char* text;
    const char* error;
};

TEST(MarkupReader, rejectsMalformedTagsWithTheirStrings)
{
    const ErrorCase cases[] = {
        {"", "S234"},
        {" \r\n\t ", "S234"},
        {"hello<root>", "S234"},
        {"\xEF\xBB\xBF<root>", "S234"}, // a byte-order mark
        {"<?xml version=\"1.0\"?>", "S241"},
        {"<!-- note -->", "S241"},
        {"<roots>", "S241"},
        {"<>", "S241"},
        {"<root/>", "S236"},
        {"<root a=1>", "S236"},
        {"<dimension label=\"a\" baseunit=\"b\"/>", "S236"},
        {"<dimension label=\"a\">", "S237"},
        {"<dimension label=\"a\" baseunit=\"b\" c=\"d\">", "S236"},
        {"</unit>", "S238"},
        {"</unit label=a cf=1 offset=0>", "S239"},
        {"<unit label=a cf=1/>", "S238"},
        {"<unit label=a cf=1 offset=0 x=1/>", "S239"},
        {"<unit label=a cf=1 offset=0>", "S239"},
        {"<unit label=a cf=1 offset=0/ x>", "S236"},
        {"<config dim=a su=b eu=c/>", "S240"},
        {"<config dim=a su=b eu=c sv=1 x=2/>", "S239"},
        {"<config dim=a su=b eu=c sv=1>", "S239"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        FirstTag got = readFirst(c.text);
        EXPECT_FALSE(got.element);
        EXPECT_EQ(got.error, c.error);
    }
}

TEST(MarkupReader, inputEndingInsideATagRaisesTheErrorOfTheNextNeededCharacter)
{
    const ErrorCase cases[] = {
        {"<", "S241"},
        {"</", "S241"},
        {"<root", "S236"},
        {"</dimension", "S236"},
        {"<dimension label=\"ab", "S237"},
        {"<dimension label=a baseunit=b", "S236"},
        {"<unit", "S238"},
        {"<unit label", "S238"},
        {"<unit label=\"abc", "S238"},
        {"<unit label=a cf=1 offset=0", "S239"},
        {"<unit label=a cf=1 offset=0/", "S236"},
        {"<config dim=\"x", "S240"},
        {"<config dim=a su=b eu=c sv=", "S239"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readFirst(c.text).error, c.error);
    }
}

TEST(MarkupReader, lookaheadAtTheEndDoesNotEndTheInputButAFailedReadDoes)
{
    MarkupReader reader = MarkupReader::fromText("<root>\r\n  \t", strings());
    EXPECT_FALSE(reader.isAtEnd());
    ASSERT_TRUE(reader.readElement());
    EXPECT_FALSE(reader.isAtEnd()); // the whitespace behind ">" is consumed, the end only looked at
    EXPECT_THROW(reader.readElement(), MarkupError);
    EXPECT_TRUE(reader.isAtEnd());

    MarkupReader empty = MarkupReader::fromText("", strings());
    EXPECT_FALSE(empty.isAtEnd());
}

TEST(MarkupReader, messageIsEmptyWhenTheStringTableLacksIt)
{
    FakeResources none;
    MarkupReader reader = MarkupReader::fromText("<bogus>", none);
    try {
        reader.readElement();
        FAIL() << "no error raised";
    } catch (const MarkupError& e) {
        EXPECT_EQ(e.message(), "");
    }
}

TEST(MarkupReader, fileThatCannotBeReadLeavesTheReaderAtItsEnd)
{
    test::TempDir dir;
    EXPECT_TRUE(MarkupReader(dir.file("absent.xml"), strings()).isAtEnd());
    EXPECT_TRUE(MarkupReader(dir.path().string(), strings()).isAtEnd()); // a folder

    test::writeBytes(dir.file("Meridal.xml"), "<unit label=\"a\r\nb\" cf=1 offset=0/>");
    MarkupReader reader(dir.file("Meridal.xml"), strings());
    EXPECT_FALSE(reader.isAtEnd());
    EXPECT_EQ(attributeValue(*reader.readElement(), "label"), "a\nb");
}

} // namespace
} // namespace meridal
