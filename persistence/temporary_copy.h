// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The names of the temporary copies a save writes beside a user's file:
// "<file>.tmp-<host>-<process>-<number>". The host and the process tell whose copy it is, so
// that a save removes only the copies of its own machine's processes that have ended, even in
// a folder shared over the network. The same on every system.
namespace meridal {

// "<file>.tmp-": what every temporary copy of `fileName` begins with.
std::string temporaryCopyPrefix(std::string_view fileName);

// The name of one temporary copy of `fileName`.
std::string temporaryCopyName(std::string_view fileName, std::string_view host, std::uint64_t process,
                              std::uint64_t number);

// The process that wrote the temporary copy `name` of `fileName` on `host`; nothing when
// `name` is no such copy (another file, another host's copy, a name that merely looks alike).
std::optional<std::uint64_t> temporaryCopyWriter(std::string_view name, std::string_view fileName,
                                                 std::string_view host);

// A computer's name as it may stand in a file name: "/" and "\" become "_".
std::string hostNameForFiles(std::string host);

} // namespace meridal
