#pragma once
// The rows of a text resource document together with what its files hold besides the rows: the
// group list and the last Global ID handed out. The file reader fills one, the writer writes
// one, and the Document keeps its rows in one; the rows themselves (cells, sort) are the core's
// RowStore.
#include <cstdint>
#include <memory>

#include "core/RowStore.h"
#include "document/linklist.h"

class ResourceTable : public RowStore {
public:
    ResourceTable() : m_pGroupList(std::make_unique<GroupList>()) {}
    ResourceTable(ResourceTable&&) noexcept = default;
    ResourceTable& operator=(ResourceTable&&) noexcept = default;

    GroupList& Groups() { return *m_pGroupList; }
    const GroupList& Groups() const { return *m_pGroupList; }
    void ResetGroupList() { m_pGroupList = std::make_unique<GroupList>(); }  // a new, empty list
    void SwapGroupList(std::unique_ptr<GroupList>& other) { m_pGroupList.swap(other); }

    // Global IDs are signed 32-bit; raising past the maximum (or lowering past the minimum)
    // leaves the value where it is and returns false.
    bool IncrementLastGlobalId();
    bool DecrementLastGlobalId();
    int32_t GetLastGlobalId() const { return m_nLastGlobalId; }
    void SetLastGlobalId(int32_t value) { m_nLastGlobalId = value; }
    void ResetLastGlobalId() { m_nLastGlobalId = 0; }

    // Takes rows, group list and last Global ID from `other` (same columns), leaving it empty;
    // sort state stays.
    void TakeContents(ResourceTable& other);

private:
    std::unique_ptr<GroupList> m_pGroupList;
    int32_t m_nLastGlobalId = 0;
};
