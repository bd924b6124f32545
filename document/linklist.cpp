#include "document/linklist.h"

#include <limits>
#include <utility>

// Counters are signed 32-bit. Raising or lowering them past the end of that range would wrap a
// Group ID around to the other sign, so both directions stop at the limit instead.

int32_t GroupList::Count() const {
    const size_t n = m_nodes.size();
    return n > static_cast<size_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                        : static_cast<int32_t>(n);
}

bool GroupList::GetAt(int32_t position, std::string& name) const {
    if (position < 1 || static_cast<size_t>(position) > m_nodes.size()) return false;
    name = m_nodes[static_cast<size_t>(position) - 1].name;
    return true;
}

GroupNode* GroupList::FirstOf(std::string_view name) const {
    const auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : it->second.node;
}

int32_t GroupList::Find(std::string_view name) const {
    const auto it = m_index.find(name);
    return it == m_index.end() ? 0 : it->second.position;
}

void GroupList::Increment(std::string_view name) {
    if (GroupNode* node = FirstOf(name)) {
        if (node->counter < std::numeric_limits<int32_t>::max()) ++node->counter;
    }
}

void GroupList::Decrement(std::string_view name) {
    if (GroupNode* node = FirstOf(name)) {
        if (node->counter > std::numeric_limits<int32_t>::min()) --node->counter;
    }
}

void GroupList::SetCounter(std::string_view name, int32_t value) {
    if (GroupNode* node = FirstOf(name)) node->counter = value;
}

int32_t GroupList::GetCounter(std::string_view name) const {
    const GroupNode* node = FirstOf(name);
    return node ? node->counter : 0;
}

void GroupList::Append(std::string name) {
    GroupNode* previous = m_nodes.empty() ? nullptr : &m_nodes.back();
    GroupNode& node = m_nodes.emplace_back();
    node.name = std::move(name);
    node.counter = 1;
    if (previous) previous->next = &node;
    // Only the first group of a name is reachable by name; later ones keep their place in the order.
    m_index.try_emplace(node.name, Entry{&node, Count()});
}

void GroupList::RemoveAll() {
    m_index.clear();
    m_nodes.clear();
}

void GroupList::RemoveLast() {
    if (m_nodes.empty()) return;
    const auto it = m_index.find(m_nodes.back().name);
    if (it != m_index.end() && it->second.node == &m_nodes.back()) m_index.erase(it);
    m_nodes.pop_back();
    if (!m_nodes.empty()) m_nodes.back().next = nullptr;
}
