// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/label_suggestions.h"

#include "catalogue/windows1252.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace meridal {

namespace {

std::string folded(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), foldCase1252);
    return out;
}

// Edits between two texts, inserting, deleting or changing one character or swapping two
// neighbours each (no character is edited twice); anything above `limit` counts as limit + 1.
std::size_t editsBetween(std::string_view a, std::string_view b, std::size_t limit)
{
    const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (gap > limit)
        return limit + 1;
    // Three rows of the table: two rows back (for a swap), the row before and this one.
    std::vector<std::size_t> before2(b.size() + 1), before(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        before[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        std::size_t best = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = before[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[j] = std::min({before[j] + 1, row[j - 1] + 1, change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], before2[j - 2] + 1);
            best = std::min(best, row[j]);
        }
        if (best > limit)
            return limit + 1;
        std::swap(before2, before);
        std::swap(before, row);
    }
    return std::min(before[b.size()], limit + 1);
}

} // namespace

std::vector<std::string> suggestLabels(std::string_view typed, const std::vector<std::string>& labels,
                                       std::size_t most)
{
    if (typed.empty() || most == 0)
        return {};
    const std::string key = folded(typed);
    const std::size_t editLimit = typed.size() >= 5 ? 2 : 1;

    // Each label's rank: its kind first, then what orders the kind, then its place.
    struct Ranked {
        int kind;
        std::size_t order;
        std::size_t place;
        const std::string* label;
    };
    std::vector<Ranked> ranked;
    for (std::size_t place = 0; place < labels.size(); ++place) {
        const std::string& label = labels[place];
        if (label == typed)
            continue;
        const std::string candidate = folded(label);
        if (candidate == key) {
            ranked.push_back({1, 0, place, &label});
        } else if (candidate.starts_with(key)) {
            ranked.push_back({2, 0, place, &label});
        } else if (candidate.size() >= 2 && key.starts_with(candidate)) {
            ranked.push_back({3, std::numeric_limits<std::size_t>::max() - candidate.size(), place, &label});
        } else if (const std::size_t edits = editsBetween(key, candidate, editLimit); edits <= editLimit) {
            ranked.push_back({4, edits, place, &label});
        }
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        return std::tie(a.kind, a.order, a.place) < std::tie(b.kind, b.order, b.place);
    });

    std::vector<std::string> suggestions;
    for (const Ranked& r : ranked) {
        if (suggestions.size() == most || r.kind != ranked.front().kind)
            break;
        if (std::find(suggestions.begin(), suggestions.end(), *r.label) == suggestions.end())
            suggestions.push_back(*r.label);
    }
    return suggestions;
}

} // namespace meridal
