// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Shared by the POSIX reader and saver of the user's files.
namespace meridal::posix {

// What a file of this mode (st_mode) is, in words: "a folder", "a named pipe (FIFO)"...
std::string describeFileKind(unsigned mode);

} // namespace meridal::posix
