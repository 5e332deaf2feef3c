// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Runs a program the way a person at a terminal does, on Linux and on Windows: its arguments
// as given (UTF-8), in a working folder, with extra environment variables, and what it wrote
// to standard output and standard error. No shell is involved, so no argument is ever
// re-read.
namespace meridal::test {

struct ProgramRun {
    int status = -1; // the exit status; -1 when it did not end normally (a signal, the timeout)
    bool timedOut = false;
    std::string out; // standard output, byte for byte
    std::string err; // standard error, byte for byte
};

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingFolder,
                      const std::map<std::string, std::string>& environment = {},
                      std::chrono::seconds timeout = std::chrono::seconds(10));

// The environment variable that names more folders to look for libraries in.
#ifdef _WIN32
inline constexpr const char* librarySearchPath = "PATH";
#else
inline constexpr const char* librarySearchPath = "LD_LIBRARY_PATH";
#endif

// The file `name` in the folder of the running test program (where the build puts every
// program of the project).
std::filesystem::path besideTestProgram(const std::string& name);

// A program's text output with the system's line ends made "\n": on Windows every line must
// end with CR LF (a lone LF is kept as "<LF without CR>" so that a comparison shows it).
std::string withPlainLineEnds(const std::string& output);

} // namespace meridal::test
