#pragma once
// The figures of a document: entries, how many are translated, missing or the same as the
// original, and the problems by check, in all and per group.
//
// An entry is a pair (or, outside pairs, a row); its group is its original's Group Name.
// `withProblems` counts entries with a problem on either row; `byCheck` counts problems, one per
// row and check (what `txrtool check` prints one line for). Outside pairs nothing is translated,
// missing or the same.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "document/model/EntryTable.h"
#include "document/review/EntryCheck.h"

struct EntryCounts {
    int64_t entries = 0;
    int64_t translated = 0;
    int64_t missing = 0;
    int64_t same = 0;
    int64_t withProblems = 0;
    std::array<int64_t, kEntryCheckCount> byCheck{};

    // Translated entries in whole percent, rounded down: 100 only when every entry is done.
    int TranslatedPercent() const { return entries ? static_cast<int>(translated * 100 / entries) : 0; }
    // "N entries, T translated (P%), M missing, S same as original, K with problems"; outside
    // pairs "N entries, K with problems". With a filter showing `shown` entries (not -1) the
    // first part reads "S of N entries shown"; the figures after it stay those of every entry.
    std::string Summary(bool paired, int64_t shown = -1) const;
};

class EntryStats {
public:
    // `problems`: one mask per row (or none). With `perGroup`, also the figures of each group: the
    // groups of the group list first, in its order, then other Group Names in the order met.
    static EntryStats Count(const EntryTable& table, std::span<const CheckMask> problems, bool perGroup);

    EntryCounts total;
    std::vector<std::pair<std::string, EntryCounts>> groups;
};
