// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Windows-1252 text, as the program holds it, meets the system's UTF-16 only here: every
// control, message box and the clipboard get wide text converted explicitly, never through
// the process's ANSI code page (which is not Windows-1252 under every locale).
namespace meridal::platform::win32 {

// Every Windows-1252 character is one UTF-16 unit.
std::wstring toWide(std::string_view text1252);

// The text as a list or a label draws it: at most shownTextLimit characters, an ellipsis
// after a text cut short. What the program reads back comes from its own copy.
inline constexpr std::size_t shownTextLimit = 300;
std::wstring toShownWide(std::string_view text1252, std::size_t limit = shownTextLimit);

// Characters that Windows-1252 cannot hold become "?" (a surrogate pair is one character).
std::string fromWide(std::wstring_view text);

// The first character of `text` that Windows-1252 cannot hold, or nullopt.
std::optional<char32_t> firstUnrepresentable(std::wstring_view text);

// Positions in a control's text: the program counts characters, the system UTF-16 units (a
// character outside the Basic Multilingual Plane is two units). Positions past the end stay
// past the end.
int unitsToCharacters(std::wstring_view text, int units);
int charactersToUnits(std::wstring_view text, int characters);

} // namespace meridal::platform::win32
