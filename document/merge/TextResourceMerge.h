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
// - Global IDs written as numbers match by their value ("7" and "07" are one ID).
// - A group renamed on one side (the group tables of base and that side have the same length and
//   the name at one position changed to a name base does not have) keeps its entries: the other
//   side's entries of the old name, those it added included, take the new name.
// - A pair merge (MergePair) merges a .txr and its .txl as one: each entry carries its
//   translation (the .txl line in its slot) as two more fields, merged like the others, so
//   both files take the same decisions (deletions, renumbering, order). The .txl gets a line for
//   each entry up to the last translated one, the original standing in for a translation not
//   made yet. A .txl line that is not its slot's translation (another Global ID, or a line
//   beyond the last entry) is reported as a conflict.
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

    // The same for a pair: originals[i] and translations[i] are the .txr and the .txl of base,
    // ours and theirs, each read on its own as Open reads a file; a null translations[i] is a
    // side without a .txl.
    static Status MergePair(const Document* const originals[3], const Document* const translations[3],
                            ResourceTable& result, ResourceTable& resultTranslations, Outcome& outcome);

    // Reads the three files, merges them and writes the result to `outPath` through the
    // document writer (whole or not at all). On a read or write error nothing is written.
    static Status MergeFiles(const std::string& basePath, const std::string& oursPath,
                             const std::string& theirsPath, const std::string& outPath, Outcome& outcome);

private:
    static Status MergeSides(const Document* const docs[3], const Document* const translations[3],
                             ResourceTable& result, ResourceTable* resultTranslations, Outcome& outcome);
};
