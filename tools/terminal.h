// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The terminal of a command-line program: its arguments and its output, UTF-8 inside the
// program whatever the system hands over.
namespace meridal::terminal {

// The program's arguments after its name, as UTF-8. On Windows they come from the wide
// command line, never through the process's ANSI code page.
std::vector<std::string> arguments(int argc, char** argv);

// Writes UTF-8 text to standard output or standard error. "\n" ends a line; on Windows it
// is written as CR LF, as Windows programs end their lines, and a console is given the text
// as Unicode.
void writeOut(std::string_view text);
void writeError(std::string_view text);

// Hands standard output over completely; false when any of it could not be written (a full
// disk, a closed pipe).
bool flushOutput();

} // namespace meridal::terminal
