#pragma once
// Runs the entry checks (document/review/EntryCheck.h) over a document and puts the problems found
// into words.
//
// Where a problem sits: the checks between an original and its translation (placeholder,
// accelerator, whitespace, parts, empty, pair-id) on the translation row; duplicate-id and
// bad-id on every row of the file where the Global ID is found (the original rows make the
// .txr, the translation rows the .txl). Stand-in rows are in neither file and have no problems.
// An empty translation of a non-empty original is only `empty`: the other text checks would
// merely repeat it. The texts are compared as text, each in its file's encoding.
#include <string>
#include <vector>

#include "document/model/EntryTable.h"
#include "document/review/EntryCheck.h"

class EntryChecker {
public:
    explicit EntryChecker(CheckMask enabled = kAllChecks) : m_enabled(enabled) {}

    // The problems of every row: one mask per row, over the whole table.
    std::vector<CheckMask> Run(const EntryTable& table) const;
    // The problems between the original `row` and its translation (row + 1): the mask for the
    // translation row, without the Global ID checks of each file.
    CheckMask CheckPair(const EntryTable& table, int row) const;
    // The duplicate-id and bad-id problems of every row, added to `problems` (one per row).
    void CheckIds(const EntryTable& table, std::vector<CheckMask>& problems) const;

    // A problem found on `row`, in words (UTF-8), without the check's name.
    static std::string Describe(const EntryTable& table, int row, EntryCheck check);

private:
    bool Enabled(EntryCheck check) const { return m_enabled & MaskOf(check); }

    CheckMask m_enabled;
};
