#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zbpg::platform {

// A hash table of indexes into a table kept elsewhere (the lines or the groups of a store
// file), whose keys live in what the indexes name: an entry costs eight bytes, where a map of
// strings costs ten times that for every key of a large file. The caller gives each key's hash
// and tells whether an index holds the key.
class IndexTable final {
public:
    using Index = std::uint32_t;
    static constexpr Index kNone = ~Index{0};

    // Empty, with room for the expected number of keys and some more: a table that must grow
    // is for a moment in memory twice.
    void clear(std::size_t expected) {
        m_entries.assign(expected + expected / 3 + 1024, Entry{});
        m_count = 0;
    }

    // The index kept for the key, which may be replaced; null when the key is missing.
    template <typename Holds> Index* find(std::uint32_t hash, Holds holds) {
        for (std::size_t slot = slotOf(hash);; slot = nextSlot(slot)) {
            Entry& entry = m_entries[slot];
            if (entry.index == kNone)
                return nullptr;
            if (entry.hash == hash && holds(entry.index))
                return &entry.index;
        }
    }
    template <typename Holds> const Index* find(std::uint32_t hash, Holds holds) const {
        return const_cast<IndexTable*>(this)->find(hash, holds);
    }

    // Keeps the index for a key that is missing.
    void add(std::uint32_t hash, Index index) {
        if ((m_count + 1) * 4 > m_entries.size() * 3)
            grow();
        place(hash, index);
        ++m_count;
    }

    template <typename Visit> void forEachIndex(Visit visit) {
        for (Entry& entry : m_entries) {
            if (entry.index != kNone)
                visit(entry.index);
        }
    }

    // The hash of a text without regard to ASCII case, mixed with the index of what holds it.
    static std::uint32_t foldedHash(Index owner, std::string_view text) {
        std::uint32_t hash = 2166136261u ^ (owner * 0x9E3779B9u);
        for (const char c : text) {
            hash ^= static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            hash *= 16777619u;
        }
        // The high bits choose the slot: spread every byte over them.
        hash ^= hash >> 16;
        hash *= 0x85EBCA6Bu;
        hash ^= hash >> 13;
        hash *= 0xC2B2AE35u;
        return hash ^ (hash >> 16);
    }

private:
    struct Entry {
        Index index = kNone;
        std::uint32_t hash = 0;
    };

    std::size_t slotOf(std::uint32_t hash) const {
        return static_cast<std::size_t>((std::uint64_t{hash} * m_entries.size()) >> 32);
    }
    std::size_t nextSlot(std::size_t slot) const {
        return slot + 1 == m_entries.size() ? 0 : slot + 1;
    }
    void place(std::uint32_t hash, Index index) {
        std::size_t slot = slotOf(hash);
        while (m_entries[slot].index != kNone)
            slot = nextSlot(slot);
        m_entries[slot] = {index, hash};
    }
    void grow() {
        std::vector<Entry> old(m_entries.size() + m_entries.size() / 2);
        old.swap(m_entries);
        for (const Entry& entry : old) {
            if (entry.index != kNone)
                place(entry.hash, entry.index);
        }
    }

    std::vector<Entry> m_entries = std::vector<Entry>(8);
    std::size_t m_count = 0;
};

} // namespace zbpg::platform
