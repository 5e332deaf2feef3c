#pragma once

#include <string>
#include <string_view>

namespace meridal::platform::qt {

// The text of an INI-style profile with `key`=`value` set in `section`: every other line is
// kept as it stands; a missing key is added at the end of its section, a missing section at
// the end of the text. Section and key names compare ignoring ASCII case.
std::string withProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);

// Sets `key`=`value` in `section` of the profile file `path`, creating its folder and the
// file when missing. The file is replaced in one step (a new file renamed over it), so a
// reader never sees half of it. False when it could not be read or written.
bool writeProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value);

// "$XDG_CONFIG_HOME/meridal/win.ini", or "~/.config/meridal/win.ini" when XDG_CONFIG_HOME is
// unset, empty or relative; empty when there is no home folder either.
std::string profileFilePath();

} // namespace meridal::platform::qt
