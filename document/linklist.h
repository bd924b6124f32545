#pragma once
// The document's group list: groups in order of first appearance, each with the last
// Group ID handed out in it. Names are kept whole and compared byte for byte; every
// operation that takes a name acts on the first group of that name. A name index makes
// those lookups independent of the number of groups.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

struct GroupNode {
    std::string name;
    int32_t counter = 1;
    GroupNode* next = nullptr;
};

class GroupList {
public:
    GroupList() = default;
    GroupList(const GroupList&) = delete;
    GroupList& operator=(const GroupList&) = delete;

    int32_t Count() const;
    // Positions are 1-based. False (and name untouched) when no group is at that position.
    bool GetAt(int32_t position, std::string& name) const;
    // Position of the first group of that name; 0 when there is none.
    int32_t Find(std::string_view name) const;
    void Increment(std::string_view name);
    void Decrement(std::string_view name);
    void SetCounter(std::string_view name, int32_t value);
    // Counter of the first group of that name; 0 when there is none.
    int32_t GetCounter(std::string_view name) const;
    // A new group at the end with counter 1 (no check for an existing name).
    void Append(std::string name);
    void RemoveAll();
    // Drops the last group (the inverse of Append).
    void RemoveLast();
    // Renames every group to convert(name), counters and order kept.
    template <class Convert>
    void RenameAll(Convert convert) {
        m_index.clear();
        int32_t position = 0;
        for (GroupNode& node : m_nodes) {
            node.name = convert(node.name);
            m_index.try_emplace(node.name, Entry{&node, ++position});
        }
    }

    const GroupNode* head() const { return m_nodes.empty() ? nullptr : &m_nodes.front(); }
    const GroupNode* tail() const { return m_nodes.empty() ? nullptr : &m_nodes.back(); }

private:
    GroupNode* FirstOf(std::string_view name) const;

    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    struct Entry {
        GroupNode* node;
        int32_t position;
    };
    std::deque<GroupNode> m_nodes;  // stable addresses: nodes link to each other
    std::unordered_map<std::string, Entry, Hash, std::equal_to<>> m_index;  // first group of each name
};
