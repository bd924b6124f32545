#include "document/EntryKeys.h"

#include "document/TranslationTable.h"

EntryKeys::EntryKeys(const TranslationTable& table) {
    const size_t n = table.Count();
    m_ids.resize(n);
    m_index.reserve(n);
    if (table.TxrEncoding() == Encoding::Latin1) m_converted.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const std::string_view cell = table.OriginalCell(i, ColGlobalId);
        if (table.TxrEncoding() == Encoding::Latin1) {
            m_converted[i] = Latin1ToUtf8(cell);
            m_ids[i] = m_converted[i];
        } else {
            m_ids[i] = cell;
        }
        const auto [it, fresh] = m_index.try_emplace(m_ids[i], i);
        if (!fresh) it->second = kShared;
    }
}

bool EntryKeys::Unique(size_t entry) const {
    return Find(m_ids[entry]) == entry;
}

size_t EntryKeys::Find(std::string_view key) const {
    const auto it = m_index.find(key);
    return it == m_index.end() ? kNone : it->second;
}

std::string EntryKeys::UnitId(size_t entry) const {
    if (!m_ids[entry].empty() && Unique(entry)) return std::string(m_ids[entry]);
    std::string id = "entry-" + std::to_string(entry + 1);
    while (Find(id) != kNone) id += '-';
    return id;
}
