// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/terminal.h"

#include <cstdio>

namespace meridal::terminal {

std::vector<std::string> arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void writeOut(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void writeError(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
}

bool flushOutput()
{
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

} // namespace meridal::terminal
