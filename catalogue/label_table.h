// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace meridal {

// A table from label text to a value, with the iteration order that the window's lists
// and the saved file show: 17 buckets, visited in ascending order, the most recently
// inserted key first within a bucket. Keys match exactly, byte for byte.
//
// The order is the only visible property of the buckets. Lookups go through an index of
// their own (open addressing over a flat array that stores each key's full hash), so every
// operation is O(1) however many keys a bucket holds, and a large catalogue loads in time
// linear in its size.
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
    LabelTable(LabelTable&& other) noexcept
        : m_buckets(std::move(other.m_buckets)), m_slots(std::move(other.m_slots)),
          m_size(std::exchange(other.m_size, 0)), m_occupied(std::exchange(other.m_occupied, 0))
    {
        other.m_slots.clear();
    }
    LabelTable& operator=(LabelTable&& other) noexcept
    {
        m_buckets = std::move(other.m_buckets);
        m_slots = std::move(other.m_slots);
        other.m_slots.clear();
        m_size = std::exchange(other.m_size, 0);
        m_occupied = std::exchange(other.m_occupied, 0);
        return *this;
    }

    // Stores `value` under `key`. A key that is present keeps its place; its value is replaced.
    // Returns the stored value.
    Value& set(std::string_view key, Value value)
    {
        const std::size_t h = hashOf(key);
        if (Slot* slot = findSlot(key, h)) {
            slot->it->second = std::move(value);
            return slot->it->second;
        }
        auto& bucket = m_buckets[bucketOf(key)];
        bucket.emplace_front(std::string(key), std::move(value));
        insertSlot(h, bucket.begin());
        return bucket.front().second;
    }

    // The value under `key`, creating a default one (at the front of its bucket) when absent.
    Value& getOrCreate(std::string_view key)
    {
        const std::size_t h = hashOf(key);
        if (Slot* slot = findSlot(key, h))
            return slot->it->second;
        return set(key, Value{});
    }

    Value* find(std::string_view key)
    {
        Slot* slot = findSlot(key, hashOf(key));
        return slot ? &slot->it->second : nullptr;
    }
    const Value* find(std::string_view key) const
    {
        const std::size_t i = slotIndex(key, hashOf(key));
        return i == npos ? nullptr : &m_slots[i].it->second;
    }
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // Removes `key` and destroys its value; false when the key was absent. `key` may view
    // the very key being removed.
    bool remove(std::string_view key)
    {
        Slot* slot = findSlot(key, hashOf(key));
        if (!slot)
            return false;
        auto& bucket = m_buckets[bucketOf(key)];
        bucket.erase(slot->it);
        slot->state = Slot::removed;
        --m_size;
        return true;
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

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
    // A place in the index: free, holding a key's node, or left by a removed key (probing
    // goes on past it).
    struct Slot {
        enum : unsigned char { free, used, removed };
        std::size_t hash = 0;
        typename Bucket::iterator it{};
        unsigned char state = free;
    };
    static std::size_t hashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    // Linear probing over a power-of-two array that is never more than half occupied
    // (removed places count), so a probe always meets a free slot. The stored hash spares
    // most visits to the list nodes.
    std::size_t slotIndex(std::string_view key, std::size_t h) const
    {
        if (m_slots.empty())
            return npos;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            const Slot& s = m_slots[i];
            if (s.state == Slot::free)
                return npos;
            if (s.state == Slot::used && s.hash == h && s.it->first == key)
                return i;
        }
    }
    Slot* findSlot(std::string_view key, std::size_t h)
    {
        const std::size_t i = slotIndex(key, h);
        return i == npos ? nullptr : &m_slots[i];
    }
    void insertSlot(std::size_t h, typename Bucket::iterator it)
    {
        if ((m_occupied + 1) * 2 > m_slots.size())
            grow();
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = h & mask;
        while (m_slots[i].state == Slot::used)
            i = (i + 1) & mask;
        if (m_slots[i].state == Slot::free)
            ++m_occupied;
        m_slots[i] = Slot{h, it, Slot::used};
        ++m_size;
    }
    // Rebuilds the index at four times the live keys, dropping the removed places.
    void grow()
    {
        std::vector<Slot> old = std::move(m_slots);
        std::size_t capacity = 16;
        while (capacity < (m_size + 1) * 4)
            capacity *= 2;
        m_slots.assign(capacity, Slot{});
        m_occupied = 0;
        const std::size_t mask = capacity - 1;
        for (const Slot& s : old) {
            if (s.state != Slot::used)
                continue;
            std::size_t i = s.hash & mask;
            while (m_slots[i].state != Slot::free)
                i = (i + 1) & mask;
            m_slots[i] = s;
            ++m_occupied;
        }
    }
    std::array<Bucket, bucketCount> m_buckets;
    std::vector<Slot> m_slots;
    std::size_t m_size = 0;
    std::size_t m_occupied = 0;
};

} // namespace meridal
