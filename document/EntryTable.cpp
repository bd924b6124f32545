#include "document/EntryTable.h"

EntryTable EntryTable::Detect(const RowStore& rows, std::span<const uint8_t> standIn, bool paired) {
    bool groupsUtf8 = true;
    for (const GroupNode* g = rows.Groups().head(); g && groupsUtf8; g = g->next)
        groupsUtf8 = IsValidUtf8(g->name);
    const EntryTable probe(rows, standIn, paired, Encoding::Utf8, Encoding::Utf8);
    bool utf8[2] = {groupsUtf8, groupsUtf8};
    bool translationRows = false;
    for (int r = 0; r < probe.RowCount(); ++r) {
        const bool translation = probe.IsTranslation(r);
        bool& file = utf8[translation ? 1 : 0];
        if (probe.IsStandIn(r)) continue;
        translationRows |= translation;
        for (int c = 0; c < 4 && file; ++c) file = IsValidUtf8(rows.Cell(r, c));
    }
    // A .txl without entries of its own (not written yet, or only its header) is written from
    // copies of the originals: it takes the .txr's encoding, as the window does.
    if (!translationRows) utf8[1] = utf8[0];
    return EntryTable(rows, standIn, paired, utf8[0] ? Encoding::Utf8 : Encoding::Latin1,
                      utf8[1] ? Encoding::Utf8 : Encoding::Latin1);
}
