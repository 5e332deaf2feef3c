#pragma once

#include <string>
#include <string_view>

namespace meridal {

// Replaces the content of the file at `path` with `bytes`. A symbolic link is followed to
// the file it leads to (which is created when it does not exist but its folder does).
//
// Where a new file can take the old one's place without losing anything (the old file has
// one name, is ours, its group can be given again, it has no ACL or other extended
// attribute, and its folder may be changed), a temporary copy is written beside it (mode
// 0600, then the old file's group and mode, before the first byte), flushed to disk and
// renamed over it: a crash leaves the old file or the new one. Otherwise (hard links,
// another user's file that we may write, a folder we may not change, ACLs) the file is
// written in place, after the room for the new content has been reserved, so that a full
// disk fails before an old byte is lost.
//
// Refused, and left alone: a read-only file (no write bit, or one this user may not
// write), anything that is not a regular file (folder, FIFO, socket, device), a loop of
// links. Copies left by earlier saves that were interrupted are removed. On failure
// `error` says what went wrong.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// LF to CR LF, as a text-mode write on Windows does.
std::string toCrLf(std::string_view text);

} // namespace meridal
