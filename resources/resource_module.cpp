// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/resource_module.h"

#include "resources/resource_ids.h"

#include <string>

namespace meridal {

bool Resources::loadString(unsigned id, std::string& text) const
{
    auto data = find(res::typeString, id);
    if (!data)
        return false;
    text.assign(data->begin(), data->end());
    return true;
}

std::string Resources::string(unsigned id) const
{
    std::string text;
    loadString(id, text);
    return text;
}

std::string formatWithArgument(std::string_view format, std::string_view argument)
{
    // Only the first "%s" takes the argument; "%%" is a percent sign. Nothing else in the
    // text is a conversion, so a label with "%" in it can never reach a printf.
    std::string out;
    bool used = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == 's' && !used) {
                out += argument;
                used = true;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

} // namespace meridal
