#include "document/review/EntryStats.h"

#include <unordered_map>

#include "document/review/EntryStatus.h"

std::string EntryCounts::Summary(bool paired, int64_t shown) const {
    std::string out = shown >= 0 ? std::to_string(shown) + " of " : std::string();
    out +=
        std::to_string(entries) + (entries == 1 ? " entry" : " entries") + (shown >= 0 ? " shown, " : ", ");
    if (paired) {
        out += std::to_string(translated) + " translated (" + std::to_string(TranslatedPercent()) + "%), " +
               std::to_string(missing) + " missing, " + std::to_string(same) + " same as original, ";
    }
    return out + std::to_string(withProblems) + " with problems";
}

EntryStats EntryStats::Count(const EntryTable& table, std::span<const CheckMask> problems, bool perGroup) {
    EntryStats stats;
    std::unordered_map<std::string_view, size_t> groupIndex;
    if (perGroup) {
        for (const GroupNode* g = table.Rows().Groups().head(); g; g = g->next) {
            if (groupIndex.emplace(g->name, stats.groups.size()).second)
                stats.groups.push_back({g->name, {}});
        }
    }
    const int rows = table.RowCount();
    const int step = table.Step();
    for (int first = 0; first < rows; first += step) {
        const int count = std::min(step, rows - first);
        EntryCounts* counts[2] = {&stats.total, nullptr};
        if (perGroup) {
            const std::string_view name = table.Cell(first, ColGroupName);
            auto [it, added] = groupIndex.emplace(name, stats.groups.size());
            if (added) stats.groups.push_back({std::string(name), {}});
            counts[1] = &stats.groups[it->second].second;
        }
        CheckMask any = 0;
        for (int r = first; r < first + count; ++r) {
            if (static_cast<size_t>(r) < problems.size()) any |= problems[static_cast<size_t>(r)];
        }
        for (EntryCounts* c : counts) {
            if (!c) continue;
            ++c->entries;
            if (any) ++c->withProblems;
            for (int r = first; r < first + count && any; ++r) {
                const CheckMask m = problems[static_cast<size_t>(r)];
                for (int k = 0; k < kEntryCheckCount; ++k) c->byCheck[static_cast<size_t>(k)] += (m >> k) & 1;
            }
        }
        if (!table.Paired()) continue;
        const EntryStatus status = count < 2
                                       ? EntryStatus::Missing
                                       : StatusOf(table.Cell(first, ColText), table.OriginalEncoding(),
                                                  table.Cell(first + 1, ColText), table.TranslationEncoding(),
                                                  table.IsStandIn(first + 1));
        for (EntryCounts* c : counts) {
            if (!c) continue;
            c->translated += status == EntryStatus::Translated;
            c->missing += status == EntryStatus::Missing;
            c->same += status == EntryStatus::Same;
        }
    }
    return stats;
}
