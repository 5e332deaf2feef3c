// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// UTF-8 and UTF-16, for the Windows system interfaces: file names and command lines are
// UTF-16 there, UTF-8 inside the program (the texts of the catalogue stay Windows-1252).
namespace meridal {

// A malformed byte sequence becomes U+FFFD, one for each byte that starts no character.
std::u16string utf8ToUtf16(std::string_view text);
// A lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

} // namespace meridal
