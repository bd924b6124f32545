// txrtool check: the entry checks over a document, one line per problem in the form editors and
// build logs link to, or a JSON array.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "document/review/EntryChecker.h"
#include "tools/CheckedDocument.h"
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
    "  placeholder   the placeholders differ (printf %s %1$d, Qt %1, braces {0} {name})\n"
    "  accelerator   the original has one accelerator (&F) and the translation none or several\n"
    "  whitespace    white space at the start or end differs\n"
    "  parts         the number of '|'-separated parts differs\n"
    "  empty         the translation is empty\n"
    "  duplicate-id  two entries of one file share a Global ID\n"
    "  bad-id        a Global ID that is not a decimal integer, or above the last Global ID\n"
    "  pair-id       a translation whose Global ID differs from its original's\n"
    "\n"
    "Exit status: 0 no problems, 1 problems found (or bad usage), 2 a file could not be read.\n"
    "In a build:  txrtool check --ignore whitespace app.txr app.txl || exit 1\n";

int Usage(const std::string& message) {
    std::fprintf(stderr, "txrtool check: %s\n%s", message.c_str(), kCheckHelp);
    return 1;
}

}  // namespace

int RunCheckCommand(int argc, char** argv) {
    bool json = false;
    CheckMask enabled = kAllChecks;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.substr(0, 2) != "--") {
            files.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            std::fputs(kCheckHelp, stdout);
            return 0;
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--ignore" || arg.substr(0, 9) == "--ignore=") {
            std::string_view name;
            if (arg == "--ignore") {
                if (i + 1 >= argc) return Usage("option '--ignore' needs a value");
                name = argv[++i];
            } else {
                name = arg.substr(9);
            }
            const auto check = CheckByName(name);
            if (!check) return Usage("unknown check '" + std::string(name) + "'");
            enabled &= static_cast<CheckMask>(~MaskOf(*check));
        } else {
            return Usage("unknown option '" + std::string(arg) + "'");
        }
    }
    if (files.empty()) return Usage("missing TXR file");
    if (files.size() > 2) return Usage("too many files: '" + files[2] + "'");

    CheckedDocument doc;
    if (Status s = doc.Load(files[0], files.size() > 1 ? files[1] : std::string(), enabled); !s) {
        std::fprintf(stderr, "txrtool: %s\n", s.message().c_str());
        return 2;
    }
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
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "txrtool: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return any ? 1 : 0;
}
