// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/list_selection.h"

#include "platform/controls.h"

#include <stdexcept>

namespace meridal {

int selectLabel(platform::ListControl& list, const std::string& label)
{
    // "mW" and "MW" differ by a factor of 10^9: a prefix match ignoring case alone could
    // pick the wrong one of the two.
    const int count = list.entryCount();
    for (int i = 0; i < count; ++i) {
        if (list.entryText(i) == label) {
            list.selectIndex(i);
            return i;
        }
    }
    return list.selectPrefix(label);
}

std::string selectedText(const platform::ListControl& list)
{
    const int selected = list.selectedIndex();
    return selected >= 0 ? list.entryText(selected) : std::string();
}

std::string requireSelectedText(const platform::ListControl& list)
{
    const int selected = list.selectedIndex();
    if (selected < 0)
        throw std::invalid_argument("no entry is selected in the list the command reads");
    return list.entryText(selected);
}

} // namespace meridal
