// txrtool stats: the figures of a document (entries, translated, missing, same as original,
// problems by check), in all and per group, as text or JSON.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "document/review/EntryStats.h"
#include "tools/CheckedDocument.h"
#include "tools/CommandLine.h"
#include "tools/Commands.h"
#include "tools/Json.h"

namespace {

constexpr const char* kStatsHelp =
    "Usage: txrtool stats [--json] TXR [TXL]\n"
    "Counts the entries of TXR, or of TXR and its translations in TXL (read as pairs), and\n"
    "prints, in all and then for each group:\n"
    "  N entries, T translated (P%), M missing, S same as original, K with problems\n"
    "and the problems by check (see 'txrtool check --help'). An entry is missing when TXL holds\n"
    "no entry for it, the same when its translation equals the original; P is rounded down.\n"
    "Without TXL only the entries and problems are counted.\n"
    "With --json: one JSON object {\"paired\", \"total\": {...}, \"groups\": [{\"name\", ...}]}.\n"
    "Exit status: 0 done, 2 a file could not be read, 64 bad usage.\n";

// "placeholder 1, whitespace 2": the checks that found something; "none" when none did.
std::string ChecksInWords(const EntryCounts& c) {
    std::string out;
    for (int k = 0; k < kEntryCheckCount; ++k) {
        if (!c.byCheck[static_cast<size_t>(k)]) continue;
        if (!out.empty()) out += ", ";
        out += CheckName(static_cast<EntryCheck>(k));
        out += ' ';
        out += std::to_string(c.byCheck[static_cast<size_t>(k)]);
    }
    return out.empty() ? "none" : out;
}

void AppendJsonCounts(std::string& out, const EntryCounts& c) {
    out += "\"entries\": " + std::to_string(c.entries) + ", \"translated\": " + std::to_string(c.translated) +
           ", \"percent\": " + std::to_string(c.TranslatedPercent()) +
           ", \"missing\": " + std::to_string(c.missing) + ", \"same\": " + std::to_string(c.same) +
           ", \"withProblems\": " + std::to_string(c.withProblems) + ", \"problems\": {";
    for (int k = 0; k < kEntryCheckCount; ++k) {
        out += k ? ", \"" : "\"";
        out += CheckName(static_cast<EntryCheck>(k));
        out += "\": " + std::to_string(c.byCheck[static_cast<size_t>(k)]);
    }
    out += "}";
}

}  // namespace

int RunStatsCommand(int argc, char** argv) {
    CommandLine cli("stats", kStatsHelp);
    bool json = false;
    std::vector<std::string> files;
    cli.Flag("--json", json);
    cli.Operands(files, {"TXR file"}, 1);
    if (const auto exit = cli.Parse(argc, argv)) return *exit;

    CheckedDocument doc;
    if (Status s = doc.Load(files[0], files.size() > 1 ? files[1] : std::string(), kAllChecks); !s)
        return cli.Fail(s.message());
    const EntryTable table = doc.Table();
    const EntryStats stats = EntryStats::Count(table, doc.Problems(), true);
    std::string out;
    if (json) {
        out = std::string("{\"paired\": ") + (table.Paired() ? "true" : "false") + ",\n \"total\": {";
        AppendJsonCounts(out, stats.total);
        out += "},\n \"groups\": [";
        for (size_t g = 0; g < stats.groups.size(); ++g) {
            out += g ? ",\n  {\"name\": " : "\n  {\"name\": ";
            AppendJsonString(out, ToUtf8(stats.groups[g].first, table.OriginalEncoding()));
            out += ", ";
            AppendJsonCounts(out, stats.groups[g].second);
            out += "}";
        }
        out += stats.groups.empty() ? "]}\n" : "\n ]}\n";
    } else {
        out = stats.total.Summary(table.Paired()) + "\nproblems: " + ChecksInWords(stats.total) + "\n";
        for (const auto& [name, counts] : stats.groups) {
            out += "group " + ToUtf8(name, table.OriginalEncoding()) + ": " + counts.Summary(table.Paired()) +
                   "; problems: " + ChecksInWords(counts) + "\n";
        }
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return cli.Fail(std::string("cannot write the output: ") + std::strerror(errno));
    return kExitDone;
}
