#pragma once
// What every importer's fuzz target checks once its reader has accepted an input: the import
// into a small fixed document accounts for every unit, and changes only translation rows, with
// texts the localized file can carry, in its encoding.
#include <cstdlib>
#include <string>
#include <vector>

#include "document/exchange/IncomingUnit.h"
#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/format/ResourceTable.h"
#include "document/format/TextEncoding.h"

namespace fuzz {

// Entries with unique, shared and empty Global IDs; a Latin-1 .txl, so that the change to
// UTF-8 is reached too.
inline const TranslationTable& Document() {
    static const TranslationTable table = [] {
        ResourceTable store;
        store.DefineColumns(kEntryColumnSpec);
        const char* const entries[][3] = {{"1", "Open", "Ouvrir"}, {"2", "Caf\xE9", "Caf\xE9"},
                                          {"2", "Two", "x"},       {"", "Empty", "Vide"},
                                          {"a", "", "b"},          {"10", "%s", "%s!"}};
        for (const auto& e : entries) {
            store.AppendRow({e[0], "G", "1", e[1]});
            store.AppendRow({e[0], "G", "1", e[2]});
        }
        TranslationTable t;
        if (!t.Adopt(std::move(store), {}).ok()) std::abort();
        return t;
    }();
    return table;
}

inline void CheckImport(const std::vector<IncomingUnit>& units) {
    const TranslationTable& table = Document();
    for (const bool includeFuzzy : {false, true}) {
        ImportResult result;
        ImportOptions options;
        options.includeFuzzy = includeFuzzy;
        if (!ComputeImport(table, units, options, result).ok()) continue;  // a line break: refused
        const ImportSummary& s = result.summary;
        const size_t counted = s.updated + s.unchanged + s.noTranslation + s.unknownId + s.sharedId +
                               s.repeated + s.fuzzy + s.plural + s.unkeyed;
        if (counted != units.size()) std::abort();
        if (s.unknownIds.size() != s.unknownId || s.sharedIds.size() != s.sharedId) std::abort();
        for (const TranslationChange& c : result.changes) {
            if (c.row % 2 != 1 || c.row >= table.Pairs().GetRowCount()) std::abort();
            if (c.text.find_first_of("\r\n") != std::string::npos) std::abort();
            if (!IsValidUtf8(c.text)) std::abort();
        }
    }
}

}  // namespace fuzz
