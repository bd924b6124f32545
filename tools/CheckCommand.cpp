// txrtool check: the entry checks over a document, one line per problem in the form editors and
// build logs link to, or a JSON array.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "document/review/EntryChecker.h"
#include "tools/CheckedDocument.h"
#include "tools/CommandLine.h"
#include "tools/Commands.h"
#include "tools/Json.h"

namespace {

constexpr const char* kCheckHelp =
    "Usage: txrtool check [--json] [--ignore CHECK]... TXR [TXL]\n"
    "Checks the entries of TXR, or of TXR and its translations in TXL (read as pairs, as Open\n"
    "Localized Version does), and prints one line per problem:\n"
    "  FILE:LINE: CHECK: message\n"
    "FILE is TXL for a problem of a translation and TXR otherwise; LINE is the entry's line there.\n"
    "With --json: one JSON array of {\"file\", \"line\", \"globalId\", \"check\", \"message\"}.\n"
    "\n"
    "Checks (--ignore CHECK leaves one out; repeatable):\n"
    "  placeholder   the placeholders differ (printf %s %1$d %<PRIdMAX>, Qt %1, braces {0} {name},\n"
    "                ICU {n, plural, ...})\n"
    "  accelerator   the original has one accelerator (&F) and the translation none or several\n"
    "  whitespace    white space at the start or end differs\n"
    "  parts         the number of '|'-separated parts differs\n"
    "  empty         the translation is empty\n"
    "  duplicate-id  two entries of one file share a Global ID\n"
    "  bad-id        a Global ID that is not a decimal integer, or above the last Global ID\n"
    "  pair-id       a translation whose Global ID differs from its original's\n"
    "\n"
    "Exit status: 0 no problems, 1 problems found, 2 a file could not be read, 64 bad usage (an\n"
    "unknown option or check, a missing file, ...).\n"
    "In a build:  txrtool check --ignore whitespace app.txr app.txl || exit 1\n";

}  // namespace

int RunCheckCommand(int argc, char** argv) {
    CommandLine cli("check", kCheckHelp);
    bool json = false;
    std::vector<std::string> ignored, files;
    cli.Flag("--json", json);
    cli.Repeated("--ignore", "CHECK", ignored);
    cli.Operands(files, {"TXR file"}, 1);
    if (const auto exit = cli.Parse(argc, argv)) return *exit;
    CheckMask enabled = kAllChecks;
    for (const std::string& name : ignored) {
        const auto check = CheckByName(name);
        if (!check) return cli.Usage("unknown check '" + name + "'");
        enabled &= static_cast<CheckMask>(~MaskOf(*check));
    }

    CheckedDocument doc;
    if (Status s = doc.Load(files[0], files.size() > 1 ? files[1] : std::string(), enabled); !s)
        return cli.Fail(s.message());
    const EntryTable table = doc.Table();
    const std::vector<CheckMask>& problems = doc.Problems();
    std::string out = json ? "[" : "";
    bool any = false;
    for (int r = 0; r < table.RowCount(); ++r) {
        for (int k = 0; k < kEntryCheckCount && problems[static_cast<size_t>(r)]; ++k) {
            const auto check = static_cast<EntryCheck>(k);
            if (!(problems[static_cast<size_t>(r)] & MaskOf(check))) continue;
            const std::string message = EntryChecker::Describe(table, r, check);
            const std::string line = std::to_string(doc.LineOf(r));
            if (json) {
                out += any ? ",\n {\"file\": " : "\n {\"file\": ";
                AppendJsonString(out, doc.FileOf(r));
                out += ", \"line\": " + line + ", \"globalId\": ";
                AppendJsonString(out, ToUtf8(table.Cell(r, ColGlobalId), table.EncodingOf(r)));
                out += ", \"check\": \"";
                out += CheckName(check);
                out += "\", \"message\": ";
                AppendJsonString(out, message);
                out += '}';
            } else {
                out += doc.FileOf(r) + ":" + line + ": ";
                out += CheckName(check);
                out += ": " + message + "\n";
            }
            any = true;
        }
    }
    if (json) out += any ? "\n]\n" : "]\n";
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return cli.Fail(std::string("cannot write the output: ") + std::strerror(errno));
    return any ? kExitFound : kExitDone;
}
