#pragma once
// A three-way merge of two changed versions (ours, theirs) of one text resource file against
// their common ancestor (base), for version control.
//
// Contract:
// - Entries are matched by Global ID (the k-th entry of a repeated Global ID with the k-th of
//   that ID on the other sides). Group Name and Text merge separately: a change on one side
//   only is taken, the same change on both is taken once, and different changes of one field
//   keep ours and are reported as conflicts.
// - An entry deleted on one side and unchanged on the other is deleted. One deleted on one side
//   and changed on the other is kept in its changed form and reported as a conflict, so that
//   no edit is ever lost silently.
// - Entries added on both sides under the same Global ID are taken once when they are equal.
//   Otherwise the theirs-side entry gets a new Global ID above every Global ID in use and above
//   the merged last Global ID; each such move is reported (code refers to entries by ID).
// - Order: ours' entries in ours' order; entries only theirs holds follow the entry they
//   follow in theirs. A .txl merged by the same rules as its .txr keeps its pairing as long as
//   each side's .txl pairs its .txr.
// - The last Global ID is the highest of the three last Global IDs and any new Global ID. The
//   group table is ours' followed by the groups only theirs names; Group IDs and counters are
//   those a read of the result gives (entries counted in file order within their group), so
//   the result reads back as it was merged.
// - Texts are compared byte for byte. When the three files are not all in one encoding, the
//   Latin-1 ones are taken as their UTF-8 text, and the result is UTF-8.
#include <string>
#include <vector>

#include "document/Status.h"

class ResourceTable;

class Document;

class TextResourceMerge {
public:
    struct Outcome {
        // Entries whose changes could not all be taken, one message each.
        std::vector<std::string> conflicts;
        // Theirs-side entries that were given new Global IDs, one message each.
        std::vector<std::string> renumbered;
    };

    // Merges three documents read as Open reads a file (each in the encoding it decided). `result` gets the
    // merged rows, groups and last Global ID (its columns are defined here when it has none). Fails, with
    // `result` untouched, only when no Global ID is left for an entry that needs a new one.
    static Status Merge(const Document& base, const Document& ours, const Document& theirs,
                        ResourceTable& result, Outcome& outcome);

    // Reads the three files, merges them and writes the result to `outPath` through the
    // document writer (whole or not at all). On a read or write error nothing is written.
    static Status MergeFiles(const std::string& basePath, const std::string& oursPath,
                             const std::string& theirsPath, const std::string& outPath, Outcome& outcome);
};
