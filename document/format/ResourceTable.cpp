#include "document/format/ResourceTable.h"

#include <limits>
#include <utility>

bool ResourceTable::IncrementLastGlobalId() {
    if (m_nLastGlobalId == std::numeric_limits<int32_t>::max()) return false;
    ++m_nLastGlobalId;
    return true;
}

bool ResourceTable::DecrementLastGlobalId() {
    if (m_nLastGlobalId == std::numeric_limits<int32_t>::min()) return false;
    --m_nLastGlobalId;
    return true;
}

void ResourceTable::TakeContents(ResourceTable& other) {
    if (&other == this) return;
    TakeRows(other);
    m_pGroupList = std::exchange(other.m_pGroupList, std::make_unique<GroupList>());
    m_nLastGlobalId = std::exchange(other.m_nLastGlobalId, 0);
}
