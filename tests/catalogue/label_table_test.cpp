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
}

TEST(LabelTable, BucketsOfKnownLabels)
{
    struct Case {
        std::string key;
        std::size_t bucket;
    };
    const std::vector<Case> cases = {
        {"Mass", 3},
        {"Length", 6},
        {"Area", 11},
        {"Temperature", 11},
        {"Time", 13},
        {"", 0},
        // Bytes above 127 count as negative: 0xB0 0x43 ("degree C" in Windows-1252) is in
        // bucket 12, where unsigned bytes would put it in bucket 10.
        {"\xB0"
         "C",
         12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LabelTable<int>::bucketOf(c.key), c.bucket) << c.key;
}

TEST(LabelTable, KeysMatchExactlyWithCase)
{
    LabelTable<int> table;
    table.set("m", 1);
    table.set("M", 2);
    EXPECT_EQ(table.size(), 2u);
    ASSERT_NE(table.find("m"), nullptr);
    EXPECT_EQ(*table.find("m"), 1);
    EXPECT_EQ(*table.find("M"), 2);
    EXPECT_EQ(table.find("m "), nullptr);
}

TEST(LabelTable, ReplacingAValueKeepsTheKeysPlace)
{
    LabelTable<int> table;
    table.set("Area", 1);
    table.set("Temperature", 2); // same bucket, now in front of Area
    table.set("Area", 3);
    EXPECT_EQ(keysOf(table), (std::vector<std::string>{"Temperature", "Area"}));
    EXPECT_EQ(*table.find("Area"), 3);
    EXPECT_EQ(table.size(), 2u);
}

TEST(LabelTable, RemoveTakesOnlyThatKey)
{
    LabelTable<int> table;
    for (const char* label : {"Length", "Mass", "Area", "Temperature"})
        table.set(label, 0);
    EXPECT_TRUE(table.remove("Temperature"));
    EXPECT_FALSE(table.remove("Temperature"));
    EXPECT_EQ(keysOf(table), (std::vector<std::string>{"Mass", "Length", "Area"}));
    table.set("Temperature", 0); // back at the front of its bucket
    EXPECT_EQ(keysOf(table), (std::vector<std::string>{"Mass", "Length", "Temperature", "Area"}));
}

TEST(LabelTable, RemoveAcceptsAViewOfItsOwnKey)
{
    LabelTable<int> table;
    table.set("Length", 1);
    std::string_view own;
    table.forEach([&own](const std::string& key, const int&) { own = key; });
    EXPECT_TRUE(table.remove(own));
    EXPECT_TRUE(table.empty());
}

TEST(LabelTable, MovedTableKeepsItsEntriesAndOrder)
{
    LabelTable<int> table;
    for (const char* label : {"Length", "Mass", "Time"})
        table.set(label, 7);
    LabelTable<int> moved = std::move(table);
    EXPECT_EQ(keysOf(moved), (std::vector<std::string>{"Mass", "Length", "Time"}));
    ASSERT_NE(moved.find("Time"), nullptr);
    EXPECT_TRUE(moved.remove("Time"));
    EXPECT_EQ(moved.size(), 2u);
}

// Many insertions, replacements and removals over a small set of keys, so the index grows,
// fills with removed places and is rebuilt, checked at every step against a plain model of
// the buckets.
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
        auto found = std::find_if(bucket.begin(), bucket.end(), [&](const auto& e) { return e.first == key; });
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
