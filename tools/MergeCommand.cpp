// txrtool merge: the three-way merge of a text resource file, in the form version control
// calls a merge driver: the result replaces OURS (or goes to OUT), status 0 when clean.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "document/format/ReplacementFile.h"
#include "document/merge/TextResourceMerge.h"
#include "tools/Commands.h"
#include "tools/PairMergeDriver.h"

namespace {

constexpr const char* kMergeHelp =
    "Usage: txrtool merge [--renumber] [-o OUT] BASE OURS THEIRS [PATH]\n"
    "Merges the changes from BASE to THEIRS into OURS and writes the result over OURS (or to OUT).\n"
    "Entries are matched by Global ID; Group Name and Text merge separately. A change on one side\n"
    "is taken; the same change on both sides once. Different changes of one field keep ours; an\n"
    "entry deleted on one side and changed on the other is kept as changed: both are reported as\n"
    "conflicts. Different entries added on both sides under one Global ID: theirs gets a new\n"
    "Global ID above all others, which is reported and counts as a conflict unless --renumber is\n"
    "given. Group IDs are numbered as reading the file numbers them.\n"
    "OUT may be OURS (under any name) but not BASE or THEIRS.\n"
    "Exit status: 0 merged cleanly, 1 conflicts (the result is written) or bad usage, 2 a file\n"
    "could not be read or written (nothing is written).\n"
    "PATH (git's %P: the file's path in the repository) merges a .txr and the .txl of its name\n"
    "as one: both files take the same decisions, whichever git merges first, and a conflict is\n"
    "reported rather than a translation left beside another original.\n"
    "For git: git config merge.txr.driver \"txrtool merge --renumber %O %A %B %P\" and\n"
    "\"*.txr merge=txr\" and \"*.txl merge=txr\" in .gitattributes.\n";

int Usage(const std::string& message) {
    std::fprintf(stderr, "txrtool: %s\n%s", message.c_str(), kMergeHelp);
    return 1;
}

}  // namespace

int RunMergeCommand(int argc, char** argv) {
    bool renumber = false;
    std::string out;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            std::fputs(kMergeHelp, stdout);
            return 0;
        } else if (arg == "--renumber") {
            renumber = true;
        } else if (arg == "-o" || arg == "--output") {
            if (i + 1 >= argc) return Usage("option '" + std::string(arg) + "' needs a value");
            out = argv[++i];
        } else if (arg.starts_with("--output=")) {
            out = arg.substr(9);
        } else {
            return Usage("unknown option '" + std::string(arg) + "'");
        }
    }
    if (files.size() < 3) return Usage("merge needs BASE, OURS and THEIRS");
    if (files.size() > 4) return Usage("too many files: '" + files[4] + "'");
    if (out.empty()) out = files[1];
    // OURS is what a merge replaces; the other two are only read.
    const std::string readOnly[] = {files[0], files[2]};
    if (Status s = ReplacementFile::CheckTarget(out, readOnly); !s) {
        std::fprintf(stderr, "txrtool: %s\n", s.message().c_str());
        return 2;
    }

    TextResourceMerge::Outcome outcome;
    const Status merged = files.size() == 4
                              ? PairMergeDriver::Merge(files[0], files[1], files[2], files[3], out, outcome)
                              : TextResourceMerge::MergeFiles(files[0], files[1], files[2], out, outcome);
    if (Status s = merged; !s) {
        std::fprintf(stderr, "txrtool: %s\n", s.message().c_str());
        return 2;
    }
    for (const std::string& m : outcome.conflicts) std::fprintf(stderr, "txrtool: conflict: %s\n", m.c_str());
    for (const std::string& m : outcome.renumbered)
        std::fprintf(stderr, "txrtool: %s: %s\n", renumber ? "renumbered" : "conflict", m.c_str());
    const size_t problems = outcome.conflicts.size() + (renumber ? 0 : outcome.renumbered.size());
    if (problems == 0) return 0;
    std::fprintf(stderr, "txrtool: %zu conflict%s in \"%s\"\n", problems, problems == 1 ? "" : "s",
                 out.c_str());
    return 1;
}
