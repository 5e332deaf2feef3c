#include "catalogue/label_table.h"

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

} // namespace
} // namespace meridal
