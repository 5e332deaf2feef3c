// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/user_file.h"

namespace meridal {

std::string sizeLimitReason(std::size_t limit)
{
    return "it is larger than " + std::to_string(limit >> 20) + " MB, more than such a file ever holds";
}

} // namespace meridal
