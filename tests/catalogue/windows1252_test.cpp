// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/utf16.h"
#include "catalogue/windows1252.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal {
namespace {

TEST(Windows1252, FoldsOnlyItsLetters)
{
    struct Case {
        unsigned char upper;
        unsigned char folded;
    };
    // Sharp s (DF), the multiplication and division signs (D7, F7) and the symbols stay.
    const std::vector<Case> cases = {
        {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {'@', '@'},   {'[', '['},   {0xC0, 0xE0},
        {0xC9, 0xE9}, {0xDE, 0xFE}, {0xD7, 0xD7}, {0xF7, 0xF7}, {0xDF, 0xDF}, {0x8A, 0x9A},
        {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}, {0x9A, 0x9A}, {0xFF, 0xFF}, {0xB0, 0xB0},
        {0xB5, 0xB5}, {0xAA, 0xAA}, {0xA0, 0xA0}, {0xBF, 0xBF}, {0x80, 0x80}, {0x83, 0x83},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<unsigned char>(foldCase1252(static_cast<char>(c.upper))), c.folded)
            << int(c.upper);
}

TEST(Windows1252, ComparesIgnoringCase)
{
    EXPECT_TRUE(equalsIgnoreCase1252("\x8Akoda", "\x9AKODA"));
    EXPECT_TRUE(startsWithIgnoreCase1252("Kilometre", "kilo"));
    EXPECT_TRUE(startsWithIgnoreCase1252("anything", ""));
    EXPECT_FALSE(startsWithIgnoreCase1252("km", "kmh"));
}

TEST(Windows1252, MapsToAndFromUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);

    struct Case {
        std::string cp1252;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {"\xB0"
         "C",
         "\xC2\xB0"
         "C"},                    // degree sign
        {"\x80", "\xE2\x82\xAC"}, // euro sign
        {"\x99", "\xE2\x84\xA2"}, // trade mark sign
        {"\x9F", "\xC5\xB8"},     // Y diaeresis
        {"\x81", "\xC2\x81"},     // unassigned: the C1 control of that value
        {"\xFF", "\xC3\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windows1252ToUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(utf8ToWindows1252(c.utf8), c.cp1252);
    }
    EXPECT_EQ(codePointTo1252(U'\x0100'), std::nullopt);
}

TEST(Windows1252, RefusesWhatItCannotHold)
{
    // An arrow, Greek mu (not the micro sign B5), U+0080 (byte 80 is the euro sign), an emoji,
    // a truncated sequence, a lone continuation byte, an overlong NUL, a surrogate, and FF.
    const std::vector<std::string> refused = {
        "\xE2\x86\x92", "\xCE\xBC", "\xC2\x80",     "\xF0\x9F\x98\x80", "\xC3",
        "\xB0",         "\xC0\x80", "\xED\xA0\x80", "ok\xFF",
    };
    for (const auto& text : refused)
        EXPECT_EQ(utf8ToWindows1252(text), std::nullopt) << text;
}

// The system's own texts arrive in UTF-8 and in the user's language; they are shown whatever
// they hold, a misfit as "?".
TEST(Windows1252, SystemTextsConvertWithAQuestionMarkForEachMisfit)
{
    const struct {
        std::string utf8, cp1252;
    } cases[] = {
        {"Argument invalide \xC3\xA0 \xE2\x82\xAC", "Argument invalide \xE0 \x80"},
        {"\xD0\x9D\xD0\xB5\xD0\xB4", "???"}, // Cyrillic
        {"a\xF0\x9F\x98\x80"
         "b",
         "a?b"}, // one character outside the BMP
        {"x\xC3", "x?"},
        {"\xB0\xC0\x80", "???"}, // malformed bytes, each on its own
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8ToWindows1252Lossy(c.utf8), c.cp1252) << c.utf8;
}

// The Windows resource module's strings arrive as UTF-16: every one of the 32 characters that
// Windows-1252 puts at 80 to 9F comes back as its byte, and nothing is refused.
TEST(Windows1252, ResourceStringsConvertFromUtf16)
{
    std::u16string all;
    std::string bytes;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char16_t>(codePointOf1252(static_cast<char>(b)));
        bytes += static_cast<char>(b);
    }
    EXPECT_EQ(utf16ToWindows1252(all), bytes);
    EXPECT_EQ(utf16ToWindows1252(u"\u2013 \u0100 a\xD83D\xDE00"
                                 u"b \xDC00"),
              "\x96 ? a?b ?");
}

// File names and command lines cross the Windows interfaces as UTF-16.
TEST(Utf16, ConvertsBothWaysAndReplacesWhatIsNoCharacter)
{
    const struct {
        std::string utf8;
        std::u16string utf16;
        std::string back; // utf16 as UTF-8 again
    } cases[] = {
        {"Meridal.xml", u"Meridal.xml", "Meridal.xml"},
        {"\xC2\xB0"
         "C \xE2\x80\x93",
         u"\u00B0C \u2013",
         "\xC2\xB0"
         "C \xE2\x80\x93"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},  // a surrogate pair
        {"a\xC3", u"a\xFFFD", "a\xEF\xBF\xBD"},                     // cut short
        {"\xC0\x80\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD", // overlong, a surrogate
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(utf16ToUtf8(c.utf16), c.back) << c.utf8;
    }
    EXPECT_EQ(utf16ToUtf8(u"x\xDC00y\xD800"), "x\xEF\xBF\xBDy\xEF\xBF\xBD"); // lone surrogates
}

} // namespace
} // namespace meridal
