#include "document/format/DocumentEncoding.h"

#include "document/format/ResourceTable.h"

Encoding DocumentEncoding(const ResourceTable& store) {
    for (const GroupNode* g = store.Groups().head(); g; g = g->next)
        if (!IsValidUtf8(g->name)) return Encoding::Latin1;
    const int rows = store.GetRowCount();
    const int columns = store.ColumnCount();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (!IsValidUtf8(store.Cell(r, c))) return Encoding::Latin1;
    return Encoding::Utf8;
}
