// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/numeric_text.h"

#include <string>
#include <string_view>

namespace meridal {

namespace platform {
class EditField;
}

// The text-changed step of a field that takes a number: removes every character that
// filterNumericText rejects and puts the caret back one character before where the edit
// left it (or at 0).
//
// `rewriting` is the field's reentrancy flag. It is set just before the field is rewritten
// and consumed by the text-changed notification that the rewrite itself sends, which must
// arrive synchronously, inside setText.
//
// Returns false when this notification was that nested one (nothing to do), true when the
// caller goes on to use the text.
//
// `filter` decides which characters stay; a field that takes exponents keeps more.
using NumericFilter = std::string (*)(std::string_view);
bool filterNumericEntry(platform::EditField& field, bool& rewriting,
                        NumericFilter filter = filterNumericText);

} // namespace meridal
