// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The one saver of the user's files. The system calls behind it live in persistence/posix
// and persistence/win32; this header is the same for every system.

namespace meridal {

// Replaces the content of the file at `path` with `bytes`. A symbolic link is followed to
// the file it leads to (which is created when it does not exist but its folder does).
//
// Where a new file can take the old one's place without losing anything, a temporary copy
// is written beside it, flushed to disk and renamed over it: a crash leaves the old file or
// the new one. On Linux that is a file with one name, our own, whose group can be given
// again, without ACL or other extended attribute, in a folder we may change; the copy is
// private (0600) and gets the old file's group and mode before its first byte. On Windows it
// is a file with one name that nobody holds open, whose owner and access list a new file in
// its folder gets as well; the copy gets the old file's attributes (hidden, system, archive)
// and creation time. Otherwise (hard links, another user's file that we may write, a folder
// we may not change, ACLs, a file another program holds open) the file is written in place,
// after the room for the new content has been reserved, so that a full disk fails before an
// old byte is lost. A file that another program holds open without letting others write it
// is not saved, and `error` gives the system's reason.
//
// Refused, and left alone: a read-only file (no write bit, one this user may not write, or
// the read-only attribute), anything that is not a regular file (folder, FIFO, socket,
// device, a reserved name such as NUL or COM1), a loop of links. Copies left by earlier
// saves that were interrupted are removed once the process that made them has ended. On
// failure `error` says what went wrong.
//
// Temporary copies are named "<file>.tmp-<host>-<process>-<number>".
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Creates the file at `path`, which does not exist, holding `bytes`: a link that leads
// nowhere gets the file it names when that file's folder exists. A file that another program
// made meanwhile is never replaced. The new file appears whole (a temporary copy, named as
// above, is linked into place). On failure `error` says why.
bool createFile(const std::string& path, std::string_view bytes, std::string& error);

// LF to CR LF, as a text-mode write on Windows does.
std::string toCrLf(std::string_view text);

} // namespace meridal
