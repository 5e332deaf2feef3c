#include "ui/list_selection.h"

#include "platform/controls.h"

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

} // namespace meridal
