// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/atomic_file.h"

namespace meridal {

std::string toCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace meridal
