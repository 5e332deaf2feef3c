// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/numeric_entry.h"

#include "platform/controls.h"

#include <string>

namespace meridal {

bool filterNumericEntry(platform::EditField& field, bool& rewriting, NumericFilter filter)
{
    if (rewriting) {
        rewriting = false;
        return false;
    }

    const std::string asRead = field.text();
    const std::string kept = filter(asRead);
    if (kept.size() == asRead.size())
        return true;

    // The caret as the edit left it, before the rewrite moves it.
    const int start = field.selectionStart();
    rewriting = true;
    field.setText(kept);
    // A field whose text did not change sends no notification; the flag must not outlive
    // this call and swallow the user's next edit.
    rewriting = false;
    const int caret = start > 0 ? start - 1 : 0;
    field.setSelection(caret, caret);
    field.scrollCaret();
    return true;
}

} // namespace meridal
