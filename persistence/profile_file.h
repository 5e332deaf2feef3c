// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace meridal {

// The largest profile file ("win.ini") that is read: it holds a few settings, and one
// larger is left as it is rather than read and written whole while the window waits.
inline constexpr std::size_t maxProfileFileBytes = std::size_t{1} << 20;

// The text of an INI-style profile with `key`=`value` set in `section`: every other line is
// kept as it stands; a missing key is added at the end of its section, a missing section at
// the end of the text. Section and key names compare ignoring ASCII case.
std::string withProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);

// Sets `key`=`value` in `section` of the profile file `path`, read and saved like the
// user's other files (readUserFile, writeFileAtomically): a link is followed, the owner,
// mode and links of the file are kept, and a file that is not a regular file, is larger
// than maxProfileFileBytes, cannot be read or is read-only is left as it is. A missing file
// is created, with its folder. A file that already holds the value is not written. False
// when the value could not be set.
bool writeProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value);

} // namespace meridal
