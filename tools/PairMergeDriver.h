#pragma once
// txrtool merge as git's merge driver for a pair: given the path of the file being merged (git's
// %P), it merges the .txr and the .txl of its name as one document, so that both files take the
// same decisions, and writes its own half.
//
// Git runs the driver once for each file that both branches changed, in an order of its own, and
// neither run sees the other's result; a file only one branch changed it takes as it is, without
// the driver. So each run reads the three versions of both files from git itself (ours: HEAD;
// theirs: the commit git names in its GITHEAD_ variable; base: their merge base), makes sure the
// three files git handed it are those versions, and merges the pair whole: the two runs make the
// same decisions. When the companion is one git takes as it is and that would not pair with the
// merge (a translation would land beside another original), the run reports a conflict naming the
// entries. When the versions cannot be found (no GITHEAD_ variable, several merge bases, a renamed
// file), the file is merged alone and a conflict says the pair must be checked.
#include <string>

#include "document/Status.h"
#include "document/merge/TextResourceMerge.h"

class PairMergeDriver {
public:
    // `path` is the file's path in the repository (relative to the work tree's top, the current
    // folder when git runs a driver). A path that is neither .txr nor .txl is merged alone.
    static Status Merge(const std::string& basePath, const std::string& oursPath,
                        const std::string& theirsPath, const std::string& path, const std::string& outPath,
                        TextResourceMerge::Outcome& outcome);

    // The companion of a .txr or .txl path: the path up to its first '.', then the other
    // extension (the editor's rule); empty for other paths.
    static std::string Companion(const std::string& path);
};
