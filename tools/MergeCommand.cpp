// txrtool merge: the three-way merge of a text resource file, in the form version control
// calls a merge driver: the result replaces OURS (or goes to OUT), status 0 when clean.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "document/format/ReplacementFile.h"
#include "document/merge/TextResourceMerge.h"
#include "tools/CommandLine.h"
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
    "Exit status: 0 merged cleanly, 1 conflicts (the result is written), 2 a file could not be\n"
    "read or written (nothing is written), 64 bad usage.\n"
    "PATH (git's %P: the file's path in the repository) merges a .txr and the .txl of its name\n"
    "as one: both files take the same decisions, whichever git merges first, and a conflict is\n"
    "reported rather than a translation left beside another original.\n"
    "For git: git config merge.txr.driver \"txrtool merge --renumber %O %A %B %P\" and\n"
    "\"*.txr merge=txr\" and \"*.txl merge=txr\" in .gitattributes.\n";

}  // namespace

int RunMergeCommand(int argc, char** argv) {
    CommandLine cli("merge", kMergeHelp);
    bool renumber = false;
    std::optional<std::string> output;
    std::vector<std::string> files;
    cli.Flag("--renumber", renumber);
    cli.Option("-o,--output", "OUT", output);
    cli.Operands(files, {"BASE file", "OURS file", "THEIRS file"}, 1);
    if (const auto exit = cli.Parse(argc, argv)) return *exit;
    if (output && output->empty()) return cli.Usage("the file name after -o is empty");
    const std::string out = output ? *output : files[1];
    // OURS is what a merge replaces; the other two are only read.
    const std::string readOnly[] = {files[0], files[2]};
    if (Status s = ReplacementFile::CheckTarget(out, readOnly); !s) return cli.Fail(s.message());

    TextResourceMerge::Outcome outcome;
    const Status merged = files.size() == 4
                              ? PairMergeDriver::Merge(files[0], files[1], files[2], files[3], out, outcome)
                              : TextResourceMerge::MergeFiles(files[0], files[1], files[2], out, outcome);
    if (Status s = merged; !s) return cli.Fail(s.message());
    for (const std::string& m : outcome.conflicts) cli.Say("conflict: " + m);
    for (const std::string& m : outcome.renumbered) cli.Say((renumber ? "renumbered: " : "conflict: ") + m);
    const size_t problems = outcome.conflicts.size() + (renumber ? 0 : outcome.renumbered.size());
    if (problems == 0) return kExitDone;
    cli.Say(std::to_string(problems) + (problems == 1 ? " conflict" : " conflicts") + " in \"" + out + "\"");
    return kExitFound;
}
