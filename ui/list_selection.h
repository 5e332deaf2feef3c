// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace meridal {

namespace platform {
class ListControl;
}

// Selects `label` in `list` to restore an earlier choice: the entry equal to it byte for byte
// when there is one, otherwise the first entry that begins with it, ignoring case (an empty
// label matches the first entry). Returns the index, or -1 with the selection unchanged.
// Sends no selection-change notification.
int selectLabel(platform::ListControl& list, const std::string& label);

// The selected entry's text, or the empty text.
std::string selectedText(const platform::ListControl& list);

// The selected entry's text for a command that cannot go on without one: std::invalid_argument
// when nothing is selected (the window shows the system's report).
std::string requireSelectedText(const platform::ListControl& list);

} // namespace meridal
