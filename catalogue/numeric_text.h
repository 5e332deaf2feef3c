// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace meridal {

// Keeps the characters of a plain decimal number as the user types it: ASCII digits, "."
// and "-". Every other character, and every byte above 127, is removed. Only characters are
// filtered, not the shape of the number ("--3" survives).
std::string filterNumericText(std::string_view text);

} // namespace meridal
