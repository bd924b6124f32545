#include "document/exchange/EntryKeys.h"

#include <functional>

#include "document/exchange/TranslationTable.h"

namespace {

uint64_t HashOf(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

}  // namespace

EntryKeys::EntryKeys(const TranslationTable& table) {
    const size_t n = table.Count();
    m_ids.resize(n);
    m_hashes.resize(n);
    m_shared.assign(n, 0);
    m_unique.assign(n, 0);
    size_t slots = 16;
    while (slots < 2 * n) slots *= 2;
    m_slots.assign(slots, 0);
    if (table.TxrEncoding() == Encoding::Latin1) m_converted.resize(n);
    std::vector<uint8_t> first(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const std::string_view cell = table.OriginalCell(i, ColGlobalId);
        if (table.TxrEncoding() == Encoding::Latin1) {
            m_converted[i] = Latin1ToUtf8(cell);
            m_ids[i] = m_converted[i];
        } else {
            m_ids[i] = cell;
        }
        const uint64_t hash = HashOf(m_ids[i]);
        m_hashes[i] = static_cast<uint32_t>(hash);
        const size_t slot = Slot(m_ids[i], hash);
        if (m_slots[slot] == 0) {
            m_slots[slot] = static_cast<uint32_t>(i + 1);
            first[i] = 1;
        } else {
            m_shared[m_slots[slot] - 1] = 1;
        }
    }
    for (size_t i = 0; i < n; ++i) m_unique[i] = first[i] && !m_shared[i];
}

size_t EntryKeys::Slot(std::string_view key, uint64_t hash) const {
    const size_t mask = m_slots.size() - 1;
    for (size_t s = static_cast<size_t>(hash >> 7) & mask;; s = (s + 1) & mask) {
        const uint32_t e = m_slots[s];
        if (e == 0 || (m_hashes[e - 1] == static_cast<uint32_t>(hash) && m_ids[e - 1] == key)) return s;
    }
}

size_t EntryKeys::Find(std::string_view key) const {
    const uint32_t e = m_slots[Slot(key, HashOf(key))];
    if (e == 0) return kNone;
    return m_shared[e - 1] ? kShared : e - 1;
}

std::string EntryKeys::UnitId(size_t entry) const {
    if (!m_ids[entry].empty() && Unique(entry)) return std::string(m_ids[entry]);
    std::string id = "entry-" + std::to_string(entry + 1);
    while (Find(id) != kNone) id += '-';
    return id;
}

size_t EntryKeys::MadeUpKeyEntry(std::string_view key) const {
    constexpr std::string_view kPrefix = "entry-";
    if (!key.starts_with(kPrefix)) return kNone;
    size_t i = kPrefix.size(), number = 0;
    for (; i < key.size() && key[i] >= '0' && key[i] <= '9' && i < kPrefix.size() + 12; ++i)
        number = number * 10 + static_cast<size_t>(key[i] - '0');
    if (i == kPrefix.size() || key[kPrefix.size()] == '0' || number == 0 || number > m_ids.size())
        return kNone;
    return UnitId(number - 1) == key ? number - 1 : kNone;
}
