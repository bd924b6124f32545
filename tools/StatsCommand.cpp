// txrtool stats: the figures of a document (entries, translated, missing, same as original,
// problems by check), in all and per group, as text or JSON.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "document/review/EntryStats.h"
#include "tools/CheckedDocument.h"
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
    "Exit status: 0 done, 1 bad usage, 2 a file could not be read.\n";

int Usage(const std::string& message) {
    std::fprintf(stderr, "txrtool stats: %s\n%s", message.c_str(), kStatsHelp);
    return 1;
}

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
    bool json = false;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.substr(0, 2) != "--")
            files.emplace_back(arg);
        else if (arg == "--")
            optionsEnded = true;
        else if (arg == "--json")
            json = true;
        else if (arg == "--help")
            return std::fputs(kStatsHelp, stdout), 0;
        else
            return Usage("unknown option '" + std::string(arg) + "'");
    }
    if (files.empty()) return Usage("missing TXR file");
    if (files.size() > 2) return Usage("too many files: '" + files[2] + "'");

    CheckedDocument doc;
    if (Status s = doc.Load(files[0], files.size() > 1 ? files[1] : std::string(), kAllChecks); !s) {
        std::fprintf(stderr, "txrtool: %s\n", s.message().c_str());
        return 2;
    }
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
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "txrtool: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return 0;
}
