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
    const std::vector<Case> cases = {
        {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {'@', '@'},   {'[', '['},   {0xC0, 0xE0},
        {0xC9, 0xE9}, {0xDE, 0xFE}, {0xD7, 0xD7}, // multiplication sign
        {0xF7, 0xF7},                             // division sign
        {0xDF, 0xDF},                             // sharp s has no capital here
        {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}, {0x9A, 0x9A}, {0xFF, 0xFF},
        {0xB0, 0xB0}, {0xB5, 0xB5}, {0xAA, 0xAA}, {0xA0, 0xA0}, {0xBF, 0xBF}, // symbols
        {0x80, 0x80}, {0x83, 0x83},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<unsigned char>(foldCase1252(static_cast<char>(c.upper))), c.folded)
            << int(c.upper);
}

TEST(Windows1252, ComparesIgnoringCase)
{
    EXPECT_TRUE(equalsIgnoreCase1252("CF", "cf"));
    EXPECT_TRUE(equalsIgnoreCase1252("\xC9T\xC9", "\xE9t\xE9"));
    EXPECT_TRUE(equalsIgnoreCase1252("\x8A"
                                     "koda",
                                     "\x9A"
                                     "KODA"));
    EXPECT_FALSE(equalsIgnoreCase1252("cf", "cf "));
    EXPECT_FALSE(equalsIgnoreCase1252("\xD7", "\xF7"));
    EXPECT_TRUE(startsWithIgnoreCase1252("Kilometre", "kilo"));
    EXPECT_TRUE(startsWithIgnoreCase1252("anything", ""));
    EXPECT_FALSE(startsWithIgnoreCase1252("km", "kmh"));
}

TEST(Windows1252, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = windows1252ToUtf8(all);
    EXPECT_EQ(utf8ToWindows1252(utf8), all);
}

TEST(Windows1252, MapsToAndFromUtf8)
{
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
        {"\x96", "\xE2\x80\x93"}, // en dash
        {"\x9F", "\xC5\xB8"},     // Y diaeresis
        {"\x81", "\xC2\x81"},     // unassigned: the C1 control of that value
        {"\xB5m", "\xC2\xB5m"},   // micro sign
        {"\xFF", "\xC3\xBF"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windows1252ToUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(utf8ToWindows1252(c.utf8), c.cp1252);
    }
}

TEST(Windows1252, RefusesWhatItCannotHold)
{
    const std::vector<std::string> refused = {
        "\xE2\x86\x92",     // rightwards arrow
        "\xCE\xBC",         // Greek mu (the micro sign is B5, a different character)
        "\xC2\x80",         // U+0080: byte 80 is the euro sign
        "\xF0\x9F\x98\x80", // an emoji
        "\xC3",             // truncated sequence
        "\xB0",             // a lone continuation byte
        "\xC0\x80",         // overlong NUL
        "\xED\xA0\x80",     // a surrogate
        "ok\xFF",           // never valid in UTF-8
    };
    for (const auto& text : refused)
        EXPECT_EQ(utf8ToWindows1252(text), std::nullopt) << text;
}

TEST(Windows1252, CodePointsOfSingleBytes)
{
    EXPECT_EQ(codePointOf1252('\x80'), U'\x20AC');
    EXPECT_EQ(codePointOf1252('\xE9'), U'\xE9');
    EXPECT_EQ(codePointTo1252(U'\x2122'), '\x99');
    EXPECT_EQ(codePointTo1252(U'\x0100'), std::nullopt);
}

} // namespace
} // namespace meridal
