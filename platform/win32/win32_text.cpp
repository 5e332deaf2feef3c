// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/win32_text.h"

#include "catalogue/windows1252.h"

namespace meridal::platform::win32 {

namespace {

bool isHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(wchar_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::wstring toWide(std::string_view text1252)
{
    std::wstring wide(text1252.size(), L'\0');
    for (std::size_t i = 0; i < text1252.size(); ++i)
        wide[i] = static_cast<wchar_t>(codePointOf1252(text1252[i]));
    return wide;
}

std::wstring toShownWide(std::string_view text1252, std::size_t limit)
{
    // Drawing megabytes of text on one line takes the system seconds: what is drawn is cut
    // short, while the program keeps the whole text.
    if (text1252.size() <= limit)
        return toWide(text1252);
    return toWide(text1252.substr(0, limit)) + L'\x2026';
}

std::string fromWide(std::wstring_view text)
{
    return utf16ToWindows1252(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

std::optional<char32_t> firstUnrepresentable(std::wstring_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = static_cast<char16_t>(text[i]);
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            codePoint =
                0x10000 + ((codePoint - 0xD800) << 10) + (static_cast<char16_t>(text[i + 1]) - 0xDC00);
            ++i;
        }
        if (!codePointTo1252(codePoint))
            return codePoint;
    }
    return std::nullopt;
}

int unitsToCharacters(std::wstring_view text, int units)
{
    int characters = 0;
    for (int i = 0; i < units; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (at >= text.size() || !(isLowSurrogate(text[at]) && at > 0 && isHighSurrogate(text[at - 1])))
            ++characters;
    }
    return characters;
}

int charactersToUnits(std::wstring_view text, int characters)
{
    int units = 0;
    for (; characters > 0; --characters) {
        const auto at = static_cast<std::size_t>(units);
        const bool pair = at + 1 < text.size() && isHighSurrogate(text[at]) && isLowSurrogate(text[at + 1]);
        units += pair ? 2 : 1;
    }
    return units;
}

} // namespace meridal::platform::win32
