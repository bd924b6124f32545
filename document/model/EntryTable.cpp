#include "document/model/EntryTable.h"

EntryTable EntryTable::Detect(const ResourceTable& rows, std::span<const uint8_t> standIn, bool paired) {
    bool groupsUtf8 = true;
    for (const GroupNode* g = rows.Groups().head(); g && groupsUtf8; g = g->next)
        groupsUtf8 = IsValidUtf8(g->name);
    const EntryTable probe(rows, standIn, paired, Encoding::Utf8, Encoding::Utf8);
    bool utf8[2] = {groupsUtf8, groupsUtf8};
    for (int r = 0; r < probe.RowCount(); ++r) {
        bool& file = utf8[probe.IsTranslation(r) ? 1 : 0];
        if (!file || probe.IsStandIn(r)) continue;
        for (int c = 0; c < 4 && file; ++c) file = IsValidUtf8(rows.Cell(r, c));
    }
    return EntryTable(rows, standIn, paired, utf8[0] ? Encoding::Utf8 : Encoding::Latin1,
                      utf8[1] ? Encoding::Utf8 : Encoding::Latin1);
}
