// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// All text inside Meridal is 8-bit Windows-1252. These are the only places where it meets
// Unicode (the terminal, the widgets and the clipboard) and where letters are folded.
namespace meridal {

// Folds one Windows-1252 byte to lower case: ASCII letters, C0-DE except D7 (x) to +0x20,
// and the pairs 8A/9A (S caron), 8C/9C (OE), 8E/9E (Z caron), 9F/FF (Y diaeresis).
// Nothing else folds (not the symbols A0-BF, not sharp s).
char foldCase1252(char c);

// Case-insensitive comparison of Windows-1252 texts under foldCase1252.
bool equalsIgnoreCase1252(std::string_view a, std::string_view b);
bool startsWithIgnoreCase1252(std::string_view text, std::string_view prefix);
// The order of sorted lists: by the folded bytes first (as unsigned), the bytes themselves
// deciding between texts that differ only in case.
bool sortsBefore1252(std::string_view a, std::string_view b);

// Windows-1252 bytes to UTF-8. The five unassigned bytes (81, 8D, 8F, 90, 9D) map to the
// C1 control characters of the same value, so every byte string survives a round trip.
std::string windows1252ToUtf8(std::string_view text);

// UTF-8 to Windows-1252; nullopt when the text holds a character Windows-1252 cannot hold
// or is not valid UTF-8.
std::optional<std::string> utf8ToWindows1252(std::string_view text);

// UTF-8 to Windows-1252 for texts that must be shown whatever they hold, such as the
// system's own messages: a character Windows-1252 cannot hold, or a malformed byte, becomes "?".
std::string utf8ToWindows1252Lossy(std::string_view text);

// UTF-16 to Windows-1252 for texts that are Windows-1252 by construction, such as the
// resource module's strings on Windows: a character Windows-1252 cannot hold (a surrogate
// pair counts as one) becomes "?", so nothing is refused.
std::string utf16ToWindows1252(std::u16string_view text);

// One Unicode code point to its Windows-1252 byte, or nullopt.
std::optional<char> codePointTo1252(char32_t codePoint);
char32_t codePointOf1252(char byte);

} // namespace meridal
