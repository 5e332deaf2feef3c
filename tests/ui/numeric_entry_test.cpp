// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/ui/converter_window_fixture.h"

#include <gtest/gtest.h>

namespace meridal::test {
namespace {

constexpr int copyCommand = 57634;
constexpr int pasteCommand = 57637;

// Kelvin to kelvin: the output shows the number that the input text holds.
class NumericEntryTest : public ConverterWindowTest {
  protected:
    void SetUp() override
    {
        ConverterWindowTest::SetUp();
        writeFile(catalogueText(config("Temperature", "K", "K", "7")));
        ASSERT_TRUE(open());
        ASSERT_EQ(output().text(), "7.000000");
    }
};

TEST_F(NumericEntryTest, pasteReplacesTheWholeInputWhichIsCleanedAndConverted)
{
    struct Case {
        const char *clipboard, *input, *output;
        int caret; // one before where the paste left it, kept within the text by the field
    };
    const Case cases[] = {
        {"1,234.5 kg", "1234.5", "1234.500000", 6},
        {"1e5", "15", "15.000000", 2},
        {"+7", "7", "7.000000", 1},
        {"\x96"
         "5",
         "5", "5.000000", 1}, // an en dash in Windows-1252
        {"\xb2\xb3"
         "9",
         "9", "9.000000", 1},          // superscript digits are no digits
        {"--3", "--3", "0.000000", 3}, // nothing removed: the caret stays
        {"3--", "3--", "3.000000", 3},
        {"1.2.3", "1.2.3", "1.200000", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clipboard);
        input().setCaret(1);
        host().fakeClipboard.setText(c.clipboard);
        window().onCommand(pasteCommand);
        EXPECT_EQ(input().text(), c.input);
        EXPECT_EQ(output().text(), c.output);
        EXPECT_EQ(input().selectionStart(), c.caret);
        EXPECT_EQ(input().selectionEnd(), c.caret);
    }
}

TEST_F(NumericEntryTest, letterTypedInsideNumberIsRemovedAndCaretStaysBeforeIt)
{
    input().setText("123");
    input().setCaret(2);
    input().userType("x");

    EXPECT_EQ(input().text(), "123");
    EXPECT_EQ(input().selectionStart(), 2);
    EXPECT_EQ(input().selectionEnd(), 2);
    EXPECT_EQ(output().text(), "123.000000");

    // The next real edit is filtered and converted again.
    input().setCaret(3);
    input().userType("4");
    EXPECT_EQ(output().text(), "1234.000000");
}

TEST_F(NumericEntryTest, emptyingTheInputKeepsTheLastResult)
{
    input().setText("42");
    ASSERT_EQ(output().text(), "42.000000");
    input().setSelection(0, -1);
    input().userType("");
    EXPECT_EQ(input().text(), "");
    EXPECT_EQ(output().text(), "42.000000");
}

TEST_F(NumericEntryTest, rememberedValueWithRejectedCharactersIsCleanedAndConverted)
{
    writeFile(catalogueText(config("Temperature", "K", "K", "\"1 000\"")));
    ASSERT_TRUE(open());
    EXPECT_EQ(input().text(), "1000");
    EXPECT_EQ(output().text(), "1000.000000");
}

TEST_F(NumericEntryTest, copyPutsTheWholeResultOnTheClipboard)
{
    input().setText("3");
    output().setCaret(1);
    window().onCommand(copyCommand);
    EXPECT_EQ(host().fakeClipboard.text(), "3.000000");
}

} // namespace
} // namespace meridal::test
