// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/windows1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace meridal {

namespace {

// Code points of the bytes 80 to 9F. The five bytes that Windows-1252 leaves unassigned
// map to the C1 control of the same value, so that every byte has a code point.
constexpr std::array<char32_t, 32> highControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        // Every code point of the table lies below U+10000.
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

char foldCase1252(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
        return static_cast<char>(b + 0x20);
    switch (b) {
    case 0x8A:
        return static_cast<char>(0x9A); // S caron
    case 0x8C:
        return static_cast<char>(0x9C); // OE
    case 0x8E:
        return static_cast<char>(0x9E); // Z caron
    case 0x9F:
        return static_cast<char>(0xFF); // Y diaeresis
    default:
        return c;
    }
}

bool equalsIgnoreCase1252(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase1252(a[i]) != foldCase1252(b[i]))
            return false;
    return true;
}

bool startsWithIgnoreCase1252(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoreCase1252(text.substr(0, prefix.size()), prefix);
}

bool sortsBefore1252(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto fa = static_cast<unsigned char>(foldCase1252(a[i]));
        const auto fb = static_cast<unsigned char>(foldCase1252(b[i]));
        if (fa != fb)
            return fa < fb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    // Equal but for case: the bytes decide, so the order never depends on insertion.
    for (std::size_t i = 0; i < common; ++i)
        if (a[i] != b[i])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
    return false;
}

char32_t codePointOf1252(char byte)
{
    const auto b = static_cast<unsigned char>(byte);
    if (b >= 0x80 && b <= 0x9F)
        return highControlRange[b - 0x80];
    return b;
}

std::optional<char> codePointTo1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < highControlRange.size(); ++i)
        if (highControlRange[i] == codePoint)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

std::string windows1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text)
        appendUtf8(out, codePointOf1252(c));
    return out;
}

namespace {

// UTF-8 to Windows-1252. Without a replacement any misfit fails the whole text; with one,
// a character Windows-1252 cannot hold, or a malformed byte, becomes the replacement.
std::optional<std::string> decodeUtf8(std::string_view text, std::optional<char> replacement)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        char32_t cp = 0;
        std::size_t length = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1Fu;
            length = 2;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0Fu;
            length = 3;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07u;
            length = 4;
            minimum = 0x10000;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3Fu);
        }
        // Not overlong, in range, and not a surrogate.
        valid = valid && cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        const auto byte = valid ? codePointTo1252(cp) : std::nullopt;
        if (!byte && !replacement)
            return std::nullopt;
        out += byte ? *byte : *replacement;
        i += valid ? length : 1;
    }
    return out;
}

} // namespace

std::optional<std::string> utf8ToWindows1252(std::string_view text)
{
    return decodeUtf8(text, std::nullopt);
}

std::string utf8ToWindows1252Lossy(std::string_view text)
{
    return *decodeUtf8(text, '?');
}

std::string utf16ToWindows1252(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        // A surrogate pair is one character, and none that Windows-1252 holds.
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            ++i;
        out += codePointTo1252(unit).value_or('?');
    }
    return out;
}

} // namespace meridal
