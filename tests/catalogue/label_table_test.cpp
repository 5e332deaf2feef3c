// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/label_table.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal {
namespace {

std::vector<std::string> keysOf(const LabelTable<int>& table)
{
    std::vector<std::string> keys;
    table.forEach([&keys](const std::string& key, const int&) { keys.push_back(key); });
    return keys;
}

TEST(LabelTable, IteratesByBucketThenMostRecentFirst)
{
    LabelTable<int> table;
    for (const char* label : {"Length", "Mass", "Time", "Area", "Temperature"})
        table.set(label, 0);
    EXPECT_EQ(keysOf(table), (std::vector<std::string>{"Mass", "Length", "Temperature", "Area", "Time"}));
    EXPECT_EQ(LabelTable<int>::bucketOf("Mass"), 3u);
    EXPECT_EQ(LabelTable<int>::bucketOf("Time"), 13u);
    // Bytes above 127 count as negative: 0xB0 0x43 ("degree C" in Windows-1252) is in
    // bucket 12, where unsigned bytes would put it in bucket 10.
    EXPECT_EQ(LabelTable<int>::bucketOf("\xB0"
                                        "C"),
              12u);
}

TEST(LabelTable, MovedTableKeepsItsIndexAndRemoveTakesAViewOfItsOwnKey)
{
    LabelTable<int> table;
    for (const char* label : {"Length", "Mass", "Time"})
        table.set(label, 7);
    LabelTable<int> moved = std::move(table);
    EXPECT_EQ(keysOf(moved), (std::vector<std::string>{"Mass", "Length", "Time"}));
    std::string_view own;
    moved.forEach([&own](const std::string& key, const int&) { own = key; }); // "Time"
    EXPECT_TRUE(moved.remove(own));
    EXPECT_EQ(moved.find("Time"), nullptr);
    EXPECT_EQ(moved.size(), 2u);
}

// Many insertions, replacements (in place) and removals over a small set of keys, so the index
// grows, fills with removed places and is rebuilt, checked at every step against a plain model
// of the buckets, where a new key goes to the front of its bucket.
TEST(LabelTable, AgreesWithAPlainModelThroughManyChanges)
{
    LabelTable<int> table;
    std::vector<std::vector<std::pair<std::string, int>>> model(LabelTable<int>::bucketCount);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int step = 0; step < 20000; ++step) {
        const std::string key = "k" + std::to_string(next() % 300);
        auto& bucket = model[LabelTable<int>::bucketOf(key)];
        auto found =
            std::find_if(bucket.begin(), bucket.end(), [&](const auto& e) { return e.first == key; });
        if (next() % 3 == 0) {
            EXPECT_EQ(table.remove(key), found != bucket.end());
            if (found != bucket.end())
                bucket.erase(found);
        } else if (found != bucket.end()) {
            table.set(key, step);
            found->second = step;
        } else {
            table.set(key, step);
            bucket.insert(bucket.begin(), {key, step});
        }
        const int* value = table.find(key);
        found = std::find_if(bucket.begin(), bucket.end(), [&](const auto& e) { return e.first == key; });
        ASSERT_EQ(value != nullptr, found != bucket.end()) << "step " << step;
        if (value) {
            ASSERT_EQ(*value, found->second);
        }
    }
    std::vector<std::pair<std::string, int>> expected;
    for (const auto& bucket : model)
        expected.insert(expected.end(), bucket.begin(), bucket.end());
    std::vector<std::pair<std::string, int>> actual;
    table.forEach([&actual](const std::string& key, const int& value) { actual.emplace_back(key, value); });
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(table.size(), expected.size());
}

} // namespace
} // namespace meridal
