// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace meridal::platform::qt {

// The contents of section `name` of the ELF file `path` (of this machine's class and byte
// order); nullopt when the file cannot be read, is no such ELF file, or lacks the section.
std::optional<std::string> readElfSection(const std::string& path, const std::string& name);

// The name of the section that holds the program's version text.
inline constexpr const char* versionSectionName = ".meridal_version";

} // namespace meridal::platform::qt
