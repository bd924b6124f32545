#pragma once
// What a translator needs to know of a Document: the problems the checks find in it, its
// figures, the rows a filter shows, the status and problems of a row in words, and the next
// entry that is not translated or has a problem. Kept up to date by Recheck after a change.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/model/Document.h"
#include "document/model/EntryTable.h"
#include "document/review/EntryCheck.h"
#include "document/review/EntryFilter.h"
#include "document/review/EntryStats.h"
#include "document/review/EntryStatus.h"

class DocumentReview {
public:
    explicit DocumentReview(const Document& doc) : m_doc(doc) {}

    // The document as the checks see it: pairs when its rows were read (or made) as pairs.
    EntryTable Table() const;
    // Runs the checks and counts again (after any change of the rows); the next Filter looks
    // at every row.
    void Recheck();
    // Rows first..last had cells changed in place (no row came or went, nothing else changed
    // since the last check): checks only their entries again and corrects the figures. False,
    // with nothing done, when a Global ID among them changed: then Recheck is needed.
    bool RecheckChanged(int first, int last);
    // The rows were only put in another order (order[newRow] == oldRow) since the last check:
    // the problems and statuses move with their rows and the figures stay. False, with nothing
    // done, when the order splits pairs or does not fit: then Recheck is needed.
    bool Reordered(const std::vector<int>& order);
    const std::vector<CheckMask>& Problems() const { return m_problems; }
    const EntryCounts& Counts() const { return m_counts; }
    bool Paired() const;

    // Whether the entry of `row` (its pair) is not translated: missing or the same as the
    // original. False outside pairs.
    bool NotTranslated(int row) const;
    bool HasProblem(int row) const {
        return static_cast<size_t>(row) < m_problems.size() && m_problems[static_cast<size_t>(row)];
    }
    // The row's status and problems in words, one a line (empty when there is nothing to say).
    std::string InWords(int row) const;

    // The rows shown for a filter (see EntryFilter).
    const std::vector<int>& Filter(std::string_view text, FilterShow show);

    // The first row of the next (or previous) entry after (before) `from` that is not
    // translated (`show` NotTranslated), has a problem (WithProblems) or either (All), among the rows of
    // `shown` (whole entries), wrapping around at the end; -1 when there is none, also when no
    // row is shown. `wrapped` tells whether the search went past the end (or the start).
    int Next(int from, bool forward, FilterShow show, const RowScope& shown, bool& wrapped) const;

private:
    bool Wanted(int first, FilterShow show) const;
    // The entry starting at `first`: its status and problems added to (sign 1) or taken from
    // (sign -1) the figures.
    void Count(int first, EntryStatus status, int sign);
    EntryStatus StatusAt(const EntryTable& table, int first) const;
    static uint32_t IdHash(std::string_view id);

    const Document& m_doc;
    std::vector<CheckMask> m_problems;
    EntryCounts m_counts;
    EntryFilter m_filter;
    std::vector<uint32_t> m_idHashes;  // per row: a hash of its Global ID at the last check
    std::vector<uint8_t> m_statuses;   // per entry: its EntryStatus at the last check
};
