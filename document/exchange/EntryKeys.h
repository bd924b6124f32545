#pragma once
// The Global IDs of a translation table as keys: which are unique, the entry a key names, and a
// stand-in key for entries whose Global ID is empty or shared (exchange formats need one unique
// key per unit). Keys are UTF-8. Views into the table: valid until the table changes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TranslationTable;

class EntryKeys {
public:
    static constexpr size_t kNone = static_cast<size_t>(-1);
    static constexpr size_t kShared = static_cast<size_t>(-2);

    explicit EntryKeys(const TranslationTable& table);

    std::string_view GlobalId(size_t entry) const { return m_ids[entry]; }
    bool Unique(size_t entry) const { return m_unique[entry] != 0; }
    // The entry whose Global ID is `key`; kNone when none has it, kShared when several do.
    size_t Find(std::string_view key) const;
    // A key for every entry, unique in the document: the Global ID when it is unique and not
    // empty, else "entry-N" (N counting from 1), lengthened until no Global ID is the same.
    std::string UnitId(size_t entry) const;
    // The entry whose made-up UnitId is `key` ("entry-N..."); kNone when `key` is none.
    size_t MadeUpKeyEntry(std::string_view key) const;

private:
    size_t Slot(std::string_view key, uint64_t hash) const;

    std::vector<std::string_view> m_ids;
    std::vector<std::string> m_converted;  // Latin-1 Global IDs, as UTF-8
    // Open addressing, linear probing: each slot holds 1 + the first entry of a key (0: empty).
    // A large document has a million keys; node-based maps spend their time in cache misses.
    std::vector<uint32_t> m_slots;
    std::vector<uint32_t> m_hashes;  // the low bits of each entry's key hash, to skip most compares
    std::vector<uint8_t> m_shared;   // by first entry: a later entry has the same key
    std::vector<uint8_t> m_unique;
};
