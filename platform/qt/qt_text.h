// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>
#include <string_view>

// Windows-1252 text, as the program holds it, meets Qt's Unicode strings only here.
namespace meridal::platform::qt {

QString toQString(std::string_view text1252);

// The text as a control draws it: at most shownTextLimit characters, an ellipsis after a
// text cut short. Whatever the program reads back comes from its own copy, never from this.
// Message boxes wrap their text, so they show more of it.
inline constexpr std::size_t shownTextLimit = 300;
inline constexpr std::size_t shownMessageLimit = 4000;
QString toShownQString(std::string_view text1252, std::size_t limit = shownTextLimit);

// Characters that Windows-1252 cannot hold become "?", as a Windows ANSI conversion makes them.
std::string fromQString(const QString& text);

// True when every character of `text` has a Windows-1252 byte.
bool fitsWindows1252(const QString& text);

} // namespace meridal::platform::qt
