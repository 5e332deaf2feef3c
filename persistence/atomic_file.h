#pragma once

#include <string>
#include <string_view>

namespace meridal {

// Replaces the file at `path` with `bytes` without ever leaving a half-written file:
// writes a temporary file beside it, flushes it to disk, gives it the old file's mode,
// and renames it over the old one. On failure the old file is untouched, the temporary
// file is removed, and `error` says what went wrong.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// LF to CR LF, as a text-mode write on Windows does.
std::string toCrLf(std::string_view text);

} // namespace meridal
