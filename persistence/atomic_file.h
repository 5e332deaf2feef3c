#pragma once

#include <string>
#include <string_view>

// The one saver of the user's files. The system calls behind it live in persistence/posix;
// this header is the same for every system.

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
//
// Temporary copies are named "<file>.tmp-<host>-<process>-<number>" and are private (0600)
// until they take the file's place.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Creates the file at `path`, which does not exist, holding `bytes`: a link that leads
// nowhere gets the file it names when that file's folder exists. A file that another program
// made meanwhile is never replaced. The new file appears whole (a temporary copy, named as
// above, is linked into place). On failure `error` says why.
bool createFile(const std::string& path, std::string_view bytes, std::string& error);

// LF to CR LF, as a text-mode write on Windows does.
std::string toCrLf(std::string_view text);

} // namespace meridal
