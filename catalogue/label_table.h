#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace meridal {

// A table from label text to a value, with the iteration order that the window's lists
// and the saved file show: 17 buckets, visited in ascending order, the most recently
// inserted key first within a bucket. Keys match exactly, byte for byte.
//
// The order is the only visible property of the buckets; lookups go through a hash map,
// so every operation is O(1) however many keys a bucket holds.
template <typename Value> class LabelTable {
  public:
    static constexpr std::size_t bucketCount = 17;

    using Entry = std::pair<const std::string, Value>;

    // The bucket of a key: h = h * 33 + b over the bytes taken as signed 8-bit values,
    // in 32-bit unsigned arithmetic, then h mod 17.
    static std::size_t bucketOf(std::string_view key)
    {
        std::uint32_t h = 0;
        for (char c : key)
            h = h * 33u + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
        return h % bucketCount;
    }

    LabelTable() = default;
    LabelTable(const LabelTable&) = delete;
    LabelTable& operator=(const LabelTable&) = delete;
    LabelTable(LabelTable&&) noexcept = default;
    LabelTable& operator=(LabelTable&&) noexcept = default;

    // Stores `value` under `key`. A key that is present keeps its place; its value is replaced.
    // Returns the stored value.
    Value& set(std::string_view key, Value value)
    {
        if (auto found = m_index.find(key); found != m_index.end()) {
            found->second->second = std::move(value);
            return found->second->second;
        }
        auto& bucket = m_buckets[bucketOf(key)];
        bucket.emplace_front(std::string(key), std::move(value));
        // The index keys view the keys held by the list nodes, which never move.
        m_index.emplace(std::string_view(bucket.front().first), bucket.begin());
        return bucket.front().second;
    }

    // The value under `key`, creating a default one (at the front of its bucket) when absent.
    Value& getOrCreate(std::string_view key)
    {
        if (auto found = m_index.find(key); found != m_index.end())
            return found->second->second;
        return set(key, Value{});
    }

    Value* find(std::string_view key)
    {
        auto found = m_index.find(key);
        return found == m_index.end() ? nullptr : &found->second->second;
    }
    const Value* find(std::string_view key) const
    {
        auto found = m_index.find(key);
        return found == m_index.end() ? nullptr : &found->second->second;
    }
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // Removes `key` and destroys its value; false when the key was absent.
    bool remove(std::string_view key)
    {
        auto found = m_index.find(key);
        if (found == m_index.end())
            return false;
        // `key` may view the very key being removed: use it before the node goes.
        auto& bucket = m_buckets[bucketOf(key)];
        const auto node = found->second;
        m_index.erase(found);
        bucket.erase(node);
        return true;
    }

    std::size_t size() const { return m_index.size(); }
    bool empty() const { return m_index.empty(); }

    // Visits every entry in table order: f(const std::string& key, Value& value).
    template <typename F> void forEach(F&& f)
    {
        for (auto& bucket : m_buckets)
            for (auto& entry : bucket)
                f(entry.first, entry.second);
    }
    template <typename F> void forEach(F&& f) const
    {
        for (const auto& bucket : m_buckets)
            for (const auto& entry : bucket)
                f(entry.first, entry.second);
    }

  private:
    using Bucket = std::list<Entry>;
    std::array<Bucket, bucketCount> m_buckets;
    // Keyed by views of the keys in m_buckets: lookups need no temporary std::string.
    std::unordered_map<std::string_view, typename Bucket::iterator> m_index;
};

} // namespace meridal
