// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace meridal {

// The labels of `labels` most like `typed`, for a "did you mean" hint: at most `most`, each
// once, of the first of these kinds that has any:
//   1. labels equal to it ignoring case;
//   2. labels that begin with it;
//   3. labels of two or more characters that it begins with, longest first;
//   4. labels within one edit of it, or two when it has five characters or more, fewer edits
//      first; an edit inserts, deletes or changes one character, or swaps two neighbours.
// So "KM" gets "km" alone, not also "km/h". Within a kind, the order of `labels` decides.
// Letters are compared with Windows-1252's case folding throughout. `typed` itself is no
// suggestion, and an empty text gets none.
std::vector<std::string> suggestLabels(std::string_view typed, const std::vector<std::string>& labels,
                                       std::size_t most = 3);

} // namespace meridal
